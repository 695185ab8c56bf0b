#pragma once

#include "figure/figure_export.h"

#include "core/latest_wins.h"

#include <QImage>
#include <QObject>
#include <cstdint>
#include <optional>

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

    // request.base is filled in from the kept drawing.
    void draw(FrameRequest request);
    // The drawing or its set-up changed.
    void forgetDrawing() { base_ = {}; }
    const QImage& picture() const { return picture_; }
    // Whether a frame is still being drawn on the worker.
    bool drawing() const { return frames_.waiting(); }

signals:
    // The picture changed.
    void pictureChanged();

private:
    void take(const Frame& frame);

    QImage base_;
    QImage picture_;
    // Last, so that its worker stops before the pictures go.
    LatestWins<FrameRequest, Frame> frames_;
};
