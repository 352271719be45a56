#include "app/startup/ui/Speaking.h"

#include "app/panels/ui/frmCpanels.h"
#include "link/LinkError.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include <QLabel>
#include <QRadioButton>

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/MdiChild.h"
#include "app/documents/ui/TextBox.h"
#include "common/TextUtil.h"
#include "app/startup/Busy.h"
#include "app/startup/ChipLink.h"
#include "app/startup/SendPath.h"
#include "app/startup/SpeechPieces.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/Recording.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmMDI.h"
#include "common/Clock.h"
#include "common/Delay.h"
#include "link/SerialComm.h"
#include "platform/TextFiles.h"

#include <QAction>
#include <QCheckBox>
#include <algorithm>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextCursor>
#include <QThread>

namespace {

constexpr int kBulkRead = 512; // bytes per read of phonetic text and audio

// The serial object can be reached and written to.
bool linkLive()
{
    return Port != 0 && Comm && Comm->PortOpen();
}

// The serial object's errors end the step, not the program: a port that
// vanished mid-sentence stops the speaking like Stop does.
template <typename F>
void onLink(F &&step)
{
    if (!Comm)
        return;
    try {
        step();
    } catch (const LinkError &) {
        StopRequested = true;
    }
}

void yieldAndSleep()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QThread::msleep(10);
}

qint64 nowMs()
{
    return static_cast<qint64>(vx::Clock::seconds() * 1000.0);
}

void select(TextBox *box, TextSelection sel)
{
    QTextCursor c = box->textCursor();
    const int end = c.document()->characterCount() - 1;
    const int start = static_cast<int>(std::clamp<qsizetype>(sel.start, 0, end));
    c.setPosition(start);
    c.setPosition(static_cast<int>(std::clamp<qsizetype>(sel.start + sel.length, start, end)), QTextCursor::KeepAnchor);
    box->setTextCursor(c);
}

// Puts a selection of the CR LF text onto the box's own text.
void selectCrLf(TextBox *box, TextSelection crlf)
{
    select(box, EditorSelection(vx::CrLfView(box->Text()), crlf));
}

void appendText(TextBox *box, const QString &text)
{
    QTextCursor c(box->document());
    c.movePosition(QTextCursor::End);
    c.insertText(text);
}

// The phonetic window's text loses its trailing blanks and, when anything
// is left, ends with a line break.
void closeTranscription(TextBox *box)
{
    const QString text = box->Text();
    qsizetype blanks = 0;
    while (blanks < text.size() && text[text.size() - 1 - blanks] == QLatin1Char(' '))
        ++blanks;
    QTextCursor c(box->document());
    c.movePosition(QTextCursor::End);
    c.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, static_cast<int>(blanks));
    c.removeSelectedText();
    if (text.size() > blanks)
        c.insertText(QStringLiteral("\n"));
}

StatusBar *statusBar()
{
    frmMDI *main = frmMDI::instance();
    return main ? main->sbStatusBar : nullptr;
}

void showStatus(const QString &text, const QPixmap &picture)
{
    if (StatusBar *sb = statusBar()) {
        sb->SetPanelPicture(picture);
        sb->SetPanelText(1, text);
        sb->repaint();
    }
}

// The tone generator's command box goes out as it is, escapes expanded;
// the typed shortcut is not applied here.
void PlayToneCommands()
{
    StopRequested = false;
    TextBox *box = TextBoxOf(0);
    if (!box)
        return;
    QString text = vx::CrLfView(box->Text()).text();
    onLink([&] { SendToChip(QChar(24) + ExpandHexEscapes(text) + QChar(0)); });
}

// Plays the file the recorder panel names, by index or by tag. Playing is
// set before the buttons change, so that Pause stays off: the link's call
// must run to its end.
void PlayRecordingMemoryFile()
{
    auto *panels = qobject_cast<frmCpanels *>(DocumentAt(0));
    if (!panels || !cTolv)
        return;
    const std::optional<qint64> number = panels->CheckedFileNumber();
    if (!number)
        return;
    const bool byTag = panels->optIndexType[1]->isChecked();
    panels->lblProgressMsg->setText((byTag ? QStringLiteral("Playing tag ") : QStringLiteral("Playing index ")) +
                                    QString::number(*number) + QStringLiteral("..."));
    panels->lblProgressMsg->setVisible(true);
    Playing = true;
    SetPlayButtonsBusy();
    BeginBusy();
    StopRequested = false;
    QCoreApplication::processEvents();
    try {
        cTolv->PlayRecMemFile(static_cast<qint32>(*number), byTag);
    } catch (const LinkError &e) {
        vx::MsgBox(e.description(), vx::Buttons::Ok, vx::Icon::Exclamation, QStringLiteral("Error"));
    }
    Playing = false;
    SetPlayButtonsIdle();
    EndBusy();
    panels->lblProgressMsg->clear();
    onLink([] {
        Comm->setInBufferCount(0);
        Comm->setRThreshold(0);
    });
}

} // namespace

TextBox *TextBoxOf(int slot)
{
    QWidget *w = DocumentAt(slot);
    return w ? w->findChild<TextBox *>(QStringLiteral("txtInputBox")) : nullptr;
}

bool PhoneticWindowActive()
{
    const MdiChild *w = ActiveChild();
    return w && w->kind() == vx::WindowKind::Phonetic;
}

int PanelModeIndex()
{
    QWidget *panels = DocumentAt(0);
    const auto *mode = panels ? panels->findChild<QComboBox *>(QStringLiteral("cboMode")) : nullptr;
    return mode ? mode->currentIndex() : 0;
}

bool PanelUseDict()
{
    QWidget *panels = DocumentAt(0);
    const auto *dict = panels ? panels->findChild<QCheckBox *>(QStringLiteral("chkUseDict")) : nullptr;
    return dict && dict->checkState() != Qt::Unchecked;
}

SpokenText SpokenTextOfActive()
{
    SpokenText spoken;
    if (TextBox *box = TextBoxOf(ActiveDocIndex))
        spoken.crlf = vx::CrLfView(box->Text()).text();
    spoken.phonemeMode = PhoneticWindowActive() || PanelModeIndex() == 1;
    spoken.shortcut = CommandChar;
    return spoken;
}

void ApplyReceiveEffects(const ReceiveEffects &fx)
{
    if (fx.stopEvents)
        onLink([] { Comm->setRThreshold(0); });
    if (fx.select) {
        if (TextBox *box = TextBoxOf(ActiveDocIndex)) {
            box->setFocus();
            selectCrLf(box, *fx.select);
        }
    }
    if (fx.speakingEnded)
        Busy = false;
    if (fx.stopRequested)
        StopRequested = true;
    RecStatusQueue.append(fx.statusBytes);
    if (!fx.phonetic.isEmpty()) {
        if (TextBox *out = TextBoxOf(1))
            appendText(out, fx.phonetic);
    }
    if (!fx.audio.isEmpty())
        AppendRecordedAudio(fx.audio);
}

void SpeakText(int mode)
{
    if (UpdatingControls)
        return;
    TextBox *box = TextBoxOf(ActiveDocIndex);
    if (!box)
        return;
    Receiver.begin(mode);
    // Saved before anything is sent, so a stop at any point restores the
    // speed this request found.
    if (mode == kAudioSamples)
        SavedCommSettings = Comm ? Comm->Settings() : QString();
    onLink([] { SendToChip(SpeechResetCommand()); });
    Delay(0.25);

    const vx::CrLfView view(box->Text());
    const QTextCursor cursor = box->textCursor();
    SpeakRequest req;
    req.mode = mode;
    req.text = view.text();
    req.selStart = view.toCrLfOffset(cursor.selectionStart());
    req.selLength = view.toCrLfOffset(cursor.selectionEnd()) - req.selStart;
    req.highlight = Highlight;
    req.modeIndex = PanelModeIndex();
    req.phonemeMode = PhoneticWindowActive() || req.modeIndex == 1;
    req.useDict = PanelUseDict();
    req.shortcut = CommandChar;
    onLink([&] { SendToChip(SpeechModeCommands(req.phonemeMode, req.modeIndex, req.useDict)); });

    SpeechPieces pieces(req);
    onLink([] { Comm->setInBufferCount(0); });
    Receiver.beginSpeaking(pieces.trackStart(), pieces.speakSelStart(), pieces.speakSelLength());
    onLink([mode] {
        const int len = mode == kTrackSpeech ? 1 : kBulkRead;
        Comm->setInputLen(len);
        Comm->setRThreshold(len);
        SendToChip(SpeechRequestCommand(mode));
    });
    if (mode == kAudioSamples && linkLive())
        SetCommFastBaud();

    while (!StopRequested) {
        const std::optional<QString> piece = pieces.next();
        if (!piece)
            break;
        onLink([&] { SendToChip(*piece); });
    }
}

bool WaitForQuietLine()
{
    const auto waiting = [] { return Comm ? Comm->InBufferCount() : 0; };
    QuietLine quiet(nowMs(), waiting());
    while (!quiet.ended(nowMs(), waiting())) {
        if (StopRequested)
            return false;
        yieldAndSleep();
    }
    return true;
}

void GetPhoneticOutput()
{
    TextBox *out = TextBoxOf(1);
    if (!out)
        return;
    onLink([] { Comm->setInputMode(SerialComm::comInputModeText); });
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    SpeakText(kPhoneticText);
    WaitForQuietLine();
    // Fewer bytes than one event's worth wait: read them here.
    while (Comm && Comm->InBufferCount() > 0)
        appendText(out, ConvertChipCodesToPhonemes(Comm->Input(), Receiver.state().converter));
    closeTranscription(out);
    onLink([] { Comm->setInputMode(SerialComm::comInputModeBinary); });
    QGuiApplication::restoreOverrideCursor();
}

void ReadTextAloud()
{
    StopRequested = false;
    TextBox *box = TextBoxOf(ActiveDocIndex);
    if (!box || box->document()->isEmpty())
        return;
    const MdiChild *active = ActiveChild();
    const MdiChild *phonetic = DocumentAt(1);
    if (active && active->kind() == vx::WindowKind::Text && PanelModeIndex() != 1 && phonetic && phonetic->Visible())
        GetPhoneticOutput();
    if (!StopRequested) {
        const QString name = PhoneticWindowActive()
                                 ? QStringLiteral("Phonetic Output")
                                 : ProperCase(QFileInfo(DocState[ActiveDocIndex].FileName).fileName());
        showStatus(QStringLiteral("Reading '") + name + QLatin1Char('\''), QPixmap());
        SpeakText(kTrackSpeech);
        // The end marker or a stop clears Busy; a link that is gone sends no
        // end marker, so the wait ends with it.
        while (Busy && linkLive())
            yieldAndSleep();
        Delay(0.25);
    }
    showStatus(QStringLiteral("For Help, press F1"), images::statusImage(4));
}

void PlayTextOrRecording()
{
    if (UpdatingControls)
        return;
    if (ActiveDocIndex == 0 && PanelTab == 0) {
        PlayToneCommands();
        return;
    }
    if (Busy) {
        StopPlayback();
        return;
    }
    if (ActiveDocIndex == 0 && PanelTab == 4) {
        PlayRecordingMemoryFile();
        return;
    }
    TextBox *box = TextBoxOf(ActiveDocIndex);
    if (!box)
        return;
    if (!DictionaryKnown) {
        if (QWidget *panels = DocumentAt(0)) {
            if (auto *dict = panels->findChild<QCheckBox *>(QStringLiteral("chkUseDict")))
                dict->setChecked(false);
        }
    }
    box->setFocus();
    BeginBusy();
    SetPlayButtonsBusy();
    if (QWidget *w = ActiveChild())
        w->setEnabled(true);
    ReadTextAloud();
    // A reading that ended by itself ends like a pause: CAN, selection back.
    if (!StopRequested)
        PauseSpeaking();
    if (PhoneticWindowActive()) {
        // Speaking phonemes switched the chip's mode; the panels' choice returns.
        StopRequested = false;
        const int index = PanelModeIndex();
        if (index != 1)
            onLink([&] { SendToChip(SpeechModeCommands(false, index, PanelUseDict())); });
    }
    // Commands in the text may have changed the chip's settings.
    RefreshControlPanels();
    SetPlayButtonsIdle();
    EndBusy();
}

void StopChipOutput()
{
    if (Comm) {
        try {
            Comm->setRThreshold(0);
            if (linkLive()) {
                Comm->setOutBufferCount(0);
                Comm->setOutput(QByteArray(1, '\x18'));
            }
        } catch (const LinkError &) {
        }
    }
    StopRequested = true;
    if (CommMode == kAudioSamples && linkLive() && !SavedCommSettings.isEmpty())
        RestoreCommBaud();
    if (Busy && ActiveDocIndex != 0) {
        if (TextBox *box = TextBoxOf(ActiveDocIndex)) {
            const ReceiveState &st = Receiver.state();
            if (st.SpeakSelLength != 0) {
                selectCrLf(box, {st.SpeakSelStart, st.SpeakSelLength});
            } else {
                QTextCursor c = box->textCursor();
                c.setPosition(c.selectionStart());
                box->setTextCursor(c);
            }
        }
    }
    Busy = false;
}

void PauseSpeaking()
{
    if (TextBox *box = TextBoxOf(ActiveDocIndex))
        box->setFocus();
    StopChipOutput();
}

void StopPlayback()
{
    if (Playing) {
        StopRequested = true;
        return;
    }
    PauseSpeaking();
    if (TextBox *box = TextBoxOf(ActiveDocIndex)) {
        QTextCursor c = box->textCursor();
        c.setPosition(0);
        box->setTextCursor(c);
    }
}

bool SpeakingKeyPress(QChar key)
{
    if (UpdatingControls)
        return false;
    // The Play button's state is read afresh for each test: pausing changes it.
    auto playEnabled = [] {
        const QAction *play = ToolbarButton(QStringLiteral("Play"));
        return play && play->isEnabled();
    };
    const char16_t k = key.unicode();
    if (k == 16 && Busy && !StopRequested && playEnabled()) {
        PauseSpeaking();
        return true;
    }
    if (k == 16 && !Busy && playEnabled()) {
        PlayTextOrRecording();
        return true;
    }
    if (k == 19 && Busy) {
        StopPlayback();
        return true;
    }
    return false;
}

QChar ControlCharacter(int key, Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::ControlModifier) || key < Qt::Key_A || key > Qt::Key_Z)
        return QChar();
    return QChar(char16_t(key - Qt::Key_A + 1));
}
