#include "app/documents/GridWindowLayout.h"

#include <algorithm>
#include <cmath>

namespace {

// Rounds to the nearest whole number, halves to even.
int roundEven(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

TwipRect FrameAround(const TwipRect &r)
{
    return {r.left - 20, r.top - 20, r.width + 40, r.height + 50};
}

MusicLayout LayOutMusic(int W, int H, int referenceWidth)
{
    MusicLayout l;
    l.grid = {kGridLeft, kGridTop, W - 240, H > 440 ? H - 440 : H};
    l.referenceLeft = W - referenceWidth - 40;
    l.referenceTop = H > 380 ? H - 265 : H;
    l.frame = FrameAround(l.grid);
    return l;
}

DictionaryLayout LayOutDictionary(int W, int H, bool wordListShown, int splitPercent)
{
    DictionaryLayout l;
    int gridHeight = 0;
    if (wordListShown) {
        const double p = splitPercent / 100.0;
        gridHeight = std::max(0, roundEven(p * H - 340));
        l.wordList = {kGridLeft, kWordListTop, W - 280, std::max(0, roundEven((1 - p) * H - 600))};
        l.wordListFrame = FrameAround(l.wordList);
    } else {
        gridHeight = H > 300 ? H - 300 : H;
    }
    l.grid = {kGridLeft, kGridTop, W > 3200 ? W - 3200 : W, gridHeight};
    l.gridVisible = W > 3200;
    l.controlsLeft = W - 2900;
    l.gridFrame = FrameAround(l.grid);
    const int gw = l.grid.width;
    const int gh = l.grid.height;
    l.help = {gw / 4, gh / 4 + 250, gw / 2 + 250, gh / 2 + 250};
    return l;
}
