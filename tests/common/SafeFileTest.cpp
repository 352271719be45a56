#include "common/SafeFile.h"

#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> namesIn(const fs::path &dir)
{
    std::vector<std::string> names;
    for (const auto &e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void touch(const fs::path &p, std::chrono::hours age = std::chrono::hours(0))
{
    std::ofstream(p) << "x";
    fs::last_write_time(p, fs::file_time_type::clock::now() - age);
}

pid_t deadPid()
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

} // namespace

// A write the system refuses, small (caught only at the flush) or large
// (caught in the write itself), leaves the old file whole, no temporary file,
// and the system's own reason.
TEST(SafeFile, RefusedWriteKeepsTheOldFileAndTellsWhy)
{
    const fs::path dir = vxtest::freshDir("safefile-limit");
    const fs::path target = dir / "list.txt";
    for (const std::size_t size : {std::size_t(3000), std::size_t(64 * 1024)}) {
        SCOPED_TRACE(size);
        std::ofstream(target, std::ios::binary) << "old contents";
        const std::string result = vxtest::inChildWithFileLimit(1024, [&] {
            std::string error;
            if (vx::writeFileAtomically(target, std::string(size, 'n'), &error))
                return std::string("reported success");
            return error;
        });
        EXPECT_EQ(result, "File too large");
        EXPECT_EQ(slurp(target), "old contents");
        EXPECT_EQ(namesIn(dir), std::vector<std::string>{"list.txt"});
    }
}

TEST(SafeFile, ReplacesTheTargetKeepingItsPermissions)
{
    const fs::path dir = vxtest::freshDir("safefile-ok");
    const fs::path target = dir / "a.bin";
    std::ofstream(target) << "old";
    ::chmod(target.c_str(), 06740);
    vx::OutputFile out;
    ASSERT_TRUE(out.create(target));
    EXPECT_TRUE(out.write("0123456789"));
    EXPECT_TRUE(out.writeAt(2, "xy", 2));
    EXPECT_TRUE(out.write("!"));
    ASSERT_TRUE(out.commit()) << out.errorString();
    EXPECT_EQ(slurp(target), "01xy456789!");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0740u); // never set-uid or set-gid
    EXPECT_EQ(namesIn(dir), std::vector<std::string>{"a.bin"});

    std::string error;
    EXPECT_FALSE(vx::writeFileAtomically(dir / "missing" / "b.bin", "x", &error));
    EXPECT_EQ(error, "No such file or directory");
}

// As an ordinary user: a save through a link reaches the file it points at
// and the link stays; a file the user may not write is refused with the
// system's reason and stays whole, though the folder would allow the rename.
TEST(SafeFile, WritesThroughLinksAndKeepsReadOnlyFiles)
{
    // The isolated test folder may be closed to other users: this one is
    // open to all, and goes with the test.
    char name[] = "/tmp/vxtest-user-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    const fs::path dir = name;
    const std::shared_ptr<void> removeDir(nullptr, [&dir](void *) { fs::remove_all(dir); });
    fs::permissions(dir, fs::perms::all);
    std::ofstream(dir / "real.txt") << "old";
    ::chmod((dir / "real.txt").c_str(), 0666);
    fs::create_symlink("real.txt", dir / "link.txt");
    std::ofstream(dir / "locked.txt") << "kept";
    ::chmod((dir / "locked.txt").c_str(), 0444);
    const std::string result = vxtest::inChildAsUser([&] {
        std::string out;
        for (const char *name : {"link.txt", "locked.txt"}) {
            std::string error = "saved";
            (void)vx::writeFileAtomically(dir / name, "new", &error);
            out += std::string(name) + ": " + error + "; ";
        }
        return out;
    });
    EXPECT_EQ(result, "link.txt: saved; locked.txt: Permission denied; ");
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(slurp(dir / "real.txt"), "new");
    EXPECT_EQ(slurp(dir / "locked.txt"), "kept");
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"link.txt", "locked.txt", "real.txt"}));
}

// What a killed writer left: the next write to the same target removes a
// dead process's temporary file and spares a living one's, our own still
// being written and other targets'.
TEST(SafeFile, NextWriteRemovesLeftoversOfDeadWriters)
{
    const fs::path dir = vxtest::freshDir("safefile-leftover");
    const std::string dead = std::to_string(deadPid());
    const std::string alive = std::to_string(::getppid());
    touch(dir / (".a.txt." + dead + ".0.part"));
    touch(dir / (".a.txt." + alive + ".1.part"));
    touch(dir / (".b.txt." + dead + ".2.part"));
    vx::OutputFile writing; // our own, still open
    ASSERT_TRUE(writing.create(dir / "a.txt"));
    const std::string open = writing.tempPath().filename().string();
    ASSERT_TRUE(vx::writeFileAtomically(dir / "a.txt", "new"));
    std::vector<std::string> expected = {".a.txt." + alive + ".1.part", ".b.txt." + dead + ".2.part", "a.txt", open};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(dir), expected);
}

TEST(SafeFile, SweepRemovesOnlyOurDayOldTemporaryFiles)
{
    const fs::path dir = vxtest::freshDir("safefile-sweep");
    const auto day = std::chrono::hours(25);
    touch(dir / ".old.wav.123.4.part", day);
    touch(dir / ".fresh.wav.123.5.part");
    touch(dir / "old.wav.part", day);       // not one of our names
    touch(dir / ".old.wav.12x.4.part", day); // nor this
    touch(dir / "document.txt", day);
    EXPECT_EQ(vx::sweepStaleParts(dir), 1);
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{".fresh.wav.123.5.part", ".old.wav.12x.4.part",
                                                      "document.txt", "old.wav.part"}));
    EXPECT_EQ(vx::sweepStaleParts(dir / "nowhere"), 0);
}
