#include "bench_support.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// A start takes a few milliseconds and varies more than the other cases: more of them.
constexpr int startupRepetitions = 3 * benchRepetitions;

struct Launch {
    double secondsToShown = 0.0;
    double peakResidentKilobytes = 0.0;
    bool ok = false;
};

long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

std::string readAll(int descriptor) {
    std::string text;
    char chunk[256];
    for (ssize_t got; (got = read(descriptor, chunk, sizeof chunk)) > 0;)
        text.append(chunk, static_cast<std::size_t>(got));
    return text;
}

// Starts a program that prints "shown <CLOCK_MONOTONIC ns>" once its window is up, quits,
// and prints "peak_kb <VmHWM>" at exit; returns the time from the start to the window and
// the peak resident memory.
Launch launch(const char* path) {
    int output[2];
    if (pipe(output) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    posix_spawn_file_actions_addclose(&actions, output[1]);
    // The platform's start-up notes would only clutter the table.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* arguments[] = {const_cast<char*>(path), nullptr};
    pid_t child = 0;
    const long long started = monotonicNanoseconds();
    const int spawned = posix_spawn(&child, path, &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    const std::string text = spawned == 0 ? readAll(output[0]) : std::string();
    close(output[0]);
    Launch result;
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child)
        return result;
    long long shown = 0;
    long peak = 0;
    result.ok = std::sscanf(text.c_str(), "shown %lld peak_kb %ld", &shown, &peak) == 2 &&
                WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.secondsToShown = static_cast<double>(shown - started) / 1e9;
    result.peakResidentKilobytes = static_cast<double>(peak);
    return result;
}

void startUp(benchmark::State& state, const char* path) {
    Launch launched;
    for (auto _ : state) {
        launched = launch(path);
        if (!launched.ok) {
            state.SkipWithError("the program did not report its first window");
            break;
        }
        state.SetIterationTime(launched.secondsToShown);
    }
    state.counters["peak_rss_kb"] = launched.peakResidentKilobytes;
}

} // namespace

void registerStartupBenchmarks() {
    for (auto* benchmark :
         {benchmark::RegisterBenchmark("startup/program", startUp, ZORPUN_STARTUP_PROBE),
          benchmark::RegisterBenchmark("startup/minimal", startUp, ZORPUN_MINIMAL_WINDOW)})
        benchmark->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(1)
            ->Repetitions(startupRepetitions);
}
