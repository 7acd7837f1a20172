#pragma once

// Runs the real program as a child process until its start-up is over, ends
// it with SIGTERM, and tells how long the start took, the time and memory
// the whole run used (from wait4's resource usage), how it ended, and what
// it said on standard error.
//
// The start is over when the program waits in its event loop: it has set
// up its handler for SIGTERM (which it does just before the start), and its
// main thread has been asleep without using any processor time for a
// while. The program has no hook for tests; this is what anyone can see of
// it from outside, in /proc.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace testing_support {

struct ProgramRun
{
    bool started = false;      // reached its event loop within the time limit
    bool ended = false;        // ended after SIGTERM within the time limit
    int exitCode = -1;         // when it exited
    int signal = 0;            // when a signal ended it
    double startSeconds = 0;   // from the start of the process to its event loop
    double cpuSeconds = 0;     // user and system time of the whole run
    double peakMegabytes = 0;  // largest resident set of the whole run
    std::string errors;        // what it wrote to standard error
};

namespace detail {

// The main thread's state letter and its processor time in clock ticks.
inline bool ReadThreadState(pid_t pid, char& state, unsigned long long& ticks)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/stat";
    const std::string stat = ReadBytes(path);
    // The command name, in parentheses, may hold blanks; the fields after it do not.
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return false;
    unsigned long long utime = 0, stime = 0;
    if (std::sscanf(stat.c_str() + close + 1,
                    " %c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &state, &utime, &stime) != 3)
        return false;
    ticks = utime + stime;
    return true;
}

// Whether the process has a handler of its own for the signal.
inline bool Catches(pid_t pid, int signal)
{
    const std::string status = ReadBytes("/proc/" + std::to_string(pid) + "/status");
    const auto at = status.find("SigCgt:");
    if (at == std::string::npos)
        return false;
    const unsigned long long mask = std::strtoull(status.c_str() + at + 7, nullptr, 16);
    return (mask >> (signal - 1)) & 1;
}

}  // namespace detail

// Runs executable with the environment, changed by the given NAME=value
// entries, until its start is over or timeLimitSeconds have passed; then
// ends it with SIGTERM and waits (up to the same limit again) for it to end.
inline ProgramRun RunUntilStarted(const std::string& executable, const std::vector<std::string>& environment,
                                  double timeLimitSeconds)
{
    using Clock = std::chrono::steady_clock;
    // How long the main thread must sleep without using the processor.
    constexpr auto kQuiet = std::chrono::milliseconds(300);

    std::vector<std::string> variables;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const std::string& change : environment)
            replaced |= entry.compare(0, change.find('=') + 1, change, 0, change.find('=') + 1) == 0;
        if (!replaced)
            variables.push_back(entry);
    }
    variables.insert(variables.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (std::string& v : variables)
        envp.push_back(v.data());
    envp.push_back(nullptr);

    ProgramRun run;
    std::FILE* errors = std::tmpfile();
    std::fflush(nullptr);
    const auto begin = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::fileno(errors), STDERR_FILENO);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        char* argv[] = {const_cast<char*>(executable.c_str()), nullptr};
        ::execve(executable.c_str(), argv, envp.data());
        ::_exit(127);
    }
    if (pid < 0) {
        std::fclose(errors);
        return run;
    }

    int status = 0;
    rusage usage {};
    bool gone = false;
    auto seconds = [&begin] { return std::chrono::duration<double>(Clock::now() - begin).count(); };
    auto reap = [&] { gone = ::wait4(pid, &status, WNOHANG, &usage) == pid; return gone; };

    // Until the start is over.
    unsigned long long lastTicks = ~0ull;
    Clock::time_point quietSince{};
    while (!reap() && seconds() < timeLimitSeconds) {
        char state = '?';
        unsigned long long ticks = 0;
        const auto now = Clock::now();
        if (detail::Catches(pid, SIGTERM) && detail::ReadThreadState(pid, state, ticks) && state == 'S' &&
            ticks == lastTicks) {
            if (quietSince == Clock::time_point{})
                quietSince = now;
            if (now - quietSince >= kQuiet) {
                run.started = true;
                run.startSeconds = std::chrono::duration<double>(quietSince - begin).count();
                break;
            }
        } else {
            quietSince = {};
        }
        lastTicks = ticks;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    // Then the end it is asked for.
    if (!gone) {
        ::kill(pid, run.started ? SIGTERM : SIGKILL);
        const double deadline = seconds() + timeLimitSeconds;
        while (!reap() && seconds() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (!gone) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
        } else {
            run.ended = run.started;
        }
    }
    if (WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run.signal = WTERMSIG(status);
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024;

    std::rewind(errors);
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, errors))
        run.errors.append(buffer, n);
    std::fclose(errors);
    return run;
}

}  // namespace testing_support
