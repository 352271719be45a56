#pragma once

#include <csignal>
#include <grp.h>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vxtest {

// Runs body in a forked child after prepare() and returns the text body
// returned there; "child died" when it did not finish or threw. The test process
// itself keeps its limits and its user.
inline std::string inChild(const std::function<void()> &prepare, const std::function<std::string()> &body)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        // Nothing may leave the child but its text: not even an exception
        // into the test runner, which would go on running tests there.
        try {
            prepare();
            const std::string out = body();
            (void)!::write(fds[1], out.data(), out.size());
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buf[256];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        out.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : std::string("child died");
}

// Runs body in a forked child whose files cannot grow past limit bytes
// (SIGXFSZ ignored, so writes fail with EFBIG as on a full disk, without
// root).
inline std::string inChildWithFileLimit(rlim_t limit, const std::function<std::string()> &body)
{
    return inChild(
        [limit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit lim{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &lim);
        },
        body);
}

// Runs body in a forked child as an ordinary user: as "nobody" (65534) when
// the tests run as root, whom no file permission stops; as the test's own
// user otherwise. Files the child must reach need permissions for it.
inline std::string inChildAsUser(const std::function<std::string()> &body)
{
    return inChild(
        [] {
            if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0
                                     || ::setresuid(65534, 65534, 65534) != 0))
                ::_exit(1);
        },
        body);
}

} // namespace vxtest
