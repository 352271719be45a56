#include "app/startup/ChipLink.h"

#include "app/Globals.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/shell/ui/frmPrefs.h"
#include "app/startup/Busy.h"
#include "app/startup/Downloads.h"
#include "app/startup/Firmware.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/Preferences.h"
#include "app/startup/SendPath.h"
#include "app/startup/ui/ChipDownloads.h"
#include "app/startup/ui/frmCommErr.h"
#include "app/startup/ui/frmMDI.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmSplash.h"
#include "common/Delay.h"
#include "link/cTolvane.h"
#include "platform/Folders.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/StopSignals.h"
#include "platform/ui/Modal.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QScopedValueRollback>

namespace {

// Set at the end of every run of InitChipLink: later runs bracket themselves
// with the busy state.
bool gRepeatRun = false;
bool gChipsetUpdating = false;

const QChar kCR(13);
const QChar kCAN(24);
const QChar kNUL(0);

QString lineSettings(const QString &speed)
{
    return speed + QStringLiteral(",N,8,1");
}

QString configuredSettings()
{
    return lineSettings(BaudRateText(BaudRate));
}

// The serial object's errors do not stop the link set-up: each step runs,
// and the outcome is decided by the open check, CTS and the chip's answer.
template <typename F>
void quietly(F &&step)
{
    try {
        step();
    } catch (const LinkError &) {
    }
}

// The busy pointer while the chip is waited for. Off before every question
// to the user, so a dialog never shows the busy pointer.
class WaitPointer
{
public:
    WaitPointer() = default;
    WaitPointer(const WaitPointer &) = delete;
    WaitPointer &operator=(const WaitPointer &) = delete;
    ~WaitPointer() { off(); }
    void on()
    {
        if (mOn)
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        mOn = true;
        // Shown now, not when the wait is over.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void off()
    {
        if (!mOn)
            return;
        QApplication::restoreOverrideCursor();
        mOn = false;
    }

private:
    bool mOn = false;
};

// The main window's first status panel: text with no picture while the
// chip is written, the idle text and picture after.
void showStatusMessage(const QString &text)
{
    frmMDI *main = frmMDI::instance();
    if (!main || !main->sbStatusBar)
        return;
    if (text.isEmpty()) {
        main->sbStatusBar->SetPanelText(1, QStringLiteral("For Help, press F1"));
        main->sbStatusBar->SetPanelPicture(images::statusImage(1));
    } else {
        main->sbStatusBar->SetPanelPicture(QPixmap());
        main->sbStatusBar->SetPanelText(1, text);
    }
}

void closeSplash()
{
    UnloadSplash();
}

void setCaption(const QString &caption)
{
    if (frmMDI *main = frmMDI::instance())
        main->setWindowTitle(caption);
}

void output(const QString &text)
{
    quietly([&] { Comm->setOutput(text); });
}

void closePort()
{
    if (Comm && Comm->PortOpen())
        quietly([] { Comm->setPortOpen(false); });
}

// The port set-up; withDtr false leaves the DTR line alone.
void configurePort(bool withDtr)
{
    quietly([] { Comm->setCommPort(Port); });
    quietly([] { Comm->setSettings(configuredSettings()); });
    quietly([] { Comm->setHandshaking(SerialComm::comNone); });
    quietly([] { Comm->setInputMode(SerialComm::comInputModeBinary); });
    quietly([] { Comm->setOutBufferSize(256); });
    quietly([] { Comm->setInBufferSize(1024); });
    quietly([] { Comm->setInputLen(1); });
    quietly([] { Comm->setRThreshold(0); });
    if (withDtr)
        quietly([] { Comm->setDTREnable(false); });
    quietly([] { Comm->setRTSEnable(true); });
}

// Sends the closing command at 9600 baud, where a chip that lost the speed
// listens, so that it looks for the speed of the next CR again.
void resetChipSpeed()
{
    quietly([] { Comm->setSettings(lineSettings(QStringLiteral("9600"))); });
    output(QString(kCAN) + CmdChar + QStringLiteral("7h") + kNUL);
    Delay(0.25);
    quietly([] { Comm->setSettings(configuredSettings()); });
}

// One probe: true when the chip answered with byte 99.
bool probeChip()
{
    output(QString(kCR) + kCAN);
    Delay(0.25);
    quietly([] { Comm->setInBufferCount(0); });
    output(CmdChar + QStringLiteral("99i") + kNUL);
    Delay(0.5);
    bool answered = false;
    while (!answered && Comm->InBufferCount() > 0) {
        const QByteArray b = Comm->Input();
        answered = b.contains(char(99));
    }
    quietly([] { Comm->setInBufferCount(0); });
    return answered;
}

void demoSetUp()
{
    closePort();
    setCaption(mainwin::appName() + QStringLiteral(" (demo mode)"));
    ControlPanels()->DemoPanels();
    SV10Emulation = false;
    // Without a chip the stored choice still holds; Apply in the preferences
    // would otherwise write the default over it.
    LoadSV10DataFiles();
}

QString commErrText(const QString &message)
{
    const QString quote(QChar(34));
    return message + QStringLiteral("\r\n\n") + QStringLiteral("To verify the port setting, click ") + quote +
           QStringLiteral("Preferences.") + quote + QStringLiteral(" Otherwise, ") + QStringLiteral("click ") +
           quote + QStringLiteral("Demo") + quote +
           QStringLiteral(" to run the software in demo mode without the evaluation board. ") +
           QStringLiteral("The program's functionality will be severely limited in this mode, however.");
}

const QString kCtsMessage = QStringLiteral("The SV3420's CTS pin indicates that the SV3420 is not ready. ") +
                            QStringLiteral("Check that the serial cable is properly connected ") +
                            QStringLiteral("and that the correct port is selected in Preferences.");
const QString kBoardMessage =
    QStringLiteral("Voxmere is unable to establish communication with the SV3420 ") +
    QStringLiteral("evaluation board. Check that the power is on, the serial cable is connected, ") +
    QStringLiteral("and that the correct port is selected in Preferences.");

} // namespace

void InitChipLink()
{
    if (InitializingLink)
        return;
    const bool repeatRun = gRepeatRun;
    if (repeatRun)
        BeginBusy();
    Busy = false;
    InitializingLink = true;

    enum class Step { SetUp, CommError, End };
    Step step = Step::SetUp;
    // Opening, the line check and the handshake take seconds without a chip.
    WaitPointer pointer;

    if (Port == 0) {
        LoadPreferences();
        if (Port == 0) {
            closeSplash();
            EditPortPreferences();
            if (Port == 0)
                step = Step::CommError;
        }
    }

    while (step != Step::End) {
        if (step == Step::SetUp) {
            if (!Comm) {
                Port = 0;
                step = Step::CommError;
                continue;
            }
            pointer.on();
            // The speed list belongs to the preferences; loading them also
            // prepares the editor font.
            frmPrefs::instance();
            configurePort(true);

            // Open.
            try {
                Comm->setPortOpen(true);
            } catch (const LinkError &) {
                pointer.off();
                closeSplash();
                const int tried = Port;
                Port = 0;
                const vx::Answer a = vx::MsgBox(QStringLiteral("COM") + QString::number(tried) +
                                                    QStringLiteral(" is not available. Would you   \r\n") +
                                                    QStringLiteral("like to try a different port setting?"),
                                                vx::Buttons::YesNo, vx::Icon::Exclamation);
                if (a == vx::Answer::Yes) {
                    EditPortPreferences();
                    step = Port != 0 ? Step::SetUp : Step::CommError;
                } else {
                    step = Step::CommError;
                }
                continue;
            }

            // Line check: the chip raises CTS once DTR is on.
            Delay(0.25);
            quietly([] { Comm->setDTREnable(true); });
            Delay(0.25);
            if (!Comm->CTSHolding()) {
                Port = -1;
                step = Step::CommError;
                continue;
            }

            // Handshake, once more after a speed reset at 9600 baud.
            bool retried = false;
            for (;;) {
                if (probeChip()) {
                    vx::saveChosenInt(mainwin::appName(), QStringLiteral("Settings"), QStringLiteral("Port"),
                                      Port);
                    configurePort(false);
                    IdentifyChip();
                    LoadSV10DataFiles();
                    bool updated = false;
                    pointer.off();
                    try {
                        updated = CheckChipsetUpdate();
                    } catch (const LinkError &) {
                        updated = false;
                    }
                    if (updated) {
                        pointer.on();
                        retried = false;
                        continue;
                    }
                    setCaption(mainwin::appName());
                    step = Step::End;
                    break;
                }
                if (BaudRate == 4 || retried) {
                    Port = 0;
                    step = Step::CommError;
                    break;
                }
                resetChipSpeed();
                retried = true;
            }
            continue;
        }

        // The communication-error dialog.
        pointer.off();
        for (;;) {
            QString message;
            if (Port == -1) {
                message = kCtsMessage;
                Port = 0;
            } else if (Port == 0) {
                message = kBoardMessage;
            }
            if (Port == 0) {
                closeSplash();
                CommErrChoice = 0;
                frmCommErr::ShowChoice(commErrText(message));
            }
            if (CommErrChoice == 2) {
                demoSetUp();
                step = Step::End;
                break;
            }
            if (CommErrChoice == 3) {
                if (frmMDI *main = frmMDI::instance())
                    main->EndProgram();
                step = Step::End;
                break;
            }
            if (CommErrChoice == 1) {
                EditPortPreferences();
                if (Port == 0)
                    continue;
                InitializingLink = false;
                closePort();
                step = Step::SetUp;
                break;
            }
            step = Step::End;
            break;
        }
    }

    InitializingLink = false;
    if (repeatRun)
        EndBusy();
    gRepeatRun = true;
}

bool EditPortPreferences()
{
    const int oldPort = Port;
    const int oldBaud = BaudRate;
    // Centred across the main window, in its upper part.
    vx::RunModal(frmPrefs::instance(), [](QWidget *dlg) { vx::CentreOver(dlg, vx::DialogOwner(), 4); });

    if (Port == oldPort && BaudRate == oldBaud && Port != 0)
        return false;
    if (Comm && Comm->PortOpen()) {
        output(QString(kCAN) + CmdChar + QStringLiteral("7h") + kNUL);
        closePort();
    }
    return true;
}

void SetCommFastBaud()
{
    Delay(0.5);
    // A failure reaches the caller as a write to a closed port would.
    Comm->setSettings(QStringLiteral("115200,N,8,1"));
}

void RestoreCommBaud()
{
    Delay(0.1);
    try {
        Comm->setSettings(SavedCommSettings);
    } catch (const LinkError &) {
        // Never leave the line at the fast speed: the configured speed is
        // what the chip is talked to at outside a transfer.
        quietly([] { Comm->setSettings(configuredSettings()); });
        throw;
    }
}

void IdentifyChip()
{
    quietly([] { cTolv->RefreshStatus(); });
    if (const auto name = ModuleNameFor(cTolv->GetChipInfo().moduleCode()))
        ModuleName = *name;
    if (const auto rate = SampleRateFor(cTolv->GetChipInfo().rateBits()))
        ChipSampleRate = *rate;
    closeSplash();
    // Both ways: a newer chip found after an older one (another port, another
    // board) must not keep the older model's name.
    IsOlderChip = cTolv->GetChipInfo().modelBits() != 1;
    ChipModel = IsOlderChip ? QStringLiteral("SV3410") : QStringLiteral("SV3420");
    DownloadTitle = ChipModel + QStringLiteral(" Download");
}

namespace {

// Writes one image into the chip with the progress dialog up. Returns an
// empty text on success, else what went wrong. Leaves the busy state entered.
QString writeImage(const QString &path)
{
    return LinkTransferFile(path, DownloadKind::Firmware);
}

} // namespace

bool ChipsetUpdating()
{
    return gChipsetUpdating;
}

bool CheckChipsetUpdate()
{
    const QString folder = vx::programFolder() + QStringLiteral("/Bin/");
    const FirmwarePair pair = FirmwarePairFor(cTolv->GetChipInfo().moduleCode(), IsOlderChip);
    if (!pair.valid())
        return false;

    const int chipFirst = cTolv->GetChipInfo().firmwareFirst();
    const int chipSecond = cTolv->GetChipInfo().firmwareSecond();

    const QString firstPath = folder + pair.first;
    if (!QFileInfo::exists(firstPath))
        return false;
    const auto firstVersion = FirstImageFileVersion(firstPath);
    const QString secondPath = folder + pair.second;
    if (!QFileInfo::exists(secondPath))
        return false;
    const auto secondVersion = SecondImageFileVersion(secondPath);
    // An image too short to carry its version is no image.
    if (!firstVersion || !secondVersion)
        return false;

    if (chipFirst >= *firstVersion && chipSecond >= *secondVersion)
        return false;

    if (vx::MsgBox(QStringLiteral("This ") + ModuleName +
                       QStringLiteral("'s chipset may not have all of the features  \r\n") +
                       QStringLiteral("required for Voxmere to operate properly. It is recommended\r\n") +
                       QStringLiteral("that the chipset be updated before using Voxmere.\r\n\n") +
                       QStringLiteral("Would you like to update the chipset at this time?"),
                   vx::Buttons::YesNo, vx::Icon::Exclamation, QString(), 2) != vx::Answer::Yes)
        return false;

    const QString title = ChipModel + QStringLiteral(" Update");
    if (vx::MsgBox(QStringLiteral("The ") + ChipModel +
                       QStringLiteral(" chipset will now be updated. The process will take\r\n") +
                       QStringLiteral("approximately one minute. DO NOT interrupt the update procedure,  \r\n") +
                       QStringLiteral("or the chipset may cease to function."),
                   vx::Buttons::OkCancel, vx::Icon::Exclamation, title) == vx::Answer::Cancel) {
        vx::MsgBox(QStringLiteral("   Update canceled.   "), vx::Buttons::Ok, vx::Icon::None, title);
        return false;
    }

    const QScopedValueRollback uninterrupted(gChipsetUpdating, true);
    // Not even a repeated stop signal ends the program before both images
    // are in: the board might not start again.
    const vx::StopSignals::Hold holdStops;
    // From the answer on, the update shows itself at once: the transfer's
    // own progress comes only once the link starts, and the waits for the
    // chip around it take seconds.
    const QString updating =
        DownloadProgressTextsFor(DownloadKind::Firmware, QString(), ChipModel, DownloadTitle, ModuleName).statusBar;
    WaitPointer pointer;
    pointer.on();
    showStatusMessage(updating);
    QString failure;
    if (chipSecond < *secondVersion) {
        failure = writeImage(secondPath);
        showStatusMessage(updating);
        WaitForCTS();
        const int code = cTolv->GetChipInfo().moduleCode();
        if (code == 4 || code == 7)
            resetChipSpeed();
    }
    // After a failed write the chip is in no state for the next image.
    if (failure.isEmpty() && chipFirst < *firstVersion) {
        failure = writeImage(firstPath);
        showStatusMessage(updating);
        WaitForCTS();
    }
    pointer.off();
    showStatusMessage(QString());
    if (!failure.isEmpty())
        vx::MsgBox(QStringLiteral("ERROR: ") + failure, vx::Buttons::Ok, vx::Icon::Exclamation, title);

    SendToChip(QString(kCR));
    EndBusy();
    return true;
}
