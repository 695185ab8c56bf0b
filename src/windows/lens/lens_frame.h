#pragma once

#include "figure/zoomed_view.h"

#include "core/latest_wins.h"

#include <QObject>

// What one picture of the lens is drawn from.
struct LensRequest {
    PlotJournal journal;
    FigureLook look;
    double ratio = 1.0;
    LensView view;
};

// The lens's picture, kept up to date as the view changes: a short journal is drawn at once,
// a long one on a worker thread, and a newer view stops the one under way, so the latest view
// wins and the interface never waits.
class LatestLens : public QObject {
    Q_OBJECT
public:
    explicit LatestLens(QObject* parent = nullptr);

    void draw(LensRequest request);
    const LensPicture& picture() const { return picture_; }
    // The view the picture shows.
    const LensView& shownView() const { return shown_; }
    // Whether a picture is still being drawn on the worker.
    bool drawing() const { return pictures_.waiting(); }

    // A picture with the view it shows.
    struct Shown {
        LensPicture picture;
        LensView view;
    };

signals:
    void pictureChanged();

private:
    void take(const Shown& shown);

    LensPicture picture_;
    LensView shown_;
    // Last, so that its worker stops before the pictures go.
    LatestWins<LensRequest, Shown> pictures_;
};
