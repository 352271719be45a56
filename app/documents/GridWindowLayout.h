#pragma once

// Where the music score and dictionary windows put their controls for an
// inner size, in twips. Plain functions, so the numbers are testable.

struct TwipRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipRect &, const TwipRect &) = default;
};

// The frame drawn around a list: a little wider on every side, more below.
[[nodiscard]] TwipRect FrameAround(const TwipRect &r);

// Where the grid sits in its pane.
inline constexpr int kGridLeft = 120;
inline constexpr int kGridTop = 120;

struct MusicLayout
{
    TwipRect grid;
    TwipRect frame;
    int referenceLeft = 0;
    int referenceTop = 0;
};
// W and H are the window's inner size; referenceWidth that of the
// "Reference" container at the bottom right.
[[nodiscard]] MusicLayout LayOutMusic(int W, int H, int referenceWidth);

// The word list's place in the lower pane, below its sort box and count.
inline constexpr int kWordListTop = 440;

struct DictionaryLayout
{
    TwipRect grid;
    TwipRect gridFrame;
    bool gridVisible = true;
    int controlsLeft = 0;
    // Only when the word list is shown.
    TwipRect wordList;
    TwipRect wordListFrame;
    TwipRect help; // the help text over an empty grid
};
// splitPercent is the splitter's share of the upper pane (0 to 100).
[[nodiscard]] DictionaryLayout LayOutDictionary(int W, int H, bool wordListShown, int splitPercent);
