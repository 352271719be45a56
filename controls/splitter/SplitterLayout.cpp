#include "controls/splitter/SplitterLayout.h"

#include <algorithm>
#include <cmath>

namespace vx {

namespace {

SplitterPixelRect pixelRect(const SplitterRect &r)
{
    const int left = twipsToPixels(r.left);
    const int top = twipsToPixels(r.top);
    const int right = twipsToPixels(r.left + r.width);
    const int bottom = twipsToPixels(r.top + r.height);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

} // namespace

splitterOrientation normaliseOrientation(long value)
{
    return value == 0 ? splitVertical : splitHorizontal;
}

SplitterGeometry splitterLayout(double w, double h, double barWidth, float ratio,
                                splitterOrientation orientation)
{
    SplitterGeometry g;
    if (orientation == splitHorizontal) {
        const double h1 = (h - barWidth) * ratio;
        const double h2 = (h - barWidth) * (1.0 - ratio);
        g.child1 = {0, 0, w, h1};
        g.child2 = {0, h1 + barWidth, w, h2};
        g.bar = {0, h1, w, barWidth};
    } else {
        const double w1 = (w - barWidth) * ratio;
        const double w2 = (w - barWidth) * (1.0 - ratio);
        g.child1 = {0, 0, w1, h};
        g.child2 = {w1 + barWidth, 0, w2, h};
        g.bar = {w1, 0, barWidth, h};
    }
    return g;
}

SplitterPixelGeometry toPixels(const SplitterGeometry &twips)
{
    return {pixelRect(twips.child1), pixelRect(twips.child2), pixelRect(twips.bar)};
}

float ratioFromPercent(int percent)
{
    return static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
}

int percentFromRatio(float ratio)
{
    // Taken in double, where ratio x 100 is exact: a single-precision product
    // would round values just off a half onto it and then to the even side.
    return static_cast<int>(roundHalfEven(static_cast<double>(ratio) * 100.0));
}

SplitterDragStep splitterDrag(double barPosition, double mouse, double barWidth, double extent,
                              float oldRatio)
{
    SplitterDragStep step;
    step.barPosition = barPosition + mouse - barWidth;
    if (extent > 0)
        step.ratio = std::clamp(static_cast<float>(step.barPosition / extent), kMinRatio, kMaxRatio);
    else
        step.ratio = oldRatio; // nothing to divide; keep the split as it was
    return step;
}

} // namespace vx
