// The main window of the download utility against the in-process chip:
// start-up, the port lists, every task with its session bracket, the
// confirmations and the cancel texts.
#include "Support.h"

#include "tolvane/ui/ClickLabel.h"
#include "tolvane/Session.h"
#include "tolvane/FileTypes.h"
#include "tolvane/ui/frmMain.h"

#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include "platform/StopSignals.h"
#include "platform/ui/StopHandler.h"
#include "tests/support/Bytes.h"
#include "tests/support/Files.h"
#include "tests/support/Ui.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <memory>

using namespace tolvtest;

namespace {

const QByteArray kEndOfSession("\r\x01" "7h\0", 5);

class MainWindow : public ::testing::Test
{
protected:
    void start(int storedPort)
    {
        chip = freshStart(storedPort);
        main = std::make_unique<frmMain>();
        main->cTolv->setReplyTimeout(5.0);
        ASSERT_TRUE(main->Form_Load({}));
    }
    void TearDown() override
    {
        main.reset();
        vx::Clock::setSpeed(1);
    }
    // The message as written: the word joiners that keep a path whole show nothing.
    [[nodiscard]] QString msg() const { return main->lblProgressMsg->text().remove(QChar(0x2060)); }
    // The message line holds its text whole, inside the window and clear of
    // the status frame and the page shown.
    void expectMessageWhole(const char *what)
    {
        SCOPED_TRACE(what);
        const QLabel *l = main->lblProgressMsg;
        EXPECT_GE(l->height(), l->heightForWidth(l->width())) << msg().toStdString();
        EXPECT_TRUE(main->centralWidget()->rect().contains(l->geometry()));
        EXPECT_FALSE(l->geometry().intersects(main->fraStatus->geometry()));
        for (const QFrame *page : main->picTaskWindow)
            EXPECT_FALSE(page->isVisible() && l->geometry().intersects(page->geometry()));
    }
    // The whole session as the chip took it, and the idle state after it.
    void expectSessionClosed(const char *what)
    {
        SCOPED_TRACE(what);
        const QByteArray bytes = chip->acceptedBytes();
        EXPECT_TRUE(bytes.startsWith('\r'));
        EXPECT_TRUE(bytes.endsWith(kEndOfSession));
        EXPECT_FALSE(G.Comm->PortOpen());
        EXPECT_FALSE(G.Busy);
        EXPECT_TRUE(main->picLEDGreen->isVisible());
        EXPECT_FALSE(main->picLEDRed->isVisible());
        EXPECT_FALSE(main->picProgress->isVisible());
        EXPECT_TRUE(main->cboBaudRate->isEnabled());
        EXPECT_EQ(main->windowTitle(), QStringLiteral("Tolvane 2.0"));
        chip->clearLogs();
    }

    vx::ScriptedPrompter prompts;
    chipsim::Chip *chip = nullptr;
    std::unique_ptr<frmMain> main;
};

} // namespace

TEST_F(MainWindow, FirstStartWithoutPortRefusesEveryTask)
{
    start(0);
    EXPECT_EQ(main->cboPort->count(), 32);
    EXPECT_EQ(main->cboPort->itemText(31), QStringLiteral("COM32"));
    EXPECT_EQ(main->cboPort->currentIndex(), -1);
    EXPECT_EQ(main->cboBaudRate->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(setting("BaudRate"), QStringLiteral("6"));
    EXPECT_EQ(main->lblComInfo[0]->text(), QStringLiteral("COM0:9600"));
    EXPECT_EQ(main->lblComInfo[1]->text(), QStringLiteral("COM0:9600"));
    EXPECT_TRUE(main->picTaskWindow[3]->isVisible()) << "no port: the communications page is shown";
    EXPECT_FALSE(main->picTaskWindow[0]->isVisible());
    EXPECT_TRUE(main->lblTask[3]->font().bold());
    EXPECT_EQ(main->picLEDGreen->toolTip(), QStringLiteral("Version 2.00.0048"));
    EXPECT_EQ(main->size(), QSize(7420 / 15, 5400 / 15));

    // No dialog may appear (the prompter would stop the test) and nothing reaches the chip.
    const std::function<void()> tasks[] = {
        [&] { main->DownloadChipFile(); },     [&] { main->RefreshChipInfo(); },
        [&] { main->UploadRecording(); },      [&] { main->DeleteRecording(); },
        [&] { main->PlayRecording(); },        [&] { main->EraseRecordingMemory(); },
        [&] { main->RepairRecordingMemory(); }};
    ConfirmAnswerer noConfirm(ConfirmAnswerer::Cancel);
    for (const auto &task : tasks) {
        task();
        EXPECT_EQ(msg(), QStringLiteral("ERROR: COM port not selected."));
    }
    EXPECT_EQ(noConfirm.seen, 0);
    EXPECT_TRUE(chip->byteLog().isEmpty());
    EXPECT_TRUE(prompts.prompts().isEmpty());

    // Choosing a port stores it at once.
    main->cboPort->setCurrentIndex(2);
    emit main->cboPort->activated(2);
    EXPECT_EQ(setting("Port"), QStringLiteral("3"));
    EXPECT_EQ(main->lblComInfo[1]->text(), QStringLiteral("COM3:9600"));
}

// Where the settings cannot be written, the first choice that is lost says
// so, naming the file and the cause; the later ones of the run do not.
TEST_F(MainWindow, AChoiceTheSettingsCannotKeepIsToldOnceARun)
{
    vx::resetSettingsNotice();
    const vxtest::BlockedSettings blocked(tolv::appName());
    // The start writes back what the lists show; nobody chose it, so nothing is said.
    start(0);
    EXPECT_TRUE(prompts.prompts().isEmpty()) << prompts.last().text.toStdString();
    prompts.queue(vx::Answer::Ok);
    main->cboPort->setCurrentIndex(4);
    emit main->cboPort->activated(4);
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_TRUE(prompts.last().text.contains(blocked.file + QStringLiteral(": Not a directory")))
        << prompts.last().text.toStdString();
    EXPECT_EQ(G.Port, 5);

    main->cboBaudRate->setCurrentIndex(9);
    emit main->cboBaudRate->activated(9);
    QTest::mouseClick(main->lblResetDialogs, Qt::LeftButton);
    EXPECT_EQ(prompts.prompts().size(), 1);
}

TEST_F(MainWindow, StoredPortAndPageHandling)
{
    chip = freshStart(3);
    SaveSetting(tolv::appName(), QStringLiteral("Settings"), QStringLiteral("BaudRate"), QStringLiteral("10"));
    main = std::make_unique<frmMain>();
    ASSERT_TRUE(main->Form_Load({}));
    EXPECT_EQ(main->cboPort->currentText(), QStringLiteral("COM3"));
    EXPECT_EQ(main->cboBaudRate->currentText(), QStringLiteral("115200"));
    EXPECT_EQ(setting("Port"), QStringLiteral("3"));
    EXPECT_EQ(setting("BaudRate"), QStringLiteral("10"));
    EXPECT_EQ(main->lblComInfo[0]->text(), QStringLiteral("COM3:115200"));
    EXPECT_TRUE(main->picTaskWindow[0]->isVisible());
    EXPECT_TRUE(main->lblTask[0]->font().bold());

    // The heading has no page; the recording memory label switches pages.
    QTest::mouseClick(main->lblTask[4], Qt::LeftButton);
    EXPECT_TRUE(main->picTaskWindow[0]->isVisible());
    QTest::mouseClick(main->lblTask[2], Qt::LeftButton);
    EXPECT_TRUE(main->picTaskWindow[2]->isVisible());
    EXPECT_FALSE(main->picTaskWindow[0]->isVisible());
    EXPECT_TRUE(main->lblTask[2]->font().bold());
    EXPECT_FALSE(main->lblTask[0]->font().bold());
    // The download label runs the download and leaves the page.
    prompts.queueCancel();
    QTest::mouseClick(main->lblTask[1], Qt::LeftButton);
    EXPECT_EQ(prompts.last().title, QStringLiteral("Download File"));
    EXPECT_TRUE(main->picTaskWindow[2]->isVisible());
    EXPECT_TRUE(msg().isEmpty()) << "a cancelled dialog opens nothing";
    EXPECT_TRUE(chip->byteLog().isEmpty());

    main->txtIndexVal->setText(QStringLiteral("a1b2"));
    EXPECT_EQ(main->txtIndexVal->text(), QStringLiteral("12"));

    // "Reset Dialog Windows" works while busy.
    SaveSetting(tolv::appName(), QStringLiteral("Settings"), QStringLiteral("DisplayErasConfirm"), QStringLiteral("False"));
    G.DisplayErasConfirm = false;
    G.Busy = true;
    QTest::mouseClick(main->lblResetDialogs, Qt::LeftButton);
    G.Busy = false;
    EXPECT_TRUE(G.DisplayErasConfirm);
    EXPECT_EQ(setting("DisplayErasConfirm"), QStringLiteral("True"));
    EXPECT_EQ(setting("DisplayDnldConfirm"), QStringLiteral("True"));
}

TEST_F(MainWindow, RecordingMemoryTasksRunInsideOneSession)
{
    start(1);
    ASSERT_TRUE(chip->addRecFile(7, markedPcm(7, 2000, 0x11)));
    ASSERT_TRUE(chip->addRecFile(9, markedPcm(9, 4000, 0x22)));

    main->txtIndexVal->setText(QStringLiteral("9"));
    main->optIndexType[1]->setChecked(true);
    main->DeleteRecording();
    EXPECT_EQ(msg(), QStringLiteral("File successfully deleted."));
    EXPECT_EQ(chip->recFiles().size(), 1);
    EXPECT_EQ(main->lblProductVal->text(), QStringLiteral("SV3420"));
    EXPECT_EQ(main->lblNumOfFilesVal->text(), QStringLiteral("1"));
    expectSessionClosed("delete");

    // Play cancelled with the Cancel button.
    int percents = 0;
    QObject::connect(main->cTolv, &cTolvane::PercentDone, main.get(), [&](int, bool &) {
        if (++percents == 1 && main->cmdCancel->isVisible())
            main->cmdCancel->click();
    });
    main->txtIndexVal->setText(QStringLiteral("7"));
    main->PlayRecording();
    EXPECT_EQ(msg(), QStringLiteral("Play canceled."));
    EXPECT_FALSE(main->cmdCancel->isVisible());
    EXPECT_FALSE(chip->playingRecording());
    expectSessionClosed("play");

    // Upload cancelled: no file, the cancel text, the chip information refreshed.
    // The dialog gives the name with the extension it adds (and asks about
    // replacing that file, not the name as typed).
    const QString target = QString::fromStdString(vxtest::freshDir("up")) + QStringLiteral("/seven.pcm");
    percents = 0;
    main->lblRecMemAvailVal->clear();
    prompts.queueFiles({target});
    main->UploadRecording();
    EXPECT_EQ(prompts.last().defaultText, QStringLiteral("Tag7.pcm"));
    EXPECT_EQ(prompts.last().defaultSuffix, QStringLiteral("pcm"));
    EXPECT_TRUE(prompts.last().overwritePrompt);
    EXPECT_EQ(msg(), QStringLiteral("Upload canceled."));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_FALSE(main->lblRecMemAvailVal->text().isEmpty());
    expectSessionClosed("upload cancelled");

    percents = 1; // no more cancelling
    prompts.queueFiles({target});
    main->UploadRecording();
    EXPECT_EQ(msg(), QStringLiteral("Upload of 'Seven.pcm' complete."));
    EXPECT_TRUE(QFile::exists(target));
    expectSessionClosed("upload");

    // A failing call: the error, and the session still ends.
    main->txtIndexVal->setText(QStringLiteral("99"));
    main->PlayRecording();
    EXPECT_EQ(msg(), QStringLiteral("ERROR: There is no such file in the recording memory."));
    expectSessionClosed("failed play");
    main->txtIndexVal->setText(QStringLiteral("99999999999"));
    main->DeleteRecording();
    EXPECT_EQ(msg(), QStringLiteral("ERROR: Overflow"));
    EXPECT_EQ(chip->recFiles().size(), 1);
    expectSessionClosed("overflow");

    chip->setRecMemCorrupt(true);
    main->RefreshChipInfo();
    EXPECT_EQ(msg(), QStringLiteral("ERROR: Recording memory\r\ncorrupt"));
    EXPECT_EQ(main->lblRecMemAvailVal->text(), QStringLiteral("n/a"));
    main->RepairRecordingMemory();
    EXPECT_EQ(msg(), QStringLiteral("Recording memory repaired."));
    EXPECT_FALSE(chip->recMemCorrupt());
    expectSessionClosed("repair");
}

TEST_F(MainWindow, ConfirmationsAndDownloads)
{
    start(1);
    // The first task: a library larger than the chip's recording memory.
    // Not a byte of it goes out.
    const qint32 recMem = chip->config().recMemBytes;
    const QByteArray big = vxtest::kSoundLibraryHead + QByteArray(recMem, 's');
    prompts.queueFiles({writeFile(QStringLiteral("big.sfx"), big)});
    main->DownloadChipFile();
    EXPECT_EQ(msg(), QStringLiteral("ERROR: The file big.sfx is %1 bytes long; the chip takes at most %2 bytes.")
                         .arg(big.size())
                         .arg(recMem));
    EXPECT_FALSE(chip->acceptedBytes().contains("\x01" "31?"));
    expectSessionClosed("too large for the chip");

    ASSERT_TRUE(chip->addRecFile(7, markedPcm(7, 2000, 0x11)));
    // The notice, wider than the window, stays on the screen with the window
    // at its left edge, and stands centred over it where there is room.
    const QRect screen = main->screen()->availableGeometry();
    main->move(screen.topLeft() + QPoint(0, 100));
    {
        ConfirmAnswerer cancel(ConfirmAnswerer::Cancel, true);
        main->EraseRecordingMemory();
        EXPECT_EQ(cancel.seen, 1);
        EXPECT_GT(cancel.where.width(), main->width());
        EXPECT_TRUE(screen.contains(cancel.where)) << cancel.where.x() << "," << cancel.where.y();
        EXPECT_EQ(cancel.text, QStringLiteral("Are you sure you want to erase the recording memory? All recorded and "
                                              "downloaded sounds \r\nwill be erased."));
        EXPECT_LE(cancel.lineOverflow, 0) << "the notice reads in the lines it was written in";
    }
    EXPECT_TRUE(msg().isEmpty());
    EXPECT_EQ(chip->recFiles().size(), 1);
    EXPECT_TRUE(setting("DisplayErasConfirm").isEmpty()) << "Cancel stores nothing";
    EXPECT_TRUE(chip->byteLog().isEmpty());
    main->move(screen.center() - QPoint(main->width() / 2, main->height() / 2));
    {
        ConfirmAnswerer ok(ConfirmAnswerer::Ok, true);
        main->EraseRecordingMemory();
        EXPECT_EQ(ok.seen, 1);
        EXPECT_LE((ok.where.center() - main->frameGeometry().center()).manhattanLength(), 2);
        main->EraseRecordingMemory();
        EXPECT_EQ(ok.seen, 1) << "switched off: the next erase asks nothing";
    }
    EXPECT_EQ(setting("DisplayErasConfirm"), QStringLiteral("False"));
    EXPECT_EQ(msg(), QStringLiteral("Recording memory initialized."));
    EXPECT_TRUE(chip->recFiles().isEmpty());
    expectSessionClosed("erase");

    // A download, then a firmware image declined by the close box.
    const QByteArray dix = vxtest::kDictionaryHead + QByteArray(3000, 'd');
    prompts.queueFiles({writeFile(QStringLiteral("words.dix"), dix)});
    main->DownloadChipFile();
    EXPECT_EQ(prompts.last().filter, tolv::downloadFilter());
    EXPECT_EQ(msg(), QStringLiteral("'Words.dix' was successfully downloaded."));
    EXPECT_EQ(chip->lastDownload(), dix);
    expectSessionClosed("download");
    // Under a name that shows no kind, the kind its first bytes show.
    prompts.queueFiles({writeFile(QStringLiteral("words.obj"), dix)});
    main->DownloadChipFile();
    EXPECT_EQ(msg(), QStringLiteral("'Words.obj' was successfully downloaded."));
    EXPECT_EQ(chip->downloadCount(), 2);
    expectSessionClosed("download under another name");

    // Nothing the chip would keep nothing of reads as downloaded: a chip PCM
    // file in the plain form, a wave chosen under All Files, a name typed in.
    for (const char *name : {"W2.pcm", "tone.wav", "notes"}) {
        prompts.queueFiles({writeFile(QLatin1String(name), vxtest::plainPcm(QByteArray(2000, 'p')))});
        main->DownloadChipFile();
        EXPECT_TRUE(msg().startsWith(QStringLiteral("ERROR: The file ") + QLatin1String(name))) << msg().toStdString();
        expectMessageWhole(name);
        EXPECT_EQ(chip->downloadCount(), 2) << name;
        EXPECT_TRUE(chip->recFiles().isEmpty()) << name;
        expectSessionClosed(name);
    }

    prompts.queueFiles({writeFile(QStringLiteral("m.bin"), chipsim::makeFirmwareImage(1, 0x0305))});
    {
        ConfirmAnswerer close(ConfirmAnswerer::CloseBox);
        main->DownloadChipFile();
        EXPECT_EQ(close.seen, 1);
        EXPECT_TRUE(close.text.startsWith(QStringLiteral("M.bin will overwrite all or part of the SV3410's")));
    }
    EXPECT_EQ(chip->firmwareWrites(), 0);
    EXPECT_EQ(msg(), QStringLiteral("ERROR: Download canceled.")) << "never reported as downloaded";
    expectSessionClosed("firmware declined");

    // A transfer that fails part way.
    chip->faults().failTransferAtPercent = 50;
    prompts.queueFiles({writeFile(QStringLiteral("lib.sfx"), vxtest::kSoundLibraryHead + QByteArray(4000, 's'))});
    main->DownloadChipFile();
    EXPECT_TRUE(msg().startsWith(QStringLiteral("ERROR: "))) << msg().toStdString();
    expectSessionClosed("failed download");

    chip->faults().failTransferAtPercent = -1;
    chip->setConfig(chipsim::ChipConfig::forModel(QStringLiteral("SV3410")));
    prompts.queueFiles({writeFile(QStringLiteral("t42.pcm"), markedPcm(42, 2000, 0x11))});
    main->DownloadChipFile();
    EXPECT_TRUE(msg().endsWith(QStringLiteral("Play it in the SV3410's real-time playback mode instead.")))
        << msg().toStdString();
    expectMessageWhole("chip PCM file for the SV3410");
}

TEST_F(MainWindow, BracketClosesWhenThePortFails)
{
    start(1);
    ASSERT_TRUE(tolv::OpenPort());
    // Already open: nothing is touched and nothing waited for.
    G.Port = 5;
    const double before = vx::Clock::seconds();
    EXPECT_TRUE(tolv::OpenPort());
    EXPECT_LT(vx::Clock::seconds() - before, 0.25);
    EXPECT_EQ(G.Comm->CommPort(), 1);
    G.Port = 1;

    // The end-of-session command cannot be sent: the bracket still closes.
    main->BeginTask();
    EXPECT_TRUE(G.Busy);
    EXPECT_TRUE(main->picLEDRed->isVisible());
    EXPECT_FALSE(main->cboBaudRate->isEnabled());
    G.Comm->setPortOpen(false);
    QString error;
    main->EndTask(&error);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(G.Busy);
    EXPECT_TRUE(main->picLEDGreen->isVisible());
    EXPECT_TRUE(main->cboBaudRate->isEnabled());

    // A chip that does not answer the refresh.
    chip->faults().silent = true;
    main->cTolv->setReplyTimeout(0.5);
    main->RefreshChipInfo();
    EXPECT_TRUE(msg().startsWith(QStringLiteral("ERROR: "))) << msg().toStdString();
    EXPECT_FALSE(G.Busy);
    EXPECT_FALSE(G.Comm->PortOpen());

    // A port that cannot be opened: the task does not start. The device's
    // path reads whole on its line.
    const QString device = QStringLiteral("/nonexistent/serial-adapters/by-id/usb-serial-port-0");
    qputenv("VOXMERE_COM1", device.toUtf8());
    main->RepairRecordingMemory();
    EXPECT_TRUE(msg().startsWith(QStringLiteral("ERROR: Invalid port number (") + device)) << msg().toStdString();
    const QStringList lines = vxtest::shownLines(main->lblProgressMsg);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString &l) { return l.contains(device); }))
        << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(G.Busy);
    qputenv("VOXMERE_COM1", "sim");
}

TEST_F(MainWindow, OneTaskAtATimeWhateverIsClicked)
{
    start(1);
    for (quint16 tag : {1, 2, 3})
        ASSERT_TRUE(chip->addRecFile(tag, markedPcm(tag, 2000, char(tag))));
    QTest::mouseClick(main->lblTask[2], Qt::LeftButton);
    main->txtIndexVal->setText(QStringLiteral("0"));
    const auto queries = [&](const char *number) {
        return chip->acceptedBytes().count(QByteArray("\x01") + number + '?');
    };

    // A double click on Delete: its second half arrives while the first
    // click's task waits for the port and the chip.
    ClickLabel *del = main->lblRecMemCmd[2];
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QCoreApplication::postEvent(del, new QMouseEvent(type, QPointF(5, 5), del->mapToGlobal(QPointF(5, 5)),
                                                         Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                                                         Qt::NoModifier));
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(msg(), QStringLiteral("File successfully deleted."));
    EXPECT_EQ(chip->recFiles().size(), 2);
    EXPECT_EQ(queries("34"), 1);
    expectSessionClosed("double click");

    // Play clicked again and again while a delete opens the port, wakes the
    // chip and runs: none of the clicks starts a task.
    int clicks = 0;
    QTimer clicker;
    clicker.setInterval(1);
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        ++clicks;
        emit main->lblRecMemCmd[3]->clicked();
    });
    clicker.start();
    main->DeleteRecording();
    clicker.stop();
    EXPECT_GT(clicks, 3);
    EXPECT_EQ(msg(), QStringLiteral("File successfully deleted."));
    EXPECT_EQ(queries("35"), 0) << "no play began";
    expectSessionClosed("clicks during a delete");

    // "Update Now" during a repair neither closes the port under it nor runs.
    clicks = 0;
    QObject::disconnect(&clicker, nullptr, nullptr, nullptr);
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        ++clicks;
        emit main->lblUpdate->clicked();
    });
    clicker.start();
    main->RepairRecordingMemory();
    clicker.stop();
    EXPECT_GT(clicks, 3);
    EXPECT_EQ(msg(), QStringLiteral("Recording memory repaired."));
    EXPECT_EQ(chip->acceptedBytes().count(QByteArray("\x01" "7h")), 1) << "one session";
    expectSessionClosed("update during a repair");
}

// A logout while a task runs: the task stops as its Cancel stops it, its
// session ends, and then the window closes.
TEST_F(MainWindow, AStopCancelsTheRunningTaskAsItsCancelDoesThenClosesTheWindow)
{
    start(1);
    ASSERT_TRUE(chip->addRecFile(7, markedPcm(7, 2000, 0x11)));
    vx::StopSignals stop;
    vx::StopHandler onStop(stop, *main);
    int percents = 0;
    QObject::connect(main->cTolv, &cTolvane::PercentDone, main.get(), [&](int, bool &) {
        if (++percents == 1)
            ::raise(SIGTERM);
    });
    main->txtIndexVal->setText(QStringLiteral("7"));
    main->optIndexType[1]->setChecked(true);
    QString afterPlay;
    bool shownAfterPlay = false;
    QTimer::singleShot(0, [&] {
        main->PlayRecording();
        afterPlay = msg();
        shownAfterPlay = main->isVisible();
    });
    ASSERT_TRUE(vxtest::runUntil([&] { return !main->isVisible(); }));
    EXPECT_EQ(afterPlay, QStringLiteral("Play canceled."));
    EXPECT_TRUE(shownAfterPlay);
    EXPECT_FALSE(chip->playingRecording());
    EXPECT_TRUE(chip->acceptedBytes().endsWith(kEndOfSession));
    EXPECT_FALSE(G.Comm->PortOpen());
}

// A Cancel at the very start of a play is never lost: the user's own as soon
// as it shows, or a stop's, as it shows or while the port still opens.
TEST_F(MainWindow, ACancelAtTheStartOfATaskIsNeverLost)
{
    start(1);
    vx::Clock::setSpeed(4); // the start's waits outlast the stop's polls
    ASSERT_TRUE(chip->addRecFile(7, markedPcm(7, 4000, 0x11)));
    main->txtIndexVal->setText(QStringLiteral("7"));
    main->optIndexType[1]->setChecked(true);
    const struct
    {
        const char *what;
        bool signal;
        bool beforeCancelShows;
    } cases[] = {
        {"the user's Cancel as it shows", false, false},
        {"a stop as the Cancel shows", true, false},
        {"a stop while the port opens", true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        main->show();
        vx::StopSignals stop;
        vx::StopHandler onStop(stop, *main);
        QTimer moment;
        QObject::connect(&moment, &QTimer::timeout, [&] {
            const bool cancelShown = !main->cmdCancel->isHidden();
            if (!G.Busy || (c.beforeCancelShows ? cancelShown || !G.Comm->PortOpen() : !cancelShown))
                return;
            moment.stop();
            if (c.signal)
                ::raise(SIGTERM);
            else
                main->cmdCancel->click();
        });
        moment.start(1);
        QString said;
        QTimer::singleShot(0, [&] {
            main->PlayRecording();
            said = msg();
        });
        ASSERT_TRUE(vxtest::runUntil([&] { return !said.isEmpty() && main->isVisible() != c.signal; }));
        EXPECT_EQ(said, QStringLiteral("Play canceled."));
    }
}
