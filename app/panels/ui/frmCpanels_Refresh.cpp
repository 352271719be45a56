#include "app/panels/ui/frmCpanels.h"

#include "app/Globals.h"
#include "app/panels/PanelCommands.h"
#include "app/panels/ui/PanelWidgets.h"
#include "app/shell/ui/frmWarning.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/SendPath.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmMDI.h"
#include "common/Delay.h"
#include "link/LinkError.h"
#include "link/cTolvane.h"
#include "platform/ui/Modal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSlider>

// The refresh: the chip's state read anew and written into every panel,
// with the change of the chip's compatibility mode handled first.

using vx::panels::sendCommand;

namespace {

// Reads the chip's state into the link; false when the link failed.
bool refreshStatus()
{
    if (!cTolv)
        return false;
    try {
        cTolv->RefreshStatus();
        return true;
    } catch (const LinkError &) {
        return false;
    }
}

} // namespace

bool vx::panels::sendCommand(const QString &text)
{
    try {
        SendToChip(text);
        return true;
    } catch (const LinkError &) {
        return false;
    }
}

void frmCpanels::UpdateControls()
{
    if (Port == 0 || UpdatingControls)
        return;
    QPointer<frmCpanels> self(this);

    // Until the chip's modes hold still between two reads.
    for (;;) {
        UpdatingControls = true;
        Delay(0.25);
        if (!self || !refreshStatus()) {
            UpdatingControls = false;
            return;
        }
        const vx::ModeCheck m =
            vx::CheckModeChange(cTolv->GetStatus().POR(), PrevEmulation, PrevModuleCompat, DisplaySV10Warning);
        SV10Emulation = m.sv10Emulation;
        if (m.showWarning) {
            lblCPanels_Click(2);
            frmWarning(vx::DialogOwner()).DisplayWarning();
            if (!self) {
                UpdatingControls = false;
                return;
            }
        } else if (m.restoreCaption) {
            if (frmMDI *main = frmMDI::instance())
                main->setWindowTitle(mainwin::appName());
        }
        if (m.stable)
            break;
        ApplyModeRanges(m.native());
        // A preset is reloaded with the ranges of the new mode.
        if (cboVoices->currentIndex() != -1)
            sendCommand(vx::LiveCommand(CmdChar, vx::VoiceCommand(cboVoices->currentIndex())));
        PrevEmulation = m.sv10Emulation;
        PrevModuleCompat = m.moduleCompat;
        Delay(0.25);
        if (!self) {
            UpdatingControls = false;
            return;
        }
    }

    ShowPanelValues(vx::DecodePanelValues(cTolv->GetStatus()));
    // The shown panel is drawn anew: its title and status line.
    lblCPanels_Click(PanelTab);
    UpdatingControls = false;
}

void frmCpanels::ApplyModeRanges(bool native)
{
    mNativeRanges = native;
    for (int i : {1, 5}) {
        const vx::ParameterSlider &p = vx::ParameterSliders()[static_cast<size_t>(i)];
        sldControls[i]->setMaximum(p.maxFor(native));
        sldControls[i]->setPageStep(native ? p.nativeLargeChange : p.largeChange);
        sldControls[i]->setTickInterval(native ? p.nativeTick : p.tick);
        txtControlBoxes[i]->setMaxLength(native ? p.nativeMaxLength : p.maxLength);
    }
    if (native && cboVoices->count() == 8)
        cboVoices->addItems(vx::VoiceNames(true).mid(8));
    else if (!native && cboVoices->count() == 11)
        for (int i = 10; i >= 8; --i)
            cboVoices->removeItem(i);
    // The recorder needs the newer chip in its own mode.
    lblCPanels[4]->setEnabled(native);
    picCPanels[4]->setEnabled(native);
    // A panel whose tab just went must not stay up without it.
    if (!native && PanelTab == 4)
        lblCPanels_Click(2);
}

void frmCpanels::SetListToolTips()
{
    if (cboVoices->currentIndex() >= 0)
        cboVoices->setToolTip(vx::CommandToolTip(ChipModel, vx::VoiceCommand(cboVoices->currentIndex())));
    if (cboMode->currentIndex() >= 0)
        cboMode->setToolTip(vx::CommandToolTip(ChipModel, vx::ModeLetter(cboMode->currentIndex())));
}

void frmCpanels::ShowPanelValues(const vx::PanelValues &v)
{
    cboMode->setCurrentIndex(v.modeIndex);
    for (int i = 0; i < 9; ++i) {
        if (!v.sliders[static_cast<size_t>(i)])
            continue;
        const int value = *v.sliders[static_cast<size_t>(i)];
        sldControls[i]->setValue(value);
        // The tool tip follows the mode also when the value stayed.
        sldControls_Change(i);
        // The chip's own figure, also one beyond the slider's range.
        txtControlBoxes[i]->setText(QString::number(value));
    }
    DictionaryKnown = v.dictionaryKnown;
    cboVoices->setCurrentIndex(v.voiceIndex < cboVoices->count() ? v.voiceIndex : -1);
    SetListToolTips();

    QCoreApplication::processEvents();
    chkUseDict->setEnabled(DictionaryKnown);
    chkUseDict->setChecked(v.useDict);
    chkUseDict->setToolTip(vx::CommandToolTip(ChipModel, v.useDictCommand));

    const QStringList acr = vx::RegisterCaptions(v.ACR);
    const QStringList por = vx::RegisterCaptions(v.POR);
    const QStringList pfr = vx::RegisterCaptions(v.PFR);
    for (int i = 0; i < 8; ++i) {
        cmdACR[i]->setText(acr.at(i));
        cmdPOR[i]->setText(por.at(i));
        cmdPFR[i]->setText(pfr.at(i));
    }
    fraACR->setToolTip(vx::CommandToolTip(ChipModel, vx::RegisterCommand(v.ACR, 'n')));
    fraPOR->setToolTip(vx::CommandToolTip(ChipModel, vx::RegisterCommand(v.POR, 'g')));
    fraPFR->setToolTip(vx::CommandToolTip(ChipModel, vx::RegisterCommand(v.PFR, 'b')));

    ShowRecorderValues(v);

    if (frmMDI *main = frmMDI::instance()) {
        main->sbStatusBar->SetPanelText(2, v.emulationStatus);
        main->sbStatusBar->SetPanelText(3, v.addressingStatus);
    }
    QCoreApplication::processEvents();
    txtDur->setMaxLength(v.durMaxLength);
}

void frmCpanels::DemoPanels()
{
    for (int i = 0; i < 9; ++i) {
        sldControls[i]->setValue(0);
        sldControls_Change(i);
    }
    cboVoices->setCurrentIndex(0);
    cboVoices_Click();
    cboMode->setCurrentIndex(0);
    cboMode_Click();
    // Without a chip the register handlers only show their command.
    cmdPOR_Click(0);
    cmdACR_Click(0);
    cmdPFR_Click(0);
}
