#pragma once

// "Control Panels": the window through which the user drives a connected
// chip live. Five panels, one shown at a time, chosen from a tab bar at the
// left: 0 tone generator, 1 voice controls, 2 the three registers, 3 A/D
// converter, 4 sound recorder. The chip is the authority: every command a
// panel sends is followed by a refresh that rewrites the controls from the
// chip's status record. The window lives in slot 0 of the registry.

#include "app/documents/ui/MdiChild.h"
#include "app/panels/Dialer.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class TextBox;

namespace vx {
struct PanelValues;
}

class frmCpanels : public MdiChild
{
    Q_OBJECT
public:
    explicit frmCpanels(QWidget *parent = nullptr);

    [[nodiscard]] WindowKind kind() const override { return WindowKind::ControlPanels; }
    [[nodiscard]] WindowState state() const override;

    // --- The shell.
    QFrame *picCPanels[5] = {};
    QLabel *lblCPanels[5] = {};
    QFrame *picActiveCPTab = nullptr;
    QLabel *lblActiveCPTab = nullptr;
    QLabel *imgCPTitle = nullptr;
    QLabel *lblCPTitle = nullptr;
    QLabel *lblProgressMsg = nullptr;
    QFrame *shaCPFrame = nullptr;
    QWidget *picPanel[5] = {};

    // --- Voice controls (panel 1).
    QLabel *lblVoice = nullptr;
    QComboBox *cboVoices = nullptr;
    QLabel *lblMode = nullptr;
    QComboBox *cboMode = nullptr;
    QCheckBox *chkUseDict = nullptr;
    QSlider *sldControls[9] = {};
    QLabel *lblControls[9] = {};
    QLineEdit *txtControlBoxes[9] = {};
    QLabel *picDefaults = nullptr;

    // --- Registers (panel 2): bit i at index i.
    QGroupBox *fraACR = nullptr;
    QGroupBox *fraPOR = nullptr;
    QGroupBox *fraPFR = nullptr;
    QPushButton *cmdACR[8] = {};
    QPushButton *cmdPOR[8] = {};
    QPushButton *cmdPFR[8] = {};
    QLabel *lblACR[8] = {};
    QLabel *lblPOR[8] = {};
    QLabel *lblPFR[8] = {};

    // --- Tone generator and dialer (panel 0).
    QLineEdit *txtF1 = nullptr;
    QLineEdit *txtF2 = nullptr;
    QLineEdit *txtDur = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdClear = nullptr;
    TextBox *txtInputBox = nullptr; // the tone command box
    QPushButton *cmdDialer[20] = {};

    // --- A/D converter (panel 3).
    QComboBox *cboChannel = nullptr;
    QCheckBox *chkContinuous = nullptr;
    QCheckBox *chkHdwTrg = nullptr;
    QCheckBox *chkExtAmp = nullptr;
    QPushButton *cmdAdcStart = nullptr;
    QProgressBar *vbalADC[4] = {};
    int AdcSettings = 0;

    // --- Sound recorder (panel 4).
    QCheckBox *chkCompress = nullptr;
    QLineEdit *txtRecTagVal = nullptr;
    QSlider *sldSRate = nullptr;
    QLabel *lblkHz = nullptr;
    QLineEdit *txtTagIndexVal = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdUpload = nullptr;
    QPushButton *cmdInitialize = nullptr;

    // --- What the refresh shows on the other panels.
    QLabel *lblRecMemUsed = nullptr;        // recording memory in use (panel 4)
    QProgressBar *vbalRecMemUsed = nullptr; // its gauge, in KB
    QRadioButton *optIndexType[2] = {};     // 0 index, 1 tag addressing

    // The A/D converter streams; the window may not close meanwhile.
    bool AdcRunning = false;

    // --- Public members.
    // Loads the window's start state: panel 1 shown, the older chip's
    // limits, then a refresh from the chip.
    void Form_Load();
    void Form_Activate() override;
    // Close request: refused while the A/D converter runs; while the
    // program runs the window only hides; when it ends, the window's place
    // and visibility are stored.
    void Form_QueryUnload(bool &Cancel) override;
    // Shows panel Index (0 to 4).
    void NewTab(int Index);
    // Re-reads the chip's state and rewrites every panel from it. Returns at
    // once in demo mode or while a refresh runs; a failed status read ends
    // it with nothing changed.
    void UpdateControls();
    // Disables every tab (around a recording), remembering which were
    // enabled; UnlockPanels restores them.
    void LockPanels();
    void UnlockPanels();
    // The demo state: parameters and lists at 0, the registers' tool tips set.
    void DemoPanels();

    // --- Event handlers.
    void lblCPanels_Click(int Index);
    void picCPanels_Click(int Index);
    void cboVoices_Click();
    void cboMode_Click();
    void chkUseDict_Click();
    void sldControls_Scroll(int Index);
    void sldControls_Change(int Index);
    void txtControlBoxes_Change(int Index);
    void cmdACR_Click(int Index);
    void cmdPOR_Click(int Index);
    void cmdPFR_Click(int Index);
    void picDefaults_Click();
    void cmdDialer_Click(int Index);
    void cmdAdd_Click();
    void cmdClear_Click();
    void ToneBox_Validate(QLineEdit *box);
    void cmdAdcStart_Click();
    void UpdateAdcCommand();
    void chkContinuous_Click();
    void txtTagIndexVal_Change();
    void optIndexType_Click(int Index);
    void cmdInitialize_Click();
    void cmdDelete_Click();
    void cmdUpload_Click();
    // The number in the file box when recording memory has room for it;
    // otherwise the range message, the box set to the largest, and nothing.
    [[nodiscard]] std::optional<qint64> CheckedFileNumber();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildShell();
    void BuildToneGen(QWidget *panel);
    void BuildVoice(QWidget *panel);
    void BuildRegisters(QWidget *panel);
    void BuildAdc(QWidget *panel);
    void BuildRecorder(QWidget *panel);

    // The ranges of the native newer-chip mode, or of the compatible modes.
    void ApplyModeRanges(bool native);
    void ShowPanelValues(const vx::PanelValues &v);
    void ShowRecorderValues(const vx::PanelValues &v);
    void RegisterClick(QPushButton *const (&bits)[8], QGroupBox *frame, char letter, int Index);
    // The voice and mode lists' tool tips as their handlers would set them.
    void SetListToolTips();
    void ComputeToneParameters();
    [[nodiscard]] qint64 FileNumber() const;
    // Shows a link failure as the recorder does; the status line is emptied.
    void ShowLinkError(const QString &description);

    bool SavedTabEnabled[6] = {};
    bool mNativeRanges = false; // the sliders have the native mode's ranges
    vx::ToneParameters mTone;
};

// The control panel window in slot 0, created on first use (not shown).
frmCpanels *ControlPanels();
// Shows the control panel window, brings it to the front and refreshes it.
void ShowControlPanel();
// The control panels read the chip's state again, when the window exists.
void RefreshControlPanels();
// The Record command while the control panels are active: records from the
// A/D converter into the chip's recording memory under the panel's tag.
void RecordToRecordingMemory();
// The value of a register from its bit buttons: 2^i times each caption.
[[nodiscard]] int16_t GetRegisterValue(QPushButton *const (&bits)[8]);
