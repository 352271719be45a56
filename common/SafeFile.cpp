#include "common/SafeFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace vx {

namespace {
std::atomic<unsigned> gSerial{0};
}

OutputFile::~OutputFile()
{
    discard();
}

bool OutputFile::create(const std::filesystem::path &target)
{
    discard();
    mError.clear();
    mTarget = target;
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const std::string name = target.filename().string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            folder / ("." + name + "." + std::to_string(::getpid()) + "."
                      + std::to_string(gSerial.fetch_add(1)) + ".part");
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            mError = std::strerror(errno);
            return false;
        }
        mFile = ::fdopen(fd, "wb");
        if (!mFile) {
            mError = std::strerror(errno);
            ::close(fd);
            ::unlink(candidate.c_str());
            return false;
        }
        mTemp = candidate;
        return true;
    }
    mError = "no free temporary name";
    return false;
}

bool OutputFile::commit()
{
    if (!mFile) {
        if (mError.empty())
            mError = "no file open";
        return false;
    }
    // On disk before the rename, so a crash cannot leave an empty file in
    // place of the old one.
    const bool written = std::fflush(mFile) == 0 && !std::ferror(mFile) && ::fsync(::fileno(mFile)) == 0;
    const int err = errno;
    const bool closed = std::fclose(mFile) == 0;
    mFile = nullptr;
    if (!written || !closed) {
        mError = std::strerror(written ? errno : err);
        std::error_code ec;
        std::filesystem::remove(mTemp, ec);
        mTemp.clear();
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(mTemp, mTarget, ec);
    if (ec) {
        mError = ec.message();
        std::filesystem::remove(mTemp, ec);
        mTemp.clear();
        return false;
    }
    mTemp.clear();
    return true;
}

void OutputFile::discard()
{
    if (mFile) {
        std::fclose(mFile);
        mFile = nullptr;
    }
    if (!mTemp.empty()) {
        std::error_code ec;
        std::filesystem::remove(mTemp, ec);
        mTemp.clear();
    }
}

bool writeFileAtomically(const std::filesystem::path &path, std::string_view bytes, std::string *error)
{
    OutputFile out;
    bool ok = out.create(path);
    if (ok && !bytes.empty())
        ok = std::fwrite(bytes.data(), 1, bytes.size(), out.stream()) == bytes.size();
    if (ok)
        ok = out.commit();
    if (!ok && error)
        *error = out.errorString().empty() ? std::string("write failed") : out.errorString();
    return ok;
}

} // namespace vx
