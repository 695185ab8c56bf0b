#pragma once

// An animation of the drawing: one of the four constants swept over a range, a frame a value,
// on top of a session's drawing. The frames are sessions, each drawn as the plot window would
// draw it; nothing here holds more than one frame. No widgets.

#include "core/session.h"
#include "figure/figure_export.h"

#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// The constant that changes from frame to frame: VALa, VALb, VALc or VALe.
enum class AnimatedConstant { OA, Angle, N, IncrementT };

// Whether each frame keeps the runs of the frames before it, as successive "AVANTI" would.
enum class Accumulation { Off, On };

inline constexpr std::int64_t mostAnimationFrames = 100'000;
inline constexpr int mostFramesPerSecond = 50; // a GIF's delay is in hundredths of a second

// The parameter, its range and step, and how the frames follow one another.
struct Animation {
    AnimatedConstant constant = AnimatedConstant::OA;
    double from = 0.0;
    double to = 0.0;
    double step = 1.0;
    int framesPerSecond = 10;
    Accumulation accumulation = Accumulation::Off;
    LinkingLines lines = LinkingLines::Off; // of every frame's run
    bool operator==(const Animation&) const = default;
};

// The names of the command line and the session file: "oa", "angle", "n", "incr-t".
QString nameOf(AnimatedConstant constant);
std::optional<AnimatedConstant> animatedConstantNamed(const QString& name);
// "oa, angle, n o incr-t", for a message.
QString animatedConstantNames();

// What is wrong with the range, in a few Italian words: not finite, a start past the end, a
// step of 0 or below, more than mostAnimationFrames frames; nothing when it is good. Then
// also the frames per second, from 1 to mostFramesPerSecond.
std::optional<QString> animationFault(const Animation& animation);

// The values are from, from + step, … up to to. A value that rounding puts within a
// billionth of a step of to, on either side, is to itself: 0:0.3:0.1 has four frames, the
// last of them 0.3. Only for a range animationFault() accepts.
std::int64_t frameCount(const Animation& animation);
// Value k is from + k × step, worked out afresh for each frame, never by adding steps up.
double frameValue(const Animation& animation, std::int64_t frame);

// An animation over a session: the drawing of the base session, and the run whose constant
// changes (its other three constants).
struct AnimationJob {
    SessionControls controls; // the base session's, its colour cursor and Incr
    std::vector<SessionEntry> history;
    CurveConstants run; // the run the frames vary
    Animation animation;
    FigureLook look;
    int scale = 1; // device pixels per logical pixel of the frames
};

// The constants of frame k's run.
CurveConstants frameConstants(const AnimationJob& job, std::int64_t frame);

// The session that frame k shows: the base's history, then for each frame shown (the frame
// alone, or with accumulation every frame up to it) a set-up and its run, each run advancing
// the colour cursor; the constants window holds the frame's run.
struct FrameSession {
    SessionControls controls;
    std::vector<SessionEntry> history;
};
FrameSession frameSession(const AnimationJob& job, std::int64_t frame);

// A frame's recipe: its session with the animation. The whole animation's recipe is the
// base session with the animation, the constants window holding the run the frames vary.
Recipe frameRecipe(const AnimationJob& job, std::int64_t frame);
Recipe animationRecipe(const AnimationJob& job);

// The first frame whose run the plot window would refuse, with its message naming the frame;
// nothing when every frame's run would start.
std::optional<QString> firstRefusedFrame(const AnimationJob& job);

// Draws the frames one after the other, each as renderFigureImage() would draw its session,
// drawing only the frame's own runs on top of the frame before (or of the base).
class FrameRenderer {
public:
    // The figure under the frames is drawn here; a progress that says stop leaves the renderer
    // spent.
    explicit FrameRenderer(const AnimationJob& job, ProgressReport* progress = nullptr);
    ~FrameRenderer();
    FrameRenderer(const FrameRenderer&) = delete;
    FrameRenderer& operator=(const FrameRenderer&) = delete;

    // The next frame's picture, in device pixels, a copy of its own; frames come in order
    // from 0. A null picture when the progress said stop: the renderer is then spent.
    QImage next(ProgressReport* progress = nullptr);
    // The same without the copy: the picture lasts until the next call.
    const QImage& nextInPlace(ProgressReport* progress = nullptr);
    std::int64_t framesMade() const { return made_; }
    // Stopped while drawing the figure under the frames: no frame can come.
    bool spent() const { return spent_; }
    // The device pixels where the latest frame may differ from the one before: all of the
    // first.
    QRect changedArea() const { return changed_; }

private:
    class Surface;
    const AnimationJob& job_;
    std::unique_ptr<Surface> surface_;
    std::int64_t made_ = 0;
    QRect changed_;
    bool spent_ = false;
};
