#include "components/sonvert/DecoderProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace vx::sonvert {

namespace {

constexpr std::uintmax_t kMinimumWaveSize = 45;

std::mutex gFolderMutex;
std::string gDecoderFolder;

std::string withSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

std::string userName()
{
    if (const passwd *pw = ::getpwuid(::geteuid()); pw && pw->pw_name && *pw->pw_name)
        return pw->pw_name;
    if (const char *user = std::getenv("USER"); user && *user)
        return user;
    return std::to_string(::geteuid());
}

void reap(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

std::string ComponentFolder()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void *>(&ComponentFolder), &info) != 0 && info.dli_fname
        && *info.dli_fname) {
        std::error_code ec;
        const std::filesystem::path lib = std::filesystem::canonical(info.dli_fname, ec);
        if (!ec)
            return withSlash(lib.parent_path().string());
    }
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return withSlash(exe.parent_path().string());
    return "./";
}

void SetDecoderFolder(const std::string &folder)
{
    std::lock_guard lock(gFolderMutex);
    gDecoderFolder = folder;
}

std::string DecoderPath()
{
    std::string folder;
    {
        std::lock_guard lock(gFolderMutex);
        folder = gDecoderFolder;
    }
    if (folder.empty())
        folder = ComponentFolder();
    return withSlash(folder) + kDecoderName;
}

std::string UserTempFolder()
{
    const char *tmp = std::getenv("TMPDIR");
    std::string folder = withSlash(tmp && *tmp ? tmp : "/tmp") + "Voxmere-" + userName();
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    // Only a real folder of our own, closed to others, may hold our files.
    struct stat st{};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return {};
    if ((st.st_mode & 0777) != 0700 && ::chmod(folder.c_str(), 0700) != 0)
        return {};
    return folder + "/";
}

TempFile::TempFile(const std::string &suffix)
{
    const std::string folder = UserTempFolder();
    if (folder.empty())
        return;
    std::string pattern = folder + "sonvert-XXXXXX" + suffix;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0)
        return;
    ::close(fd);
    mPath = name.data();
}

TempFile::~TempFile()
{
    remove();
}

void TempFile::remove()
{
    if (!mPath.empty()) {
        ::unlink(mPath.c_str());
        mPath.clear();
    }
}

DecodeStatus DecodeMp3(const std::string &decoder, const std::string &source,
                       const std::string &target, const std::function<bool()> &poll)
{
    if (::access(decoder.c_str(), X_OK) != 0)
        return DecodeStatus::DecoderMissing;

    std::string arg0 = decoder, arg1 = "--decode", arg2 = "--silent", arg3 = source, arg4 = target;
    char *argv[] = {arg0.data(), arg1.data(), arg2.data(), arg3.data(), arg4.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attr);
    for (int fd = 0; fd <= 2; ++fd)
        ::posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    // The decoder starts with the default signal handling, whatever the host set.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    ::posix_spawnattr_setsigmask(&attr, &none);
    ::posix_spawnattr_setsigdefault(&attr, &defaults);
    ::posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, decoder.c_str(), &actions, &attr, argv, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attr);
    if (spawned != 0)
        return DecodeStatus::DecoderMissing;

    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR) {
            ::kill(pid, SIGKILL);
            reap(pid);
            return DecodeStatus::Invalid;
        }
        if (poll && poll()) {
            ::kill(pid, SIGKILL);
            reap(pid);
            return DecodeStatus::Canceled;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return DecodeStatus::Invalid;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(target, ec);
    if (ec || size < kMinimumWaveSize)
        return DecodeStatus::Invalid;
    return DecodeStatus::Decoded;
}

} // namespace vx::sonvert
