#include "common/ui/Rollover.h"

#include <QCursor>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QVariant>

namespace {

struct RolloverState
{
    QPointer<QWidget> hot;
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
    if (isTextLabel(ctl)) {
        QFont f = ctl->font();
        f.setUnderline(hot);
        ctl->setFont(f);
        QPalette p = ctl->palette();
        p.setColor(QPalette::WindowText, hot ? kLabelHot : kLabelNormal);
        ctl->setPalette(p);
        return;
    }
    auto *picture = qobject_cast<QLabel *>(ctl);
    if (s.pictures == vx::RolloverPictures::Swap && picture && ctl->property("Tag").toInt() == 2) {
        picture->setPixmap(hot ? s.hotPicture : s.normal);
        return;
    }
    QPalette p = ctl->palette();
    p.setColor(QPalette::Window, ctl->palette().color(hot ? QPalette::Button : QPalette::Base));
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
