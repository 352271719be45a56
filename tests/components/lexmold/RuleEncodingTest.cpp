// One rule in, its encoded bytes or its message out.
#include "components/lexmold/DictionaryCompiler.h"
#include "components/lexmold/RuleText.h"
#include "components/lexmold/cLexmold.h"
#include "tests/components/lexmold/LexmoldTestSupport.h"

#include <gtest/gtest.h>

using namespace lexmoldtest;
using lexmold::DictionaryCompiler;

namespace {

struct Encoded
{
    bool ok = false;
    std::string bytes;
    Messages messages;
};

// Runs a rule through the same steps as a rule check, optionally as a rule
// of the indexed section, and returns what the parser made of it.
Encoded encode(const std::string &rule, int charSet = 1, bool indexed = false, bool silent = false)
{
    Encoded e;
    DictionaryCompiler c;
    c.sink = [&](const std::string &text, const std::string &title) { e.messages.emplace_back(text, title); };
    c.blnCharSet = charSet != 0;
    std::string work = lexmold::ExpandRuleEscapes(
        lexmold::TranslateCharSet(lexmold::UpperCaseMatchPart(rule), c.blnCharSet, c.blnHighChars));
    c.blnIndexedSection = indexed;
    e.ok = c.ParseRule(work, silent);
    if (e.ok)
        e.bytes = work;
    return e;
}

const std::string kSyntax = "Invalid syntax.  ";

std::string commandMessage(const std::string &cmd)
{
    return "Invalid embedded command.\r\n\n'" + cmd + "' command cannot be used in dictionaries.  \r\n";
}

} // namespace

TEST(RuleEncoding, WorkedExamples)
{
    EXPECT_EQ(encode("(OUGH)=AO F").bytes, bytes({0xCF, 'U', 'G', 'H', 0xE5, 'w', 'F', ';'}));
    EXPECT_EQ(encode("(OUGH)=AO F", 1, true).bytes, bytes({0xD5, 'G', 'H', 0xE5, 'w', 'F', ';'}));
    EXPECT_EQ(encode("#(A)B=EY").bytes, bytes({'#', 0xC1, 0xC2, 'e', 'n', ';'}));
    EXPECT_EQ(encode("(A)=").bytes, bytes({0xC1, 0xE5, ';'}));
    // Without the file's empty-match marking the match just stays empty.
    EXPECT_EQ(encode("()=EY").bytes, bytes({0xE5, 'n', ';'}));
    // Lower case before the "=" is the same rule.
    EXPECT_EQ(encode("#(a)b=ey").bytes, encode("#(A)B=EY").bytes);
}

TEST(RuleEncoding, InvalidSyntaxIsReportedOnceUnlessSilent)
{
    for (const char *rule : {"A=B", "(A=B", "A)=B", "(A)B", "(A)=B)", "(A)=C", "(A)=Q", "(A)=HH", ")A(=B", "X(",
                             "(A)=#", "(A)=\\02", "(A)=\\E9", "(A)=\\015s x"
                                                                "y HH"}) {
        SCOPED_TRACE(rule);
        const Encoded loud = encode(rule);
        EXPECT_FALSE(loud.ok);
        ASSERT_EQ(loud.messages.size(), 1u);
        EXPECT_EQ(loud.messages[0].first, kSyntax);
        EXPECT_EQ(loud.messages[0].second, "Compiler Error");
        const Encoded quiet = encode(rule, 1, false, true);
        EXPECT_FALSE(quiet.ok);
        EXPECT_TRUE(quiet.messages.empty());
    }
}

TEST(RuleEncoding, FailedRuleIsLeftUnencoded)
{
    DictionaryCompiler c;
    std::string rule = "(A)=HH";
    EXPECT_FALSE(c.ParseRule(rule, true));
    EXPECT_EQ(rule, "(A)=HH");
}

TEST(RuleEncoding, CommentsAndBlankRulesEncodeToNothing)
{
    for (const char *rule : {"", "   ", "  ; a note (with) = signs", ";", "(\\00)="}) {
        SCOPED_TRACE(rule);
        const Encoded e = encode(rule);
        EXPECT_TRUE(e.ok);
        EXPECT_EQ(e.bytes, "");
        EXPECT_TRUE(e.messages.empty());
    }
}

TEST(RuleEncoding, BlanksInTheOutput)
{
    // A single blank separates and vanishes, a double blank is a word gap,
    // a blank at the end stays.
    EXPECT_EQ(encode("(A)=AA EH").bytes, bytes({0xC1, 0xE5, 'z', 'q', ';'}));
    EXPECT_EQ(encode("(A)=AA  EH").bytes, bytes({0xC1, 0xE5, 'z', ' ', 'q', ';'}));
    EXPECT_EQ(encode("(A)=AA ").bytes, bytes({0xC1, 0xE5, 'z', ' ', ';'}));
    EXPECT_EQ(encode("(A)=h  eh").bytes, bytes({0xC1, 0xE5, 'H', ' ', 'q', ';'}));
    EXPECT_FALSE(encode("(A)=hh  eh", 1, false, true).ok);
}

TEST(RuleEncoding, SignsLettersAndDigits)
{
    EXPECT_EQ(encode("(A)=<x>").bytes, bytes({0xC1, 0xE5, '(', 'X', ')', ';'}));
    EXPECT_EQ(encode("(A)=\\/[].,'+-").bytes, bytes({0xC1, 0xE5, '\\', '/', '[', ']', '.', ',', '\'', '+', '-', ';'}));
    EXPECT_EQ(encode("(A)=123").bytes, bytes({0xC1, 0xE5, '1', '2', '3', ';'}));
    EXPECT_EQ(encode("(A)=\\41").bytes, bytes({0xC1, 0xE5, 'A', ';'}));
    EXPECT_EQ(encode("(A)=\\4G").bytes, bytes({0xC1, 0xE5, '\\', '4', 'G', ';'}));
    // Contexts reach the rule unchanged, blanks and signs included.
    EXPECT_EQ(encode("# (A) !=EY").bytes, bytes({'#', ' ', 0xC1, 0xA0, '!', 'e', 'n', ';'}));
}

TEST(RuleEncoding, HighCharactersByCharacterSet)
{
    EXPECT_EQ(encode("(\xC9)=EY").bytes, bytes({0x9D, 0xE5, 'n', ';'}));
    EXPECT_EQ(encode("(\xE9)=EY").bytes, bytes({0x9D, 0xE5, 'n', ';'}));
    // Code page 437: 130 is e acute.
    EXPECT_EQ(encode("(\x82)=EY", 0).bytes, bytes({0x9D, 0xE5, 'n', ';'}));
    // An e acute in the output translates to a chip letter code in the ISO
    // set, which the output does not allow, and to "i" under code page 437.
    EXPECT_FALSE(encode("(A)=\xE9", 1, false, true).ok);
    EXPECT_EQ(encode("(A)=\xE9", 0).bytes, bytes({0xC1, 0xE5, 'I', ';'}));
}

TEST(RuleEncoding, EmbeddedCommands)
{
    EXPECT_EQ(encode("(A)=\\015s x").bytes, bytes({0xC1, 0xE5, 0xFD, '5', 'S', 0xFD, 'X', ';'}));
    EXPECT_EQ(encode("(A)=\\015s ").bytes, bytes({0xC1, 0xE5, 0xFD, '5', 'S', 0xFD, ' ', ';'}));
    EXPECT_EQ(encode("(A)=\\012@").bytes, bytes({0xC1, 0xE5, 0xFD, '2', '@', 0xFD, ';'}));

    const Encoded w = encode("(A)=\\015W");
    EXPECT_FALSE(w.ok);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].first, commandMessage("5W"));
    EXPECT_EQ(w.messages[0].second, "Compiler Error");

    for (const char *rule : {"(A)=\\0112", "(A)=\\01 x", "(A)=\\015l", "(A)=\\015n"})
        EXPECT_FALSE(encode(rule, 1, false, true).ok) << rule;
}

TEST(RuleEncoding, ToneCommands)
{
    const Encoded shortTone = encode("(A)=\\015j12");
    EXPECT_FALSE(shortTone.ok);
    ASSERT_EQ(shortTone.messages.size(), 1u);
    EXPECT_EQ(shortTone.messages[0].first, commandMessage("5J12"));

    // Three argument bytes pass unchanged; the ending blank stays and the
    // scan goes on after it.
    EXPECT_EQ(encode("(A)=\\015jabc x").bytes,
              bytes({0xC1, 0xE5, 0xFD, '5', 'J', 'a', 'b', 'c', 0xFD, ' ', 'X', ';'}));
    // Eight digits are one number; anything else keeps three bytes only.
    EXPECT_EQ(encode("(A)=\\015j12345678").bytes,
              bytes({0xC1, 0xE5, 0xFD, '5', 'J', '1', '2', '3', '4', '5', '6', '7', '8', 0xFD, ';'}));
    EXPECT_EQ(encode("(A)=\\015jabcdef x").bytes,
              bytes({0xC1, 0xE5, 0xFD, '5', 'J', 'a', 'b', 'c', 0xFD, ' ', 'X', ';'}));
    EXPECT_EQ(encode("(A)=\\0112jabc y").bytes,
              bytes({0xC1, 0xE5, 0xFD, '1', '2', 'J', 'a', 'b', 'c', 0xFD, ' ', 'Y', ';'}));
}

TEST(RuleEncoding, EscapedHighCharacterCannotTakeTheMark)
{
    // Bit 7 already set: such a first byte is a syntax error, not a wrapped
    // or crashed encoding.
    for (const char *rule : {"(\\E9)=EY", "(A)\\E9=EY", "(\\80B)=EY"}) {
        SCOPED_TRACE(rule);
        const Encoded e = encode(rule);
        EXPECT_FALSE(e.ok);
        ASSERT_EQ(e.messages.size(), 1u);
        EXPECT_EQ(e.messages[0].first, kSyntax);
    }
    EXPECT_FALSE(encode("(A\\E9)=EY", 1, true, true).ok);
    // Later in the match a high byte is just a byte.
    EXPECT_EQ(encode("(A\\E9)=EY").bytes, bytes({0xC1, 0xE9, 0xE5, 'n', ';'}));
}

TEST(RuleEncoding, MatchFeaturesSetFlags)
{
    DictionaryCompiler c;
    std::string r1 = "(A$)=EY", r2 = "(`A)=EY", r3 = "(\\00)=EY";
    EXPECT_TRUE(c.CompileRule(r1, true));
    EXPECT_TRUE(c.blnDollarMatch);
    EXPECT_FALSE(c.blnBacktickMatch);
    EXPECT_TRUE(c.CompileRule(r2, true));
    EXPECT_TRUE(c.blnBacktickMatch);
    EXPECT_FALSE(c.blnEmptyMatch);
    EXPECT_TRUE(c.CompileRule(r3, true));
    EXPECT_TRUE(c.blnEmptyMatch);
    EXPECT_EQ(c.intCurrentLine, 0);
}

TEST(cLexmoldRule, ChecksWithTheGivenCharacterSetAndUpperCasesInPlace)
{
    cLexmold lex;
    Messages shown;
    lex.SetMessageSink([&](const std::string &text, const std::string &title) { shown.emplace_back(text, title); });

    std::string rule = "(a)b=ey";
    EXPECT_TRUE(lex.CompileRule(rule));
    EXPECT_EQ(rule, "(A)B=ey");

    // A new object reads high characters as code page 437 until told.
    std::string accented = "(A)=\xE9";
    EXPECT_TRUE(lex.CompileRule(accented));
    EXPECT_FALSE(lex.CompileRuleInCharSet(accented, 1, false));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, kSyntax);
    EXPECT_EQ(shown[0].second, "Compiler Error");
    // The choice stays for later checks.
    EXPECT_FALSE(lex.CompileRule(accented, true));
    EXPECT_TRUE(lex.CompileRuleInCharSet(accented, 0, true));
    EXPECT_EQ(shown.size(), 1u);
}

TEST(cLexmoldRule, NoSinkShowsNothing)
{
    cLexmold lex;
    std::string rule = "(A)=C";
    EXPECT_FALSE(lex.CompileRule(rule));
}
