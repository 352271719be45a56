#include "tests/app/startup/PreferenceDefaults.h"
#include "app/shell/ui/frmPrefs.h"
#include "app/startup/ChipLink.h"
#include "app/documents/ui/Documents.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/Globals.h"
#include "app/startup/Preferences.h"
#include "app/startup/ui/frmMDI.h"
#include "app/startup/ui/frmSplash.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "common/Clock.h"
#include "link/cTolvane.h"
#include "platform/Folders.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "tests/support/TestEnv.h"
#include "tests/support/Ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QFile>
#include <QLabel>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using vxtest::click;
using vxtest::whenShown;

namespace {

const QString kApp = QStringLiteral("Voxmere");
const QString kSec = QStringLiteral("Settings");

const QString kBoardText = QStringLiteral(
    "Voxmere is unable to establish communication with the SV3420 evaluation board. Check that the power is "
    "on, the serial cable is connected, and that the correct port is selected in Preferences.\r\n\n"
    "To verify the port setting, click \"Preferences.\" Otherwise, click \"Demo\" to run the software in demo "
    "mode without the evaluation board. The program's functionality will be severely limited in this mode, "
    "however.");
const QString kCtsText = QStringLiteral(
    "The SV3420's CTS pin indicates that the SV3420 is not ready. Check that the serial cable is properly "
    "connected and that the correct port is selected in Preferences.\r\n\n"
    "To verify the port setting, click \"Preferences.\" Otherwise, click \"Demo\" to run the software in demo "
    "mode without the evaluation board. The program's functionality will be severely limited in this mode, "
    "however.");

// The probes ("\x01" "99i" NUL) the chip saw, with whether each got through.
QVector<bool> probes(const chipsim::Chip &chip)
{
    QVector<bool> out;
    const QByteArray probe("\x01" "99i", 4);
    for (const chipsim::LoggedWrite &w : chip.writeLog())
        if (w.bytes.startsWith(probe))
            out.append(true);
    // Whether each arrived: the first byte of each probe in the byte log.
    int n = 0;
    const auto &log = chip.byteLog();
    for (int i = 0; i + 3 < log.size(); ++i)
        if (log[i].byte == 1 && log[i + 1].byte == '9' && log[i + 2].byte == '9' && log[i + 3].byte == 'i')
            out[n++] = log[i].accepted;
    return out;
}

int countOf(const chipsim::Chip &chip, const QByteArray &bytes)
{
    int n = 0;
    for (const chipsim::LoggedWrite &w : chip.writeLog())
        n += w.bytes.count(bytes);
    return n;
}

class ChipLink : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        // Fast enough to keep the waits short, slow enough that the emulator's
        // replies arrive within the program's waits on a loaded machine.
        vx::Clock::setSpeed(8);
        DeleteSetting(kApp, kSec);
        SerialComm::setProgramName(QStringLiteral("Voxmere"));
        qputenv("VOXMERE_COM1", "sim");
        qputenv("VOXMERE_COM2", "/nonexistent/ttyVX");
        chipsim::resetSimulatedChips();
        link = std::make_unique<cTolvane>();
        link->setReplyTimeout(20.0);
        cTolv = link.get();
        Comm = link->GetCommObject();
        chip = chipsim::simulatedChip(1);
        ASSERT_NE(chip, nullptr);

        Port = 0;
        InitializingLink = false;
        CommErrChoice = 0;
        ModuleName = QStringLiteral("Evaluation Board");
        ChipModel.clear();
        ChipSampleRate = 0;
        IsOlderChip = false;
        DownloadTitle.clear();
        SV10Emulation = true;

        // The main window takes the caption and the request to end; the
        // splash is up as at start.
        main = std::make_unique<frmMDI>();
        frmSplash::Show();

        programFolder = QString::fromStdString(vxtest::freshDir("program"));
        QDir(programFolder).mkpath(QStringLiteral("Bin"));
        vx::setProgramFolder(programFolder);
        frmPrefs::unload();
    }

    void TearDown() override
    {
        frmPrefs::unload();
        if (Comm && Comm->PortOpen())
            Comm->setPortOpen(false);
        Comm = nullptr;
        cTolv = nullptr;
        link.reset();
        ResetDocuments();
        UnloadSplash();
        main.reset();
        vx::setProgramFolder(QString());
        vx::Clock::setSpeed(1);
    }

    void storePort(int port, int baudRate = 8)
    {
        SaveSetting(kApp, kSec, QStringLiteral("Port"), QString::number(port));
        SaveSetting(kApp, kSec, QStringLiteral("BaudRate"), QString::number(baudRate));
    }

    void configure(std::function<void(chipsim::ChipConfig &)> edit)
    {
        chipsim::ChipConfig c = chip->config();
        edit(c);
        chip->setConfig(c);
    }

    void writeImage(const QString &name, int part, int version)
    {
        QFile f(programFolder + QStringLiteral("/Bin/") + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(chipsim::makeFirmwareImage(part, version));
    }

    std::unique_ptr<cTolvane> link;
    chipsim::Chip *chip = nullptr;
    vx::ScriptedPrompter prompter;
    QString programFolder;
    std::unique_ptr<frmMDI> main;
    // The demo state of the control panels: the registers show the command
    // they would send.
    [[nodiscard]] int demoPanels() const
    {
        auto *p = qobject_cast<frmCpanels *>(DocumentAt(0));
        return p && p->fraPOR->toolTip() == ChipModel + QStringLiteral(" command: 0g") ? 1 : 0;
    }
};

} // namespace

TEST_F(ChipLink, IdentifiesTheBoardAndChipAndStoresThePort)
{
    storePort(1);
    configure([](chipsim::ChipConfig &c) {
        c.moduleCode = 2;
        c.model = chipsim::Model::SV3420;
        c.rateCode = 4;
    });
    InitChipLink();

    EXPECT_EQ(Port, 1);
    EXPECT_TRUE(Comm->PortOpen());
    EXPECT_EQ(ModuleName, QStringLiteral("SM340A"));
    EXPECT_EQ(ChipSampleRate, 10000);
    EXPECT_EQ(ChipModel, QStringLiteral("SV3420"));
    EXPECT_FALSE(IsOlderChip);
    EXPECT_EQ(DownloadTitle, QStringLiteral("SV3420 Download"));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere"));
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("Port")), QStringLiteral("1"));
    EXPECT_EQ(frmSplash::loaded(), nullptr);
    EXPECT_TRUE(prompter.prompts().isEmpty());
    EXPECT_FALSE(InitializingLink);
    // The port as set up: binary, one byte per read, no receive events, the
    // configured speed.
    EXPECT_EQ(Comm->Settings(), QStringLiteral("115200,N,8,1"));
    EXPECT_EQ(Comm->InputMode(), 1);
    EXPECT_EQ(Comm->InputLen(), 1);
    EXPECT_EQ(Comm->RThreshold(), 0);
    EXPECT_TRUE(Comm->DTREnable());
    EXPECT_TRUE(Comm->RTSEnable());
    // No older-chip setting stored: it follows the chip.
    EXPECT_FALSE(SV10DataFiles);
}

// The port that answers is the one stored: it is not written again, so
// settings that cannot be written at the moment say nothing.
TEST_F(ChipLink, AStoredPortThatAnswersIsNotWrittenAgain)
{
    storePort(1);
    vx::resetSettingsNotice();
    QLockFile held(vx::settingsFilePath(kApp) + QStringLiteral(".lock")); // another program writes them
    ASSERT_TRUE(held.lock());
    InitChipLink();
    EXPECT_EQ(Port, 1);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere"));
    EXPECT_TRUE(prompter.prompts().isEmpty()) << prompter.last().text.toStdString();
}

TEST_F(ChipLink, ANewerChipAfterAnOlderOneSetsTheModelBack)
{
    storePort(1);
    configure([](chipsim::ChipConfig &c) {
        c.model = chipsim::Model::SV3410;
        c.moduleCode = 9; // names no board: the name stays
        c.rateCode = 12;  // the rate stays
    });
    ChipSampleRate = 8000;
    InitChipLink();
    EXPECT_EQ(ChipModel, QStringLiteral("SV3410"));
    EXPECT_TRUE(IsOlderChip);
    EXPECT_TRUE(SV10DataFiles);
    EXPECT_EQ(DownloadTitle, QStringLiteral("SV3410 Download"));
    EXPECT_EQ(ModuleName, QStringLiteral("Evaluation Board"));
    EXPECT_EQ(ChipSampleRate, 8000);

    configure([](chipsim::ChipConfig &c) {
        c.model = chipsim::Model::SV3420;
        c.moduleCode = 4;
        c.rateCode = 0;
    });
    IdentifyChip();
    EXPECT_EQ(ChipModel, QStringLiteral("SV3420"));
    EXPECT_FALSE(IsOlderChip);
    EXPECT_EQ(DownloadTitle, QStringLiteral("SV3420 Download"));
    EXPECT_EQ(ModuleName, QStringLiteral("Vellatone LT"));
    EXPECT_EQ(ChipSampleRate, 10500);
}

TEST_F(ChipLink, AChipThatLostTheSpeedAnswersAfterTheResetAt9600)
{
    storePort(1, 8);
    configure([](chipsim::ChipConfig &c) { c.powerUpBaud = 9600; });
    InitChipLink();

    EXPECT_EQ(Port, 1);
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("Port")), QStringLiteral("1"));
    EXPECT_EQ(probes(*chip), (QVector<bool>{false, true}));
    // CAN and "7h" went out at 9600 and reached the chip.
    const auto &log = chip->byteLog();
    const QByteArray reset("\x18\x01" "7h\0", 5);
    int at = -1;
    for (int i = 0; i + 4 < log.size() && at < 0; ++i) {
        bool match = true;
        for (int k = 0; k < 5; ++k)
            match = match && log[i + k].byte == quint8(reset[k]);
        if (match)
            at = i;
    }
    ASSERT_GE(at, 0);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(log[at + k].baud, 9600);
    // The whole block, its closing NUL included, reached the chip; then it
    // waits for the next CR to find the speed.
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(log[at + k].accepted) << k;
    // The second probe ran at the configured speed again.
    EXPECT_EQ(Comm->Settings(), QStringLiteral("115200,N,8,1"));
}

TEST_F(ChipLink, NoiseBeforeTheAnswerIsSkipped)
{
    storePort(1);
    chip->faults().junkBeforeReply = QByteArray("\x05\x62\xFF", 3);
    InitChipLink();
    EXPECT_EQ(Port, 1);
    EXPECT_EQ(probes(*chip), (QVector<bool>{true}));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere"));
}

TEST_F(ChipLink, At9600ThereIsOneAttemptOnly)
{
    storePort(1, 4);
    configure([](chipsim::ChipConfig &c) { c.powerUpBaud = 9600; });
    InitChipLink();
    EXPECT_EQ(Port, 1);
    EXPECT_EQ(probes(*chip), (QVector<bool>{true}));
    EXPECT_EQ(countOf(*chip, QByteArray("7h")), 0);

    // A silent chip at 9600: one probe, no reset, then the error dialog.
    Comm->setPortOpen(false);
    chip->clearLogs();
    chip->faults().silent = true;
    Port = 1;
    whenShown(QStringLiteral("frmCommErr"), [](QWidget *w) { click(w, "cmdDemo"); });
    InitChipLink();
    EXPECT_EQ(probes(*chip).size(), 1);
    EXPECT_EQ(countOf(*chip, QByteArray("7h")), 0);
    EXPECT_EQ(Port, 0);
}

TEST_F(ChipLink, ASilentChipLeadsToDemoModeThroughTheErrorDialog)
{
    storePort(1);
    chip->faults().silent = true;
    QString shown;
    whenShown(QStringLiteral("frmCommErr"), [&](QWidget *w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Communication Error"));
        shown = w->findChild<QLabel *>(QStringLiteral("lblCommErr"))->text();
        click(w, "cmdDemo");
    });
    InitChipLink();

    EXPECT_EQ(shown, kBoardText);
    EXPECT_EQ(CommErrChoice, 2);
    EXPECT_EQ(Port, 0);
    EXPECT_FALSE(Comm->PortOpen());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere (demo mode)"));
    EXPECT_EQ(demoPanels(), 1);
    EXPECT_FALSE(SV10Emulation);
    EXPECT_EQ(probes(*chip).size(), 2);
    // A failed attempt keeps the last working port for the next start.
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("Port")), QStringLiteral("1"));
}

TEST_F(ChipLink, CtsHeldLowGivesTheCtsMessageAndQuitEndsTheProgram)
{
    storePort(1);
    chip->faults().ctsStuckLow = true;
    QString shown;
    whenShown(QStringLiteral("frmCommErr"), [&](QWidget *w) {
        shown = w->findChild<QLabel *>(QStringLiteral("lblCommErr"))->text();
        click(w, "CmdCancel");
    });
    InitChipLink();
    EXPECT_EQ(shown, kCtsText);
    EXPECT_EQ(CommErrChoice, 3);
    EXPECT_EQ(Port, 0);
    EXPECT_TRUE(main->endRequested());
    EXPECT_TRUE(probes(*chip).isEmpty());
}

TEST_F(ChipLink, APortThatDoesNotOpenIsOfferedForAnotherChoice)
{
    storePort(2);
    prompter.queue(vx::Answer::Yes);
    // The preferences come up: pick COM1, which works.
    whenShown(QStringLiteral("frmPrefs"), [](QWidget *w) {
        auto *dlg = static_cast<frmPrefs *>(w);
        dlg->cboPrefsPort->setCurrentIndex(0);
        click(w, "cmdOK");
    });
    InitChipLink();
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_EQ(prompter.last().text,
              QStringLiteral("COM2 is not available. Would you   \r\nlike to try a different port setting?"));
    EXPECT_EQ(prompter.last().buttons, vx::Buttons::YesNo);
    EXPECT_EQ(prompter.last().icon, vx::Icon::Exclamation);
    EXPECT_EQ(Port, 1);
    EXPECT_TRUE(Comm->PortOpen());
    EXPECT_EQ(GetSetting(kApp, kSec, QStringLiteral("Port")), QStringLiteral("1"));

    // No: straight to the error dialog.
    Comm->setPortOpen(false);
    Port = 2;
    prompter.queue(vx::Answer::No);
    whenShown(QStringLiteral("frmCommErr"), [](QWidget *w) { click(w, "cmdDemo"); });
    InitChipLink();
    EXPECT_EQ(Port, 0);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere (demo mode)"));
}

TEST_F(ChipLink, FirstStartAppliesTheDefaultsAndAsksForAPortBeforeTouchingOne)
{
    bool checked = false;
    whenShown(QStringLiteral("frmPrefs"), [&](QWidget *w) {
        EXPECT_FALSE(Comm->PortOpen());
        EXPECT_TRUE(chip->writeLog().isEmpty());
        expectPreferenceDefaults();
        auto *dlg = static_cast<frmPrefs *>(w);
        EXPECT_EQ(dlg->cboPrefsPort->currentIndex(), -1);
        // Change things, then Cancel: every saved copy comes back.
        dlg->cboPrefsBaudRate->setCurrentIndex(2);
        dlg->chkPrefsHighlight->setChecked(false);
        dlg->cboPrefsPort->setCurrentIndex(4);
        checked = true;
        click(w, "cmdCancel");
    });
    QString shown;
    whenShown(QStringLiteral("frmCommErr"), [&](QWidget *w) {
        shown = w->findChild<QLabel *>(QStringLiteral("lblCommErr"))->text();
        click(w, "cmdDemo");
    });
    InitChipLink();
    EXPECT_TRUE(checked);
    EXPECT_EQ(BaudRate, 8);
    EXPECT_TRUE(Highlight);
    EXPECT_EQ(Port, 0);
    EXPECT_EQ(shown, kBoardText);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere (demo mode)"));
    EXPECT_TRUE(chip->writeLog().isEmpty());
}

TEST_F(ChipLink, PreferencesFromTheErrorDialogReachAWorkingPort)
{
    storePort(1);
    chip->faults().silent = true;
    whenShown(QStringLiteral("frmCommErr"), [this](QWidget *w) {
        chip->faults().silent = false; // the user switched the board on
        whenShown(QStringLiteral("frmPrefs"), [](QWidget *p) {
            auto *dlg = static_cast<frmPrefs *>(p);
            EXPECT_EQ(dlg->cboPrefsPort->currentText(), QStringLiteral("COM1"));
            click(p, "cmdOK");
        });
        click(w, "cmdPrefs");
    });
    InitChipLink();
    EXPECT_EQ(CommErrChoice, 1);
    EXPECT_EQ(Port, 1);
    EXPECT_TRUE(Comm->PortOpen());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere"));

    // Unchanged preferences: nothing to set up again, the port stays open.
    whenShown(QStringLiteral("frmPrefs"), [](QWidget *p) { click(p, "cmdCancel"); });
    EXPECT_FALSE(EditPortPreferences());
    EXPECT_TRUE(Comm->PortOpen());

    // A new speed: the chip is told to find the speed again, the port closes.
    chip->clearLogs();
    whenShown(QStringLiteral("frmPrefs"), [](QWidget *p) {
        static_cast<frmPrefs *>(p)->cboPrefsBaudRate->setCurrentIndex(3);
        click(p, "cmdOK");
    });
    EXPECT_TRUE(EditPortPreferences());
    EXPECT_FALSE(Comm->PortOpen());
    EXPECT_EQ(chip->writeLog().last().bytes, QByteArray("\x18\x01" "7h\0", 5));
    EXPECT_EQ(BaudRate, 4);
}

TEST_F(ChipLink, AnOlderChipsetIsUpdatedOnceAndTheChipShakesHandsAgain)
{
    storePort(1);
    configure([](chipsim::ChipConfig &c) {
        c.moduleCode = 2;
        c.firmwareFirst = 0x0210;
        c.firmwareSecond = 0x0210;
        c.flashSeconds = 0.2;
    });
    // Versions of 0x8000 and up compare as the larger numbers they are.
    writeImage(QStringLiteral("m$8a13f6.bin"), 1, 0x8001);
    writeImage(QStringLiteral("m$92e05b.bin"), 2, 0x0305);
    prompter.queue(vx::Answer::Yes);
    prompter.queue(vx::Answer::Ok);
    InitChipLink();

    ASSERT_EQ(prompter.prompts().size(), 2);
    const vx::Prompt &offer = prompter.prompts()[0];
    EXPECT_EQ(offer.text, QStringLiteral("This SM340A's chipset may not have all of the features  \r\n"
                                         "required for Voxmere to operate properly. It is recommended\r\n"
                                         "that the chipset be updated before using Voxmere.\r\n\n"
                                         "Would you like to update the chipset at this time?"));
    EXPECT_EQ(offer.buttons, vx::Buttons::YesNo);
    EXPECT_EQ(offer.defaultButton, 2);
    const vx::Prompt &warn = prompter.prompts()[1];
    EXPECT_EQ(warn.title, QStringLiteral("SV3420 Update"));
    EXPECT_EQ(warn.buttons, vx::Buttons::OkCancel);
    EXPECT_TRUE(warn.text.startsWith(QStringLiteral("The SV3420 chipset will now be updated.")));

    EXPECT_EQ(chip->firmwareWrites(), 2);
    EXPECT_EQ(link->GetChipInfo().firmwareFirst(), 0x8001);
    EXPECT_EQ(link->GetChipInfo().firmwareSecond(), 0x0305);
    EXPECT_EQ(probes(*chip).size(), 2); // the handshake ran again
    EXPECT_EQ(Port, 1);
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere"));
    EXPECT_FALSE(Busy);
}

TEST_F(ChipLink, DecliningTheUpdateLeavesTheChipAlone)
{
    storePort(1);
    configure([](chipsim::ChipConfig &c) {
        c.moduleCode = 2;
        c.firmwareFirst = 0x0300;
        c.firmwareSecond = 0x0200;
    });
    writeImage(QStringLiteral("m$8a13f6.bin"), 1, 0x0300);
    writeImage(QStringLiteral("m$92e05b.bin"), 2, 0x0201);

    prompter.queue(vx::Answer::No);
    InitChipLink();
    EXPECT_EQ(prompter.prompts().size(), 1);
    EXPECT_EQ(chip->firmwareWrites(), 0);

    Comm->setPortOpen(false);
    prompter.clear();
    prompter.queue(vx::Answer::Yes);
    prompter.queue(vx::Answer::Cancel);
    prompter.queue(vx::Answer::Ok);
    InitChipLink();
    ASSERT_EQ(prompter.prompts().size(), 3);
    EXPECT_EQ(prompter.last().text, QStringLiteral("   Update canceled.   "));
    EXPECT_EQ(prompter.last().icon, vx::Icon::None);
    EXPECT_EQ(prompter.last().title, QStringLiteral("SV3420 Update"));
    EXPECT_EQ(chip->firmwareWrites(), 0);

    // Equal versions: no question at all.
    Comm->setPortOpen(false);
    prompter.clear();
    writeImage(QStringLiteral("m$92e05b.bin"), 2, 0x0200);
    InitChipLink();
    EXPECT_TRUE(prompter.prompts().isEmpty());
}

TEST_F(ChipLink, AFailedFirmwareWriteIsReportedNotTakenAsSuccess)
{
    storePort(1);
    configure([](chipsim::ChipConfig &c) {
        c.moduleCode = 2;
        c.firmwareFirst = 0x0100;
        c.firmwareSecond = 0x0100;
        c.flashSeconds = 0.2;
    });
    chip->faults().failTransferAtPercent = 50;
    writeImage(QStringLiteral("m$8a13f6.bin"), 1, 0x0200);
    writeImage(QStringLiteral("m$92e05b.bin"), 2, 0x0200);
    prompter.queue(vx::Answer::Yes);
    prompter.queue(vx::Answer::Ok);
    prompter.queue(vx::Answer::Ok); // the error report
    prompter.queue(vx::Answer::No); // the offer again, after the new handshake
    InitChipLink();

    ASSERT_EQ(prompter.prompts().size(), 4);
    const vx::Prompt &error = prompter.prompts()[2];
    EXPECT_TRUE(error.text.startsWith(QStringLiteral("ERROR: "))) << error.text.toStdString();
    EXPECT_EQ(error.title, QStringLiteral("SV3420 Update"));
    EXPECT_EQ(error.icon, vx::Icon::Exclamation);
    // The first image was not written after the second failed.
    EXPECT_EQ(chip->firmwareWrites(), 0);
    EXPECT_EQ(link->GetChipInfo().firmwareFirst(), 0x0100);
    EXPECT_EQ(Port, 1);
    EXPECT_FALSE(Busy);
}

TEST_F(ChipLink, ASynthesizerBoardIsToldToFindTheSpeedAgainAfterItsSecondImage)
{
    storePort(1);
    configure([](chipsim::ChipConfig &c) {
        c.moduleCode = 4;
        c.firmwareFirst = 0x0300;
        c.firmwareSecond = 0x0200;
        c.flashSeconds = 0.2;
    });
    writeImage(QStringLiteral("m$a4d729.bin"), 1, 0x0300);
    writeImage(QStringLiteral("m$b1f6c3.bin"), 2, 0x0201);
    prompter.queue(vx::Answer::Yes);
    prompter.queue(vx::Answer::Ok);
    InitChipLink();

    EXPECT_EQ(chip->firmwareWrites(), 1); // only the older half
    EXPECT_EQ(link->GetChipInfo().firmwareSecond(), 0x0201);
    EXPECT_EQ(ModuleName, QStringLiteral("Vellatone LT"));
    // After the image: "7h" at 9600, then a CR, then the new handshake at
    // the configured speed.
    const auto &writes = chip->writeLog();
    int reset = -1;
    for (int i = 0; i < writes.size(); ++i)
        if (writes[i].bytes == QByteArray("\x18\x01" "7h\0", 5))
            reset = i;
    ASSERT_GE(reset, 0);
    EXPECT_EQ(writes[reset].baud, 9600);
    ASSERT_LT(reset + 1, writes.size());
    EXPECT_EQ(writes[reset + 1].bytes, QByteArray("\r"));
    EXPECT_EQ(writes[reset + 1].baud, 115200);
    EXPECT_EQ(probes(*chip), (QVector<bool>{true, true}));
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere"));
    EXPECT_EQ(prompter.prompts().size(), 2);
}

TEST_F(ChipLink, AudioTransfersSwitchTheSpeedAndBack)
{
    storePort(1, 5);
    InitChipLink();
    ASSERT_EQ(Port, 1);
    EXPECT_EQ(Comm->Settings(), QStringLiteral("19200,N,8,1"));
    SavedCommSettings = Comm->Settings();
    const double start = vx::Clock::seconds();
    SetCommFastBaud();
    EXPECT_GE(vx::Clock::seconds() - start, 0.5);
    EXPECT_EQ(Comm->Settings(), QStringLiteral("115200,N,8,1"));
    RestoreCommBaud();
    EXPECT_GE(vx::Clock::seconds() - start, 0.6);
    EXPECT_EQ(Comm->Settings(), QStringLiteral("19200,N,8,1"));

    // A saved setting the port refuses is reported, and the line goes back to
    // the configured speed rather than staying fast.
    SavedCommSettings = QStringLiteral("fast please");
    SetCommFastBaud();
    EXPECT_THROW(RestoreCommBaud(), LinkError);
    EXPECT_EQ(Comm->Settings(), QStringLiteral("19200,N,8,1"));
}

TEST_F(ChipLink, ClosingTheErrorDialogByItsCloseBoxIsDemoMode)
{
    storePort(1);
    chip->faults().silent = true;
    whenShown(QStringLiteral("frmCommErr"), [](QWidget *w) {
        // Shrunk as far as it goes, the message is still whole.
        w->resize(1, 1);
        QApplication::processEvents();
        auto *text = w->findChild<QLabel *>(QStringLiteral("lblCommErr"));
        EXPECT_GE(text->height(), text->heightForWidth(text->width()));
        const QString shots = qEnvironmentVariable("VX_SCREENSHOT_DIR");
        if (!shots.isEmpty() && !qEnvironmentVariable("DISPLAY").isEmpty())
            QProcess::execute(QStringLiteral("import"),
                              {QStringLiteral("-window"), QStringLiteral("root"), shots + QStringLiteral("/frmCommErr-shrunk.png")});
        w->close();
    });
    InitChipLink();
    EXPECT_EQ(CommErrChoice, 2);
    EXPECT_EQ(Port, 0);
    EXPECT_FALSE(Comm->PortOpen());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere (demo mode)"));
    EXPECT_EQ(demoPanels(), 1);
}
