#include "app/startup/ui/Recording.h"

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/documents/ui/MdiChild.h"
#include "app/documents/ui/TextBox.h"
#include "app/panels/ui/frmCpanels.h"
#include "common/TextUtil.h"
#include "app/startup/Busy.h"
#include "app/startup/WaveRecording.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/Speaking.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmMDI.h"
#include "link/SerialComm.h"
#include "platform/Prompter.h"

#include <QFileInfo>
#include <QGuiApplication>

namespace {

const QString kTitle = QStringLiteral("Create Wave File");

// The recorder's own file: the receive handler writes nowhere else.
WaveRecording gWave;
bool gWriteFailed = false;
bool gSoundLost = false;

// The fast line brings 11,520 bytes a second. While a recording runs the
// receive buffer holds ten seconds of it, so a window held up for a moment
// loses no sound, and memory stays bounded.
constexpr int kRecordingInBufferSize = 10 * 11520;

enum class Outcome { Written, Failed, SoundLost, Nothing };

void showStatus(const QString &text, const QPixmap &picture)
{
    frmMDI *main = frmMDI::instance();
    if (main && main->sbStatusBar) {
        main->sbStatusBar->SetPanelPicture(picture);
        main->sbStatusBar->SetPanelText(1, text);
        main->sbStatusBar->repaint();
    }
}

Outcome capture(const QString &path)
{
    // A chip not identified yet reads as its power-up rate.
    const int rate = ChipSampleRate > 0 ? ChipSampleRate : 10500;
    gWriteFailed = false;
    gSoundLost = false;
    if (!gWave.start(path, rate))
        return Outcome::Failed;
    const int usualBufferSize = Comm ? Comm->InBufferSize() : 0;
    if (Comm) {
        Comm->setInBufferSize(kRecordingInBufferSize);
        (void)Comm->takeOverrun(); // a loss before this recording is none of its own
    }
    SpeakText(2);
    WaitForQuietLine();
    while (!gWriteFailed && !gSoundLost && Comm && Comm->InBufferCount() > 0)
        AppendRecordedAudio(Comm->Input());
    if (Comm) {
        if (Comm->takeOverrun())
            gSoundLost = true;
        Comm->setInBufferSize(usualBufferSize);
    }
    if (gWriteFailed || gSoundLost) {
        gWave.abandon();
        return gWriteFailed ? Outcome::Failed : Outcome::SoundLost;
    }
    if (gWave.bytesReceived() == 0 && StopRequested) {
        gWave.abandon();
        return Outcome::Nothing;
    }
    return gWave.finish() ? Outcome::Written : Outcome::Failed;
}

} // namespace

void AppendRecordedAudio(QByteArrayView samples)
{
    if (gWave.append(samples) || gWriteFailed)
        return;
    gWriteFailed = true;
    StopChipOutput();
}

void RecordedAudioLost()
{
    if (!gWave.isOpen() || gSoundLost)
        return;
    gSoundLost = true;
    StopChipOutput();
}

void RecordTextToWave()
{
    StopRequested = false;
    TextBox *box = TextBoxOf(ActiveDocIndex);
    if (!box || box->document()->isEmpty())
        return;
    const QString path = GetSaveWaveFileName(QString());
    if (path.isEmpty())
        return;
    const QString name = ProperCase(QFileInfo(path).fileName());
    showStatus(WaveCreatingStatus(name), QPixmap());
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    const Outcome outcome = capture(path);
    gWave.abandon();
    showStatus(QStringLiteral("For Help, press F1"), images::statusImage(4));
    QGuiApplication::restoreOverrideCursor();
    if (Comm)
        Comm->setRThreshold(0);
    if (outcome == Outcome::Failed)
        vx::MsgBox(WaveCannotWriteMessage(name), vx::Buttons::Ok, vx::Icon::Critical, kTitle);
    else if (outcome == Outcome::SoundLost)
        vx::MsgBox(WaveSoundLostMessage(name), vx::Buttons::Ok, vx::Icon::Critical, kTitle);
    else if (outcome == Outcome::Written)
        vx::MsgBox(WaveCreatedMessage(name), vx::Buttons::Ok, vx::Icon::Information, kTitle);
}

void RecordTextToWaveCommand()
{
    // A sound or recording plays through the link: no pause can cut into it.
    if (Playing)
        return;
    if (Busy) {
        PauseSpeaking();
        return;
    }
    TextBox *box = TextBoxOf(ActiveDocIndex);
    if (!box)
        return;
    box->setFocus();
    BeginBusy();
    SetPlayButtonsBusy();
    if (QWidget *w = ActiveChild())
        w->setEnabled(true);
    RecordTextToWave();
    // Also after a failure: CAN, the speed back, Busy cleared.
    if (!StopRequested)
        PauseSpeaking();
    // Commands in the text may have changed the chip's settings.
    RefreshControlPanels();
    SetPlayButtonsIdle();
    EndBusy();
}
