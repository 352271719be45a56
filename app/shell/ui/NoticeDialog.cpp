#include "app/shell/ui/NoticeDialog.h"

#include "platform/ui/Modal.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

NoticeDialog::NoticeDialog(const char *name, const QString &caption, const QString &text, const char *labelName,
                           QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QLatin1String(name));
    setWindowTitle(caption);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    picIcon->setAlignment(Qt::AlignTop);
    mText = new QLabel(text, this);
    mText->setObjectName(QLatin1String(labelName));
    mText->setWordWrap(true);
    mText->setMinimumWidth(360);

    auto *line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    chkDispWarning = new QCheckBox(QStringLiteral(" Don't show again"), this);
    chkDispWarning->setObjectName(QStringLiteral("chkDispWarning"));
    mOk = new QPushButton(QStringLiteral("&OK"), this);
    mOk->setDefault(true);
    connect(mOk, &QPushButton::clicked, this, [this] {
        Accepted();
        Done();
    });

    auto *top = new QHBoxLayout;
    top->addWidget(picIcon);
    top->addWidget(mText, 1);
    mExtra = new QVBoxLayout;
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(chkDispWarning);
    bottom->addStretch(1);
    bottom->addWidget(mOk);
    auto *all = new QVBoxLayout(this);
    // A notice of fixed size: the desktop draws no resize strip with grips
    // along its bottom edge.
    all->setSizeConstraint(QLayout::SetFixedSize);
    all->addLayout(top);
    all->addLayout(mExtra);
    all->addWidget(line);
    all->addLayout(bottom);
}

void NoticeDialog::ShowAndWait()
{
    mDone = false;
    // Done hides the notice, which ends the wait; the wait sleeps between
    // its turns of the event loop, so an open notice costs no processor.
    vx::RunModeless(this, [](QWidget *form) { vx::CentreOver(form); });
    hide();
}

void NoticeDialog::Done()
{
    mDone = true;
    hide();
}

void NoticeDialog::closeEvent(QCloseEvent *event)
{
    if (!mDone) {
        Accepted();
        Done();
    }
    event->accept();
}

void NoticeDialog::reject()
{
    close();
}
