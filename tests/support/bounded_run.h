#pragma once

// Runs a piece of a test in a child process, with a limit on its time, and
// tells how long it took and how much memory it held at most. A hang is
// stopped at the limit instead of stopping the whole suite.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

namespace testsupport {

struct BoundedRun
{
    bool finished = false;    // false: stopped at the time limit
    int exitCode = -1;        // the body's result; 0 means it went well
    double seconds = 0;       // wall-clock time until it ended
    double peakMegabytes = 0; // largest resident set the child had
};

// body runs in a forked child and gives its exit code (0 for success);
// whatever it finds wrong it says on standard error.
inline BoundedRun RunBounded(const std::function<int()>& body, double timeLimitSeconds)
{
    using Clock = std::chrono::steady_clock;
    std::fflush(nullptr);
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 1;
        try {
            code = body();
        } catch (...) {
            std::fprintf(stderr, "exception\n");
        }
        std::fflush(nullptr);
        ::_exit(code);
    }
    BoundedRun run;
    if (pid < 0)
        return run;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (done == pid)
            break;
        if (run.seconds > timeLimitSeconds) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024;
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.finished = true;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024;
    return run;
}

}  // namespace testsupport
