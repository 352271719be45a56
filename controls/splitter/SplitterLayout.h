#pragma once

// The splitter's arithmetic, free of widgets so that it can be checked on its
// own: where the two children and the bar go, how a drag turns into a ratio,
// and how the ratio shows as a whole percentage.

#include <cstdint>

#include "platform/Numbers.h"

namespace vx {

// Stored as a 16-bit flag: 0 children side by side (vertical bar),
// -1 children one above the other (horizontal bar).
enum splitterOrientation : std::int16_t {
    splitVertical = 0,
    splitHorizontal = -1,
};

// Measures are in twips, 15 to a pixel at 96 dpi (kTwipsPerPixel).

// A drag never leaves a child with nothing.
inline constexpr float kMinRatio = 0.001f;
inline constexpr float kMaxRatio = 0.999f;

struct SplitterRect
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    bool operator==(const SplitterRect &) const = default;
};

struct SplitterGeometry
{
    SplitterRect child1;
    SplitterRect child2;
    SplitterRect bar;
};

struct SplitterPixelRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const SplitterPixelRect &) const = default;
};

struct SplitterPixelGeometry
{
    SplitterPixelRect child1;
    SplitterPixelRect child2;
    SplitterPixelRect bar;
};

// Any non-zero value means one above the other.
[[nodiscard]] splitterOrientation normaliseOrientation(long value);

// Rectangles for a control of width w and height h (any one unit), a bar of
// thickness barWidth and the first child's share ratio of what the bar
// leaves. Sizes come out negative when the bar is thicker than the control;
// the caller decides what a child does with that.
[[nodiscard]] SplitterGeometry splitterLayout(double w, double h, double barWidth, float ratio,
                                              splitterOrientation orientation);

// The same rectangles in whole pixels. Edges are rounded rather than sizes,
// so child, bar and child still meet without gaps; negative sizes become 0.
[[nodiscard]] SplitterPixelGeometry toPixels(const SplitterGeometry &twips);


// Ratio set from a percentage; percentages outside 0..100 are taken as the
// nearer end so that no child gets a negative size.
[[nodiscard]] float ratioFromPercent(int percent);

// Percentage shown for a ratio: ratio x 100 to the nearest whole number,
// halves to even.
[[nodiscard]] int percentFromRatio(float ratio);

// Result of one mouse move over the bar while the left button is held.
struct SplitterDragStep
{
    double barPosition = 0; // new top (or left) of the bar; not limited
    float ratio = 0;        // new ratio, held between kMinRatio and kMaxRatio
};

// barPosition: the bar's current top (left); mouse: the pointer's position
// inside the bar; extent: the control's height (width). The bar's far edge
// lands on the pointer. When extent is 0 the ratio stays at oldRatio.
[[nodiscard]] SplitterDragStep splitterDrag(double barPosition, double mouse, double barWidth,
                                             double extent, float oldRatio);

} // namespace vx
