// Speaking, transcribing and recording a text window against the in-process
// chip: the bytes the chip receives, the word highlighted as each marker
// comes back, the play buttons, Pause, Stop and Play while busy, the
// phonetic window's lines and the recorded wave file.
#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/documents/ui/TextBox.h"
#include "app/documents/ui/frmPhonetic.h"
#include "app/documents/ui/frmTextBox.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/Recording.h"
#include "app/startup/ui/Speaking.h"
#include "app/startup/ui/frmMDI.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "common/Bytes.h"
#include "common/Clock.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include "platform/TextFiles.h"
#include "tests/support/Files.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

QByteArray bytes(const char *s, qsizetype n)
{
    return QByteArray(s, n);
}

class Speaking : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        ResetDocuments();
        ResetFileDialogFolder();
        DocState.resize(2);
        RegisterTextDocuments();
        vx::Clock::setSpeed(2.0);
        qputenv("VOXMERE_COM7", "sim");
        chipsim::resetSimulatedChips();
        chip = chipsim::simulatedChip(7);
        main = std::make_unique<frmMDI>();
        main->show();
        MainToolbar = main->tbStdLarge;
        SetButtonTag(ToolbarButton(QStringLiteral("Play")), QStringLiteral("Play"));
        SetButtonTag(ToolbarButton(QStringLiteral("Record")), QStringLiteral("Record"));
        Comm = lib.GetCommObject();
        Comm->setCommPort(7);
        Comm->setSettings(QStringLiteral("9600,N,8,1"));
        Comm->setDTREnable(true);
        Comm->setPortOpen(true);
        Comm->setOutput(QByteArray("\r"));
        QObject::connect(&lib, &cTolvane::CommEvent, main.get(), &frmMDI::cTolv_CommEvent);
        Port = 7;
        PhoneticWindow();
        NewTextDocument();
        box = qobject_cast<frmTextBox *>(DocumentAt(2))->txtInputBox;
        chip->clearLogs();
    }
    void TearDown() override
    {
        ResetDocuments();
        main.reset();
        Comm->setPortOpen(false);
        Comm = nullptr;
        vx::Clock::setSpeed(1.0);
    }

    // Each word that was selected while speaking.
    void track()
    {
        QObject::connect(box, &QPlainTextEdit::selectionChanged, box, [this] {
            if (box->SelLength() > 0)
                shown << box->textCursor().selectedText();
        });
    }
    // Runs action once, from the event loop, when the n-th word is highlighted.
    void atWord(int n, std::function<void()> action)
    {
        auto fired = std::make_shared<bool>(false);
        QObject::connect(box, &QPlainTextEdit::selectionChanged, box, [this, n, action, fired] {
            if (!*fired && box->SelLength() > 0 && shown.size() == n) {
                *fired = true;
                QTimer::singleShot(0, action);
            }
        });
    }
    QString image(const char *key) { return ButtonImage(ToolbarButton(QLatin1String(key))); }

    // A text to record at a chip's own pace; once its voice is streaming,
    // act runs once from the window thread's event loop.
    void recordAtChipPace(const QString &path, const std::function<void()> &act)
    {
        ChipSampleRate = 10500;
        chipsim::ChipConfig cfg = chip->config();
        cfg.secondsPerChar = 0.07;
        chip->setConfig(cfg);
        box->setText(QStringLiteral("the quick brown fox jumps over the lazy dog"));
        bool acted = false;
        const QMetaObject::Connection streaming =
            QObject::connect(chip, &chipsim::Chip::transmit, main.get(), [&](const QByteArray &, int baud) {
                if (!acted && baud == 115200 && !chip->audioOut().isEmpty()) {
                    acted = true;
                    QTimer::singleShot(0, chip, act);
                }
            });
        prompts.queueFiles({path});
        prompts.queue(vx::Answer::Ok);
        RecordTextToWaveCommand();
        QObject::disconnect(streaming);
        ASSERT_TRUE(acted);
    }

    cTolvane lib;
    chipsim::Chip *chip = nullptr;
    std::unique_ptr<frmMDI> main;
    TextBox *box = nullptr;
    QStringList shown;
    vx::ScriptedPrompter prompts;
};

TEST_F(Speaking, WordsGoOutBehindMarkersAndTheHighlightFollowsThem)
{
    // A line ended with Shift+Enter goes out as any other line break.
    box->setText(QStringLiteral(u"well-known 3-4\u2028items\ncafé €5"));
    track();
    QStringList faces;
    QObject::connect(box, &QPlainTextEdit::selectionChanged, box,
                     [&] { faces << image("Play") + QLatin1Char('/') + image("Record"); });
    PlayTextOrRecording();

    EXPECT_EQ(shown, (QStringList{QStringLiteral("well"), QStringLiteral("known"), QStringLiteral("3-4"),
                                  QStringLiteral("items"), QStringLiteral(u"café"), QStringLiteral(u"€5")}));
    EXPECT_TRUE(faces.contains(QStringLiteral("Stop/Pause")));
    const QByteArray expected = bytes("\r\x18\x01t\0", 5) + " \x01" "99iwell" " \x01" "99iknown" " \x01" "99i3-4\r"
                                " \x01" "99iitems\r" " \x01" "99icaf\xE9" " \x01" "99i\x80" "5" +
                                bytes(" ,\x01" "98i\0", 7) + "\x18";
    EXPECT_EQ(chip->acceptedBytes(), expected);
    // The end marker put the caret at the end; the buttons are Play and Record again.
    EXPECT_EQ(box->SelStart(), box->Text().size());
    EXPECT_EQ(box->SelLength(), 0);
    EXPECT_FALSE(Busy);
    EXPECT_EQ(image("Play") + image("Record"), QStringLiteral("PlayRecord"));
    EXPECT_EQ(ButtonTag(ToolbarButton(QStringLiteral("Record"))), QStringLiteral("Record"));
}

TEST_F(Speaking, SelectionPauseStopAndPlayWhileBusy)
{
    // Words slow enough for a click between two of them.
    chipsim::ChipConfig cfg = chip->config();
    cfg.secondsPerChar = 0.1;
    chip->setConfig(cfg);
    box->setText(QStringLiteral("one two three four five"));
    track();

    // A selection is spoken and given back at the end.
    QTextCursor c = box->textCursor();
    c.setPosition(4);
    c.setPosition(13, QTextCursor::KeepAnchor);
    box->setTextCursor(c);
    shown.clear();
    PlayTextOrRecording();
    EXPECT_EQ(shown.mid(0, 2), (QStringList{QStringLiteral("two"), QStringLiteral("three")}));
    EXPECT_EQ(box->SelStart(), 4);
    EXPECT_EQ(box->SelLength(), 9);

    // Record while speaking pauses: CAN, no further word, the caret at the
    // start of the word being spoken; the next Play goes on from there.
    box->clearSelection();
    c.setPosition(0);
    box->setTextCursor(c);
    shown.clear();
    chip->clearLogs();
    atWord(2, [] { RecordTextToWaveCommand(); });
    PlayTextOrRecording();
    EXPECT_EQ(shown.size(), 2);
    EXPECT_TRUE(chip->acceptedBytes().endsWith('\x18'));
    EXPECT_EQ(box->SelStart(), 4);
    EXPECT_EQ(box->SelLength(), 0);
    EXPECT_FALSE(Busy);
    chip->clearLogs();
    shown.clear();
    PlayTextOrRecording();
    EXPECT_TRUE(chip->acceptedBytes().contains(bytes(" \x01" "99itwo", 8)));
    EXPECT_FALSE(chip->acceptedBytes().contains("one"));
    EXPECT_EQ(shown.first(), QStringLiteral("two"));

    // Play while speaking stops, and the caret goes to the start.
    c.setPosition(0);
    box->setTextCursor(c);
    shown.clear();
    atWord(1, [] { PlayTextOrRecording(); });
    PlayTextOrRecording();
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(box->SelStart(), 0);
    EXPECT_FALSE(Busy);
    EXPECT_EQ(image("Play"), QStringLiteral("Play"));
}

TEST_F(Speaking, CtrlPSpeaksAndCtrlSStopsFromTheBox)
{
    chipsim::ChipConfig cfg = chip->config();
    cfg.secondsPerChar = 0.1;
    chip->setConfig(cfg);
    box->setText(QStringLiteral("one two three four five"));
    track();
    ToolbarButton(QStringLiteral("Play"))->setEnabled(true);
    atWord(1, [this] { QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier); });
    QTest::keyClick(box, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(shown, QStringList{QStringLiteral("one")});
    EXPECT_FALSE(Busy);
    EXPECT_EQ(box->toPlainText(), QStringLiteral("one two three four five"));
}

TEST_F(Speaking, TranscriptionLinesAreAppendedBeforeTheText)
{
    PhoneticWindow()->ShowInMainWindow();
    QCoreApplication::processEvents(); // its activation, before the text window takes over
    DocumentAt(2)->SetFocus();
    box->setText(QStringLiteral("the ~5s cat"));
    PlayTextOrRecording();
    PlayTextOrRecording();

    const QString out = PhoneticWindow()->txtInputBox->Text();
    const QStringList lines = vx::CrLfView(out).text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3) << out.toStdString();
    EXPECT_EQ(lines[0], lines[1]);
    EXPECT_TRUE(lines[2].isEmpty()) << "each transcription ends with a line break";
    EXPECT_TRUE(lines[0].contains(QStringLiteral("\\01") + QStringLiteral("5s "))) << lines[0].toStdString();
    EXPECT_FALSE(lines[0].endsWith(QLatin1Char(' ')));
    // The request, the words without markers and a closing NUL, then the reading.
    const QByteArray request =
        bytes("\r\x18\x01t\0", 5) + "\x01" "10? the \x01" "5s cat" + bytes("\0\r\x18", 3);
    EXPECT_TRUE(chip->acceptedBytes().startsWith(request)) << chip->acceptedBytes().toStdString();
}

TEST_F(Speaking, RecordingWritesTheChipsAudioAtTheFastSpeed)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("recording"));
    ChipSampleRate = 10500;
    box->setText(QStringLiteral("hello world"));
    prompts.queueFiles({dir + QStringLiteral("/take one.wav")});
    prompts.queue(vx::Answer::Ok);
    RecordTextToWaveCommand();

    EXPECT_EQ(prompts.last().text, QStringLiteral("The wave file 'Take One.wav' was successfully created. "));
    EXPECT_EQ(prompts.last().icon, vx::Icon::Information);
    QFile f(dir + QStringLiteral("/take one.wav"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray wav = f.readAll();
    const QByteArray audio = chip->audioOut();
    ASSERT_FALSE(audio.isEmpty());
    QByteArray golden("RIFF....WAVEfmt \x10\0\0\0\1\0\1\0........\1\0\x08\0data....", 44);
    auto *g = reinterpret_cast<std::uint8_t *>(golden.data());
    const auto n = std::uint32_t(audio.size());
    vx::putLe32(g + 4, n + 36);
    vx::putLe32(g + 24, 10500);
    vx::putLe32(g + 28, 10500);
    vx::putLe32(g + 40, n);
    EXPECT_EQ(wav, golden + audio);

    // "11?" at the port's speed, the words and the closing CAN at 115200,
    // and the port back at its speed.
    int requestBaud = 0, wordBaud = 0;
    const QVector<chipsim::LoggedByte> &log = chip->byteLog();
    for (qsizetype i = 0; i + 2 < log.size(); ++i) {
        if (log[i].byte == '1' && log[i + 1].byte == '1' && log[i + 2].byte == '?')
            requestBaud = log[i].baud;
        if (log[i].byte == 'h' && log[i + 1].byte == 'e')
            wordBaud = log[i].baud;
    }
    EXPECT_EQ(requestBaud, 9600);
    EXPECT_EQ(wordBaud, 115200);
    EXPECT_EQ(log.back().byte, 0x18);
    EXPECT_EQ(log.back().baud, 115200);
    EXPECT_EQ(Comm->Settings(), QStringLiteral("9600,N,8,1"));
    EXPECT_FALSE(Busy);
}

TEST_F(Speaking, AWaveThatCannotBeWrittenLeavesNothingAndTheLinkAsItWas)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("fullDisk"));
    ChipSampleRate = 10500;
    // Enough audio to fill the writer's buffer while the chip still speaks.
    box->setText(QStringLiteral("the quick brown fox jumps over the lazy dog and runs on and on and on"));
    prompts.queueFiles({dir + QStringLiteral("/full.wav")});
    prompts.queue(vx::Answer::Ok);
    // No file may grow past 1 KB meanwhile.
    vxtest::onFullDisk(1024, [] { RecordTextToWaveCommand(); });

    EXPECT_EQ(prompts.last().text, QStringLiteral("Cannot write to 'Full.wav'. Check to make sure that it is not "
                                                  "open in another application."));
    EXPECT_EQ(prompts.last().title, QStringLiteral("Create Wave File"));
    EXPECT_EQ(prompts.last().icon, vx::Icon::Critical);
    EXPECT_TRUE(QDir(dir).entryList(QDir::Files | QDir::Hidden).isEmpty()) << "no partial file";
    EXPECT_EQ(Comm->RThreshold(), 0);
    EXPECT_EQ(Comm->Settings(), QStringLiteral("9600,N,8,1"));
    EXPECT_TRUE(chip->acceptedBytes().endsWith('\x18'));
    EXPECT_FALSE(Busy);
    EXPECT_EQ(image("Record"), QStringLiteral("Record"));
}

// The window thread held up for 150 ms while the chip streams its voice at
// its own pace: every sample still reaches the file.
TEST_F(Speaking, AStalledWindowLosesNoSoundOfARecording)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("stall"));
    recordAtChipPace(dir + QStringLiteral("/stall.wav"), [] { QThread::msleep(150); });
    EXPECT_EQ(prompts.last().text, QStringLiteral("The wave file 'Stall.wav' was successfully created. "));
    const QByteArray wav = vxtest::readAll(dir + QStringLiteral("/stall.wav"));
    ASSERT_GT(chip->audioOut().size(), 20000);
    EXPECT_EQ(wav.size() - 44, chip->audioOut().size());
    EXPECT_TRUE(wav.mid(44) == chip->audioOut()) << "the samples in the order sent";
    EXPECT_EQ(Comm->InBufferSize(), 1024) << "the usual buffer once the recording is over";
}

// More sound than the receive buffer holds arrives at once: the recording
// stops with a message that sound was lost, and no file is written.
TEST_F(Speaking, ARecordingThatLostSoundSaysSoAndWritesNothing)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("overrun"));
    const QString path = dir + QStringLiteral("/lost.wav");
    vxtest::writeAll(path, "old take");
    recordAtChipPace(path, [this] { emit chip->transmit(QByteArray(4 << 20, '\x80'), 115200); });
    EXPECT_EQ(prompts.last().text, QStringLiteral("Sound from the chip was lost while recording 'Lost.wav': the "
                                                  "program could not keep up with the serial line. The wave file "
                                                  "was not written; please record it again."));
    EXPECT_EQ(prompts.last().title, QStringLiteral("Create Wave File"));
    EXPECT_EQ(prompts.last().icon, vx::Icon::Critical);
    for (const vx::Prompt &p : prompts.prompts())
        EXPECT_FALSE(p.text.contains(QStringLiteral("successfully"))) << p.text.toStdString();
    EXPECT_EQ(vxtest::readAll(path), QByteArray("old take"));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no partial file";
    EXPECT_TRUE(chip->acceptedBytes().endsWith('\x18'));
    EXPECT_EQ(Comm->Settings(), QStringLiteral("9600,N,8,1"));
    EXPECT_EQ(Comm->InBufferSize(), 1024);
    EXPECT_FALSE(Busy);
}

} // namespace
