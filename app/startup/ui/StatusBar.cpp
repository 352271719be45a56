#include "app/startup/ui/StatusBar.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
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
        mPanels[i]->setContentsMargins(3, 0, 3, 0);
        mPanels[i]->setIndent(0);
    }
    row->addWidget(mPanels[1], 1);
    // The message panel takes the spare width; when the window is narrow it
    // gives way first, so the other panels keep their texts whole, and a
    // long message does not push them out either.
    auto *message = static_cast<PanelLabel *>(mPanels[1]);
    const int least = kMessageChars * message->fontMetrics().averageCharWidth() + 6; // and its margins
    message->setLeastWidth(least);
    message->setMostWidth(std::max(280, least));
    first->setMinimumWidth(24);
    addWidget(first, 1);
    // The other panels sit close together, as a status bar's panels do.
    auto *right = new QWidget(this);
    auto *panels = new QHBoxLayout(right);
    panels->setContentsMargins(0, 0, 0, 0);
    panels->setSpacing(2);
    for (int i = 2; i <= kPanels; ++i) {
        mPanels[i]->setFrameShape(QFrame::StyledPanel);
        mPanels[i]->setFrameShadow(QFrame::Sunken);
        if (i >= 6) {
            mPanels[i]->setAlignment(Qt::AlignCenter);
            static_cast<PanelLabel *>(mPanels[i])->setLeastWidth(40);
            mPanels[i]->setMinimumWidth(40); // the lock panels never clip
        } else {
            static_cast<PanelLabel *>(mPanels[i])->setLeastWidth(80);
        }
        panels->addWidget(mPanels[i]);
    }
    addPermanentWidget(right);
    mPanels[6]->setText(QStringLiteral("INS"));
    mPanels[7]->setText(QStringLiteral("NUM"));
    mPanels[8]->setText(QStringLiteral("CAPS"));
    // The lock keys are read anew whenever they may have changed: a lock key
    // pressed here, or the program coming back after work elsewhere.
    ShowLockKeys(vx::readLockKeys());
    qApp->installEventFilter(this);
}

void StatusBar::ShowLockKeys(const std::optional<vx::LockKeys> &keys)
{
    mPanels[7]->setEnabled(!keys || keys->num);
    mPanels[8]->setEnabled(!keys || keys->caps);
}

bool StatusBar::eventFilter(QObject *watched, QEvent *event)
{
    bool lockKey = false;
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        lockKey = key == Qt::Key_CapsLock || key == Qt::Key_NumLock;
    }
    if (lockKey || (event->type() == QEvent::ApplicationActivate && watched == qApp))
        ShowLockKeys(vx::readLockKeys());
    return QStatusBar::eventFilter(watched, event);
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

int StatusBar::WidthToShow(const QStringList &texts)
{
    // Measured with those texts in place; the panels then get theirs back.
    // Before the bar is first shown a new text does not reach the layouts'
    // measures by itself.
    const auto remeasure = [this] {
        for (QWidget *group : {mPanels[1]->parentWidget(), mPanels[2]->parentWidget()})
            group->layout()->invalidate();
        reformat();
    };
    QStringList kept;
    for (int i = 0; i < texts.size() && i + 2 <= kPanels; ++i) {
        kept.append(PanelText(i + 2));
        SetPanelText(i + 2, texts[i]);
    }
    remeasure();
    const int width = sizeHint().width();
    for (int i = 0; i < kept.size(); ++i)
        SetPanelText(i + 2, kept[i]);
    remeasure();
    return width;
}

QPixmap StatusBar::PanelPicture() const
{
    return mPicture->pixmap();
}
