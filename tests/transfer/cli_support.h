// lumora-cli run as a program by the transfer tests: its standard error
// read as it comes, its exit status, and no hang when it never ends.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "transfer_support.h"

namespace transfer_test {

constexpr int kHangLimitMs = 60000;  // far beyond any transfer here; only keeps a broken run from hanging

struct CliRun {
    int status = -1;  // exit status, or -1 when it did not exit normally
    std::string err;  // what it wrote to standard error
};

// lumora-cli started with `args`, its standard error written to `errFd`.
inline pid_t StartCli(const std::vector<std::string>& args, int errFd)
{
    return SpawnWithFd(LUMORA_CLI_PATH, args, errFd, 2);
}

// Reads `fd` until it ends or `stop` is satisfied with what arrived; false
// when nothing came for kHangLimitMs.
inline bool ReadUntil(int fd, std::string& text, const std::function<bool(const std::string&)>& stop = {})
{
    while (!stop || !stop(text)) {
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, kHangLimitMs) <= 0)
            return false;
        char buffer[512];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return true;  // a pseudo-terminal whose other side closed reads as an error
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

inline int WaitFor(pid_t pid, bool ended)
{
    if (!ended)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline CliRun RunCli(const std::vector<std::string>& args)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const pid_t pid = StartCli(args, fds[1]);
    ::close(fds[1]);
    CliRun run;
    const bool ended = pid > 0 && ReadUntil(fds[0], run.err);
    ::close(fds[0]);
    run.status = pid > 0 ? WaitFor(pid, ended) : -1;
    return run;
}

}  // namespace transfer_test
