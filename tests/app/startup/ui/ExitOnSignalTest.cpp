// A stop signal (a logout, a closed terminal, Ctrl+C) ends the workbench as
// File > Exit does, with the program's stop handling wired as it starts:
// the questions of the start-up are dismissed and the exit follows its end,
// a running chip task stops as its Stop does, an edited text is asked about,
// and after a Cancel the next signal asks again.
#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/TextBox.h"
#include "app/documents/ui/frmTextBox.h"
#include "app/startup/ChipLink.h"
#include "app/startup/RealTimePlay.h"
#include "app/startup/ui/Speaking.h"
#include "app/startup/ui/frmMDI.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "common/Clock.h"
#include "link/SerialComm.h"
#include "platform/Folders.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StopSignals.h"
#include "platform/ui/StopHandler.h"
#include "tests/support/Files.h"
#include "tests/support/TestEnv.h"
#include "tests/support/Ui.h"

#include <QDir>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>

namespace {

const QString kApp = QStringLiteral("Voxmere");
const QString kSettings = QStringLiteral("Settings");

class ExitOnSignal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        ::setenv("VOXMERE_COM1", "sim", 1);
        vx::Clock::setSpeed(20);
        chipsim::resetSimulatedChips();
        chip = chipsim::simulatedChip(1);
        DeleteSetting(kApp, kSettings);
        SaveSetting(kApp, kSettings, QStringLiteral("Port"), QStringLiteral("1"));
        SaveSetting(kApp, kSettings, QStringLiteral("DisplayCompatQuery"), QStringLiteral("False"));
        main = std::make_unique<frmMDI>();
        onStop = std::make_unique<vx::StopHandler>(stop, *main);
    }
    void TearDown() override
    {
        onStop.reset();
        main.reset();
        ResetDocuments();
        vx::setProgramFolder(QString());
        vx::Clock::setSpeed(1);
    }
    [[nodiscard]] TextBox *textBox() const { return qobject_cast<frmTextBox *>(DocumentAt(2))->txtInputBox; }

    // A newer image pair in the program's Bin folder, the update's question
    // answered Yes and its end OK; the clock at its own speed, so that the waits
    // between the images outlast a stop's polls.
    void stageChipsetUpdate(const QString &program)
    {
        vx::Clock::setSpeed(1);
        chipsim::ChipConfig cfg = chip->config();
        cfg.flashSeconds = 0.2;
        chip->setConfig(cfg);
        QDir(program).mkpath(QStringLiteral("Bin"));
        const QString bin = program + QStringLiteral("/Bin/");
        vxtest::writeFileIn(bin, QStringLiteral("m$6e2b17.bin"), chipsim::makeFirmwareImage(1, 0x0300));
        vxtest::writeFileIn(bin, QStringLiteral("m$70c4d8.bin"), chipsim::makeFirmwareImage(2, 0x0300));
        prompter.queue(vx::Answer::Yes);
        prompter.queue(vx::Answer::Ok);
    }

    vx::ScriptedPrompter prompter;
    chipsim::Chip *chip = nullptr;
    vx::StopSignals stop;
    std::unique_ptr<frmMDI> main;
    std::unique_ptr<vx::StopHandler> onStop;
};

} // namespace

TEST_F(ExitOnSignal, AStopDuringTheStartDismissesItsQuestionAndTheExitFollowsItsEnd)
{
    SaveSetting(kApp, kSettings, QStringLiteral("DisplayCompatQuery"), QStringLiteral("True"));
    bool queryShown = false;
    vxtest::whenShown(QStringLiteral("frmCompatQuery"), [&](QWidget *) {
        queryShown = true;
        ::raise(SIGTERM);
    });
    ASSERT_TRUE(main->MDIForm_Load(QString())); // nobody answered the question
    EXPECT_TRUE(queryShown);
    EXPECT_TRUE(main->isLoaded());
    ASSERT_TRUE(vxtest::runUntil([&] { return !main->isLoaded(); }));
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(GetSetting(kApp, kSettings, QStringLiteral("MDIWidth")).isEmpty()); // the normal shutdown
    EXPECT_TRUE(prompter.prompts().isEmpty());
}

TEST_F(ExitOnSignal, AnEditedTextIsAskedAboutAndAfterACancelTheNextSignalAsksAgain)
{
    SaveSetting(kApp, kSettings, QStringLiteral("PhoneticsVisible"), QStringLiteral("True"));
    ASSERT_TRUE(main->MDIForm_Load(QString()));
    NewTextDocument(); // the edited text comes after an untouched one
    TextBox *edited = qobject_cast<frmTextBox *>(DocumentAt(3))->txtInputBox;
    QTest::keyClicks(edited, QStringLiteral("Hello there"));
    ASSERT_TRUE(DocState[3].Dirty);

    prompter.queue(vx::Answer::Cancel);
    ::raise(SIGTERM);
    ASSERT_TRUE(vxtest::runUntil([&] { return prompter.prompts().size() == 1; }));
    EXPECT_TRUE(prompter.last().text.startsWith(QStringLiteral("Do you want to save the changes")));
    EXPECT_TRUE(main->isLoaded());
    EXPECT_EQ(edited->toPlainText(), QStringLiteral("Hello there"));
    // The cancelled exit left every window as it was, and the menus say so.
    vxtest::spin(10);
    ASSERT_NE(DocumentAt(2), nullptr);
    EXPECT_TRUE(FrameOf(DocumentAt(2))->isVisible());
    const struct
    {
        QWidget *window;
        const char *viewItem;
    } tools[] = {{main->panelsWindow(), "mnuViewCtlPanels"}, {main->phoneticWindow(), "mnuViewPhonetics"}};
    for (const auto &tool : tools) {
        SCOPED_TRACE(tool.viewItem);
        ASSERT_NE(tool.window, nullptr);
        EXPECT_TRUE(FrameOf(tool.window)->isVisible());
        EXPECT_TRUE(main->findChild<QAction *>(QLatin1String(tool.viewItem))->isChecked());
    }

    prompter.queue(vx::Answer::No);
    ::raise(SIGTERM); // soon after, but that exit was cancelled: asked again
    ASSERT_TRUE(vxtest::runUntil([&] { return !main->isLoaded(); }));
    EXPECT_EQ(prompter.prompts().size(), 2);
}

// The update check waits for a server that never answers: the stop ends the
// check as its window's close does, and the exit asks about the text.
TEST_F(ExitOnSignal, AStopEndsAWaitingUpdateCheckAndTheExitAsksItsQuestions)
{
    QTcpServer silent; // takes the connection, never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    qputenv("VOXMERE_UPDATE_SITE", "http://127.0.0.1:" + QByteArray::number(silent.serverPort()));
    ASSERT_TRUE(main->MDIForm_Load(QString()));
    QTest::keyClicks(textBox(), QStringLiteral("Hello there"));
    vxtest::whenShown(QStringLiteral("frmSwUpdate"), [](QWidget *) { ::raise(SIGTERM); });
    prompter.queue(vx::Answer::No);
    QTimer::singleShot(0, [&] { main->RunCommand(QStringLiteral("mnuHelpSwUpdate")); });
    EXPECT_TRUE(vxtest::runUntil([&] { return !main->isLoaded(); }));
    qunsetenv("VOXMERE_UPDATE_SITE");
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_TRUE(prompter.last().text.startsWith(QStringLiteral("Do you want to save the changes")));
}

TEST_F(ExitOnSignal, TheTextBeingSpokenStopsAsItsStopDoesAndTheExitFollows)
{
    ASSERT_TRUE(main->MDIForm_Load(QString()));
    chipsim::ChipConfig cfg = chip->config();
    cfg.secondsPerChar = 0.1;
    chip->setConfig(cfg);
    TextBox *box = textBox();
    box->setText(QStringLiteral("one two three four five"));
    DocState[2].Dirty = false;
    ActiveDocIndex = 2;
    int words = 0;
    QObject::connect(box, &QPlainTextEdit::selectionChanged, box, [&] {
        if (box->SelLength() > 0 && ++words == 1)
            ::raise(SIGTERM);
    });

    // Spoken from the event loop, as the Play button does; the window goes
    // with the exit, so what it shows is read as the routine ends.
    bool spoken = false;
    int caret = -1;
    bool loadedAfterIt = false;
    QTimer::singleShot(0, [&] {
        PlayTextOrRecording();
        spoken = true;
        caret = box->SelStart();
        loadedAfterIt = main->isLoaded(); // never under the routine that spoke
    });
    ASSERT_TRUE(vxtest::runUntil([&] { return !main->isLoaded(); }));
    EXPECT_TRUE(spoken);
    EXPECT_EQ(words, 1);
    EXPECT_EQ(caret, 0); // Stop puts the caret at the start
    EXPECT_TRUE(loadedAfterIt);
    EXPECT_TRUE(prompter.prompts().isEmpty());
}

// A compiled score named on the command line plays while the program still
// starts: a stop ends the playing as its Stop does, and the exit follows.
TEST_F(ExitOnSignal, AScoreFromTheCommandLineStopsAsItsStopDoesAndTheExitFollows)
{
    constexpr int kNotes = 60; // a second each
    QByteArray score = QByteArray("\r\r\x18\x1E\x01j\0\xFF\x3C\0", 10); // volume 255, 60 a minute
    for (int i = 0; i < kNotes; ++i)
        score += QByteArray("\x30\x10\x20\x30", 4);
    score += MusicClosingBytes();
    const QString folder = QString::fromStdString(vxtest::freshDir("score")) + QLatin1Char('/');
    const QString path = vxtest::writeFileIn(folder, QStringLiteral("Long.tgx"), score);
    QTimer whilePlaying;
    QObject::connect(&whilePlaying, &QTimer::timeout, [&] {
        if (Playing && !chip->tones().isEmpty()) {
            whilePlaying.stop();
            ::raise(SIGTERM);
        }
    });
    whilePlaying.start(5);
    ASSERT_TRUE(main->MDIForm_Load(path));
    EXPECT_FALSE(Playing);
    EXPECT_LT(chip->tones().size(), kNotes / 2);
    EXPECT_TRUE(vxtest::runUntil([&] { return !main->isLoaded(); }));
    EXPECT_TRUE(prompter.prompts().isEmpty());
}

// A chipset update must not be cut short: a stop during it (here one the
// preferences started) waits for its end, and then the exit runs.
TEST_F(ExitOnSignal, AStopDuringAChipsetUpdateWaitsForItsEndThenTheExitRuns)
{
    const QString program = QString::fromStdString(vxtest::freshDir("program"));
    vx::setProgramFolder(program);
    ASSERT_TRUE(main->MDIForm_Load(QString()));
    stageChipsetUpdate(program);
    vxtest::whenShown(QStringLiteral("frmProgress"), [](QWidget *) { ::raise(SIGTERM); });
    QTimer::singleShot(0, [] {
        Comm->setPortOpen(false); // as a changed port in the preferences leaves it
        InitChipLink();
    });
    ASSERT_TRUE(vxtest::runUntil([&] { return !main->isLoaded(); }));
    EXPECT_EQ(chip->firmwareWrites(), 2);
    int cancels = 0;
    for (const chipsim::LoggedWrite &w : chip->writeLog())
        cancels += w.bytes == QByteArray(1, '\x18');
    EXPECT_EQ(cancels, 0); // no Stop's CAN went out between the images
    EXPECT_EQ(prompter.prompts().size(), 2);
}

// Repeated stops during the update, back to back at its start and then
// every 100 ms between and inside the images, wait like the first: both
// images go in, and the exit that follows ends the program normally.
TEST_F(ExitOnSignal, RepeatedStopsDuringAChipsetUpdateWaitLikeTheFirst)
{
    // A fork would lose the painter's threads: the child starts afresh.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const QString program = QString::fromStdString(vxtest::freshDir("program-repeat"));
            vx::setProgramFolder(program);
            if (!main->MDIForm_Load(QString()))
                std::_Exit(4);
            stageChipsetUpdate(program);
            int raised = 0;
            QTimer repeat;
            repeat.setInterval(100);
            QObject::connect(&repeat, &QTimer::timeout, [&] {
                if (ChipsetUpdating()) {
                    ::raise(SIGTERM);
                    ++raised;
                }
            });
            vxtest::whenShown(QStringLiteral("frmProgress"), [&](QWidget *) {
                ::raise(SIGTERM);
                ::raise(SIGTERM);
                raised += 2;
                repeat.start();
            });
            QTimer::singleShot(0, [] {
                Comm->setPortOpen(false);
                InitChipLink();
            });
            const bool ended = vxtest::runUntil([&] { return !main->isLoaded(); });
            const int code = !ended ? 5 : chip->firmwareWrites() != 2 ? 6 : raised < 4 ? 7 : 0;
            std::error_code ec;
            std::filesystem::remove_all(vxtest::isolateEnvironment(), ec); // the child's own folder
            std::_Exit(code);
        },
        ::testing::ExitedWithCode(0), "");
}
