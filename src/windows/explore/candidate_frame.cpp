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

LatestFrame::LatestFrame(QObject* parent)
    : QObject(parent),
      frames_(*this, [](const FrameRequest& request,
                        ProgressReport* progress) { return drawFrame(request, progress); },
              [this](const Frame& frame) { take(frame); }) {}

void LatestFrame::draw(FrameRequest request) {
    request.base = base_;
    const bool longFrame = double(framePasses(request)) >= passesForWorker;
    frames_.ask(std::move(request), longFrame ? LatestWins<FrameRequest, Frame>::Length::Long
                                              : LatestWins<FrameRequest, Frame>::Length::Short);
}

void LatestFrame::take(const Frame& frame) {
    base_ = frame.base;
    picture_ = frame.picture;
    emit pictureChanged();
}
