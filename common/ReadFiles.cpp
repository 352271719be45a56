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

} // namespace

int openRegularFile(const std::filesystem::path &path)
{
    // Looked at before the open, so a device is never opened at all (opening
    // a serial port raises its lines); and again after, in case the name was
    // swapped in between.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode))
        return refuseKind(st.st_mode);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const bool known = ::fstat(fd, &st) == 0;
    if (known && S_ISREG(st.st_mode)) {
        (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return fd;
    }
    const int err = errno;
    ::close(fd);
    if (known)
        return refuseKind(st.st_mode);
    errno = err;
    return -1;
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
    const int fd = openRegularFile(path);
    if (fd < 0)
        return errno;
    struct stat st {};
    int err = ::fstat(fd, &st) != 0 ? errno : 0;
    if (err == 0 && static_cast<std::uintmax_t>(st.st_size) > maxBytes)
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
