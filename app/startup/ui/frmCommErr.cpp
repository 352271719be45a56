#include "app/startup/ui/frmCommErr.h"

#include "app/Globals.h"
#include "app/HelpTopics.h"
#include "platform/Help.h"
#include "platform/ui/Modal.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kHelpTopic = vx::help::kCommunicationError;
}

frmCommErr::frmCommErr(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCommErr"));
    setWindowTitle(QStringLiteral("Communication Error"));

    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    lblCommErr = new QLabel(this);
    lblCommErr->setObjectName(QStringLiteral("lblCommErr"));
    lblCommErr->setWordWrap(true);
    lblCommErr->setMinimumWidth(380);

    cmdPrefs = new QPushButton(QStringLiteral("&Preferences"), this);
    cmdPrefs->setObjectName(QStringLiteral("cmdPrefs"));
    cmdPrefs->setDefault(true);
    cmdDemo = new QPushButton(QStringLiteral("&Demo"), this);
    cmdDemo->setObjectName(QStringLiteral("cmdDemo"));
    CmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    cmdHelp->setAutoDefault(false);

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(lblCommErr, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdPrefs);
    buttons->addWidget(cmdDemo);
    buttons->addWidget(CmdCancel);
    buttons->addWidget(cmdHelp);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(10);
    layout->addLayout(buttons);

    connect(cmdPrefs, &QPushButton::clicked, this, &frmCommErr::cmdPrefs_Click);
    connect(cmdDemo, &QPushButton::clicked, this, &frmCommErr::cmdDemo_Click);
    connect(CmdCancel, &QPushButton::clicked, this, &frmCommErr::CmdCancel_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmCommErr::cmdHelp_Click);
}

int frmCommErr::ShowChoice(const QString &message)
{
    QPointer<frmCommErr> dlg = new frmCommErr(vx::DialogOwner());
    dlg->setAttribute(Qt::WA_DeleteOnClose, false);
    dlg->lblCommErr->setText(message);
    dlg->keepTextWhole();
    CommErrChoice = 0;
    vx::RunModal(dlg);
    delete dlg;
    return CommErrChoice;
}

void frmCommErr::keepTextWhole()
{
    // A wrapped label's height depends on its width, which a window's
    // minimum size alone does not follow: the floor is the height the text
    // needs at the narrowest width.
    QLayout *l = layout();
    l->activate();
    const QSize least = l->minimumSize();
    const int height = l->hasHeightForWidth() ? l->totalHeightForWidth(least.width()) : least.height();
    setMinimumSize(least.width(), std::max(height, least.height()));
}

void frmCommErr::choose(int choice)
{
    CommErrChoice = choice;
    hide();
}

void frmCommErr::cmdPrefs_Click()
{
    choose(1);
}

void frmCommErr::cmdDemo_Click()
{
    choose(2);
}

void frmCommErr::CmdCancel_Click()
{
    choose(3);
}

void frmCommErr::cmdHelp_Click()
{
    vx::showHelpTopic(kHelpTopic);
}

void frmCommErr::reject()
{
    // Esc is the Cancel button.
    CmdCancel_Click();
}

void frmCommErr::closeEvent(QCloseEvent *event)
{
    // Leaving without a choice would keep the program neither linked nor in
    // demo mode; demo mode is the outcome that loses nothing.
    if (CommErrChoice == 0)
        CommErrChoice = 2;
    event->accept();
    hide();
}
