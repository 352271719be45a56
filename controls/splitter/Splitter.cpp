#include "controls/splitter/Splitter.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScopedValueRollback>

#include <algorithm>
#include <limits>

namespace vx {

namespace {

constexpr int kPersistedPercentDefault = 50;
constexpr int kPersistedWidthDefault = 80;
constexpr int kNewInstanceWidth = 50;

} // namespace

Splitter::Splitter(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Splitter"));
    mBar = new QWidget(this);
    mBar->setObjectName(QStringLiteral("SplitterBar"));
    mBar->installEventFilter(this);
    InitProperties();
}

Splitter::~Splitter()
{
    // The bar goes with us; do not let its last events reach a half-destroyed
    // control.
    mBar->removeEventFilter(this);
}

void Splitter::setOrientation(int value)
{
    mOrientation = normaliseOrientation(value);
    applyBarCursor();
    emit PropertyChanged(QStringLiteral("Orientation"));
    layoutChildren();
}

void Splitter::setChild1(QWidget *child)
{
    mChild1 = child;
    emit PropertyChanged(QStringLiteral("Child1"));
    layoutChildren();
}

void Splitter::setChild2(QWidget *child)
{
    mChild2 = child;
    emit PropertyChanged(QStringLiteral("Child2"));
    layoutChildren();
}

int Splitter::SplitPercent() const
{
    return percentFromRatio(mRatio);
}

void Splitter::setSplitPercent(int percent)
{
    mRatio = ratioFromPercent(percent);
    emit PropertyChanged(QStringLiteral("SplitPercent"));
    layoutChildren();
}

void Splitter::setSplitterWidth(int twips)
{
    mSplitterWidth = std::clamp(twips, 0, 255);
    emit PropertyChanged(QStringLiteral("SplitterWidth"));
}

void Splitter::setSplitterColor(quint32 oleColour)
{
    mSplitterColor = oleColour;
    emit PropertyChanged(QStringLiteral("SplitterColor"));
}

void Splitter::InitProperties()
{
    setOrientation(splitVertical);
    setSplitPercent(kPersistedPercentDefault);
    setSplitterWidth(kNewInstanceWidth);
    mBar->resize(twipsToPixels(kNewInstanceWidth), mBar->height());
}

void Splitter::ReadProperties(const QVariantMap &bag)
{
    // Missing keys take their default; a value that does not fit the key's
    // type leaves the property as it is.
    const auto read = [&bag](const QString &key, int fallback, qlonglong low, qlonglong high,
                             auto &&apply) {
        const QVariant v = bag.value(key, fallback);
        bool ok = false;
        const qlonglong n = v.toLongLong(&ok);
        if (ok && n >= low && n <= high)
            apply(static_cast<int>(n));
    };
    read(QStringLiteral("Orientation"), splitVertical, std::numeric_limits<qint32>::min(),
         std::numeric_limits<qint32>::max(),
         [this](int v) { setOrientation(v); });
    read(QStringLiteral("SplitPercent"), kPersistedPercentDefault, 0, 255,
         [this](int v) { setSplitPercent(v); });
    read(QStringLiteral("SplitterWidth"), kPersistedWidthDefault, 0, 255,
         [this](int v) { setSplitterWidth(v); });
}

QVariantMap Splitter::WriteProperties() const
{
    QVariantMap bag;
    if (mOrientation != splitVertical)
        bag.insert(QStringLiteral("Orientation"), static_cast<int>(mOrientation));
    if (SplitPercent() != kPersistedPercentDefault)
        bag.insert(QStringLiteral("SplitPercent"), SplitPercent());
    if (mSplitterWidth != kPersistedWidthDefault)
        bag.insert(QStringLiteral("SplitterWidth"), mSplitterWidth);
    return bag;
}

void Splitter::layoutChildren()
{
    // A host that corrects the split from its Resize handler lays us out
    // again from inside it; that inner layout places everything but does not
    // raise Resize a second time, so the host cannot recurse without end.
    const bool nested = mInLayout;
    QScopedValueRollback<bool> guard(mInLayout, true);

    mLaidOutSize = size();
    const SplitterPixelGeometry g = toPixels(splitterLayout(
        double(width()) * kTwipsPerPixel, double(height()) * kTwipsPerPixel, mSplitterWidth,
        mRatio, mOrientation));
    placeChild(mChild1, g.child1);
    placeChild(mChild2, g.child2);
    mBar->setGeometry(g.bar.left, g.bar.top, g.bar.width, g.bar.height);

    if (mChild1)
        mChild1->update();
    if (mChild2)
        mChild2->update();
    if (!nested)
        emit Resize();
}

void Splitter::placeChild(QWidget *child, const SplitterPixelRect &r)
{
    if (!child)
        return;
    // The rectangles are ours; a child that lives in another widget (a
    // sibling in the host window) gets them in its parent's coordinates.
    QPoint origin;
    QWidget *parent = child->parentWidget();
    if (parent != this)
        origin = parent ? parent->mapFromGlobal(mapToGlobal(QPoint())) : mapToGlobal(QPoint());
    child->setGeometry(origin.x() + r.left, origin.y() + r.top, r.width, r.height);
}

QColor Splitter::oleToColour(quint32 oleColour) const
{
    if (oleColour == kButtonFace)
        return palette().color(QPalette::Button);
    return QColor(int(oleColour & 0xFF), int((oleColour >> 8) & 0xFF), int((oleColour >> 16) & 0xFF));
}

QColor Splitter::barColour() const
{
    // At rest an unset colour (0) looks like the button face; a drag shows the
    // colour as set, so a black bar stands out while it moves.
    if (!mDragging && mSplitterColor == 0)
        return palette().color(QPalette::Button);
    return oleToColour(mSplitterColor);
}

void Splitter::applyBarCursor()
{
    mBar->setCursor(mOrientation == splitHorizontal ? Qt::SizeVerCursor : Qt::SizeHorCursor);
}

void Splitter::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Qt also delivers a resize when a widget first appears or was sized
    // while hidden; only a size the children have not been laid out for
    // counts, so a host does not get a Resize just for showing its window.
    if (event->size() != mLaidOutSize)
        layoutChildren();
}

bool Splitter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != mBar)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter painter(mBar);
        painter.fillRect(mBar->rect(), barColour());
        return true;
    }
    case QEvent::MouseButtonPress:
        SplitterBar_MouseDown(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseMove:
        SplitterBar_MouseMove(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseButtonRelease:
        SplitterBar_MouseUp(static_cast<QMouseEvent *>(event));
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void Splitter::SplitterBar_MouseDown(QMouseEvent *event)
{
    event->accept();
    mDragging = true;
    mBar->raise();
    mBar->update();
}

void Splitter::SplitterBar_MouseMove(QMouseEvent *event)
{
    event->accept();
    if (event->buttons() != Qt::LeftButton)
        return;
    // The pointer's position inside the bar, in twips like the bar width.
    const QPointF inside = event->position() * kTwipsPerPixel;
    if (mOrientation == splitHorizontal) {
        const SplitterDragStep step = splitterDrag(double(mBar->y()) * kTwipsPerPixel, inside.y(),
                                                   mSplitterWidth,
                                                   double(height()) * kTwipsPerPixel, mRatio);
        mBar->move(mBar->x(), twipsToPixels(step.barPosition));
        mRatio = step.ratio;
    } else {
        const SplitterDragStep step = splitterDrag(double(mBar->x()) * kTwipsPerPixel, inside.x(),
                                                   mSplitterWidth,
                                                   double(width()) * kTwipsPerPixel, mRatio);
        mBar->move(twipsToPixels(step.barPosition), mBar->y());
        mRatio = step.ratio;
    }
}

void Splitter::SplitterBar_MouseUp(QMouseEvent *event)
{
    event->accept();
    mDragging = false;
    mBar->update();
    layoutChildren();
}

} // namespace vx
