#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

// Linked into the start-up benchmark's programs only. Once the event loop runs and a window
// is on screen, prints the moment (CLOCK_MONOTONIC, the clock the benchmark started the
// process by) and ends the program; at exit it prints its peak resident memory.
namespace {

// The process's own high-water mark. The rusage of a child would not do: it starts from
// the memory of the process that started it.
void reportPeakMemory() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return;
    char line[256];
    long kilobytes = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kilobytes) == 1)
            break;
    std::fclose(status);
    std::printf("peak_kb %ld\n", kilobytes);
    std::fflush(stdout);
}

void reportWhenShown() {
    bool shown = false;
    for (const QWidget* window : QApplication::topLevelWidgets())
        shown = shown || window->isVisible();
    if (!shown) {
        QTimer::singleShot(0, reportWhenShown);
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("shown %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fflush(stdout);
    QCoreApplication::quit();
}

// Runs as the application object is made, before main() goes on to show its window.
void quitOnceShown() {
    std::atexit(reportPeakMemory);
    QTimer::singleShot(0, reportWhenShown);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(quitOnceShown)
