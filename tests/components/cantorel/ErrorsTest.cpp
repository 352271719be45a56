#include "components/cantorel/ScoreCompiler.h"
// Numbered errors: the table, each code from a score that provokes it, silent
// mode, and what is left on disk.
#include "CantorelTestUtil.h"

#include "components/cantorel/ScoreTables.h"
#include "tests/support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace cantoreltest;

TEST(CantorelErrors, EveryCodeHasItsMessage)
{
    for (int code = 3000; code <= 3007; ++code)
        EXPECT_FALSE(cantorel::errorMessage(code, 1).empty()) << code;
    EXPECT_EQ(cantorel::errorMessage(3003, 2), "Missing/invalid note duration (voice 2)");
    EXPECT_EQ(cantorel::errorMessage(3004, 3), "Invalid note (voice 3)");
    EXPECT_EQ(cantorel::errorMessage(2999), "");
}

namespace {

struct ErrorCase
{
    const char *score;
    int code;
    const char *description;
};

const ErrorCase kCases[] = {
    {"k8#", 3000, "Invalid key signature in line 1"},
    {"k2", 3000, "Invalid key signature in line 1"},
    {"--ra", 3001, "Part specification invalid or not defined in line 1"},
    {"v4qc4", 3002, "Invalid voice in line 1"},
    {"v1qc4v0qd4", 3002, "Invalid voice in line 1"},
    {"v1qc4v", 3002, "Invalid voice in line 1"},
    {"v1c4", 3003, "Missing/invalid note duration (voice 1) in line 1"},
    {"v1zc4d4", 3003, "Missing/invalid note duration (voice 1) in line 1"},
    {"v1qc4v2c4", 3003, "Missing/invalid note duration (voice 2) in line 1"},
    {"v3qc9", 3004, "Invalid note (voice 3) in line 1"},
    {"v1qc&1", 3004, "Invalid note (voice 1) in line 1"},
    // The tone table ends at e5: only c5 to e5 and f5 to b5 exist up there.
    {"v1qd#5", 3004, "Invalid note (voice 1) in line 1"},
    {"v1qe&5", 3004, "Invalid note (voice 1) in line 1"},
    {"v1qc&5", 3004, "Invalid note (voice 1) in line 1"},
    {"v2qe#5", 3004, "Invalid note (voice 2) in line 1"},
    {"k3&\nv1qe5", 3004, "Invalid note (voice 1) in line 2"},
    {"k4#\nv1qd5", 3004, "Invalid note (voice 1) in line 2"},
    {"k7&\nv1qc5", 3004, "Invalid note (voice 1) in line 2"},
    {"v1q", 3004, "Invalid note (voice 1) in line 1"},
    {"v=0", 3005, "Invalid volume in line 1"},
    {"v=256", 3005, "Invalid volume in line 1"},
    {"t=70000", 3006, "Invalid tempo in line 1"},
    {"t=0", 3006, "Invalid tempo in line 1"},
    {"xyz", 3007, "Syntax error in line 1"},
    {";1\n;2\n\n;4\n;5\n;6\nxyz\nv1qc4", 3007, "Syntax error in line 7"},
    // Lines are not joined: the " _" stays in the first line.
    {"v1qc4 _\nv1qd4", 3004, "Invalid note (voice 1) in line 1"},
};

} // namespace

TEST(CantorelErrors, EachCodeIsRaisedWithItsLineAndNoObjectIsLeft)
{
    for (const ErrorCase &e : kCases) {
        SCOPED_TRACE(e.score);
        const Outcome o = compileText(e.score);
        ASSERT_TRUE(o.raised);
        EXPECT_EQ(o.code, e.code);
        EXPECT_EQ(o.number, static_cast<std::int32_t>(0x80040000u + static_cast<unsigned>(e.code)));
        EXPECT_EQ(o.source, "CantorelLib.CompileFile");
        EXPECT_EQ(o.description, e.description);
        EXPECT_FALSE(o.object);
    }
}

TEST(CantorelErrors, SilentCompileReturnsTheLineWithoutRaising)
{
    const Outcome o = compileText(";\n;\nv=0", true);
    EXPECT_FALSE(o.raised);
    EXPECT_EQ(o.line, 3);
    EXPECT_FALSE(o.object);
}

TEST(CantorelErrors, FailedCompileRemovesAnOlderObjectAndLeavesNoTemporaryFile)
{
    const std::string dir = vxtest::freshDir("stale");
    writeText(dir + "/s.tgn", "v1qc4\nv=0");
    writeText(dir + "/s.tgx", "older compile");
    cCantorel c;
    int line = 0;
    EXPECT_THROW(c.CompileFile(dir + "/s.tgn", dir + "/s.tgx", line), vx::ComponentError);
    EXPECT_EQ(line, 2);
    EXPECT_FALSE(std::filesystem::exists(dir + "/s.tgx"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // only the source

    // A folder under the object's name is no stale object: it stays.
    std::filesystem::create_directory(dir + "/s.tgx");
    EXPECT_THROW(c.CompileFile(dir + "/s.tgn", dir + "/s.tgx", line), vx::ComponentError);
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/s.tgx"));
}

TEST(CantorelErrors, UnreadableSourceAndUnwritableObjectAreFileErrors)
{
    const std::string dir = vxtest::freshDir("files");
    cCantorel c;
    int line = 0;
    try {
        c.CompileFile(dir + "/missing.tgn", dir + "/m.tgx", line, true);
        ADD_FAILURE() << "no error for a missing source";
    } catch (const vx::ComponentError &e) {
        EXPECT_EQ(e.code(), 53);
        EXPECT_EQ(e.number(), 53);
        EXPECT_EQ(e.description(), "File not found");
    }
    writeText(dir + "/s.tgn", "v1qc4");
    try {
        c.CompileFile(dir + "/s.tgn", dir + "/no/such/folder/s.tgx", line);
        ADD_FAILURE() << "no error for an unwritable object";
    } catch (const vx::ComponentError &e) {
        EXPECT_EQ(e.code(), 75);
        EXPECT_EQ(e.description(),
                  "Cannot write '" + dir + "/no/such/folder/s.tgx': No such file or directory");
    }
    EXPECT_EQ(line, 0);

    // A full disk and a link that leads nowhere name the object and the cause.
    const std::string loop = dir + "/loop.tgx";
    std::filesystem::create_symlink("loop.tgx", loop);
    const std::string said = vxtest::inChildWithFileLimit(8, [&] {
        std::string out;
        for (const std::string &object : {dir + "/s.tgx", loop}) {
            try {
                cCantorel().CompileFile(dir + "/s.tgn", object, line, true);
                out += "written\n";
            } catch (const vx::ComponentError &e) {
                out += std::to_string(e.number()) + " " + e.description() + "\n";
            }
        }
        return out;
    });
    EXPECT_EQ(said, "75 Cannot write '" + dir + "/s.tgx': File too large\n"
                    "75 Cannot write '" + loop + "': Too many levels of symbolic links\n");

    // A source past the compiler's bound is refused unread (a sparse file),
    // as an overflow like the dictionary compiler's.
    writeText(dir + "/huge.tgn", "v1qc4\n");
    std::filesystem::resize_file(dir + "/huge.tgn", cantorel::ScoreCompiler::kMaxSourceBytes + 1);
    try {
        c.CompileFile(dir + "/huge.tgn", dir + "/huge.tgx", line);
        ADD_FAILURE() << "no error for a huge source";
    } catch (const vx::ComponentError &e) {
        EXPECT_EQ(e.number(), 6);
        EXPECT_EQ(e.description(), "Overflow: the score source is larger than its format can compile");
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/huge.tgx"));

    // A pipe, a device or a folder under the source's name is refused, never
    // waited on or read without end (in a child: a wait fails, not hangs).
    ASSERT_EQ(::mkfifo((dir + "/pipe.tgn").c_str(), 0600), 0);
    const std::string numbers = vxtest::inChild([] { ::alarm(10); }, [&] {
        std::string out;
        for (const std::string &p : {dir + "/pipe.tgn", std::string("/dev/zero"), dir}) {
            try {
                cCantorel().CompileFile(p, dir + "/p.tgx", line, true);
                out += "compiled ";
            } catch (const vx::ComponentError &e) {
                out += std::to_string(e.number()) + " ";
            }
        }
        return out;
    });
    EXPECT_EQ(numbers, "75 75 75 ");
}
