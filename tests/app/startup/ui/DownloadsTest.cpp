// Downloads into the in-process chip and greeting messages from a text window.

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/TextBox.h"
#include "app/documents/ui/frmTextBox.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "app/shell/ui/frmProgress.h"
#include "app/startup/ui/ChipDownloads.h"
#include "app/startup/ui/GreetingMessage.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmMDI.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "common/TextUtil.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include "tests/support/Bytes.h"
#include "tests/support/Files.h"
#include "tests/support/TestEnv.h"
#include "tests/support/SimLink.h"

#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>


namespace {

class Downloads : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        link = vxtest::openSimLink(QStringLiteral("115200,N,8,1"), QByteArray("\r\x18"));
        chip = chipsim::simulatedChip(1);
        main = std::make_unique<frmMDI>();
        QObject::connect(link.get(), &cTolvane::PercentDone, main.get(), &frmMDI::cTolv_PercentDone,
                         Qt::DirectConnection);
        Port = 1;
        ChipModel = QStringLiteral("SV3420");
        DownloadTitle = QStringLiteral("SV3420 Download");
        dir = QString::fromStdString(vxtest::freshDir("downloads")) + QLatin1Char('/');
    }
    void TearDown() override
    {
        ResetDocuments();
        vxtest::closeSimLink(link);
        main.reset();
    }

    QString write(const QString &name, const QByteArray &bytes) { return vxtest::writeFileIn(dir, name, bytes); }

    QString panel(int n) const { return main->sbStatusBar->PanelText(n); }

    // What every transfer leaves behind, whatever its outcome.
    void expectRestored() const
    {
        EXPECT_FALSE(Busy);
        EXPECT_EQ(frmProgress::loaded(), nullptr);
        EXPECT_EQ(panel(1), QStringLiteral("For Help, press F1"));
    }

    vx::ScriptedPrompter prompter;
    std::unique_ptr<frmMDI> main;
    std::unique_ptr<cTolvane> link;
    chipsim::Chip *chip = nullptr;
    QString dir;
};

const QByteArray kDix = vxtest::kDictionaryHead + QByteArray(4000, 'd');

TEST_F(Downloads, DictionaryArrivesAndNamesItself)
{
    const QString path = write(QStringLiteral("fixture.dix"), kDix);
    prompter.queue(vx::Answer::Ok);
    DownloadDictionary(path);
    EXPECT_EQ(chip->dictionary(), kDix);
    EXPECT_EQ(prompter.last().text, QStringLiteral("'Fixture.dix' was successfully downloaded. "));
    EXPECT_EQ(prompter.last().icon, vx::Icon::Information);
    EXPECT_EQ(prompter.last().title, QStringLiteral("SV3420 Download"));
    EXPECT_EQ(panel(5), QStringLiteral("Dictionary: Fixture.dix "));
    EXPECT_TRUE(DictionaryKnown);
    expectRestored();
}

TEST_F(Downloads, FailedCancelledAndRefusedTransfersAreNeverSuccesses)
{
    const QString before = panel(5);
    chipsim::ChipConfig slow = chip->config();
    slow.storeBytesPerSecond = 1e6;
    chip->setConfig(slow);
    chipsim::ChipFaults f;
    f.failTransferAtPercent = 50;
    chip->setFaults(f);
    const QString path = write(QStringLiteral("words.dix"), kDix + QByteArray(25000, 'e'));
    prompter.queue(vx::Answer::Ok);
    DownloadDictionary(path);
    EXPECT_EQ(prompter.last().text, QStringLiteral("ERROR: The transfer to the chip failed."));
    EXPECT_EQ(prompter.last().icon, vx::Icon::Exclamation);
    EXPECT_EQ(panel(5), before);
    EXPECT_FALSE(DictionaryKnown);
    expectRestored();

    // A missing file is the link's error too.
    chip->setFaults({});
    prompter.queue(vx::Answer::Ok);
    DownloadSoundLibrary(dir + QStringLiteral("gone.sfx"));
    EXPECT_TRUE(prompter.last().text.startsWith(QStringLiteral("ERROR: ")));
    expectRestored();

    // A chip PCM file in the plain form carries no command: the chip would
    // keep nothing of it.
    chip->clearLogs();
    prompter.queue(vx::Answer::Ok);
    DownloadFile(write(QStringLiteral("W2.pcm"), vxtest::plainPcm(QByteArray(100, 'p'))));
    EXPECT_TRUE(prompter.last().text.startsWith(
        QStringLiteral("ERROR: The file W2.pcm is a chip PCM file in the SV3410 form")));
    EXPECT_EQ(chip->downloadCount(), 0);
    EXPECT_TRUE(chip->recFiles().isEmpty());
    expectRestored();

    // The older chip refuses chip PCM files before anything is sent.
    IsOlderChip = true;
    chip->clearLogs();
    prompter.queue(vx::Answer::Ok);
    DownloadFile(write(QStringLiteral("X.PCM"), QByteArray(100, 'p')));
    EXPECT_TRUE(prompter.last().text.startsWith(
        QStringLiteral("ERROR: PCM data files cannot be stored in the SV3410; they can only be played")));
    EXPECT_EQ(chip->downloadCount(), 0);
    expectRestored();
}

TEST_F(Downloads, CancelOnTheProgressStopsTheTransferAndFreesThePort)
{
    const QByteArray pcm = chipsim::makeMarkedPcm(78, 1, QByteArray(200 * 1024, 'p'));
    const QString path = write(QStringLiteral("long.pcm"), pcm);
    bool cancelShown = false, armed = true;
    QObject::connect(link.get(), &cTolvane::PercentDone, main.get(), [&](int percent, bool &) {
        frmProgress *p = frmProgress::loaded();
        if (armed && percent >= 10 && p && !StopRequested) {
            cancelShown = p->cmdCancel->isVisible();
            p->cmdCancel->click();
        }
    });
    prompter.queue(vx::Answer::Ok);
    DownloadFile(path);
    EXPECT_TRUE(cancelShown);
    EXPECT_EQ(prompter.last().text,
              QStringLiteral("ERROR: The transfer of 'Long.pcm' was cancelled before it was complete."));
    EXPECT_EQ(chip->downloadCount(), 0);
    EXPECT_EQ(chip->writeLog().last().bytes, QByteArray(1, '\xFF')) << "the chip was told to drop the transfer";
    expectRestored();

    // The port is left open and usable: the next download arrives whole.
    ASSERT_TRUE(Comm->PortOpen());
    armed = false;
    prompter.queue(vx::Answer::Ok);
    DownloadFile(path);
    EXPECT_EQ(prompter.last().text, QStringLiteral("'Long.pcm' was successfully downloaded. "));
    EXPECT_EQ(chip->lastDownload(), pcm);
}

// A download paced by the chip mostly waits for CTS. Each wait sleeps until
// the chip lowers or raises CTS or a 5 ms look is due: a few wake-ups a
// block, where a wait that spun would take dozens. (The processor time this
// costs is bench_downloads' figure.)
TEST_F(Downloads, WaitingForTheLineCostsNoProcessor)
{
    chipsim::ChipConfig cfg = chip->config();
    cfg.storeBytesPerSecond = 11520; // the line's own pace: the program mostly waits for CTS
    cfg.transferLineTime = true;
    chip->setConfig(cfg);
    const QString path =
        write(QStringLiteral("paced.pcm"), chipsim::makeMarkedPcm(78, 1, QByteArray(64 * 1024 - 17, 'p')));
    prompter.queue(vx::Answer::Ok);
    chip->clearLogs();
    const quint64 wakeUpsBefore = Comm->wakeUps();
    DownloadFile(path);
    EXPECT_EQ(prompter.last().text, QStringLiteral("'Paced.pcm' was successfully downloaded. "));
    const auto blocks = quint64(chip->writeLog().size());
    ASSERT_GT(blocks, 500u);
    EXPECT_LE(Comm->wakeUps() - wakeUpsBefore, 6 * blocks) << blocks << " blocks";
}

// A task on the chip leaves the window the user works in active, maximised
// or not as it was: the control panels stay where they were.
TEST_F(Downloads, AChipTaskLeavesTheUsersWindowWhereItWas)
{
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    ShowControlPanel();
    RegisterSoundLibDocuments();
    NewSoundLibDocument(); // the window itself holds the focus, as a library just opened does
    DocumentWindow *lib = ActiveDocument();
    ASSERT_NE(lib, nullptr);
    auto *sub = qobject_cast<QMdiSubWindow *>(lib->frame());
    ASSERT_NE(sub, nullptr);
    AudioPlayer = 0; // sounds play on the chip
    const QString tgx = write(QStringLiteral("tune.tgx"), QByteArray("v1qc4"));
    const QString pcm = write(QStringLiteral("hello.pcm"), vxtest::plainPcm(QByteArray(64, 'p')));
    int otherActivated = 0;
    QObject::connect(main->MDIClient, &QMdiArea::subWindowActivated, main.get(), [&](QMdiSubWindow *w) {
        otherActivated += w && w != sub;
    });
    for (const bool maximised : {true, false}) {
        for (const QString &path : {tgx, pcm}) {
            SCOPED_TRACE(path.toStdString() + (maximised ? " maximised" : ""));
            maximised ? sub->showMaximized() : sub->showNormal();
            lib->SetFocus();
            ASSERT_EQ(main->MDIClient->activeSubWindow(), sub);
            otherActivated = 0;
            // While it plays the user looks at another window and comes back.
            bool cameBack = false;
            QTimer whilePlaying;
            whilePlaying.setInterval(2);
            QObject::connect(&whilePlaying, &QTimer::timeout, [&] {
                if (!Busy)
                    return;
                whilePlaying.stop();
                QWidget elsewhere;
                elsewhere.show();
                elsewhere.activateWindow();
                const bool away = QTest::qWaitForWindowActive(&elsewhere);
                elsewhere.hide();
                main->activateWindow();
                cameBack = away && QTest::qWaitForWindowActive(main.get()) && Busy;
            });
            whilePlaying.start();
            prompter.queueFiles({path});
            main->RunCommand(QStringLiteral("mnuFilePlay"));
            EXPECT_TRUE(cameBack);
            EXPECT_FALSE(Busy);
            EXPECT_EQ(otherActivated, 0);
            EXPECT_EQ(main->MDIClient->activeSubWindow(), sub);
            EXPECT_EQ(sub->isMaximized(), maximised);
            EXPECT_EQ(ActiveDocument(), lib);
        }
    }
}

TEST_F(Downloads, GreetingFromTheTextWindow)
{
    NewTextDocument();
    auto *text = qobject_cast<frmTextBox *>(ActiveDocument());
    ASSERT_NE(text, nullptr);
    const QString path = dir + QStringLiteral("hello.grt");

    // Too long by one, and a refused command: messages, and no file.
    text->txtInputBox->setText(QString(236, QLatin1Char('a')));
    prompter.queue(vx::Answer::Ok);
    CreateGreetingMessage(path);
    EXPECT_TRUE(prompter.last().text.contains(QStringLiteral("235 bytes by 1 bytes.")));
    EXPECT_EQ(prompter.last().helpTopic, 289);
    text->txtInputBox->setText(QStringLiteral("Hi ~245l there"));
    prompter.queue(vx::Answer::Ok);
    CreateGreetingMessage(path);
    EXPECT_EQ(prompter.last().text,
              QStringLiteral("'L' command not allowed in Greeting messages. Process terminated. "));
    EXPECT_FALSE(QFileInfo::exists(path));

    // Written, offered, downloaded; the CR follows.
    text->txtInputBox->setText(QStringLiteral("Hi ~5s\nthere"));
    prompter.queue(vx::Answer::Yes);
    prompter.queue(vx::Answer::Ok);
    CreateGreetingMessage(path);
    const QByteArray expected = QByteArray("\r\r\x18\x1e\x01" "255wHi \x01" "5s\r\nthere", 22) + '\0';
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), expected);
    EXPECT_EQ(prompter.prompts().at(prompter.prompts().size() - 2).defaultButton, 2);
    EXPECT_EQ(chip->greeting(), expected);
    EXPECT_TRUE(prompter.last().text.startsWith(QStringLiteral("The greeting file 'Hello.grt' was successfully")));
    EXPECT_EQ(chip->writeLog().last().bytes, QByteArray("\r"));
    expectRestored();

    // The offer sends the greeting it wrote, whatever the name the user gave it.
    for (const char *name : {"hello.msg", "hello.bin"}) {
        chip->clearLogs();
        prompter.queue(vx::Answer::Yes);
        prompter.queue(vx::Answer::Ok);
        CreateGreetingMessage(dir + QLatin1String(name));
        EXPECT_TRUE(prompter.last().text.startsWith(QStringLiteral("The greeting file '") +
                                                    ProperCase(QLatin1String(name)) +
                                                    QStringLiteral("' was successfully downloaded.")))
            << prompter.last().text.toStdString();
        ASSERT_EQ(chip->downloads().size(), 1) << name;
        EXPECT_EQ(chip->downloads()[0].kind, chipsim::DownloadKind::Greeting) << name;
        EXPECT_EQ(chip->greeting(), expected) << name;
        expectRestored();
    }

    // A folder that is not there: one message, no file.
    prompter.queue(vx::Answer::Ok);
    CreateGreetingMessage(dir + QStringLiteral("none/hello.grt"));
    EXPECT_TRUE(prompter.last().text.startsWith(QStringLiteral("Error 75: ")));
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("none")));

    // A line typed with Shift+Enter goes in as CR LF; a character the code
    // page lacks is named first, and a No writes nothing.
    const QString other = dir + QStringLiteral("other.grt");
    text->txtInputBox->setText(QStringLiteral("Hi\u2028\u017cona"));
    const auto asked = prompter.prompts().size();
    prompter.queue(vx::Answer::No);
    CreateGreetingMessage(other);
    ASSERT_EQ(prompter.prompts().size(), asked + 1);
    EXPECT_TRUE(prompter.last().text.startsWith(QStringLiteral("Other.grt holds")));
    EXPECT_TRUE(prompter.last().text.endsWith(QStringLiteral("\r\n\r\n\u017c\r\n\r\nSave anyway?")));
    EXPECT_EQ(prompter.last().defaultButton, 2);
    EXPECT_FALSE(QFileInfo::exists(other));
    prompter.queue(vx::Answer::Yes);
    prompter.queue(vx::Answer::No);
    CreateGreetingMessage(other);
    EXPECT_EQ(vxtest::readAll(other), QByteArray("\r\r\x18\x1e\x01" "255wHi\r\n?ona", 17) + '\0');
}

} // namespace
