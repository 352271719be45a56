#include "components/cantorel/TgxWriter.h"

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>

namespace cantorel {

namespace {

bool writeAll(int fd, const std::vector<std::uint8_t> &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::filesystem::path &path, const std::vector<std::uint8_t> &bytes)
{
    if (path.filename().empty())
        return false;
    const std::filesystem::path folder = path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
    std::random_device rd;
    std::filesystem::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder / ("." + path.filename().string() + "." + std::to_string(::getpid()) + "-" +
                         std::to_string(rd() % 1000000u) + ".tmp");
        // 0666 under the umask: the result gets the rights of any new file.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

} // namespace cantorel
