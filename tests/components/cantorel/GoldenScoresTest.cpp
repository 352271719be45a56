// Scores in, compiled tone streams out, byte for byte.
#include "CantorelTestUtil.h"

#include <gtest/gtest.h>

using namespace cantoreltest;

namespace {

struct Golden
{
    const char *name;
    const char *score;
    Bytes records;  // between the header and the closing bytes
};

Bytes ev(int ticks, int d1, int d2 = 0, int d3 = 0)
{
    return {static_cast<std::uint8_t>(ticks), static_cast<std::uint8_t>(d1), static_cast<std::uint8_t>(d2),
            static_cast<std::uint8_t>(d3)};
}

const Golden kGoldens[] = {
    {"comments only", ";a comment\n;#H4\n\n", {}},
    {"chord", "v1qc4v2qe4v3qg4", cat({settings(), ev(48, 32, 25, 21)})},
    {"half against two quarters", "v1hc4v2qe4qg4", cat({settings(), ev(48, 32, 25), ev(48, 32, 21)})},
    {"up an octave", ">12\nv1qc4", cat({settings(), ev(48, 16)})},
    {"up four octaves folds back", ">48\nv1qc4", cat({settings(), ev(48, 16)})},
    {"down below c1 folds up", "<5\nv1qc1", cat({settings(), ev(48, 171)})},
    {"two sharps", "k2#\nv1qf4qc4qg4", cat({settings(), ev(48, 23), ev(48, 30), ev(48, 21)})},
    {"three flats and a natural", "k3&\nv1qb3e4a4d4b%3",
     cat({settings(), ev(48, 36), ev(48, 27), ev(48, 20), ev(48, 28), ev(48, 34)})},
    {"key of c again", "k2#\nk0&\nv1qf4", cat({settings(), ev(48, 24)})},
    {"every duration letter", "v1wc4hc4qc4ic4sc4tc4xc4zc4",
     cat({settings(), ev(192, 32), ev(96, 32), ev(48, 32), ev(24, 32), ev(12, 32), ev(6, 32), ev(3, 32),
          ev(2, 32)})},
    {"rest and reused duration", "v1q$c4", cat({settings(), ev(48, 0), ev(48, 32)})},
    {"duration carries to the next line", "v1ic4\nv1d4", cat({settings(), ev(24, 32), ev(24, 28)})},
    // A 2-tick note is never carried: the next bare note takes the quarter.
    {"z notes do not carry their duration", "v1qc4zd4e4", cat({settings(), ev(48, 32), ev(2, 28), ev(48, 25)})},
    {"dotted, and reused with its dot", "v1q.c4d4", cat({settings(), ev(72, 32), ev(72, 28)})},
    {"triplet", "v1q:c4c4c4c4", cat({settings(), ev(32, 32), ev(32, 32), ev(32, 32), ev(48, 32)})},
    {"split note", "v1qc4,", cat({settings(), ev(24, 32), ev(24, 0)})},
    {"split dotted note", "v1q.c4,", cat({settings(), ev(36, 32), ev(36, 0)})},
    {"staccato", "v1qc4\"d4", cat({settings(), ev(46, 32), ev(2, 0), ev(48, 28)})},
    {"volume and tempo records", "v=100\nt=300\nv1qc4\nv=50\nv1qd4",
     cat({settings(100, 300), ev(48, 32), settings(50, 300), ev(48, 28)})},
    {"volume rounds halves to even", "v=100.5\nv1qc4", cat({settings(100), ev(48, 32)})},
    {"octave five", "v1qc5c#5d&5d5e5e%5f&5f5g&5b5b#5",
     cat({settings(), ev(48, 16), ev(48, 15), ev(48, 15), ev(48, 14), ev(48, 13), ev(48, 13), ev(48, 13),
          ev(48, 24), ev(48, 23), ev(48, 17), ev(48, 16)})},
    {"octave five under flats", "k2&\nv1qd5e%5b5", cat({settings(), ev(48, 14), ev(48, 13), ev(48, 18)})},
    {"octave five under sharps", "k2#\nv1qc5f5d5", cat({settings(), ev(48, 15), ev(48, 23), ev(48, 14)})},
    {"part played in place and replayed", "pa\nv1qc4\npb\nv1qd4\n--ra",
     cat({settings(), ev(48, 32), ev(48, 28), ev(48, 32)})},
    {"part replayed before its label", "--rb\npb\nv1qe4", cat({settings(), ev(48, 25), ev(48, 25)})},
    // Text before the first voice is ignored; a voice named again starts over.
    {"voice named twice", "x;v1qc4v2qe4v1qd4", cat({settings(), ev(48, 28, 25)})},
    {"capitals and blanks", "V1 Q C4  V2 Q E4", cat({settings(), ev(48, 32, 25)})},
    {"cr lf and cr line ends", ";x\r\nv1qc4\r;y\r", cat({settings(), ev(48, 32)})},
    {"whole-note chord longer than a byte", "v1w.c4v2w.e4v3w.g4",
     cat({settings(), ev(255, 32, 25, 21), ev(33, 32, 25, 21)})},
};

} // namespace

TEST(CantorelGolden, ScoresCompileToTheExpectedBytes)
{
    cCantorel c;
    for (const Golden &g : kGoldens) {
        SCOPED_TRACE(g.name);
        const Outcome o = compileText(c, g.score);
        ASSERT_FALSE(o.raised) << o.description;
        ASSERT_TRUE(o.object);
        EXPECT_EQ(*o.object, cat({header(), g.records, closing()}));
        EXPECT_EQ(o.line, -1);  // untouched on success
    }
}

TEST(CantorelGolden, CommentsOnlyGiveFourteenBytes)
{
    const Outcome o = compileText(";only a comment");
    ASSERT_TRUE(o.object);
    EXPECT_EQ(*o.object, (Bytes{0x0D, 0x0D, 0x18, 0x1E, 0x01, 0x6A, 0, 0, 1, 1, 0, 0, 0, 0}));
}

TEST(CantorelGolden, EmptySourceWritesNothingAndRaisesNothing)
{
    const Outcome o = compileText("");
    EXPECT_FALSE(o.raised);
    EXPECT_FALSE(o.object);
    EXPECT_EQ(o.line, -1);
}
