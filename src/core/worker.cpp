#include "core/worker.h"

#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <thread>

namespace {

// How often the interface thread repaints and refreshes the progress while a worker runs.
constexpr int refreshMilliseconds = 50;

// Passes the progress on until the program ends under the task; then says stop.
class Abandonable : public ProgressReport {
public:
    explicit Abandonable(ProgressReport& progress) : progress_(progress) {}

    bool update(std::int64_t done, std::int64_t total) override {
        return progress_.update(done, total) && !abandoned_.load(std::memory_order_relaxed);
    }
    void abandon() { abandoned_.store(true, std::memory_order_relaxed); }
    Caller caller() const override { return progress_.caller(); }
    Events refresh() override { return progress_.refresh(); }

private:
    ProgressReport& progress_;
    std::atomic<bool> abandoned_{false};
};

QEventLoop::ProcessEventsFlags flagsFor(ProgressReport::Events events) {
    return events == ProgressReport::Events::All ? QEventLoop::AllEvents
                                                 : QEventLoop::ExcludeUserInputEvents;
}

} // namespace

void runOnWorker(ProgressReport& progress, const std::function<void(ProgressReport&)>& task,
                 const std::function<void()>& refreshed) {
    Abandonable reports(progress);
    QEventLoop loop;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        task(reports);
        finished.store(true);
        // By name: the posted call then holds nothing that this thread would have to free.
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    ProgressReport::Events events = progress.refresh();
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, [&] {
        if (refreshed)
            refreshed();
        const ProgressReport::Events now = progress.refresh();
        if (now != events) {
            events = now;
            loop.exit(); // to take up the new flags
        }
    });
    refresh.start(refreshMilliseconds);
    while (!finished.load()) {
        // An event loop refuses to run once the program is ending.
        if (loop.exec(flagsFor(events)) < 0) {
            reports.abandon();
            break;
        }
    }
    worker.join();
}
