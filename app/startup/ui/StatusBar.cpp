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
        return s;
    }

private:
    int mLeast = 0;
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
    // The message panel takes what the others leave.
    first->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(first, 1);
    for (int i = 2; i <= kPanels; ++i) {
        mPanels[i]->setFrameShape(QFrame::StyledPanel);
        mPanels[i]->setFrameShadow(QFrame::Sunken);
        if (i >= 6) {
            mPanels[i]->setAlignment(Qt::AlignCenter);
            static_cast<PanelLabel *>(mPanels[i])->setLeastWidth(36);
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
