#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {
QString &folderOverride()
{
    static QString s;
    return s;
}

QString userName()
{
    if (const passwd *pw = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(::getuid());
}
} // namespace

QString programFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) {
        buf[n] = 0;
        return QFileInfo(QString::fromLocal8Bit(buf)).absolutePath();
    }
    return QDir::currentPath();
}

void setProgramFolder(const QString &path)
{
    folderOverride() = path;
}

QString tempFolderPath(const QString &program)
{
    return QDir::tempPath() + QLatin1Char('/') + program + QLatin1Char('-') + userName() + QLatin1Char('/');
}

bool createTempFolder(const QString &path, QString *error)
{
    const QByteArray p = QFile::encodeName(QDir::cleanPath(path));
    if (::mkdir(p.constData(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st {};
    if (::lstat(p.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        if (error)
            *error = QStringLiteral("The temporary folder %1 is not a folder.").arg(path);
        return false;
    }
    if (st.st_uid != ::getuid()) {
        if (error)
            *error = QStringLiteral("The temporary folder %1 belongs to another user.").arg(path);
        return false;
    }
    if ((st.st_mode & 0777) != 0700)
        ::chmod(p.constData(), 0700);
    return true;
}

int emptyFolder(const QString &folder)
{
    const QByteArray p = QFile::encodeName(QDir::cleanPath(folder));
    const int dfd = ::open(p.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dfd < 0)
        return 0;
    DIR *dir = ::fdopendir(dfd);
    if (!dir) {
        ::close(dfd);
        return 0;
    }
    int removed = 0;
    while (dirent *e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        struct stat st {};
        if (::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        // A link is removed itself, never what it points at; folders stay.
        if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) {
            if (::unlinkat(dfd, e->d_name, 0) == 0)
                ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}

QString uniqueFileIn(const QString &folder, const QString &base, const QString &extension)
{
    QDir dir(folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = base + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::Id128).left(12) + extension;
        const QString path = dir.filePath(name);
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
    }
    return dir.filePath(base + extension);
}

} // namespace vx
