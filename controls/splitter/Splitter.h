#pragma once

// A bar that the user drags to divide the control's rectangle between two
// controls of the host window. The control only moves the two children; it
// neither owns nor re-parents them.

#include "controls/splitter/SplitterLayout.h"

#include <QColor>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QVariantMap>
#include <QWidget>

class QMouseEvent;

namespace vx {

class Splitter : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(QWidget *Child1 READ Child1 WRITE setChild1)
    Q_PROPERTY(QWidget *Child2 READ Child2 WRITE setChild2)
    Q_PROPERTY(int SplitPercent READ SplitPercent WRITE setSplitPercent)
    Q_PROPERTY(int SplitterWidth READ SplitterWidth WRITE setSplitterWidth)
    Q_PROPERTY(quint32 SplitterColor READ SplitterColor WRITE setSplitterColor)

public:
    // The system button-face colour as an OLE colour value.
    static constexpr quint32 kButtonFace = 0x8000000Fu;

    explicit Splitter(QWidget *parent = nullptr);
    ~Splitter() override;

    [[nodiscard]] splitterOrientation Orientation() const { return mOrientation; }
    // Any non-zero value is stored as splitHorizontal. Lays out at once and
    // gives the bar its left-right or up-down arrows.
    void setOrientation(int value);

    [[nodiscard]] QWidget *Child1() const { return mChild1; }
    [[nodiscard]] QWidget *Child2() const { return mChild2; }
    void setChild1(QWidget *child);
    void setChild2(QWidget *child);

    // The first child's share in whole percent, rounded halves to even.
    [[nodiscard]] int SplitPercent() const;
    // Values outside 0..100 are taken as the nearer end. Lays out at once.
    void setSplitPercent(int percent);
    // The share as a ratio, 0 to 1.
    [[nodiscard]] float splitRatio() const { return mRatio; }

    // The bar's thickness in twips (0 to 255). A change shows at the next
    // layout or drag.
    [[nodiscard]] int SplitterWidth() const { return mSplitterWidth; }
    void setSplitterWidth(int twips);

    // OLE colour (red in the low byte). 0 and the button-face value paint the
    // bar at rest in the button-face colour; while dragging the bar shows the
    // value itself. A change shows at the next paint.
    [[nodiscard]] quint32 SplitterColor() const { return mSplitterColor; }
    void setSplitterColor(quint32 oleColour);

    // Values a new instance starts with.
    void InitProperties();
    // Restores the persisted keys; a missing key takes its default, a value
    // that does not convert to the key's type is skipped.
    void ReadProperties(const QVariantMap &bag);
    // The persisted keys whose value differs from its default.
    [[nodiscard]] QVariantMap WriteProperties() const;

    // Places the children and the bar from the current width, height, bar
    // thickness and ratio, refreshes both children and raises Resize.
    void layoutChildren();

    // The colour the bar paints in now.
    [[nodiscard]] QColor barColour() const;

signals:
    // Raised at the end of every layout. A layout started from inside the
    // handler (a host that corrects SplitPercent) places the children but
    // does not raise it again.
    void Resize();
    // A property was set; the host knows its saved state is stale.
    void PropertyChanged(const QString &propertyName);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SplitterBar_MouseDown(QMouseEvent *event);
    void SplitterBar_MouseMove(QMouseEvent *event);
    void SplitterBar_MouseUp(QMouseEvent *event);

    void applyBarCursor();
    void placeChild(QWidget *child, const SplitterPixelRect &r);
    [[nodiscard]] QColor oleToColour(quint32 oleColour) const;

    QWidget *mBar = nullptr;
    QPointer<QWidget> mChild1;
    QPointer<QWidget> mChild2;
    splitterOrientation mOrientation = splitVertical;
    float mRatio = 0.5f;
    int mSplitterWidth = 50;
    quint32 mSplitterColor = 0;
    bool mDragging = false;
    bool mInLayout = false;
    QSize mLaidOutSize; // the size the last layout placed the children for
};

} // namespace vx
