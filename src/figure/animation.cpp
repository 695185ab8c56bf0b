#include "figure/animation.h"

#include "core/number_text.h"
#include "figure/gif_file.h"
#include "figure/session_file.h"
#include "surface/image_surface.h"

#include <QStringList>
#include <array>
#include <cmath>

namespace {

const std::array<const char*, 4> constantNames{"oa", "angle", "n", "incr-t"};

// How near to the end a value must come, in steps, to be the end: rounding leaves
// 0 + 3 × 0.1 at 0.30000000000000004, which is meant as 0.3.
constexpr double endTolerance = 1e-9;

bool pastEnd(const Animation& animation, std::int64_t frame) {
    return animation.from + double(frame) * animation.step >
           animation.to + endTolerance * animation.step;
}

// The frames of a range, or most + 1 when there are more than most. The quotient gives the
// count to within one; the values themselves settle it.
std::int64_t countUpTo(const Animation& animation, std::int64_t most) {
    const double steps = (animation.to - animation.from) / animation.step;
    if (!(steps < double(most)))
        return most + 1;
    auto count = static_cast<std::int64_t>(std::floor(steps + endTolerance)) + 1;
    while (count > 1 && pastEnd(animation, count - 1))
        --count;
    while (count <= most && !pastEnd(animation, count))
        ++count;
    return count;
}

TaggedValue& constantOf(CurveConstants& constants, AnimatedConstant which) {
    switch (which) {
    case AnimatedConstant::OA:
        return constants.VALa;
    case AnimatedConstant::Angle:
        return constants.VALb;
    case AnimatedConstant::N:
        return constants.VALc;
    case AnimatedConstant::IncrementT:
        break;
    }
    return constants.VALe;
}

void showConstants(SessionControls& controls, const CurveConstants& constants) {
    controls.constants = {constants.VALa, constants.VALb, constants.VALc, constants.VALe};
    controls.constantTexts = typedTextsFor(constants);
}

} // namespace

QString nameOf(AnimatedConstant constant) {
    return QString::fromLatin1(constantNames[std::size_t(constant)]);
}

std::optional<AnimatedConstant> animatedConstantNamed(const QString& name) {
    for (std::size_t index = 0; index < constantNames.size(); ++index)
        if (name == QLatin1String(constantNames[index]))
            return AnimatedConstant(index);
    return std::nullopt;
}

QString animatedConstantNames() {
    return QStringLiteral("oa, angle, n o incr-t");
}

std::optional<QString> animationFault(const Animation& animation) {
    const Animation& a = animation;
    if (!std::isfinite(a.from) || !std::isfinite(a.to) || !std::isfinite(a.step))
        return QStringLiteral("un valore non è finito");
    if (a.from > a.to)
        return QStringLiteral("l'inizio supera la fine");
    if (a.step == 0.0)
        return QStringLiteral("il passo è zero");
    if (a.step < 0.0)
        return QStringLiteral("il passo è negativo");
    if (a.from + a.step == a.from && a.from != a.to)
        return QStringLiteral("il passo è troppo piccolo per l'inizio");
    if (countUpTo(a, mostAnimationFrames) > mostAnimationFrames)
        return QStringLiteral("troppi fotogrammi (al massimo %1)").arg(mostAnimationFrames);
    if (a.framesPerSecond < 1 || a.framesPerSecond > mostFramesPerSecond)
        return QStringLiteral("i fotogrammi al secondo vanno da 1 a %1").arg(mostFramesPerSecond);
    return std::nullopt;
}

std::int64_t frameCount(const Animation& animation) {
    return countUpTo(animation, mostAnimationFrames);
}

double frameValue(const Animation& animation, std::int64_t frame) {
    const double value = animation.from + double(frame) * animation.step;
    if (std::abs(value - animation.to) <= endTolerance * animation.step)
        return animation.to;
    return value;
}

CurveConstants frameConstants(const AnimationJob& job, std::int64_t frame) {
    CurveConstants constants = job.run;
    constantOf(constants, job.animation.constant) =
        TaggedValue::fromDouble(frameValue(job.animation, frame));
    return constants;
}

FrameSession frameSession(const AnimationJob& job, std::int64_t frame) {
    FrameSession session{job.controls, job.history};
    const bool accumulate = job.animation.accumulation == Accumulation::On;
    for (std::int64_t shown = accumulate ? 0 : frame; shown <= frame; ++shown) {
        const CurveConstants constants = frameConstants(job, shown);
        session.history.push_back(PlotSetUp{job.controls.Incr});
        session.history.push_back(PlotRun{constants, job.animation.lines, session.controls.Miocolor,
                                          std::nullopt, typedTextsFor(constants)});
        session.controls.Miocolor = advanceCursor(session.controls.Miocolor);
    }
    showConstants(session.controls, frameConstants(job, frame));
    return session;
}

Recipe frameRecipe(const AnimationJob& job, std::int64_t frame) {
    const FrameSession session = frameSession(job, frame);
    return encodeSession(session.controls, session.history, job.animation);
}

Recipe animationRecipe(const AnimationJob& job) {
    SessionControls controls = job.controls;
    showConstants(controls, job.run);
    return encodeSession(controls, job.history, job.animation);
}

namespace {

// Stops a run at its first report: by then it has started, or said why it would not.
class StopAtOnce : public ProgressReport {
public:
    bool update(std::int64_t, std::int64_t) override { return false; }
};

} // namespace

std::optional<QString> firstRefusedFrame(const AnimationJob& job) {
    DrawingSurface nowhere;
    PlotVariables plot;
    setUpPlotWindow(nowhere, plot, job.controls.Incr);
    StopAtOnce stop;
    const std::int64_t count = frameCount(job.animation);
    for (std::int64_t frame = 0; frame < count; ++frame) {
        std::int16_t colour = job.controls.Miocolor;
        PlotVariables scratch = plot;
        if (const std::optional<QString> message = runCurveGenerator(
                frameConstants(job, frame), job.animation.lines, colour, scratch, nowhere, &stop))
            return QStringLiteral("il fotogramma %1 (%2 = %3): %4")
                .arg(frame + 1)
                .arg(nameOf(job.animation.constant),
                     shortestNumberText(frameValue(job.animation, frame)), message->trimmed());
    }
    return std::nullopt;
}

namespace {

// Passes a run's reports on, noting whether one of them said stop.
class NotingStop : public ProgressReport {
public:
    explicit NotingStop(ProgressReport* inner) : inner_(inner) {}
    bool update(std::int64_t done, std::int64_t total) override {
        stopped = stopped || !inner_->update(done, total);
        return !stopped;
    }
    Caller caller() const override { return inner_->caller(); }
    Events refresh() override { return inner_->refresh(); }

    bool stopped = false;

private:
    ProgressReport* inner_ = nullptr;
};

} // namespace

// The surface the frames are drawn on, with the plot window's variables; without
// accumulation, also the base each frame starts from, with the set-up drawn on it once, and
// the area in which the frame before differed from it.
class FrameRenderer::Surface {
public:
    ImageSurface image;
    PlotVariables plot;
    std::int16_t colour = 0;
    QImage base;
    PlotVariables basePlot;
    QRect offBase;
    QImage frame; // the visible part, when the buffer is larger
};

FrameRenderer::FrameRenderer(const AnimationJob& job, ProgressReport* progress)
    : job_(job), surface_(std::make_unique<Surface>()) {
    Surface& surface = *surface_;
    surface.image.setColours(job.look.foreground, job.look.background);
    surface.image.setArea(job.look.logicalSize, job.scale, job.look.logicalDpi);
    if (replayJournal(journalOf(job.history), surface.image, progress, &surface.plot) ==
        Replay::Stopped) {
        spent_ = true;
        return;
    }
    surface.colour = job.controls.Miocolor;
    if (job.animation.accumulation == Accumulation::Off) {
        // Every frame's set-up draws its axes over themselves: drawn on the base once, a
        // frame differs from the base only where its run draws.
        surface.basePlot = surface.plot;
        PlotVariables scratch = surface.plot;
        setUpPlotWindow(surface.image, scratch, job.controls.Incr);
        surface.image.flush();
        surface.base = surface.image.buffer().copy();
    }
}

FrameRenderer::~FrameRenderer() = default;

const QImage& FrameRenderer::nextInPlace(ProgressReport* progress) {
    Surface& surface = *surface_;
    const bool alone = job_.animation.accumulation == Accumulation::Off;
    if (alone) {
        surface.image.replaceWithin(surface.base, surface.offBase);
        surface.plot = surface.basePlot;
        surface.colour = job_.controls.Miocolor;
    }
    // As an activation of the plot window: its set-up, then the run.
    setUpPlotWindow(surface.image, surface.plot, job_.controls.Incr);
    NotingStop noting(progress);
    runCurveGenerator(frameConstants(job_, made_), job_.animation.lines, surface.colour,
                      surface.plot, surface.image, progress ? &noting : nullptr);
    if (noting.stopped) {
        surface.frame = QImage();
        return surface.frame;
    }
    surface.image.flush();
    const QImage& buffer = surface.image.buffer();
    const QRect whole = buffer.rect();
    if (alone) {
        const QRect offBase = differingBox(surface.base, buffer, whole);
        changed_ = made_ == 0 ? whole : offBase | surface.offBase;
        surface.offBase = offBase;
    } else {
        changed_ = whole; // the set-up's axes go over the runs before, anywhere along them
    }
    ++made_;
    const QSize visible = (QSizeF(job_.look.logicalSize) * job_.scale).toSize();
    if (buffer.size() == visible)
        return buffer;
    changed_ = QRect(QPoint(0, 0), visible);
    surface.frame = surface.image.snapshot();
    return surface.frame;
}

QImage FrameRenderer::next(ProgressReport* progress) {
    const QImage& picture = nextInPlace(progress);
    // A copy of its own: the surface writes into its buffer behind the image's sharing.
    return &picture == &surface_->image.buffer() ? picture.copy() : picture;
}
