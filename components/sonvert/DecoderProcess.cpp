#include "components/sonvert/DecoderProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>

#include <cstring>
#include <fstream>
#include <iterator>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace sonvert {

namespace {

constexpr const char *kTempPrefix = "sonvert-";

std::string userName()
{
    if (const passwd *pw = ::getpwuid(::geteuid()); pw && pw->pw_name && *pw->pw_name)
        return pw->pw_name;
    if (const char *user = std::getenv("USER"); user && *user)
        return user;
    return std::to_string(::geteuid());
}

// Gone, or killed and never reaped: a killed program's decoder passes to a
// parent that may never wait for it, and a zombie holds no file.
bool hasEnded(long pid)
{
    if (pid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0)
        return errno == ESRCH;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    return close != std::string::npos && text.compare(close + 1, 2, " Z") == 0;
}

} // namespace

std::string userTempFolderName()
{
    const char *tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    if (folder.back() != '/')
        folder += '/';
    return folder + "Voxmere-" + userName();
}

std::string userTempFolder(std::string *cause)
{
    const std::string folder = userTempFolderName();
    const auto refuse = [&](const char *why) {
        if (cause)
            *cause = why;
        return std::string();
    };
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return refuse(std::strerror(errno));
    // Only a real folder of our own, closed to others, may hold our files.
    struct stat st{};
    if (::lstat(folder.c_str(), &st) != 0)
        return refuse(std::strerror(errno));
    if (!S_ISDIR(st.st_mode))
        return refuse("not a folder");
    if (st.st_uid != ::geteuid())
        return refuse("the folder belongs to another user");
    if ((st.st_mode & 0777) != 0700 && ::chmod(folder.c_str(), 0700) != 0)
        return refuse(std::strerror(errno));
    return folder + "/";
}

std::string createTempFile(const std::string &suffix, std::string *cause)
{
    const std::string folder = userTempFolder(cause);
    if (folder.empty())
        return {};
    sweepLeftovers(); // each conversion clears what killed ones left
    // The caller's process id in the name tells the leftovers of a caller
    // that is gone (sweepLeftovers).
    std::string name = folder + kTempPrefix + std::to_string(::getpid()) + "-XXXXXX" + suffix;
    const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) {
        if (cause)
            *cause = std::strerror(errno);
        return {};
    }
    ::close(fd);
    return name;
}

int sweepLeftovers()
{
    const std::string folder = userTempFolder();
    DIR *dir = folder.empty() ? nullptr : ::opendir(folder.c_str());
    if (!dir)
        return 0;
    std::vector<std::string> gone;
    std::vector<std::string> parts;
    while (const dirent *e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.rfind(std::string(".") + kTempPrefix, 0) == 0 && name.ends_with(".part"))
            parts.push_back(name);
        if (name.rfind(kTempPrefix, 0) != 0)
            continue;
        if (hasEnded(std::strtol(name.c_str() + std::strlen(kTempPrefix), nullptr, 10)))
            gone.push_back(name);
    }
    ::closedir(dir);
    int removed = 0;
    for (const std::string &name : gone) {
        // The decoder's unfinished output (".<name>.<decoder pid>.<n>.part")
        // goes once the decoder has ended, and the name stays until then:
        // it is how the next clean-up finds the output again.
        const std::string partOf = "." + name + ".";
        bool decoding = false;
        for (const std::string &part : parts) {
            if (part.rfind(partOf, 0) != 0)
                continue;
            if (hasEnded(std::strtol(part.c_str() + partOf.size(), nullptr, 10)))
                ::unlink((folder + part).c_str());
            else
                decoding = true;
        }
        if (!decoding && ::unlink((folder + name).c_str()) == 0)
            ++removed;
    }
    return removed;
}

int spawnHidden(const std::vector<std::string> &arguments, int errors)
{
    if (arguments.empty() || ::access(arguments[0].c_str(), X_OK) != 0)
        return -1;
    std::vector<std::string> copies = arguments;
    std::vector<char *> argv;
    for (std::string &a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    // All the child needs is made here: between the fork and the exec it
    // makes only the calls that are safe in a copy of a threaded process.
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The child ends with its caller: a killed program leaves no decode
        // running. A caller gone before this line is caught by the check.
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent)
            ::_exit(127);
        const int null = ::open("/dev/null", O_RDWR);
        for (int fd = 0; fd <= 2; ++fd)
            if (null >= 0)
                ::dup2(null, fd);
        if (null > 2)
            ::close(null);
        if (errors > 2)
            ::dup2(errors, 2);
        // Whatever the host blocked or ignored, the child starts with the
        // defaults.
        struct sigaction defaults {};
        defaults.sa_handler = SIG_DFL;
        for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGCHLD})
            ::sigaction(sig, &defaults, nullptr);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execve(argv[0], argv.data(), environ);
        ::_exit(127);
    }
    return pid > 0 ? static_cast<int>(pid) : -1;
}

ProcessState pollProcess(int pid)
{
    int status = 0;
    pid_t done;
    do {
        done = ::waitpid(pid, &status, WNOHANG);
    } while (done < 0 && errno == EINTR);
    if (done == 0)
        return ProcessState::Running;
    if (done < 0)
        return ProcessState::Failed;
    if (!WIFEXITED(status))
        return ProcessState::Failed;
    switch (WEXITSTATUS(status)) {
    case 0: return ProcessState::Succeeded;
    case 3: return ProcessState::CannotWrite;
    default: return ProcessState::Failed;
    }
}

std::string lastReason(int fd)
{
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return {};
    // The last line is short; whatever came before it is passed over.
    std::string text(static_cast<std::size_t>(std::min<off_t>(st.st_size, 1024)), '\0');
    const ssize_t n = ::pread(fd, text.data(), text.size(), st.st_size - static_cast<off_t>(text.size()));
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    const std::size_t lineStart = text.find_last_of('\n');
    const std::string line = lineStart == std::string::npos ? text : text.substr(lineStart + 1);
    const std::size_t colon = line.rfind(": ");
    return colon == std::string::npos ? std::string() : line.substr(colon + 2);
}

void killProcess(int pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace sonvert
