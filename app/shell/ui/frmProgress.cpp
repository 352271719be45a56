#include "app/shell/ui/frmProgress.h"

#include "app/shell/ui/ProgressBar.h"
#include "app/Globals.h"
#include "app/startup/ui/Images.h"
#include "platform/ui/Modal.h"
#include "platform/Numbers.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

vx::LoadedForm<frmProgress> gForm;

// Design width; the height follows the Cancel button (2600 or 2100 twips).
constexpr int kWidthTwips = 5700;
constexpr int kHeightWithCancel = 2600;
constexpr int kHeightWithoutCancel = 2100;

} // namespace

frmProgress::frmProgress(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmProgress"));
    setModal(false);
    setWindowTitle(QStringLiteral("Converting Wave File"));

    vbalProgress = new vbalProgressBar(this);
    vbalProgress->setObjectName(QStringLiteral("vbalProgress"));
    vbalProgress->setRange(0, 100);

    auto *icons = new QVBoxLayout;
    for (int i = 1; i <= 4; ++i) {
        picProgress[i] = new QLabel(this);
        picProgress[i]->setObjectName(QStringLiteral("picProgress%1").arg(i));
        picProgress[i]->setPixmap(images::progressImage(i));
        picProgress[i]->setFixedSize(32, 32);
        picProgress[i]->setAlignment(Qt::AlignCenter);
        picProgress[i]->hide();
        icons->addWidget(picProgress[i]);
    }
    icons->addStretch();

    lblProgressMsg = new QLabel(this);
    lblProgressMsg->setObjectName(QStringLiteral("lblProgressMsg"));
    lblProgressMsg->setWordWrap(true);
    lblProgressMsg1 = new QLabel(this);
    lblProgressMsg1->setObjectName(QStringLiteral("lblProgressMsg1"));
    lblProgressMsg1->setWordWrap(true);

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    connect(cmdCancel, &QPushButton::clicked, this, &frmProgress::cmdCancel_Click);

    auto *messages = new QVBoxLayout;
    messages->addWidget(lblProgressMsg);
    messages->addWidget(lblProgressMsg1);
    messages->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(icons);
    top->addLayout(messages, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(vbalProgress);
    layout->addLayout(buttons);
}

void frmProgress::ProgressSetup(int intIcon, bool blnShowCancel, const QString &strCaption,
                                const QString &strProgressMsg, const QString &strStatusMsg)
{
    vbalProgress->setMinimum(0);
    vbalProgress->setValue(0);
    vbalProgress->setText(QString());
    for (int i = 1; i <= 4; ++i)
        picProgress[i]->setVisible(i == intIcon);
    ProgressCancel = false;
    setWindowTitle(strCaption);
    lblProgressMsg->setText(strProgressMsg);
    lblProgressMsg1->setText(strStatusMsg);
    cmdCancel->setVisible(blnShowCancel);
    if (blnShowCancel)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
    setFixedSize(vx::twipsToPixels(kWidthTwips),
                 vx::twipsToPixels(blnShowCancel ? kHeightWithCancel : kHeightWithoutCancel));
    // Centred over the main window, wherever that is on the screen.
    vx::CentreOver(this);
    show();
}

void frmProgress::cmdCancel_Click()
{
    ProgressCancel = true;
    StopRequested = true;
}

frmProgress *frmProgress::instance()
{
    return gForm.get();
}

frmProgress *frmProgress::loaded()
{
    return gForm.loaded();
}

void frmProgress::Unload()
{
    gForm.unload();
}

void frmProgress::reject()
{
    // Esc is the Cancel button when there is one; the window itself stays
    // until the operation ends.
    if (cmdCancel->isVisible())
        cmdCancel_Click();
}

void frmProgress::closeEvent(QCloseEvent *event)
{
    event->ignore();
    reject();
}
