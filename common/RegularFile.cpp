#include "common/RegularFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

bool openRegularFile(QFile &f, const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // Reads from a regular file are unaffected by O_NONBLOCK.
    return f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
}

} // namespace vx
