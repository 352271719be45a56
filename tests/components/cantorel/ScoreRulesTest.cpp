// Tables, state and the rules of the score language that need more than one
// line to show: replays, marks on short notes, and a clean start per compile.
#include "CantorelTestUtil.h"

#include "components/cantorel/ScoreCompiler.h"
#include "components/cantorel/ScoreTables.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace cantoreltest;
using cantorel::ScoreCompiler;

TEST(CantorelTables, ToneDivisorsMatchTheirPrintedTable)
{
    std::istringstream text(
        "000 255 241 228 215 203 192 181 171 161 152 144 136 128 121 114 107 101 096 090 085 081 076 072 068 "
        "064 060 057 054 051 048 045 043 040 038 036 034 032 030 028 027 025 024 023 021 020 019 018 017 016 "
        "015 014 013 ");
    int entry = 0;
    for (int i = 0; i < cantorel::kToneCount; ++i) {
        ASSERT_TRUE(text >> entry);
        EXPECT_EQ(cantorel::toneDivisor(i), entry) << i;
    }
    EXPECT_EQ(cantorel::toneDivisor(13), 128);  // c2
    EXPECT_EQ(cantorel::toneDivisor(53), 0);
}

TEST(CantorelTables, KeySignatures)
{
    EXPECT_EQ(cantorel::keySignature("0#"), "");
    EXPECT_EQ(cantorel::keySignature("0&"), "");
    EXPECT_EQ(cantorel::keySignature("2#"), "#fc");
    EXPECT_EQ(cantorel::keySignature("3&"), "&bea");
    EXPECT_EQ(cantorel::keySignature("7#"), "#fcgdaeb");
    EXPECT_EQ(cantorel::keySignature("7&"), "&beadgcf");
    for (const char *bad : {"8#", "2", "#", "2x", "2#;", ""})
        EXPECT_FALSE(cantorel::keySignature(bad)) << bad;
}

TEST(CantorelTables, TranspositionFoldsByOctavesIntoTheTable)
{
    EXPECT_EQ(cantorel::transpose(37, 12), 49);
    EXPECT_EQ(cantorel::transpose(37, 48), 49);
    EXPECT_EQ(cantorel::transpose(52, 1), 41);
    EXPECT_EQ(cantorel::transpose(1, -1), 12);
    EXPECT_EQ(cantorel::transpose(1, -32767), 6);
    EXPECT_EQ(cantorel::transpose(0, 5), 0);  // a rest stays a rest
}

TEST(CantorelRules, LineStatementsSetTheState)
{
    ScoreCompiler s;
    EXPECT_TRUE(s.compileMeasure("K3&"));
    EXPECT_EQ(s.key(), "&bea");
    EXPECT_TRUE(s.compileMeasure("< 2.5"));  // halves to even
    EXPECT_EQ(s.transposition(), -2);
    EXPECT_TRUE(s.compileMeasure(">"));  // no number: no transposition
    EXPECT_EQ(s.transposition(), 0);
    EXPECT_FALSE(s.compileMeasure(">40000"));
    EXPECT_EQ(s.errorCode(), 3007);
    EXPECT_TRUE(s.compileMeasure("T=65535"));
    EXPECT_EQ(s.tempo(), 65535);
    EXPECT_TRUE(s.compileMeasure("v=1"));
    EXPECT_EQ(s.volume(), 1);
}

TEST(CantorelRules, MeasureOnItsOwnChecksAndWritesNothing)
{
    cCantorel c;
    EXPECT_TRUE(c.CompileMeasure("v1qc4"));
    EXPECT_TRUE(c.CompileMeasure("v1d4"));  // the duration carries
    EXPECT_FALSE(c.CompileMeasure("v1qc9"));
    EXPECT_FALSE(c.CompileMeasure("--ra"));  // no part outside a compile
    ScoreCompiler s;
    EXPECT_TRUE(s.compileMeasure("v1qc4"));
    EXPECT_TRUE(s.bytes().empty());
}

TEST(CantorelRules, APartThatReplaysItselfIsRefused)
{
    const Outcome self = compileText("pa\nv1qc4\n--ra");
    EXPECT_EQ(self.code, 3001);
    EXPECT_EQ(self.description, "Part specification invalid or not defined in line 3");
    const Outcome mutual = compileText("pa\n--rb\npb\n--ra");
    EXPECT_EQ(mutual.code, 3001);
    EXPECT_EQ(mutual.line, 2);
    EXPECT_EQ(mutual.description, "Part specification invalid or not defined in line 2");
    EXPECT_FALSE(mutual.object);
}

TEST(CantorelRules, ReplaySpellingAndFaultsInsideParts)
{
    EXPECT_EQ(compileText("v1qc4\npa").code, 0);             // an unused label at the end is fine
    EXPECT_EQ(compileText("--ra\npa").code, 3001);           // a label with no body
    EXPECT_EQ(compileText("pa\nv1qc4\n--ra2").code, 3001);   // text behind the part's character
    const Outcome inner = compileText("--ra\npa\nv1qc9");    // reported where the bad note is
    EXPECT_EQ(inner.description, "Invalid note (voice 1) in line 3");
}

TEST(CantorelRules, LinesAreLowerCasedInTheFilesCodePage)
{
    // Windows-1252 capitals: A grave, S caron, Y diaeresis; the multiplication
    // sign has no lower case.
    EXPECT_EQ(cantorel::normaliseLine("P\xC0 \x8A\x9F\xD7\tQ"), "p\xe0\x9a\xff\xd7\tq");
    const Outcome o = compileText("--r\xE0\np\xC0\nv1qc4");
    ASSERT_TRUE(o.object) << o.description;
    EXPECT_EQ(*o.object, cat({header(), settings(), {48, 32, 0, 0}, {48, 32, 0, 0}, closing()}));
}

TEST(CantorelRules, MarksOnNotesTooShortForThemAreRefused)
{
    EXPECT_EQ(compileText("v1zc4\"").description, "Missing/invalid note duration (voice 1) in line 1");
    EXPECT_EQ(compileText("v2z:c4,").description, "Missing/invalid note duration (voice 2) in line 1");
    // Just long enough: note and rest keep the note's full length.
    const Outcome x = compileText("v1xc4\"v2zc4,zd4");
    ASSERT_TRUE(x.object);
    EXPECT_EQ(*x.object, cat({header(), settings(), {1, 32, 32, 0}, {1, 0, 0, 0}, {1, 0, 28, 0},
                              {1, 0, 28, 0}, closing()}));
    // A split inside a triplet keeps the triplet whole.
    const Outcome t = compileText("v1q:c4,c4c4c4");
    ASSERT_TRUE(t.object);
    EXPECT_EQ(*t.object, cat({header(), settings(), {16, 32, 0, 0}, {16, 0, 0, 0}, {32, 32, 0, 0},
                              {32, 32, 0, 0}, {48, 32, 0, 0}, closing()}));
}

TEST(CantorelRules, EveryCompileStartsClean)
{
    cCantorel c;
    const std::string score = "k2#\n>12\nv=9\nv1i.c4,";
    const Outcome first = compileText(c, score);
    const Outcome second = compileText(c, score);
    ASSERT_TRUE(first.object);
    EXPECT_EQ(first.object, second.object);
    EXPECT_EQ(first.object, compileText(score).object);
    // Nothing of the score before reaches the next one: no key, transposition,
    // volume or last duration.
    EXPECT_EQ(compileText(c, "v1c4").code, 3003);
    EXPECT_EQ(*compileText(c, "v1qf4").object, cat({header(), settings(), {48, 24, 0, 0}, closing()}));
}

TEST(CantorelRules, RunawayNestedReplaysEndWithAnError)
{
    // Each part plays the one before it twice: 2^25 replayed lines.
    std::string score = "pa\n;\n";
    for (char c = 'b'; c <= 'z'; ++c)
        score += std::string("p") + c + "\n--r" + static_cast<char>(c - 1) + "\n--r" + static_cast<char>(c - 1) + "\n";
    score += "--rz\n";
    const Outcome o = compileText(score);
    EXPECT_EQ(o.code, 3001);
    EXPECT_GT(o.line, 2);  // a replay line of the score
    EXPECT_FALSE(o.object);
}

TEST(CantorelRules, ReplaysOfLongLinesCannotBuildAHugeObject)
{
    // 4096 replays of a 6002-character line: few lines, but far more notes
    // than any score plays; without a bound this builds a 100 MB stream.
    std::string note;
    for (int i = 0; i < 2000; ++i)
        note += "zc4";
    std::string score = "--rm\npa\nv1" + note + "\n";
    for (char c = 'b'; c <= 'm'; ++c)
        score += std::string("p") + c + "\n--r" + static_cast<char>(c - 1) + "\n--r" + static_cast<char>(c - 1) + "\n";
    const Outcome o = compileText(score);
    EXPECT_EQ(o.code, 3001);
    EXPECT_EQ(o.line, 1);
    EXPECT_FALSE(o.object);
}
