#include "windows/explore/animation_player.h"

#include "core/worker.h"
#include "figure/replay.h"

#include <algorithm>

AnimationPlayer::AnimationPlayer(QObject* parent)
    : QObject(parent),
      frames_(*this, &AnimationPlayer::draw, [this](const QImage& picture) { show(picture); }) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &AnimationPlayer::step);
}

AnimationPlayer::~AnimationPlayer() = default;

void AnimationPlayer::play(const AnimationJob& job, Repeat repeat) {
    frames_.forget();
    rendering_ = std::make_shared<Rendering>(job);
    repeat_ = repeat;
    count_ = ::frameCount(job.animation);
    setFramesPerSecond(job.animation.framesPerSecond);
    setState(PlayerState::Playing);
    showNext();
}

void AnimationPlayer::step() {
    if (state_ == PlayerState::Playing)
        showNext();
}

std::optional<QImage> AnimationPlayer::draw(const std::shared_ptr<Rendering>& rendering,
                                            ProgressReport* progress) {
    std::unique_ptr<FrameRenderer>& renderer = rendering->renderer;
    if (!renderer || renderer->framesMade() >= ::frameCount(rendering->job.animation))
        renderer = std::make_unique<FrameRenderer>(rendering->job, progress);
    QImage picture = renderer->spent() ? QImage() : renderer->next(progress);
    if (picture.isNull()) {
        renderer.reset(); // stopped half-way
        return std::nullopt;
    }
    return picture;
}

// A frame still being drawn lets the ticks pass until it is shown.
void AnimationPlayer::showNext() {
    if (frames_.waiting())
        return;
    const FrameRenderer* renderer = rendering_->renderer.get();
    const bool fresh = !renderer || renderer->framesMade() >= count_;
    const std::int64_t frame = fresh ? 0 : renderer->framesMade();
    PlotJournal drawn = fresh ? journalOf(rendering_->job.history) : PlotJournal();
    drawn.recordRun(PlotRun{frameConstants(rendering_->job, frame),
                            rendering_->job.animation.lines,
                            0,
                            std::nullopt,
                            {}});
    frames_.ask(rendering_, double(passesToReplay(drawn)) >= passesForWorker
                                ? Frames::Length::Long
                                : Frames::Length::Short);
}

void AnimationPlayer::show(const QImage& picture) {
    picture_ = picture;
    frame_ = rendering_->renderer->framesMade() - 1;
    emit frameShown();
    if (frame_ == count_ - 1 && repeat_ == Repeat::Once)
        setState(PlayerState::Ended);
}

void AnimationPlayer::togglePause() {
    switch (state_) {
    case PlayerState::Stopped:
        break;
    case PlayerState::Playing:
        setState(PlayerState::Paused);
        break;
    case PlayerState::Paused:
        setState(PlayerState::Playing);
        break;
    case PlayerState::Ended:
        setState(PlayerState::Playing);
        showNext();
        break;
    }
}

void AnimationPlayer::stop() {
    if (state_ == PlayerState::Stopped)
        return;
    frames_.forget();
    rendering_.reset();
    picture_ = {};
    frame_ = -1;
    count_ = 0;
    setState(PlayerState::Stopped);
}

void AnimationPlayer::setFramesPerSecond(int rate) {
    timer_.setInterval(1000 / std::clamp(rate, 1, mostFramesPerSecond));
}

void AnimationPlayer::setState(PlayerState state) {
    if (state == PlayerState::Playing)
        timer_.start();
    else
        timer_.stop();
    if (state == state_)
        return;
    state_ = state;
    emit stateChanged();
}
