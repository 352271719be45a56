// The opener of a user's files: what opening one costs in calls to the
// system, counted by this test's own open, stat, fstat and fcntl, which
// stand in front of the C library's for the calls on the file watched.
#include "common/ReadFiles.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <fstream>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

struct Calls
{
    int open = 0, stat = 0, fstat = 0, fcntl = 0;
};
Calls gCalls;
const char *gWatched = nullptr; // the path whose calls are counted
int gFd = -1;                   // and the descriptor opened for it

template <class F>
F nextDefinition(const char *name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

bool watched(const char *path)
{
    return gWatched && path && std::strcmp(path, gWatched) == 0;
}

} // namespace

extern "C" {

int open(const char *path, int flags, ...)
{
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list ap;
        va_start(ap, flags);
        mode = va_arg(ap, mode_t);
        va_end(ap);
    }
    static const auto real = nextDefinition<int (*)(const char *, int, ...)>("open");
    const int fd = real(path, flags, mode);
    if (watched(path)) {
        ++gCalls.open;
        gFd = fd;
    }
    return fd;
}

int stat(const char *__restrict path, struct stat *__restrict st) noexcept
{
    static const auto real = nextDefinition<int (*)(const char *, struct stat *)>("stat");
    if (watched(path))
        ++gCalls.stat;
    return real(path, st);
}

int fstat(int fd, struct stat *st) noexcept
{
    static const auto real = nextDefinition<int (*)(int, struct stat *)>("fstat");
    if (gWatched && fd == gFd)
        ++gCalls.fstat;
    return real(fd, st);
}

int fcntl(int fd, int cmd, ...)
{
    va_list ap;
    va_start(ap, cmd);
    const long arg = va_arg(ap, long);
    va_end(ap);
    static const auto real = nextDefinition<int (*)(int, int, ...)>("fcntl");
    if (gWatched && fd == gFd)
        ++gCalls.fcntl;
    return real(fd, cmd, arg);
}

} // extern "C"

namespace {

// Runs open on path and returns the calls it made on it.
template <class Open>
Calls counted(const std::string &path, Open &&open)
{
    gCalls = {};
    gFd = -1;
    gWatched = path.c_str();
    open();
    gWatched = nullptr;
    return gCalls;
}

// A regular file costs one open and one look at the descriptor, whichever
// way it is opened; a socket under a file's name is no regular file.
TEST(ReadFiles, ARegularFileCostsOneOpenAndOneLook)
{
    const std::string dir = vxtest::freshDir("read-files");
    const std::string path = dir + "/sound.pcm";
    std::ofstream(path) << "0123456789";
    struct Row
    {
        const char *way;
        Calls calls;
    };
    const Row rows[] = {
        {"descriptor", counted(path, [&] { ::close(vx::openRegularFile(path)); })},
        {"stream", counted(path, [&] { std::fclose(vx::openRegularStream(path)); })},
        {"whole", counted(path, [&] {
             std::string bytes;
             EXPECT_EQ(vx::readRegularFile(path, bytes, 100), 0);
             EXPECT_EQ(bytes, "0123456789");
         })},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(r.calls.open, 1) << r.way;
        EXPECT_EQ(r.calls.fstat, 1) << r.way;
        EXPECT_EQ(r.calls.stat + r.calls.fcntl, 0) << r.way;
    }

    const std::string socketPath = dir + "/socket.pcm";
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, socketPath.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::bind(s, reinterpret_cast<const sockaddr *>(&addr), sizeof addr), 0);
    EXPECT_EQ(vx::openRegularFile(socketPath), -1);
    EXPECT_EQ(errno, EINVAL);
    ::close(s);
}

} // namespace
