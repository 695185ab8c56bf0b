#pragma once

#include "figure/zoomed_view.h"

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

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
    ~LatestLens() override;

    void draw(LensRequest request);
    const LensPicture& picture() const { return picture_; }
    // The view the picture shows.
    const LensView& shownView() const { return shown_; }
    // Whether a picture is still being drawn on the worker.
    bool drawing() const { return awaited_ != 0; }

signals:
    void pictureChanged();

private:
    void work();
    void take(std::uint64_t generation, const LensPicture& picture, const LensView& view);

    LensPicture picture_;
    LensView shown_;
    std::uint64_t awaited_ = 0; // the worker's picture the lens waits for, 0 for none
    // Shared with the worker: the latest request and its number.
    std::mutex mutex_;
    std::condition_variable wake_;
    struct Numbered {
        std::uint64_t generation = 0;
        LensRequest request;
    };
    std::optional<Numbered> next_;
    std::atomic<std::uint64_t> latest_ = 0;
    bool ending_ = false;
    std::thread worker_;
};
