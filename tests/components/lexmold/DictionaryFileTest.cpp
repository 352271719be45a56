// Dictionary sources in, compiled dictionaries (or the failing line) out.
#include "components/lexmold/DictionaryCompiler.h"
#include "components/lexmold/cLexmold.h"
#include "tests/components/lexmold/LexmoldTestSupport.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace lexmoldtest;

namespace {

class DictionaryFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = vxtest::freshDir("lexmold");
        lex.SetMessageSink([this](const std::string &text, const std::string &title) {
            shown.emplace_back(text, title);
        });
    }

    // Compiles the given source text; the object file's bytes land in `dix`.
    int compile(const std::string &text, int charSet = 1, bool silent = false)
    {
        writeFile(src(), text);
        const int r = lex.CompileFile(src(), charSet, obj(), silent);
        dix = fs::exists(obj()) ? readFile(obj()) : std::string();
        return r;
    }
    int compileLines(const std::vector<std::string> &lines, int charSet = 1, bool silent = false)
    {
        return compile(source(lines), charSet, silent);
    }

    fs::path src() const { return fs::path(dir) / "rules.dic"; }
    fs::path obj() const { return fs::path(dir) / "rules.dix"; }
    // Everything in the folder but the source: the object file at most.
    std::vector<std::string> leftovers() const
    {
        std::vector<std::string> names;
        for (const auto &e : fs::directory_iterator(dir))
            if (e.path() != src())
                names.push_back(e.path().filename().string());
        return names;
    }

    std::string dir;
    cLexmold lex;
    Messages shown;
    std::string dix;
};

std::string golden(const std::string &name)
{
    return readFile(fs::path(vxtest::dataDir()) / name);
}

const std::string kHeader = bytes({0x0D, 0x0D, 0x18, 0x1E, 0x01, 'l', 0x00, 0x01, '2', '4', '7', 'w', 0x00, 0x00, 0x00, 0x00,
                                   0xCA, 0xB9});
const std::string kEnd = bytes({0xE5, 'f', ';', 0xFF, 0xFF, 0xFF});

} // namespace

TEST_F(DictionaryFile, CommentsOnlyInBothCharacterSets)
{
    for (int charSet : {1, 0}) {
        SCOPED_TRACE(charSet);
        ASSERT_EQ(compile(golden("comments.dic"), charSet), 0);
        EXPECT_EQ(dix, golden(charSet ? "comments-cs1.dix" : "comments-cs0.dix"));
        ASSERT_EQ(dix.size(), 619u);
        EXPECT_EQ(dix.substr(0, 18), kHeader);
        EXPECT_EQ(flagsWord(dix), charSet ? 0x8004 : 0x8000);
        EXPECT_EQ(indexEntry(dix, 0), 260);
        EXPECT_EQ(indexEntry(dix, 1), 263);
        EXPECT_EQ(indexEntry(dix, 2), 265);
        EXPECT_EQ(indexEntry(dix, 128), 589);
        EXPECT_EQ(indexEntry(dix, 129), 592);
        EXPECT_EQ(dix[280], ';');
        EXPECT_EQ(dix.substr(613), kEnd);
    }
    EXPECT_TRUE(shown.empty());
}

TEST_F(DictionaryFile, EmptySourceWritesNothing)
{
    EXPECT_EQ(compile(""), 0);
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(DictionaryFile, IndexedRuleGoesIntoItsGroup)
{
    ASSERT_EQ(compileLines({"(AB)=EY"}), 0);
    EXPECT_EQ(dix, golden("indexed-ab.dix"));
    const std::string empty = golden("comments-cs1.dix");
    EXPECT_EQ(at(dix, 65, 4), bytes({0xC2, 0xE5, 'n', ';'}));
    for (int k = 0; k <= 65; ++k)
        EXPECT_EQ(indexEntry(dix, k), indexEntry(empty, k)) << k;
    for (int k = 66; k < 130; ++k)
        EXPECT_EQ(indexEntry(dix, k), indexEntry(empty, k) + 4) << k;
}

TEST_F(DictionaryFile, SectionLineStartsTheGeneralSection)
{
    ASSERT_EQ(compileLines({"c", "(AB)=EY"}), 0);
    EXPECT_EQ(dix, golden("general-ab.dix"));
    EXPECT_EQ(dix.size(), 624u);
    EXPECT_EQ(at(dix, 128, 5), bytes({0xC1, 'B', 0xE5, 'n', ';'}));
    // Group 65 holds its terminator only.
    EXPECT_EQ(indexEntry(dix, 66) - indexEntry(dix, 65), 3);
    EXPECT_EQ(indexEntry(dix, 129), 597);

    // As the last line, "C" is a rule, and not a valid one.
    EXPECT_EQ(compileLines({"(A)=EY", "C"}), 2);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, "Invalid syntax in line 2.  ");
}

TEST_F(DictionaryFile, EmptyMatchesAndTheDefaultTerminator)
{
    ASSERT_EQ(compileLines({"()=EY"}), 0);
    EXPECT_EQ(dix, golden("indexed-empty-match.dix"));
    EXPECT_EQ(dix.size(), 551u);
    EXPECT_EQ(at(dix, 0, 3), bytes({0xE5, 'n', ';'}));
    EXPECT_EQ(flagsWord(dix), 0x800C);
    // Code 32's group now ends with the short terminator.
    EXPECT_EQ(at(dix, 32, 2), bytes({0xE5, ';'}));

    ASSERT_EQ(compileLines({"c", "()=EY"}), 0);
    EXPECT_EQ(dix, golden("general-empty-match.dix"));
    EXPECT_EQ(dix.size(), 622u);
    EXPECT_EQ(at(dix, 129, 4), bytes({0x80, 0xE5, 'n', ';'}));
    EXPECT_EQ(at(dix, 128, 2), bytes({0xE5, ';'}));

    // The bare empty rule emits nothing but still shortens the terminators,
    // written plainly or as an escape.
    ASSERT_EQ(compileLines({"()="}), 0);
    EXPECT_EQ(dix.size(), 548u);
    const std::string plain = dix;
    ASSERT_EQ(compileLines({"(\\00)="}), 0);
    EXPECT_EQ(dix, plain);
    EXPECT_EQ(flagsWord(dix), 0x8004);
}

TEST_F(DictionaryFile, GeneralSectionKeepsEmptyMatchesForTheSecondPass)
{
    ASSERT_EQ(compileLines({"C", "()=EY", "(B)=EY"}), 0);
    EXPECT_EQ(at(dix, 128, 5), bytes({0xC2, 0xE5, 'n', ';', 0xE5}));
    EXPECT_EQ(at(dix, 129, 4), bytes({0x80, 0xE5, 'n', ';'}));
}

TEST_F(DictionaryFile, FeatureFlags)
{
    ASSERT_EQ(compileLines({"(A$)=EY", "(`A)=EY", "(\xE9)=EY"}), 0);
    EXPECT_EQ(flagsWord(dix), 0x8000 | 0x10 | 0x04 | 0x02 | 0x01);
    // Group 96 (the backquote) holds the rule without its key.
    EXPECT_EQ(at(dix, 96, 4), bytes({0xC1, 0xE5, 'n', ';'}));
}

TEST_F(DictionaryFile, FailingLineFollowsCompileOrder)
{
    EXPECT_EQ(compileLines({"(B)=C", "(A)=C"}, 1, true), 2);
    EXPECT_TRUE(shown.empty());
    // Line numbers are physical: a continued rule is known by its first line.
    EXPECT_EQ(compileLines({"(A)=EY", "(B)=EY", "(D)=EY", "(E)=AA _", "HH", "(F)=EY"}), 4);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, "Invalid syntax in line 4.  ");
    EXPECT_EQ(shown[0].second, "Compiler Error");
}

TEST_F(DictionaryFile, SecondRuleInvalid)
{
    writeFile(obj(), "an older dictionary");
    EXPECT_EQ(compileLines({"(A)=EY", "(B)=HH"}), 2);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, "Invalid syntax in line 2.  ");
    EXPECT_EQ(shown[0].second, "Compiler Error");
    EXPECT_TRUE(leftovers().empty());

    EXPECT_EQ(compileLines({"(A)=EY", "(B)=HH"}, 1, true), 2);
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(DictionaryFile, EmbeddedCommandMessageNamesTheLine)
{
    EXPECT_EQ(compileLines({"; commands", "(A)=EY", "(B)=\\015W"}), 3);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first,
              "Invalid embedded command in line 3:\r\n\n'5W' command cannot be used in dictionaries.  \r\n");
}

TEST_F(DictionaryFile, ContinuationLines)
{
    ASSERT_EQ(compileLines({"(E)=AA _  ", "  EH"}), 0);
    const std::string joined = dix;
    ASSERT_EQ(compileLines({"(E)=AA  EH"}), 0);
    EXPECT_EQ(joined, dix);
    // A marker on the last line joins nothing and is dropped.
    ASSERT_EQ(compileLines({"(E)=AA _"}), 0);
    const std::string dropped = dix;
    ASSERT_EQ(compileLines({"(E)=AA"}), 0);
    EXPECT_EQ(dropped, dix);
}

TEST_F(DictionaryFile, AnyLineEndReadsAlike)
{
    ASSERT_EQ(compile("(A)=EY\r\n(B)=AA\r\n"), 0);
    const std::string crlf = dix;
    ASSERT_EQ(compile("(A)=EY\n(B)=AA"), 0);
    EXPECT_EQ(dix, crlf);
    ASSERT_EQ(compile("(A)=EY\r(B)=AA\r"), 0);
    EXPECT_EQ(dix, crlf);
    // Line numbers count every kind of line end.
    EXPECT_EQ(compile("(A)=EY\n\r\n(B)=C\r", 1, true), 3);
}

TEST_F(DictionaryFile, EscapedHighKeyIsRefusedNotDropped)
{
    // A key character of 128 or more has no group to file the rule under.
    EXPECT_EQ(compileLines({"(A)=EY", "(\\E9B)=EY"}), 2);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, "Invalid syntax in line 2.  ");
    EXPECT_TRUE(leftovers().empty());
    // First byte of a general-section match.
    EXPECT_EQ(compileLines({"c", "(\\E9)=EY"}, 1, true), 2);
    // A comment line with a high byte after its "(" is still only a comment.
    EXPECT_EQ(compileLines({"; see (\xE9", "(A)=EY"}), 0);
    EXPECT_EQ(shown.size(), 1u);
}

TEST_F(DictionaryFile, ParenthesisAsLastCharacter)
{
    EXPECT_EQ(compileLines({"(A)=EY", "X("}, 1, true), 2);
    EXPECT_EQ(compileLines({"; note (", "(A)=EY"}), 0);
}

TEST_F(DictionaryFile, LineCountLimit)
{
    std::vector<std::string> lines(2000, "; note");
    lines[0] = "(A)=EY";
    EXPECT_EQ(compileLines(lines), 0);
    EXPECT_EQ(dix.size(), 622u);

    lines.push_back("; one too many");
    try {
        compileLines(lines);
        FAIL() << "no error";
    } catch (const lexmold::LexmoldError &e) {
        EXPECT_EQ(e.number(), lexmold::kErrSubscriptOutOfRange);
    }
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(DictionaryFile, OffsetLimit)
{
    // The right context is not interpreted, so its length sets the size: this
    // rule brings the last ";" to offset 32767 exactly.
    const std::string fits = "(A)" + std::string(32172, 'X') + "=";
    ASSERT_EQ(compileLines({"c", fits}), 0);
    EXPECT_EQ(dix.size(), 32767u + 27u);
    EXPECT_EQ(indexEntry(dix, 129), 32767);

    try {
        compileLines({"c", "(A)" + std::string(32173, 'X') + "="});
        FAIL() << "no error";
    } catch (const lexmold::LexmoldError &e) {
        EXPECT_EQ(e.number(), lexmold::kErrOverflow);
    }
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(DictionaryFile, HugeSourceIsRefusedUnread)
{
    writeFile(obj(), "an older dictionary");
    writeFile(src(), "(A)=EY\r\n");
    fs::resize_file(src(), lexmold::kMaxSourceBytes + 1); // sparse: nothing to read at this size
    try {
        lex.CompileFile(src(), 1, obj(), false);
        FAIL() << "no error";
    } catch (const lexmold::LexmoldError &e) {
        EXPECT_EQ(e.number(), lexmold::kErrOverflow);
    }
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(DictionaryFile, FileErrors)
{
    try {
        lex.CompileFile(fs::path(dir) / "missing.dic", 1, obj());
        FAIL() << "no error";
    } catch (const lexmold::LexmoldError &e) {
        EXPECT_EQ(e.number(), lexmold::kErrFileNotFound);
    }
    // The compile chose its character set before it failed to read: later
    // rule checks use it.
    std::string accented = "(A)=\xE9";
    EXPECT_FALSE(lex.CompileRule(accented, true));
    writeFile(src(), source({"(A)=EY"}));
    try {
        lex.CompileFile(src(), 1, fs::path(dir) / "no-such-folder" / "x.dix");
        FAIL() << "no error";
    } catch (const lexmold::LexmoldError &e) {
        EXPECT_EQ(e.number(), lexmold::kErrPathFileAccess);
    }
    EXPECT_TRUE(leftovers().empty());

    // A pipe, a device or a folder under the source's name is refused, never
    // waited on or read without end (in a child: a wait fails, not hangs).
    const fs::path pipe = fs::path(dir) / "pipe.dic";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string numbers = vxtest::inChild([] { ::alarm(10); }, [&] {
        std::string out;
        for (const fs::path &p : {pipe, fs::path("/dev/zero"), fs::path(dir)}) {
            try {
                out += std::to_string(cLexmold().CompileFile(p, 1, obj(), true)) + " ";
            } catch (const lexmold::LexmoldError &e) {
                out += std::to_string(e.number()) + " ";
            }
        }
        return out;
    });
    EXPECT_EQ(numbers, "75 75 75 ");
}

// An object that cannot be written (a full disk, a link that leads nowhere,
// a missing folder) is named with the system's cause, once.
TEST_F(DictionaryFile, AnObjectThatCannotBeWrittenIsNamedWithTheCause)
{
    writeFile(src(), source({"(A)=EY"}));
    const fs::path loop = fs::path(dir) / "loop.dix";
    fs::create_symlink("loop.dix", loop);
    const fs::path missing = fs::path(dir) / "no-such-folder" / "x.dix";
    const std::string said = vxtest::inChildWithFileLimit(100, [&] {
        std::string out;
        for (const fs::path &object : {obj(), loop, missing}) {
            try {
                cLexmold().CompileFile(src(), 1, object, true);
                out += "written\n";
            } catch (const lexmold::LexmoldError &e) {
                out += std::to_string(e.number()) + " " + e.description() + "\n";
            }
        }
        return out;
    });
    EXPECT_EQ(said, "75 Cannot write '" + obj().string() + "': File too large\n"
                    "75 Cannot write '" + loop.string() + "': Too many levels of symbolic links\n"
                    "75 Cannot write '" + missing.string() + "': No such file or directory\n");
    EXPECT_FALSE(fs::exists(obj()));
}

TEST_F(DictionaryFile, SuccessReplacesTheObjectAndLeavesNoTemporaryFile)
{
    writeFile(obj(), "an older dictionary");
    ASSERT_EQ(compileLines({"(A)=EY"}), 0);
    EXPECT_EQ(leftovers(), std::vector<std::string>{"rules.dix"});
    EXPECT_EQ(dix.size(), 622u);
}
