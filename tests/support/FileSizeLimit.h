#pragma once

#include <csignal>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vxtest {

// Runs body in a forked child whose files cannot grow past limit bytes
// (SIGXFSZ ignored, so writes fail with EFBIG as on a full disk, without
// root), and returns the text body returned there; "child died" when it did
// not finish. The test process itself keeps its limits.
inline std::string inChildWithFileLimit(rlim_t limit, const std::function<std::string()> &body)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit lim{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        const std::string out = body();
        (void)!::write(fds[1], out.data(), out.size());
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

} // namespace vxtest
