#include "common/SafeFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vx {

namespace {

std::atomic<unsigned> gSerial{0};

constexpr std::string_view kPartSuffix = ".part";

bool allDigits(std::string_view s)
{
    if (s.empty() || s.size() > 10)
        return false;
    for (const char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Splits ".<target>.<pid>.<serial>.part" into target name and pid; false for
// any other name.
bool parsePartName(std::string_view name, std::string_view &target, long &pid)
{
    if (name.size() < 2 + kPartSuffix.size() || name.front() != '.' || !name.ends_with(kPartSuffix))
        return false;
    name.remove_suffix(kPartSuffix.size());
    const auto serialDot = name.rfind('.');
    if (serialDot == std::string_view::npos || !allDigits(name.substr(serialDot + 1)))
        return false;
    name = name.substr(0, serialDot);
    const auto pidDot = name.rfind('.');
    if (pidDot == std::string_view::npos || pidDot < 2 || !allDigits(name.substr(pidDot + 1)))
        return false;
    pid = std::stol(std::string(name.substr(pidDot + 1)));
    target = name.substr(1, pidDot - 1);
    return true;
}

bool processIsGone(long pid)
{
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// A writer holds a lock on its temporary file until it is done, and the
// system drops the lock when the writer dies. A leftover is removed only when
// nobody holds its lock and its writer is gone from this machine (or has not
// touched it for a minute: a pid from another machine sharing the folder
// means nothing here, but its live writer still holds the lock).
void removeDeadLeftoversIn(const std::filesystem::path &folder, std::string_view targetName)
{
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::string_view target;
        long pid = 0;
        if (!parsePartName(name, target, pid) || target != targetName || pid == ::getpid())
            continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st {};
        const bool idle = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::time(nullptr) - st.st_mtime > 60;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && (processIsGone(pid) || idle))
            ::unlink(it->path().c_str());
        ::close(fd);
    }
}

// The file a write to path reaches: links followed, the last one's target
// possibly not there yet. Empty for a loop of links.
std::filesystem::path followLinks(std::filesystem::path path)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec)))
            return path;
        const std::filesystem::path to = std::filesystem::read_symlink(path, ec);
        if (ec)
            return path;
        path = to.is_absolute() ? to : path.parent_path() / to;
    }
    return {};
}

} // namespace

OutputFile::~OutputFile()
{
    discard();
}

bool OutputFile::fail(int err)
{
    if (!mFailed)
        mError = std::strerror(err != 0 ? err : EIO);
    mFailed = true;
    return false;
}

void OutputFile::removeTemp()
{
    if (!mTemp.empty()) {
        ::unlink(mTemp.c_str());
        mTemp.clear();
    }
}

bool OutputFile::create(const std::filesystem::path &target)
{
    discard();
    mError.clear();
    mFailed = false;
    // A save through a link changes the file it points at, and the link
    // stays: the temporary file and the rename go beside that file.
    mTarget = followLinks(target);
    if (mTarget.empty())
        return fail(ELOOP);
    const std::filesystem::path folder = mTarget.has_parent_path() ? mTarget.parent_path() : ".";
    const std::string name = mTarget.filename().string();
    removeDeadLeftoversIn(folder, name);
    // A replaced file keeps its permissions, but never runs as its owner or
    // group. A file the user may not write is not replaced at all, though
    // the folder would let the rename through.
    mode_t mode = 0666;
    struct stat old {};
    const bool keepMode = ::stat(mTarget.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    if (keepMode) {
        if (::faccessat(AT_FDCWD, mTarget.c_str(), W_OK, AT_EACCESS) != 0)
            return fail(errno);
        mode = old.st_mode & 07777 & ~(S_ISUID | S_ISGID);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            folder / ("." + name + "." + std::to_string(::getpid()) + "."
                      + std::to_string(gSerial.fetch_add(1)) + std::string(kPartSuffix));
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return fail(errno);
        }
        if (keepMode)
            (void)::fchmod(fd, mode); // the umask narrowed it at creation
        (void)::flock(fd, LOCK_EX | LOCK_NB); // ours while we write: see removeDeadLeftoversIn
        mFile = ::fdopen(fd, "wb");
        if (!mFile) {
            const int err = errno;
            ::close(fd);
            ::unlink(candidate.c_str());
            return fail(err);
        }
        mTemp = candidate;
        return true;
    }
    mError = "no free temporary name";
    mFailed = true;
    return false;
}

bool OutputFile::write(const void *data, std::size_t size)
{
    if (mFailed)
        return false;
    if (!mFile) {
        mError = "no file open";
        mFailed = true;
        return false;
    }
    if (size == 0)
        return true;
    errno = 0;
    if (std::fwrite(data, 1, size, mFile) != size)
        return fail(errno);
    return true;
}

bool OutputFile::writeAt(std::uint64_t offset, const void *data, std::size_t size)
{
    if (mFailed || !mFile)
        return write(data, size);
    errno = 0;
    if (::fseeko(mFile, static_cast<off_t>(offset), SEEK_SET) != 0)
        return fail(errno);
    const bool ok = write(data, size);
    errno = 0;
    if (::fseeko(mFile, 0, SEEK_END) != 0)
        return fail(errno);
    return ok;
}

bool OutputFile::commit()
{
    if (!mFile) {
        if (mError.empty())
            mError = "no file open";
        removeTemp();
        return false;
    }
    // On disk before the rename, so a crash cannot leave an empty file in
    // place of the old one.
    if (!mFailed) {
        errno = 0;
        if (std::fflush(mFile) != 0 || std::ferror(mFile))
            fail(errno);
        else if (::fsync(::fileno(mFile)) != 0)
            fail(errno);
    }
    errno = 0;
    if (std::fclose(mFile) != 0)
        fail(errno);
    mFile = nullptr;
    if (mFailed) {
        removeTemp();
        return false;
    }
    if (::rename(mTemp.c_str(), mTarget.c_str()) != 0) {
        fail(errno);
        removeTemp();
        return false;
    }
    mTemp.clear();
    // The rename itself on disk too; a folder that cannot be synced changes nothing.
    const std::filesystem::path folder = mTarget.has_parent_path() ? mTarget.parent_path() : ".";
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return true;
}

void OutputFile::discard()
{
    if (mFile) {
        std::fclose(mFile);
        mFile = nullptr;
    }
    removeTemp();
}

void removeDeadLeftovers(const std::filesystem::path &target)
{
    removeDeadLeftoversIn(target.has_parent_path() ? target.parent_path() : ".", target.filename().string());
}

bool writeFileAtomically(const std::filesystem::path &path, std::string_view bytes, std::string *error)
{
    OutputFile out;
    const bool ok = out.create(path) && out.write(bytes) && out.commit();
    if (!ok && error)
        *error = out.errorString();
    return ok;
}

int sweepStaleParts(const std::filesystem::path &folder, std::chrono::seconds maxAge)
{
    int removed = 0;
    const auto now = std::filesystem::file_time_type::clock::now();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::string_view target;
        long pid = 0;
        std::error_code fileEc;
        if (!parsePartName(name, target, pid) || !it->is_regular_file(fileEc))
            continue;
        const auto changed = it->last_write_time(fileEc);
        if (fileEc || now - changed < maxAge)
            continue;
        // A writer still at work holds the lock: its file stays.
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(it->path().c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    return removed;
}

} // namespace vx
