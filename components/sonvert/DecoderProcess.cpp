#include "components/sonvert/DecoderProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace sonvert {

namespace {

std::string userName()
{
    if (const passwd *pw = ::getpwuid(::geteuid()); pw && pw->pw_name && *pw->pw_name)
        return pw->pw_name;
    if (const char *user = std::getenv("USER"); user && *user)
        return user;
    return std::to_string(::geteuid());
}

} // namespace

std::string userTempFolder()
{
    const char *tmp = std::getenv("TMPDIR");
    std::string folder = tmp && *tmp ? tmp : "/tmp";
    if (folder.back() != '/')
        folder += '/';
    folder += "Voxmere-" + userName();
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

std::string createTempFile(const std::string &suffix)
{
    const std::string folder = userTempFolder();
    if (folder.empty())
        return {};
    std::string name = folder + "sonvert-XXXXXX" + suffix;
    const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0)
        return {};
    ::close(fd);
    return name;
}

int spawnHidden(const std::vector<std::string> &arguments)
{
    if (arguments.empty() || ::access(arguments[0].c_str(), X_OK) != 0)
        return -1;
    std::vector<std::string> copies = arguments;
    std::vector<char *> argv;
    for (std::string &a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attr);
    for (int fd = 0; fd <= 2; ++fd)
        ::posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    // Whatever the host blocked or ignored, the child starts with the defaults.
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGCHLD})
        sigaddset(&defaults, sig);
    ::posix_spawnattr_setsigmask(&attr, &none);
    ::posix_spawnattr_setsigdefault(&attr, &defaults);
    ::posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attr);
    return rc == 0 ? static_cast<int>(pid) : -1;
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
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ProcessState::Succeeded : ProcessState::Failed;
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
