#include "windows/explore/animation_player.h"

#include <algorithm>

AnimationPlayer::AnimationPlayer(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &AnimationPlayer::step);
}

AnimationPlayer::~AnimationPlayer() = default;

void AnimationPlayer::play(const AnimationJob& job, Repeat repeat) {
    renderer_.reset();
    job_ = std::make_unique<AnimationJob>(job);
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

// A fresh renderer for each round: the frames only come in order.
void AnimationPlayer::showNext() {
    if (!renderer_ || renderer_->framesMade() >= count_)
        renderer_ = std::make_unique<FrameRenderer>(*job_);
    picture_ = renderer_->next();
    frame_ = renderer_->framesMade() - 1;
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
    renderer_.reset();
    job_.reset();
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
