#include "controls/splitter/SplitterLayout.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(SplitterLayout, SideBySideHalfAndHalf)
{
    const SplitterGeometry g = splitterLayout(1000, 300, 50, ratioFromPercent(50), splitVertical);
    EXPECT_EQ(g.child1, (SplitterRect{0, 0, 475, 300}));
    EXPECT_EQ(g.bar, (SplitterRect{475, 0, 50, 300}));
    EXPECT_EQ(g.child2, (SplitterRect{525, 0, 475, 300}));
}

TEST(SplitterLayout, OneAboveTheOtherHalfAndHalf)
{
    const SplitterGeometry g = splitterLayout(300, 1000, 50, ratioFromPercent(50), splitHorizontal);
    EXPECT_EQ(g.child1, (SplitterRect{0, 0, 300, 475}));
    EXPECT_EQ(g.bar, (SplitterRect{0, 475, 300, 50}));
    EXPECT_EQ(g.child2, (SplitterRect{0, 525, 300, 475}));
}

TEST(SplitterLayout, UnevenSplitAndTheFullFirstPane)
{
    // Word list shown: 60 % with a 60-twip bar in a 7000-twip pane.
    SplitterGeometry g = splitterLayout(5000, 7000, 60, ratioFromPercent(60), splitHorizontal);
    EXPECT_NEAR(g.child1.height, 4164, 1e-3);
    EXPECT_NEAR(g.bar.top, 4164, 1e-3);
    EXPECT_NEAR(g.child2.top, 4224, 1e-3);
    EXPECT_NEAR(g.child2.height, 2776, 1e-3);

    // A new dictionary window: the rule pane fills it, no bar to be seen.
    g = splitterLayout(5000, 7000, 0, ratioFromPercent(100), splitHorizontal);
    EXPECT_EQ(g.child1, (SplitterRect{0, 0, 5000, 7000}));
    EXPECT_EQ(g.bar, (SplitterRect{0, 7000, 5000, 0}));
    EXPECT_EQ(g.child2.height, 0);
}

TEST(SplitterLayout, PixelEdgesMeetWithoutGaps)
{
    // 50 twips is a third of a pixel more than 3: sizes alone would leave gaps.
    for (int percent : {0, 13, 33, 50, 67, 99, 100}) {
        const SplitterPixelGeometry p =
            toPixels(splitterLayout(9000, 600, 50, ratioFromPercent(percent), splitVertical));
        EXPECT_EQ(p.child1.left, 0) << percent;
        EXPECT_EQ(p.child1.left + p.child1.width, p.bar.left) << percent;
        EXPECT_EQ(p.bar.left + p.bar.width, p.child2.left) << percent;
        EXPECT_EQ(p.child2.left + p.child2.width, 600) << percent;
        EXPECT_EQ(p.child1.height, 40) << percent;
    }
    // A bar thicker than the control gives no negative sizes.
    const SplitterPixelGeometry p =
        toPixels(splitterLayout(600, 30, 60, ratioFromPercent(50), splitHorizontal));
    EXPECT_EQ(p.child1.height, 0);
    EXPECT_EQ(p.child2.height, 0);
    EXPECT_EQ(p.bar.height, 4);
}

TEST(SplitterLayout, PercentReadsBackRoundedHalvesToEven)
{
    for (int p = 0; p <= 100; ++p)
        EXPECT_EQ(percentFromRatio(ratioFromPercent(p)), p);
    EXPECT_EQ(percentFromRatio(0.4567f), 46);
    EXPECT_EQ(percentFromRatio(0.125f), 12);
    EXPECT_EQ(percentFromRatio(0.375f), 38);
    EXPECT_EQ(percentFromRatio(0.625f), 62);
    EXPECT_EQ(percentFromRatio(kMinRatio), 0);
    EXPECT_EQ(percentFromRatio(kMaxRatio), 100);

    // Ratios that lie just off a half (as a drag leaves them) go to the
    // nearer whole number; rounding the product to single precision first
    // would turn them into halves and send them to the even side.
    EXPECT_EQ(percentFromRatio(1485.0f / 9000.0f), 17); // 16.5000007
    EXPECT_EQ(percentFromRatio(135.0f / 9000.0f), 1);   // 1.49999997
    EXPECT_EQ(percentFromRatio(8865.0f / 9000.0f), 99); // 98.5000014
}

TEST(SplitterLayout, DragPutsTheBarsFarEdgeOnThePointer)
{
    SplitterDragStep s = splitterDrag(450, 30, 50, 1000, 0.5f);
    EXPECT_EQ(s.barPosition, 430);
    EXPECT_FLOAT_EQ(s.ratio, 0.43f);

    // Past either edge the bar follows, the ratio stops.
    s = splitterDrag(450, -2000, 50, 1000, 0.5f);
    EXPECT_EQ(s.barPosition, -1600);
    EXPECT_EQ(s.ratio, kMinRatio);
    s = splitterDrag(450, 5000, 50, 1000, 0.5f);
    EXPECT_EQ(s.barPosition, 5400);
    EXPECT_EQ(s.ratio, kMaxRatio);

    // A control with no extent keeps its split instead of dividing by zero.
    s = splitterDrag(0, 10, 50, 0, 0.3f);
    EXPECT_EQ(s.ratio, 0.3f);
}
