// The text steps before parsing, and the phoneme code table they share with
// the receive side.
#include "common/PhonemeCodes.h"
#include "components/lexmold/RuleText.h"
#include "tests/components/lexmold/LexmoldTestSupport.h"

#include <gtest/gtest.h>

using namespace lexmold;
using lexmoldtest::bytes;

TEST(TextSteps, UpperCaseIsWindows1252NotTheLocale)
{
    for (int c = 0; c < 256; ++c) {
        int expected = c;
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            expected = c - 0x20;
        else if (c == 0x9A || c == 0x9C || c == 0x9E)
            expected = c - 0x10;
        else if (c == 0xFF)
            expected = 0x9F;
        EXPECT_EQ(upperCase1252(static_cast<unsigned char>(c)), expected) << c;
    }
}

TEST(TextSteps, OnlyTheMatchPartIsUpperCased)
{
    EXPECT_EQ(UpperCaseMatchPart("#(a)b=ey"), "#(A)B=ey");
    EXPECT_EQ(UpperCaseMatchPart("(a)=b=c"), "(A)=B=c");
    EXPECT_EQ(UpperCaseMatchPart("(a)b"), "(a)b");
    EXPECT_EQ(UpperCaseMatchPart("(\xE9\xFF)=\xE9"), "(\xC9\x9F)=\xE9");
}

TEST(TextSteps, IsoTranslation)
{
    bool high = false;
    EXPECT_EQ(TranslateCharSet("(ABC)=x", true, high), "(ABC)=x");
    EXPECT_FALSE(high);
    // Corners of each row of the table.
    EXPECT_EQ(TranslateCharSet("\x80\x8F\x90\x9F\xA0\xAF\xB0\xBF", true, high), bytes({127, 32, 32, 4, 32, 32, 104, 63}));
    EXPECT_TRUE(high);
    EXPECT_EQ(TranslateCharSet("\xC0\xCF\xD0\xD7\xDF\xE0\xF7\xFF", true, high), bytes({5, 26, 2, 113, 119, 5, 112, 4}));
    // Upper and lower case of an accented letter meet.
    EXPECT_EQ(TranslateCharSet("\xC7\xE7\xD1\xF1", true, high), bytes({1, 1, 3, 3}));
}

TEST(TextSteps, CodePage437Translation)
{
    bool high = false;
    EXPECT_EQ(TranslateCharSet("\x80\x87\x81\x9A\x82\x90\x83\x84", false, high), bytes({28, 28, 26, 26, 29, 29, 25, 25}));
    EXPECT_EQ(TranslateCharSet("\x85\x86\xA0\x88\x8A\x93\x94\x96\xA3", false, high),
              bytes({'A', 'A', 'A', 30, 30, 31, 31, 24, 24}));
    EXPECT_EQ(TranslateCharSet("\x97\xA1\xA2\xA4\xA5", false, high), bytes({'U', 'I', 'O', 27, 27}));
    // Everything else drops bit 7.
    EXPECT_EQ(TranslateCharSet("\x89\xE9\xFF", false, high), bytes({9, 0x69, 0x7F}));
    EXPECT_TRUE(high);
}

TEST(TextSteps, Escapes)
{
    EXPECT_EQ(ExpandRuleEscapes("\\41\\4a\\4A"), "AJJ");
    EXPECT_EQ(ExpandRuleEscapes("\\00"), std::string(1, '\0'));
    // A produced backslash is not read again.
    EXPECT_EQ(ExpandRuleEscapes("\\5c41"), "\\41");
    for (const char *kept : {"\\4G", "\\", "\\4", "a\\", "\\G1"})
        EXPECT_EQ(ExpandRuleEscapes(kept), kept);
    // Escapes come after the translation, so their bytes stay as written.
    bool high = false;
    EXPECT_EQ(ExpandRuleEscapes(TranslateCharSet("\\E9\xE9", true, high)), bytes({0xE9, 29}));
}

TEST(PhonemeCodes, BothDirections)
{
    EXPECT_EQ(vx::kPhonemeCodes.size(), 36u);
    EXPECT_EQ(vx::phonemeCodeFor("AA"), 'z');
    EXPECT_EQ(vx::phonemeCodeFor("PX"), '`');
    EXPECT_EQ(vx::phonemeCodeFor("RR"), '!');
    EXPECT_EQ(vx::phonemeCodeFor("HH"), std::nullopt);
    EXPECT_EQ(vx::phonemeCodeFor("aa"), std::nullopt);
    EXPECT_EQ(vx::phonemeCodeFor("  "), std::nullopt);
    EXPECT_EQ(vx::phonemeNameFor('n'), "EY");
    EXPECT_EQ(vx::phonemeNameFor('<'), "DX");
    EXPECT_EQ(vx::phonemeNameFor(' '), std::nullopt);
    EXPECT_EQ(vx::phonemeNameFor('A'), std::nullopt);
    for (const auto &p : vx::kPhonemeCodes)
        EXPECT_EQ(vx::phonemeNameFor(*vx::phonemeCodeFor(p.name)), p.name);
}
