#include "app/soundlib/ui/frmPcmOptions.h"

#include "app/Globals.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/soundlib/SoundConvert.h"
#include "common/TextUtil.h"
#include "platform/ui/Modal.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

vx::LoadedForm<frmPcmOptions> gForm;

// A box keeps only digits, whatever was typed or pasted.
void keepDigits(QLineEdit *box)
{
    QString text = box->text();
    if (ForceDigitsOnly(text) != box->text())
        box->setText(text);
}

} // namespace

frmPcmOptions::frmPcmOptions(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmPcmOptions"));
    setWindowTitle(QStringLiteral("Conversion Options"));

    Frame1 = new QGroupBox(QStringLiteral(" Options "), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lblTag = new QLabel(QStringLiteral("Tag:"), Frame1);
    lblTag->setObjectName(QStringLiteral("lblTag"));
    txtTag = new QLineEdit(QStringLiteral("0"), Frame1);
    txtTag->setObjectName(QStringLiteral("txtTag"));
    txtTag->setToolTip(QStringLiteral("Allows file to be referenced by a user-defined tag. Enter a number between 1 "
                                      "and 65534 (0 or blank if none)"));
    lblGate = new QLabel(QStringLiteral("Noise gate:"), Frame1);
    lblGate->setObjectName(QStringLiteral("lblGate"));
    txtGate = new QLineEdit(QStringLiteral("0"), Frame1);
    txtGate->setObjectName(QStringLiteral("txtGate"));
    txtGate->setMaxLength(1);
    txtGate->setToolTip(QStringLiteral("Reduces noise during pauses in speech or music"));
    chkBoost = new QCheckBox(QStringLiteral(" &Boost"), Frame1);
    chkBoost->setObjectName(QStringLiteral("chkBoost"));
    chkBoost->setToolTip(QStringLiteral("Check to boost a low-level recording"));
    chkCompress = new QCheckBox(QStringLiteral(" &Comp"), Frame1);
    chkCompress->setObjectName(QStringLiteral("chkCompress"));
    chkCompress->setToolTip(QStringLiteral("Check to compress the file (reduces file size)"));
    lblMgmtTip = new QLabel(QStringLiteral("If you have many files to convert, consider creating a sound library instead."),
                            this);
    lblMgmtTip->setObjectName(QStringLiteral("lblMgmtTip"));
    lblMgmtTip->setWordWrap(true);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    for (QLineEdit *box : {txtTag, txtGate})
        box->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    auto *grid = new QGridLayout(Frame1);
    grid->addWidget(lblTag, 0, 0);
    grid->addWidget(txtTag, 0, 1);
    grid->addWidget(chkBoost, 0, 3);
    grid->addWidget(lblGate, 1, 0);
    grid->addWidget(txtGate, 1, 1, Qt::AlignLeft);
    grid->addWidget(chkCompress, 1, 3);
    grid->setColumnStretch(2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addWidget(lblMgmtTip);
    layout->addLayout(buttons);
    setFixedWidth(330);

    connect(cmdOK, &QPushButton::clicked, this, &frmPcmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmPcmOptions::cmdCancel_Click);
    connect(txtTag, &QLineEdit::textChanged, this, &frmPcmOptions::txtTag_Change);
    connect(txtGate, &QLineEdit::textChanged, this, &frmPcmOptions::txtGate_Change);
    for (QLineEdit *box : {txtTag, txtGate})
        box->installEventFilter(this);
    Form_Load();
}

void frmPcmOptions::Form_Load()
{
    lblTag->setToolTip(txtTag->toolTip());
    lblGate->setToolTip(txtGate->toolTip());
    adjustSize();
    vx::CentreOver(this);
}

bool frmPcmOptions::GetOptions(qint32 &Tag, qint16 &Gate, bool &Boost, bool &Comp)
{
    OptionsCancelled = false;
    // The older chip's PCM form has no tag.
    txtTag->setEnabled(!SV10DataFiles);
    lblTag->setEnabled(!SV10DataFiles);
    txtTag->setText(QStringLiteral("0"));
    const QPointer<frmPcmOptions> self(this);
    vx::RunModal(this, [](QWidget *form) {
        form->activateWindow();
        static_cast<frmPcmOptions *>(form)->txtTag->setFocus();
    });
    if (!self)
        return false; // unloaded while it showed: the program is ending
    Tag = ReadOptionNumber(txtTag->text(), 32);
    Gate = static_cast<qint16>(ReadOptionNumber(txtGate->text(), 16));
    Boost = chkBoost->isChecked();
    Comp = chkCompress->isChecked();
    return !OptionsCancelled;
}

void frmPcmOptions::cmdOK_Click()
{
    hide();
}

void frmPcmOptions::cmdCancel_Click()
{
    OptionsCancelled = true;
    hide();
}

void frmPcmOptions::txtTag_Change()
{
    keepDigits(txtTag);
    UpdateToolbarState();
}

void frmPcmOptions::txtGate_Change()
{
    keepDigits(txtGate);
    UpdateToolbarState();
}

void frmPcmOptions::reject()
{
    // Esc is the Cancel button.
    cmdCancel_Click();
}

void frmPcmOptions::closeEvent(QCloseEvent *event)
{
    // Only OK and Cancel end the dialog.
    if (isVisible())
        event->ignore();
}

bool frmPcmOptions::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (box && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, box, &QLineEdit::selectAll); // after the click has placed the caret
    else if (box && event->type() == QEvent::MouseButtonRelease)
        UpdateToolbarState();
    return QDialog::eventFilter(watched, event);
}

frmPcmOptions *frmPcmOptions::instance()
{
    return gForm.get();
}

frmPcmOptions *frmPcmOptions::loaded()
{
    return gForm.loaded();
}

void frmPcmOptions::Unload()
{
    gForm.unload();
}
