#pragma once

// Plays an animation in the explorer: the frames are drawn one at a time, as the exported
// ones are, and shown at the animation's rate. A long frame is drawn on a worker thread and
// shown when it is ready; the ticks meanwhile pass, so the interface never waits. No widgets:
// a timer calls step(), and tests call it themselves.

#include "core/latest_wins.h"
#include "figure/animation.h"

#include <QImage>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>

// Whether the animation starts again after its last frame.
enum class Repeat { Once, Loop };

// Ended: the last frame of an animation played once stays shown.
enum class PlayerState { Stopped, Playing, Paused, Ended };

class AnimationPlayer : public QObject {
    Q_OBJECT
public:
    explicit AnimationPlayer(QObject* parent = nullptr);
    ~AnimationPlayer() override;

    // Plays the job from its first frame, which is shown at once. The range must be one
    // animationFault() accepts.
    void play(const AnimationJob& job, Repeat repeat);
    // The next frame; after the last one the first again, or the end.
    void step();
    // Pauses a playing animation, resumes a paused one and plays an ended one again.
    void togglePause();
    // Forgets the animation: nothing is shown.
    void stop();
    // The rate from now on, within 1 to mostFramesPerSecond.
    void setFramesPerSecond(int rate);

    PlayerState state() const { return state_; }
    // The frame shown, and its picture in device pixels; null while stopped.
    std::int64_t frame() const { return frame_; }
    std::int64_t frameCount() const { return count_; }
    const QImage& picture() const { return picture_; }
    // The animation played; only while not stopped.
    const AnimationJob& job() const { return rendering_->job; }
    const QTimer& timer() const { return timer_; }

signals:
    void frameShown();
    void stateChanged();

private:
    // The job and its frames, shared with the worker drawing one of them: a new animation
    // leaves the old one to the worker until it stops.
    struct Rendering {
        explicit Rendering(const AnimationJob& animated) : job(animated) {}
        const AnimationJob job;
        std::unique_ptr<FrameRenderer> renderer;
    };
    using Frames = LatestWins<std::shared_ptr<Rendering>, QImage>;

    void setState(PlayerState state);
    void showNext();
    void show(const QImage& picture);
    // Draws the rendering's next frame, a fresh renderer for each round: the frames only come
    // in order. None when the progress said stop.
    static std::optional<QImage> draw(const std::shared_ptr<Rendering>& rendering,
                                      ProgressReport* progress);

    std::shared_ptr<Rendering> rendering_;
    Repeat repeat_ = Repeat::Once;
    PlayerState state_ = PlayerState::Stopped;
    std::int64_t frame_ = -1;
    std::int64_t count_ = 0;
    QImage picture_;
    QTimer timer_;
    Frames frames_;
};
