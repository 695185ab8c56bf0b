#include "windows/lens/lens_frame.h"

#include "core/worker.h"

namespace {

// Goes on while its picture is the latest one asked for.
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

} // namespace

LatestLens::LatestLens(QObject* parent) : QObject(parent) {}

LatestLens::~LatestLens() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
        ++latest_; // stops the picture under way
    }
    wake_.notify_one();
    if (worker_.joinable())
        worker_.join();
}

void LatestLens::draw(LensRequest request) {
    if (double(passesToReplay(request.journal)) < passesForWorker) {
        ++latest_;
        awaited_ = 0;
        take(0, renderLens(request.journal, request.look, request.ratio, request.view),
             request.view);
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        awaited_ = ++latest_;
        next_ = Numbered{awaited_, std::move(request)};
    }
    if (!worker_.joinable())
        worker_ = std::thread(&LatestLens::work, this);
    wake_.notify_one();
}

void LatestLens::work() {
    for (;;) {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return ending_ || next_; });
        if (ending_)
            return;
        const Numbered next = std::move(*next_);
        next_.reset();
        lock.unlock();
        StopWhenStale stale(latest_, next.generation);
        LensPicture made = renderLens(next.request.journal, next.request.look,
                                      next.request.ratio, next.request.view, &stale);
        if (!made.image.isNull() && latest_ == next.generation)
            QMetaObject::invokeMethod(
                this,
                [this, generation = next.generation, made = std::move(made),
                 view = next.request.view] { take(generation, made, view); },
                Qt::QueuedConnection);
    }
}

void LatestLens::take(std::uint64_t generation, const LensPicture& picture, const LensView& view) {
    if (generation != awaited_ || picture.image.isNull())
        return; // a newer view was asked for meanwhile
    awaited_ = 0;
    picture_ = picture;
    shown_ = view;
    emit pictureChanged();
}
