#include "tolvane/ui/frmConfirm.h"

#include "tolvane/Globals.h"
#include "tolvane/TolvanePrefs.h"

#include "platform/ui/Modal.h"
#include "platform/ui/WrittenLines.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

frmConfirm::frmConfirm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmConfirm"));
    setWindowTitle(QStringLiteral("Warning"));
    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    lblWarning = new QLabel(this);
    lblWarning->setObjectName(QStringLiteral("lblWarning"));
    lblWarning->setWordWrap(true);
    lblWarning->setMinimumWidth(300);
    chkDispConfirm = new QCheckBox(QStringLiteral("&Don't show again"), this);
    chkDispConfirm->setObjectName(QStringLiteral("chkDispConfirm"));
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addWidget(lblWarning, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(chkDispConfirm);
    bottom->addStretch();
    bottom->addWidget(cmdOK);
    bottom->addWidget(cmdCancel);
    auto *all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(bottom);
    setFixedSize(sizeHint().expandedTo(QSize(420, 140)));

    connect(chkDispConfirm, &QCheckBox::clicked, this, &frmConfirm::chkDispConfirm_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmConfirm::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmConfirm::cmdCancel_Click);
    Form_Load();
}

void frmConfirm::Form_Load()
{
    if (G.ConfirmKind == 1 || G.ConfirmKind == 2) {
        const bool display = G.ConfirmKind == 1 ? G.DisplayDnldConfirm : G.DisplayErasConfirm;
        chkDispConfirm->setChecked(!display);
        KeepShowing = display;
    }
    Answer = 0;
}

void frmConfirm::chkDispConfirm_Click() { KeepShowing = !chkDispConfirm->isChecked(); }

void frmConfirm::cmdOK_Click()
{
    if (G.ConfirmKind == 1) {
        tolv::saveDisplayDnldConfirm(KeepShowing);
        G.DisplayDnldConfirm = KeepShowing;
    } else if (G.ConfirmKind == 2) {
        tolv::saveDisplayErasConfirm(KeepShowing);
        G.DisplayErasConfirm = KeepShowing;
    }
    Answer = 1;
    hide();
}

void frmConfirm::cmdCancel_Click()
{
    Answer = 2;
    hide();
}

bool frmConfirm::Confirm()
{
    Answer = 0;
    // The caller has written the notice by now: its lines decide the width.
    vx::fitWrittenLines(this, lblWarning);
    vx::RunModal(this, [](QWidget *form) { vx::CentreOver(form, form->parentWidget()); });
    // The close box hides the dialog without an answer: that is a Cancel.
    if (Answer == 0)
        Answer = 2;
    return Answer == 1;
}
