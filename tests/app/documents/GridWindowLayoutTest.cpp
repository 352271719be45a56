// Where the music score and dictionary windows put their controls.
#include "app/documents/GridWindowLayout.h"

#include <gtest/gtest.h>

TEST(GridWindowLayout, MusicScore)
{
    // Low windows keep the grid at full height and the link at the bottom.
    MusicLayout l = LayOutMusic(5000, 300, 1000);
    EXPECT_EQ(l.grid, (TwipRect{kGridLeft, kGridTop, 4760, 300}));
    EXPECT_EQ(l.referenceTop, 300);
    EXPECT_EQ(l.referenceLeft, 3960);
    l = LayOutMusic(5000, 4000, 1000);
    EXPECT_EQ(l.grid.height, 3560);
    EXPECT_EQ(l.referenceTop, 3735);
    EXPECT_EQ(l.frame, (TwipRect{kGridLeft - 20, kGridTop - 20, 4800, 3610}));
}

TEST(GridWindowLayout, Dictionary)
{
    struct Case
    {
        int W, H;
        bool list;
        int percent;
        int gridWidth, gridHeight;
        bool gridVisible;
        int listHeight;
    };
    const Case cases[] = {
        {9000, 4000, true, 50, 5800, 1660, true, 1400},
        {9000, 4000, false, 100, 5800, 3700, true, 0},
        {3000, 200, false, 100, 3000, 200, false, 0},
        {9000, 300, true, 10, 5800, 0, true, 0}, // never below 0
    };
    for (const Case &c : cases) {
        const DictionaryLayout l = LayOutDictionary(c.W, c.H, c.list, c.percent);
        EXPECT_EQ(l.grid.width, c.gridWidth) << c.W << "x" << c.H;
        EXPECT_EQ(l.grid.height, c.gridHeight) << c.W << "x" << c.H;
        EXPECT_EQ(l.gridVisible, c.gridVisible) << c.W << "x" << c.H;
        EXPECT_EQ(l.wordList.height, c.listHeight) << c.W << "x" << c.H;
        EXPECT_EQ(l.controlsLeft, c.W - 2900);
    }
    // Halves round to even: 160.5 becomes 160, 161.5 becomes 162.
    EXPECT_EQ(LayOutDictionary(9000, 1001, true, 50).grid.height, 160);
    EXPECT_EQ(LayOutDictionary(9000, 1003, true, 50).grid.height, 162);
}
