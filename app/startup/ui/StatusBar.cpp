#include "app/startup/ui/StatusBar.h"

#include <QHBoxLayout>
#include <QLabel>

StatusBar::StatusBar(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("sbStatusBar"));
    setSizeGripEnabled(true);

    // Panel 1 holds a picture and the message; it takes the spare width.
    auto *first = new QWidget(this);
    auto *row = new QHBoxLayout(first);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(4);
    mPicture = new QLabel(first);
    mPicture->setObjectName(QStringLiteral("Panel1Picture"));
    mPicture->setFixedSize(16, 16);
    row->addWidget(mPicture);
    for (int i = 1; i <= kPanels; ++i) {
        mPanels[i] = new QLabel(this);
        mPanels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        mPanels[i]->setContentsMargins(4, 0, 4, 0);
    }
    row->addWidget(mPanels[1], 1);
    addWidget(first, 1);
    for (int i = 2; i <= kPanels; ++i) {
        mPanels[i]->setFrameShape(QFrame::StyledPanel);
        mPanels[i]->setFrameShadow(QFrame::Sunken);
        if (i >= 6) {
            mPanels[i]->setAlignment(Qt::AlignCenter);
            mPanels[i]->setMinimumWidth(40);
        } else {
            // Room for the usual texts, so the bar keeps its shape while a
            // panel waits for its first text.
            mPanels[i]->setMinimumWidth(i == 4 ? 170 : 110);
        }
        addPermanentWidget(mPanels[i]);
    }
    mPanels[6]->setText(QStringLiteral("INS"));
    mPanels[7]->setText(QStringLiteral("NUM"));
    mPanels[8]->setText(QStringLiteral("CAPS"));
}

QLabel *StatusBar::Panel(int panel) const
{
    return panel >= 1 && panel <= kPanels ? mPanels[panel] : nullptr;
}

QString StatusBar::PanelText(int panel) const
{
    QLabel *l = Panel(panel);
    return l ? l->text() : QString();
}

void StatusBar::SetPanelText(int panel, const QString &text)
{
    if (QLabel *l = Panel(panel))
        l->setText(text);
}

void StatusBar::SetPanelPicture(const QPixmap &picture)
{
    mPicture->setPixmap(picture);
}

QPixmap StatusBar::PanelPicture() const
{
    return mPicture->pixmap();
}
