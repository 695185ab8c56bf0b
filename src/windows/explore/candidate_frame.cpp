#include "windows/explore/candidate_frame.h"

#include "core/worker.h"
#include "surface/image_surface.h"

namespace {

// Passes the reports on, and remembers whether it said stop.
class StopNoter : public ProgressReport {
public:
    explicit StopNoter(ProgressReport* progress) : progress_(progress) {}
    bool update(std::int64_t done, std::int64_t total) override {
        stopped = stopped || (progress_ && !progress_->update(done, total));
        return !stopped;
    }
    bool stopped = false;

private:
    ProgressReport* progress_ = nullptr;
};

// Goes on while its frame is the latest one asked for.
class StopWhenStale : public ProgressReport {
public:
    StopWhenStale(const std::atomic<std::uint64_t>& latest, std::uint64_t mine)
        : latest_(latest), mine_(mine) {}
    bool update(std::int64_t, std::int64_t) override { return latest_ == mine_; }
    Caller caller() const override { return Caller::AnyThread; }

private:
    const std::atomic<std::uint64_t>& latest_;
    std::uint64_t mine_ = 0;
};

QImage drawBase(const FrameRequest& request, ProgressReport* progress) {
    PlotJournal journal = request.journal;
    journal.recordSetUp(request.Incr);
    return renderFigureImage(journal, request.look, request.ratio, progress);
}

} // namespace

std::int64_t framePasses(const FrameRequest& request) {
    PlotJournal counted;
    if (request.base.isNull())
        counted = request.journal;
    if (request.candidate)
        counted.recordRun(PlotRun{*request.candidate, LinkingLines::Off, 0, std::nullopt, {}});
    return passesToReplay(counted);
}

std::optional<Frame> drawFrame(const FrameRequest& request, ProgressReport* progress) {
    Frame frame{request.base.isNull() ? drawBase(request, progress) : request.base, {}};
    if (frame.base.isNull())
        return std::nullopt;
    if (!request.candidate) {
        frame.picture = frame.base;
        return frame;
    }
    // The set-up again on a copy of the drawing: its axes fall on themselves, and the run
    // takes its scale and origin.
    ImageSurface surface;
    surface.setColours(request.look.foreground, request.look.background);
    surface.setArea(request.look.logicalSize, request.ratio, request.look.logicalDpi);
    surface.replaceWith(frame.base);
    PlotVariables plot;
    setUpPlotWindow(surface, plot, request.Incr);
    std::int16_t colour = request.colour;
    StopNoter noter(progress);
    runCurveGenerator(*request.candidate, LinkingLines::Off, colour, plot, surface, &noter);
    if (noter.stopped)
        return std::nullopt;
    surface.flush();
    frame.picture = surface.snapshot();
    return frame;
}

LatestFrame::LatestFrame(QObject* parent) : QObject(parent) {}

LatestFrame::~LatestFrame() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
        ++latest_; // stops the frame under way
    }
    wake_.notify_one();
    if (worker_.joinable())
        worker_.join();
}

void LatestFrame::draw(FrameRequest request) {
    request.base = base_;
    if (double(framePasses(request)) < passesForWorker) {
        ++latest_; // stops the frame under way
        awaited_ = 0;
        if (std::optional<Frame> frame = drawFrame(request))
            take(0, *frame);
        return;
    }
    {
        // Numbered and handed over together, so the worker never pairs one with the other's.
        const std::lock_guard lock(mutex_);
        awaited_ = ++latest_;
        next_ = Numbered{awaited_, std::move(request)};
    }
    if (!worker_.joinable())
        worker_ = std::thread(&LatestFrame::work, this);
    wake_.notify_one();
}

void LatestFrame::work() {
    for (;;) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return ending_ || next_; });
        if (ending_)
            return;
        const Numbered next = std::move(*next_);
        next_.reset();
        lock.unlock();
        StopWhenStale stale(latest_, next.generation);
        std::optional<Frame> frame = drawFrame(next.request, &stale);
        if (frame && latest_ == next.generation)
            QMetaObject::invokeMethod(
                this,
                [this, generation = next.generation, made = std::move(*frame)] {
                    take(generation, made);
                },
                Qt::QueuedConnection);
    }
}

void LatestFrame::take(std::uint64_t generation, const Frame& frame) {
    if (generation != awaited_)
        return; // a newer frame was asked for meanwhile
    awaited_ = 0;
    base_ = frame.base;
    picture_ = frame.picture;
    emit pictureChanged();
}
