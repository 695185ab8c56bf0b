#pragma once

#include "figure/figure_export.h"

#include <QImage>
#include <QObject>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

// What one picture of the explorer is drawn from: the drawing as it stands, the set-up the
// next run makes, and the candidate run over it.
struct FrameRequest {
    PlotJournal journal;
    TaggedValue Incr;
    FigureLook look;
    double ratio = 1.0;
    // None for a refused candidate: the drawing alone.
    std::optional<CurveConstants> candidate;
    std::int16_t colour = 0; // the colour cursor before the run
    // The drawing with the set-up, when it was made already.
    QImage base;
};

struct Frame {
    QImage base;    // the drawing with the set-up, to keep for the next frames
    QImage picture; // with the candidate over it
};

// The passes a frame makes: the drawing's, unless it is given, and the candidate's.
std::int64_t framePasses(const FrameRequest& request);

// Draws the frame as the plot window would after the run; none when the progress stopped it.
std::optional<Frame> drawFrame(const FrameRequest& request, ProgressReport* progress = nullptr);

// The explorer's picture, kept up to date as the candidate changes: a short frame is drawn at
// once, a long one on a worker thread, and a newer request stops the frame under way, so the
// latest one wins and the interface never waits. The drawing without the candidate is kept
// until forgetDrawing().
class LatestFrame : public QObject {
    Q_OBJECT
public:
    explicit LatestFrame(QObject* parent = nullptr);
    ~LatestFrame() override;

    // request.base is filled in from the kept drawing.
    void draw(FrameRequest request);
    // The drawing or its set-up changed.
    void forgetDrawing() { base_ = {}; }
    const QImage& picture() const { return picture_; }
    // Whether a frame is still being drawn on the worker.
    bool drawing() const { return awaited_ != 0; }

signals:
    // The picture changed.
    void pictureChanged();

private:
    void work();
    void take(std::uint64_t generation, const Frame& frame);

    QImage base_;
    QImage picture_;
    std::uint64_t awaited_ = 0; // the worker's frame the picture waits for, 0 for none
    // Shared with the worker: the latest request and its number; a frame whose number is no
    // longer the latest stops.
    std::mutex mutex_;
    std::condition_variable wake_;
    struct Numbered {
        std::uint64_t generation = 0;
        FrameRequest request;
    };
    std::optional<Numbered> next_;
    std::atomic<std::uint64_t> latest_ = 0;
    bool ending_ = false;
    std::thread worker_;
};
