#include "common/ui/Rollover.h"

#include <QCursor>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QVariant>

namespace {

// What a control looked like before it went hot.
struct Look
{
    QPointer<QWidget> ctl;
    QPalette palette;
    QFont font;
    bool autoFill = false;
};

struct RolloverState
{
    QPointer<QWidget> hot;
    Look before;
    QPoint last;
    QPointer<QTimer> timer;
    vx::RolloverPictures pictures = vx::RolloverPictures::BackgroundOnly;
    QPixmap normal, hotPicture;
};

RolloverState &state()
{
    static RolloverState s;
    return s;
}

const QColor kLabelHot(66, 142, 255);
const QColor kLabelNormal(33, 93, 198);

bool isTextLabel(const QWidget *w)
{
    const auto *label = qobject_cast<const QLabel *>(w);
    return label && label->pixmap().isNull();
}

} // namespace

namespace vx {

void setRolloverHost(QTimer *timer, RolloverPictures pictures, const QPixmap &normal, const QPixmap &hot)
{
    RolloverState &s = state();
    s.timer = timer;
    s.pictures = pictures;
    s.normal = normal;
    s.hotPicture = hot;
}

QWidget *rolloverHot() { return state().hot; }

void resetRollover()
{
    RolloverState &s = state();
    s.hot = nullptr;
    s.last = QPoint();
}

} // namespace vx

bool CursorUnmoved()
{
    RolloverState &s = state();
    const QPoint current = QCursor::pos();
    const bool unmoved = current == s.last;
    s.last = current;
    return unmoved;
}

void SetRolloverLook(QWidget *ctl, bool hot)
{
    if (!ctl)
        return;
    RolloverState &s = state();
    auto *picture = qobject_cast<QLabel *>(ctl);
    if (!isTextLabel(ctl) && s.pictures == vx::RolloverPictures::Swap && picture &&
        ctl->property("Tag").toInt() == 2) {
        picture->setPixmap(hot ? s.hotPicture : s.normal);
        return;
    }
    // Drawn normal again, a control gets back the look it had before it went
    // hot; the table's normal look is for a control that never was.
    if (!hot && s.before.ctl == ctl) {
        ctl->setFont(s.before.font);
        ctl->setPalette(s.before.palette);
        ctl->setAutoFillBackground(s.before.autoFill);
        s.before = Look();
        return;
    }
    if (hot && s.before.ctl != ctl)
        s.before = Look{ctl, ctl->palette(), ctl->font(), ctl->autoFillBackground()};
    if (isTextLabel(ctl)) {
        QFont f = ctl->font();
        f.setUnderline(hot);
        ctl->setFont(f);
        QPalette p = ctl->palette();
        p.setColor(QPalette::WindowText, hot ? kLabelHot : kLabelNormal);
        ctl->setPalette(p);
        return;
    }
    QPalette p = ctl->palette();
    QColor back = p.color(hot ? QPalette::Button : QPalette::Base);
    // Where the button face is what the control shows already (a style whose
    // windows and buttons share one colour), a tint of the highlight shows it hot.
    if (hot && back == p.color(ctl->backgroundRole())) {
        const QColor tint = p.color(QPalette::Highlight);
        back = QColor::fromRgbF(back.redF() * 0.8f + tint.redF() * 0.2f, back.greenF() * 0.8f + tint.greenF() * 0.2f,
                                back.blueF() * 0.8f + tint.blueF() * 0.2f);
    }
    p.setColor(ctl->backgroundRole(), back);
    ctl->setAutoFillBackground(true);
    ctl->setPalette(p);
}

void SetRollover(QWidget *ctl)
{
    RolloverState &s = state();
    if (CursorUnmoved())
        return;
    if (s.hot) {
        if (s.hot == ctl)
            return;
        SetRolloverLook(s.hot, false);
    }
    if (ctl)
        SetRolloverLook(ctl, true);
    if (s.timer) {
        if (ctl)
            s.timer->start();
        else
            s.timer->stop();
    }
    s.hot = ctl;
}
