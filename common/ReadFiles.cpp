#include "common/ReadFiles.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {

int refuseKind(mode_t mode)
{
    errno = S_ISDIR(mode) ? EISDIR : EINVAL;
    return -1;
}

// One open and one look at what it opened. O_NONBLOCK keeps the open of a
// named pipe from waiting for a writer (and of a serial device for its
// carrier); a regular file reads the same with it set, so it stays. Anything
// else is closed unread. O_NOCTTY: a terminal never becomes ours.
int openChecked(const std::filesystem::path &path, struct stat &st)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        // A socket cannot be opened at all; it is no regular file either.
        const int err = errno;
        if (err == ENXIO && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            return refuseKind(st.st_mode);
        errno = err;
        return -1;
    }
    const bool known = ::fstat(fd, &st) == 0;
    if (known && S_ISREG(st.st_mode))
        return fd;
    const int err = errno;
    ::close(fd);
    if (known)
        return refuseKind(st.st_mode);
    errno = err;
    return -1;
}

} // namespace

int openRegularFile(const std::filesystem::path &path)
{
    struct stat st {};
    return openChecked(path, st);
}

std::FILE *openRegularStream(const std::filesystem::path &path)
{
    const int fd = openRegularFile(path);
    if (fd < 0)
        return nullptr;
    std::FILE *f = ::fdopen(fd, "rb");
    if (!f) {
        const int err = errno;
        ::close(fd);
        errno = err;
    }
    return f;
}

int readRegularFile(const std::filesystem::path &path, std::string &bytes, std::uintmax_t maxBytes)
{
    struct stat st {};
    const int fd = openChecked(path, st);
    if (fd < 0)
        return errno;
    int err = 0;
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        err = EFBIG;
    if (err == 0) {
        std::string read;
        read.reserve(static_cast<std::size_t>(st.st_size));
        // A file that grows while it is read stops at the bound too.
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                err = EIO;
                break;
            }
            if (n == 0)
                break;
            if (read.size() + static_cast<std::size_t>(n) > maxBytes) {
                err = EFBIG;
                break;
            }
            read.append(buffer, static_cast<std::size_t>(n));
        }
        if (err == 0)
            bytes = std::move(read);
    }
    ::close(fd);
    return err;
}

std::string readErrorText(int err)
{
    return err == EINVAL ? std::string("Not a regular file") : std::string(std::strerror(err != 0 ? err : EIO));
}

} // namespace vx
