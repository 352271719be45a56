#include "app/panels/ui/frmCpanels.h"

#include "app/Globals.h"
#include "app/panels/PanelCommands.h"
#include "app/panels/RecorderStatus.h"
#include "app/panels/ui/PanelWidgets.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/shell/ui/frmProgress.h"
#include "app/startup/Busy.h"
#include "common/TextUtil.h"
#include "link/LinkError.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

// The sound recorder panel: the parameters of the next recording into the
// chip's recording memory, and the files already there (delete, upload,
// initialise), each through the link library.

using vx::panels::place;

void frmCpanels::BuildRecorder(QWidget *panel)
{
    auto *fraRecParms = new QGroupBox(QStringLiteral(" Recording Parameters "), panel);
    fraRecParms->setObjectName(QStringLiteral("fraRecParms"));
    place(fraRecParms, 0, 0, 5350, 1100);
    auto *lblRecTag = new QLabel(QStringLiteral("Tag:"), fraRecParms);
    place(lblRecTag, 150, 330, 500, 300);
    txtRecTagVal = new QLineEdit(QStringLiteral("0"), fraRecParms);
    txtRecTagVal->setObjectName(QStringLiteral("txtRecTagVal"));
    txtRecTagVal->setMaxLength(5);
    txtRecTagVal->setToolTip(QStringLiteral("Tag to be stored with the recording (0 = none)"));
    place(txtRecTagVal, 650, 280, 800, 330);
    connect(txtRecTagVal, &QLineEdit::textEdited, this, [this] {
        QString t = txtRecTagVal->text();
        txtRecTagVal->setText(ForceDigitsOnly(t));
        UpdateToolbarState();
    });
    chkCompress = new QCheckBox(QStringLiteral(" Compress"), fraRecParms);
    chkCompress->setObjectName(QStringLiteral("chkCompress"));
    chkCompress->setToolTip(QStringLiteral("Reduces the recording's storage requirements"));
    chkCompress->setChecked(true);
    place(chkCompress, 1700, 280, 1500, 300);
    auto *lblSRate = new QLabel(QStringLiteral("S. Rate:"), fraRecParms);
    place(lblSRate, 150, 720, 800, 300);
    sldSRate = new QSlider(Qt::Horizontal, fraRecParms);
    sldSRate->setObjectName(QStringLiteral("sldSRate"));
    sldSRate->setRange(0, 7);
    sldSRate->setPageStep(3);
    sldSRate->setToolTip(QStringLiteral("Sets the recording sampling rate"));
    place(sldSRate, 950, 680, 2500, 330);
    lblkHz = new QLabel(fraRecParms);
    lblkHz->setObjectName(QStringLiteral("lblkHz"));
    place(lblkHz, 3550, 720, 800, 300);
    connect(sldSRate, &QSlider::valueChanged, this, [this](int v) { lblkHz->setText(vx::SampleRateLabel(v)); });
    sldSRate->setValue(7);
    lblkHz->setText(vx::SampleRateLabel(7));
    auto *lblRecTip = new QLabel(QStringLiteral("Click the Record button in the toolbar to begin recording."), panel);
    place(lblRecTip, 0, 1150, 5350, 300);

    auto *fraFileMgmt = new QGroupBox(QStringLiteral(" File Management "), panel);
    fraFileMgmt->setObjectName(QStringLiteral("fraFileMgmt"));
    place(fraFileMgmt, 0, 1500, 5350, 1500);
    auto *lblFile = new QLabel(QStringLiteral("File:"), fraFileMgmt);
    place(lblFile, 150, 330, 500, 300);
    txtTagIndexVal = new QLineEdit(QStringLiteral("0"), fraFileMgmt);
    txtTagIndexVal->setObjectName(QStringLiteral("txtTagIndexVal"));
    txtTagIndexVal->setMaxLength(5);
    txtTagIndexVal->setToolTip(
        QStringLiteral("Determines which sound file is accessed in the SV3420's recording memory"));
    place(txtTagIndexVal, 650, 280, 800, 330);
    connect(txtTagIndexVal, &QLineEdit::textChanged, this, &frmCpanels::txtTagIndexVal_Change);
    auto addButton = [this, fraFileMgmt](const char *name, const char *text, int left, void (frmCpanels::*slot)()) {
        auto *b = new QPushButton(QString::fromLatin1(text), fraFileMgmt);
        b->setObjectName(QString::fromLatin1(name));
        place(b, left, 1000, 1500, 380);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    cmdDelete = addButton("cmdDelete", "Delete", 150, &frmCpanels::cmdDelete_Click);
    cmdUpload = addButton("cmdUpload", "Upload", 1800, &frmCpanels::cmdUpload_Click);
    cmdInitialize = addButton("cmdInitialize", "Initialize", 3450, &frmCpanels::cmdInitialize_Click);
    cmdInitialize->setToolTip(QStringLiteral("Initialize/reformat SV3420 recording memory (SV3420 command: 214w)"));
    auto *lblMgmtTip = new QLabel(QStringLiteral("Click the Play button in the toolbar to play the file."), panel);
    place(lblMgmtTip, 0, 3020, 5350, 300);
    txtTagIndexVal_Change();

    optIndexType[0] = new QRadioButton(QStringLiteral(" Index"), panel);
    optIndexType[0]->setToolTip(QStringLiteral("Reference the file by its index value (command: -8g)"));
    optIndexType[1] = new QRadioButton(QStringLiteral(" Tag"), panel);
    optIndexType[1]->setToolTip(QStringLiteral("Reference the file by its Tag value (command: +8g)"));
    for (int i = 0; i < 2; ++i) {
        optIndexType[i]->setObjectName(QStringLiteral("optIndexType_%1").arg(i));
        optIndexType[i]->setParent(fraFileMgmt);
        place(optIndexType[i], 1700 + i * 1200, 330, 1100, 300);
        connect(optIndexType[i], &QRadioButton::clicked, this, [this, i] { optIndexType_Click(i); });
    }
    optIndexType[0]->setChecked(true);

    auto *lblRecMemory = new QLabel(QStringLiteral("Recording Memory"), panel);
    lblRecMemory->setObjectName(QStringLiteral("lblRecMemory"));
    QFont bold = lblRecMemory->font();
    bold.setBold(true);
    lblRecMemory->setFont(bold);
    place(lblRecMemory, 0, 3350, 3000, 300);
    lblRecMemUsed = new QLabel(QStringLiteral("Memory used: 0 KB"), panel);
    lblRecMemUsed->setObjectName(QStringLiteral("lblRecMemUsed"));
    place(lblRecMemUsed, 0, 3650, 5250, 300);
    vbalRecMemUsed = new QProgressBar(panel);
    vbalRecMemUsed->setObjectName(QStringLiteral("vbalRecMemUsed"));
    vbalRecMemUsed->setTextVisible(false);
    vbalRecMemUsed->setRange(0, 1);
    vbalRecMemUsed->setValue(0);
    place(vbalRecMemUsed, 0, 4000, 5250, 250);
}

void frmCpanels::ShowRecorderValues(const vx::PanelValues &v)
{
    RecMemSize = v.recMemSize;
    RecMemFree = v.recMemFree;
    vbalRecMemUsed->setMaximum(v.gaugeMax);
    vbalRecMemUsed->setValue(v.gaugeValue);
    lblRecMemUsed->setText(v.recMemLabel);
    if (v.recMemKnown)
        lblProgressMsg->clear();
    else
        lblProgressMsg->setVisible(true);
    optIndexType[v.indexType]->setChecked(true);
}

qint64 frmCpanels::FileNumber() const
{
    return txtTagIndexVal->text().toLongLong();
}

std::optional<qint64> frmCpanels::CheckedFileNumber()
{
    const qint64 number = FileNumber();
    if (vx::IsRecMemNumberValid(number))
        return number;
    vx::MsgBox(vx::TagIndexOutOfRangeMessage(), vx::Buttons::Ok, vx::Icon::Exclamation);
    txtTagIndexVal->setText(QString::number(vx::kLargestRecMemNumber));
    return std::nullopt;
}

void frmCpanels::txtTagIndexVal_Change()
{
    QString t = txtTagIndexVal->text();
    if (ForceDigitsOnly(t) != txtTagIndexVal->text()) {
        txtTagIndexVal->setText(t); // comes back here once more
        return;
    }
    cmdUpload->setToolTip(vx::UploadToolTip(FileNumber()));
    cmdDelete->setToolTip(vx::DeleteToolTip(FileNumber()));
    UpdateToolbarState();
}

void frmCpanels::optIndexType_Click(int Index)
{
    if (UpdatingControls)
        return;
    StopRequested = false;
    vx::panels::sendCommand(CmdChar + (Index == 1 ? QStringLiteral("+8g") : QStringLiteral("-8g")) + QChar(0));
    UpdateControls();
}

void frmCpanels::ShowLinkError(const QString &description)
{
    lblProgressMsg->clear();
    vx::MsgBox(QStringLiteral("ERROR: ") + description, vx::Buttons::Ok, vx::Icon::Exclamation);
}

void frmCpanels::cmdInitialize_Click()
{
    if (UpdatingControls || Port == 0 || !cTolv)
        return;
    picActiveCPTab->setFocus();
    if (cTolv->GetStatus().fileCount() > 0 &&
        vx::MsgBox(QStringLiteral("Are you sure you want to initialize the recording memory? ") +
                       QStringLiteral("\r\n") + QStringLiteral("All recorded and downloaded sounds will be erased."),
                   vx::Buttons::YesNo, vx::Icon::Exclamation, QStringLiteral("Confirm Initialization"),
                   2) != vx::Answer::Yes)
        return;
    BeginBusy();
    frmProgress *progress = frmProgress::instance();
    progress->ProgressSetup(1, false, QStringLiteral("Recording Memory Initialization"),
                            QStringLiteral("Initializing recording memory..."), QString());
    ProgressBar = progress->vbalProgress;
    lblProgressMsg->setText(QStringLiteral("Initializing recording memory..."));
    lblProgressMsg->setVisible(true);
    QString error;
    try {
        cTolv->InitRecMem();
    } catch (const LinkError &e) {
        error = e.description();
    }
    ProgressBar = nullptr;
    if (error.isEmpty()) {
        UpdateControls();
        lblProgressMsg->setText(QStringLiteral("Recording memory initialized."));
    } else {
        ShowLinkError(error);
    }
    EndBusy();
    frmProgress::Unload();
}

void frmCpanels::cmdDelete_Click()
{
    if (UpdatingControls || Port == 0 || !cTolv)
        return;
    picActiveCPTab->setFocus();
    if (!CheckedFileNumber())
        return;
    if (vx::MsgBox(QStringLiteral("Are you sure you want to delete the file from recording memory? "),
                   vx::Buttons::YesNo, vx::Icon::Exclamation, QStringLiteral("Confirm Delete"), 2) != vx::Answer::Yes)
        return;
    BeginBusy();
    lblProgressMsg->setText(QStringLiteral("Erasing file and defragmenting..."));
    lblProgressMsg->setVisible(true);
    QCoreApplication::processEvents();
    QString error;
    try {
        cTolv->DeleteRecMemFile(static_cast<qint32>(FileNumber()), optIndexType[1]->isChecked());
    } catch (const LinkError &e) {
        error = e.description();
    }
    if (error.isEmpty()) {
        UpdateControls();
        lblProgressMsg->setText(QStringLiteral("File successfully deleted."));
    } else {
        ShowLinkError(error);
    }
    lblProgressMsg->setVisible(true);
    EndBusy();
}

void frmCpanels::cmdUpload_Click()
{
    if (UpdatingControls || Port == 0 || !cTolv)
        return;
    picActiveCPTab->setFocus();
    // Refused before the dialog: the link takes no number outside its range.
    if (!CheckedFileNumber())
        return;
    const QString fileName =
        GetSavePcmFileName(vx::ProposedUploadName(txtTagIndexVal->text(), optIndexType[1]->isChecked()));
    if (fileName.isEmpty())
        return;
    BeginBusy();
    StopRequested = false;
    frmProgress *progress = frmProgress::instance();
    progress->ProgressSetup(3, true, QStringLiteral("Sound File Upload"), QStringLiteral("Uploading data..."),
                            QString());
    ProgressBar = progress->vbalProgress;
    QString error;
    LinkResult result = LinkResult::Done;
    try {
        // The link writes through a temporary file and removes it on cancel or failure.
        result = cTolv->UploadRecMemFile(fileName, static_cast<qint32>(FileNumber()), optIndexType[1]->isChecked());
    } catch (const LinkError &e) {
        error = e.description();
    }
    ProgressBar = nullptr;
    frmProgress::Unload();
    if (error.isEmpty()) {
        lblProgressMsg->setText(StopRequested || result == LinkResult::Cancelled
                                    ? QStringLiteral("Upload canceled.")
                                    : QStringLiteral("Upload complete."));
        lblProgressMsg->setVisible(true);
    } else {
        vx::MsgBox(QStringLiteral("ERROR: ") + error, vx::Buttons::Ok, vx::Icon::Exclamation);
    }
    EndBusy();
}
