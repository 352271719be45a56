#include "app/soundlib/ui/SoundPreview.h"

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/shell/ui/frmProgress.h"
#include "app/soundlib/SoundConvert.h"
#include "app/soundlib/SoundEntry.h"
#include "app/soundlib/ui/SoundConvert.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "app/startup/Busy.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/RealTimePlay.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmMDI.h"
#include "common/TextUtil.h"
#include "platform/FileNames.h"
#include "platform/Folders.h"
#include "platform/Prompter.h"
#include "platform/SoundPlayer.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStackedWidget>
#include <QThread>

#include <optional>

namespace {

// The platform's player; the sound's end is remembered as well, so a sound
// that failed to start does not read as playing.
class PlatformPreviewPlayer final : public PreviewPlayer
{
public:
    bool open(const QString &path, const QString &shownAs, QString *error) override
    {
        if (!mPlayer) {
            mPlayer = new vx::SoundPlayer;
            QObject::connect(mPlayer, &vx::SoundPlayer::finished, [this] { mEnded = true; });
        }
        mEnded = false;
        return mPlayer->play(path, error, shownAs);
    }
    bool isPlaying() const override { return mPlayer && !mEnded && mPlayer->isPlaying(); }
    void close() override
    {
        if (mPlayer)
            mPlayer->stop();
    }

private:
    vx::SoundPlayer *mPlayer = nullptr; // kept for the program's life
    bool mEnded = false;
};

PreviewPlayer *gPlayer = nullptr;

PreviewPlayer &player()
{
    static PlatformPreviewPlayer platform;
    return gPlayer ? *gPlayer : platform;
}

void showStatus(const QString &text, const QPixmap &picture)
{
    frmMDI *main = frmMDI::instance();
    if (!main || !main->sbStatusBar)
        return;
    main->sbStatusBar->SetPanelPicture(picture);
    main->sbStatusBar->SetPanelText(1, text);
    main->sbStatusBar->repaint();
}

void setPointer(bool busy)
{
    if (frmMDI *main = frmMDI::instance()) {
        if (busy)
            main->setCursor(Qt::BusyCursor);
        else
            main->unsetCursor();
    }
}

// On the chip: converted with the sound's own options, in the older chip's
// form while the chip emulates it.
void playOnChip(const QString &FileName, qint16 kind, bool Compress, qint16 NoiseGate, bool Boost)
{
    const QScopedValueRollback<bool> keep(SV10DataFiles);
    if (SV10Emulation)
        SV10DataFiles = true;
    // A sound to be compressed is converted and compressed in one step, so
    // that its length is judged compressed, as the library compile judges it.
    // A compressed chip PCM file plays as it is, whatever the caller's flag.
    QString pcm = FileName;
    if (kind == sfkWave || kind == sfkMp3)
        pcm = ConvertSoundToPcm(FileName, 0, NoiseGate, Boost, Compress);
    else if (Compress && kind == sfkPcm)
        pcm = CompressPcmWithProgress(pcm);
    if (pcm.isEmpty())
        return;
    QCoreApplication::processEvents();
    frmProgress::Unload();
    QCoreApplication::processEvents();
    PlayPcmOnChip(pcm);
}

// On the PC: until the sound ends or Stop is pressed. A player that cannot
// start returns its reason, naming the user's file, not a converted copy.
QString playOnPc(const QString &FileName, qint16 kind)
{
    QString path = FileName;
    if (kind == sfkPcm || kind == sfkCompressedPcm) {
        path = ConvertPcmToWaveWithProgress(path);
        frmProgress::Unload();
        QCoreApplication::processEvents();
        if (path.isEmpty())
            return {};
    }
    if (StopRequested)
        return {};
    Playing = true;
    SetPlayButtonsBusy();
    PreviewPlayer &p = player();
    QString error;
    if (p.open(path, FileName, &error)) {
        for (;;) {
            QCoreApplication::processEvents();
            if (StopRequested || !p.isPlaying())
                break;
            QThread::msleep(10);
        }
    }
    p.close();
    Busy = false;
    Playing = false;
    SetPlayButtonsIdle();
    return error;
}

} // namespace

PreviewPlayer *setPreviewPlayer(PreviewPlayer *p)
{
    PreviewPlayer *previous = gPlayer;
    gPlayer = p;
    return previous;
}

void PlaySoundFile(const QString &FileName, bool Compress, qint16 NoiseGate, bool Boost)
{
    QString failure;
    if (!vx::isRegularFile(FileName)) {
        vx::MsgBox(QStringLiteral("Cannot open ") + FileName + QStringLiteral("; file not found. "), vx::Buttons::Ok,
                   vx::Icon::Critical);
    } else {
        try {
            const qint16 kind = GetSoundFileKind(FileName);
            // An MP3 is judged as its decoder judges it, before any device
            // is looked for: a pattern that passes for a frame header is not
            // enough.
            if (kind == sfkNotSound || (kind == sfkMp3 && !HoldsMp3Stream(FileName)))
                throw vx::ComponentError(kConvertErrBadSound, "Voxmere", "Invalid or corrupt sound file ");
            // Cleared before the program turns busy: a stop from then on,
            // while the sound is converted say, holds and nothing plays.
            StopRequested = false;
            BeginBusy();
            setPointer(true);
            showStatus(QStringLiteral("Playing '") + ProperCase(QFileInfo(FileName).fileName()) + QLatin1Char('\''),
                       QPixmap());
            if (AudioPlayer == 0)
                playOnChip(FileName, kind, Compress, NoiseGate, Boost);
            else if (AudioPlayer == 1)
                failure = playOnPc(FileName, kind);
        } catch (const vx::ComponentError &e) {
            if (!IsCancel(e))
                failure = SoundFailureText(e, FileName);
        }
    }
    StopRequested = false;
    frmProgress::Unload();
    showStatus(QStringLiteral("For Help, press F1"), images::statusImage(1));
    if (!failure.isEmpty())
        vx::MsgBox(failure, vx::Buttons::Ok, vx::Icon::Exclamation);
    EndBusy();
    setPointer(false);
    if (!TempFolder.isEmpty())
        vx::emptyFolder(TempFolder);
}

void PlaySelectedSoundFile()
{
    const QPointer<frmSoundLib> w = qobject_cast<frmSoundLib *>(ActiveDocument());
    if (!w)
        return;
    const int row = w->currentRow();
    if (row < 0)
        return;
    w->JudgePcmRowsByHeader(row);
    const SoundEntry sound = w->rows()[row].entry;
    PlaySoundFile(sound.path(), sound.Compress, sound.NoiseGate, sound.Boost);
    StopRequested = false;
    if (!w)
        return;
    w->setEnabled(true);
    QCoreApplication::processEvents();
    if (w && w->lvwFileList->currentWidget())
        w->lvwFileList->currentWidget()->setFocus();
}
