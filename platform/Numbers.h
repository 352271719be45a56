#pragma once

#include <cmath>

namespace vx {

// Rounds halves to even (2.5 -> 2, 3.5 -> 4), the rounding the stored
// numbers and measures of this program use throughout.
[[nodiscard]] inline long long roundHalfEven(double v)
{
    return static_cast<long long>(std::nearbyint(v));
}
[[nodiscard]] inline int roundHalfEvenInt(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

// Window measures are kept in twips: 15 twips to a pixel at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;
[[nodiscard]] inline int twipsToPixels(double twips)
{
    return roundHalfEvenInt(twips / kTwipsPerPixel);
}
[[nodiscard]] inline constexpr int pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

} // namespace vx
