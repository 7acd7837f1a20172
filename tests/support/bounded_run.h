#pragma once

// Runs a piece of a test in a child process, with a limit on its time, and
// tells how long it took and how much memory it held at most beyond what the
// process had when it began. A hang is stopped at the limit instead of
// stopping the whole suite.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

namespace testing_support {

struct BoundedRun
{
    bool finished = false;    // false: stopped at the time limit
    int exitCode = -1;        // the body's result; 0 means it went well
    double seconds = 0;       // wall-clock time until it ended
    double peakMegabytes = 0; // the child's largest resident set, less what it began with
};

// A "Vm…" line of /proc/self/status, in kB.
inline long ReadMemoryStatus(const char* field)
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    long kilobytes = 0;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':')
            kilobytes = std::atol(line + length + 1);
    }
    std::fclose(status);
    return kilobytes;
}

// body runs in a forked child and gives its exit code (0 for success);
// whatever it finds wrong it says on standard error.
inline BoundedRun RunBounded(const std::function<int()>& body, double timeLimitSeconds)
{
    using Clock = std::chrono::steady_clock;
    int report[2];
    if (::pipe(report) != 0)
        return {};
    std::fflush(nullptr);
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The child begins with the pages of the parent that it shares;
        // only what it adds counts.
        const long before = ReadMemoryStatus("VmRSS");
        int code = 1;
        try {
            code = body();
        } catch (...) {
            std::fprintf(stderr, "exception\n");
        }
        const long added = ReadMemoryStatus("VmHWM") - before;
        (void)!::write(report[1], &added, sizeof added);
        std::fflush(nullptr);
        ::_exit(code);
    }
    ::close(report[1]);
    BoundedRun run;
    if (pid < 0) {
        ::close(report[0]);
        return run;
    }
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (done == pid)
            break;
        if (run.seconds > timeLimitSeconds) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            ::close(report[0]);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.finished = true;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    long added = 0;
    if (::read(report[0], &added, sizeof added) == sizeof added)
        run.peakMegabytes = static_cast<double>(added) / 1024;
    ::close(report[0]);
    return run;
}

}  // namespace testing_support
