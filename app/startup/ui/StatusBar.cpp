#include "app/startup/ui/StatusBar.h"

#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace {

// A panel that asks for room for its text (or a least width while it waits
// for its first text) but gives way when the window is narrow, as the
// panels of a status bar do, so the bar never widens the window.
class PanelLabel : public QLabel
{
public:
    explicit PanelLabel(QWidget *parent) : QLabel(parent) {}
    void setLeastWidth(int px) { mLeast = px; }
    void setMostWidth(int px) { mMost = px; }
    [[nodiscard]] QSize minimumSizeHint() const override
    {
        QSize s = QLabel::minimumSizeHint();
        s.setWidth(std::min(s.width(), 24));
        return s;
    }
    [[nodiscard]] QSize sizeHint() const override
    {
        QSize s = QLabel::sizeHint();
        s.setWidth(std::max(s.width(), mLeast));
        if (mMost > 0)
            s.setWidth(std::min(s.width(), mMost));
        return s;
    }

private:
    int mLeast = 0;
    int mMost = 0;
};

} // namespace

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
        mPanels[i] = new PanelLabel(this);
        mPanels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        mPanels[i]->setContentsMargins(4, 0, 4, 0);
    }
    row->addWidget(mPanels[1], 1);
    // The message panel takes the spare width, and when the window is narrow
    // it gives way in proportion with the others rather than vanishing; a
    // long message does not push the other panels out either.
    auto *message = static_cast<PanelLabel *>(mPanels[1]);
    message->setLeastWidth(200);
    message->setMostWidth(280);
    first->setMinimumWidth(160);
    addWidget(first, 1);
    for (int i = 2; i <= kPanels; ++i) {
        mPanels[i]->setFrameShape(QFrame::StyledPanel);
        mPanels[i]->setFrameShadow(QFrame::Sunken);
        if (i >= 6) {
            mPanels[i]->setAlignment(Qt::AlignCenter);
            static_cast<PanelLabel *>(mPanels[i])->setLeastWidth(44);
            mPanels[i]->setMinimumWidth(44); // the lock panels never clip
        } else {
            static_cast<PanelLabel *>(mPanels[i])->setLeastWidth(80);
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
