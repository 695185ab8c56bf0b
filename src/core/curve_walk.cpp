// A little over the usual length: the pass and the watches that keep it cheap read best
// together.
#include "core/curve_walk.h"

#include "core/cosine_watch.h"
#include "core/numeric.h"
#include "core/palette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace curve_walk {

namespace {

struct Point {
    double x = 0.0;
    double y = 0.0;
};

// A candidate is drawn when both coordinates lie within the half-extents (equal is inside);
// a coordinate that is not finite is outside. The bounds are taken so that one comparison a
// coordinate says as much: a half-extent that is not a number or endless lets every finite
// coordinate in.
struct Bounds {
    explicit Bounds(const RunPlan& plan) : x(boundFor(plan.cx)), y(boundFor(plan.cy)) {}
    static double boundFor(double halfExtent) {
        return std::isnan(halfExtent) || halfExtent == std::numeric_limits<double>::infinity()
                   ? std::numeric_limits<double>::max()
                   : halfExtent;
    }
    bool within(Point point) const { return std::fabs(point.x) <= x && std::fabs(point.y) <= y; }

    double x = 0.0;
    double y = 0.0;
};

// What a pass needs of its t: it depends on A2 alone. The values are those of the pass
// steps, computed the same way, so they are the same to the last bit.
struct TurnOfT {
    enum class Cosine { NonZero, Zero };
    Cosine cosT = Cosine::NonZero;
    double stepX2 = 0.0; // Epsilon × cos(BETA1 × sin(t))
    double stepY2 = 0.0; // Epsilon × sin(BETA1 × sin(t))
};

std::int16_t A2at(std::int64_t alfa, const Increment& increment) {
    return static_cast<std::int16_t>(roundHalfEven(alfaTimesIncrement(alfa, increment)));
}

// The walk of one run: the last drawn point of each curve and the completed pairs. Its dots
// and lines go to the surface in blocks.
class CurveWalk {
public:
    CurveWalk(const RunPlan& plan, LinkingLines lines, std::int16_t& Miocolor, PlotVariables& plot,
              DrawingSurface& surface, ProgressReport* progress)
        : plan_(plan), bounds_(plan), lines_(lines), colour_(Miocolor), plot_(plot),
          surface_(surface), progress_(progress), cosAlfa_(plan.p1) {
        block_.dotWidth = 3;
        colours_ = {paletteColor(Miocolor), paletteColor(Miocolor + 1)};
    }

    void run();

private:
    std::int64_t stretch(std::int64_t alfa, std::int64_t end);
    std::int64_t passes(std::int64_t alfa, std::int64_t last);
    void takeTurn(std::int64_t alfa);
    std::int64_t nextChangeOfA2(std::int64_t alfa) const;
    void handOver() {
        surface_.drawBlock(block_);
        block_.clear();
    }

    const RunPlan& plan_;
    const Bounds bounds_;
    LinkingLines lines_;
    std::int16_t& colour_;
    PlotVariables& plot_;
    DrawingSurface& surface_;
    ProgressReport* progress_ = nullptr;
    CosineWatch cosAlfa_;
    Point last1_;
    Point last2_;
    int pairCount_ = 0;
    std::int16_t A2_ = 0;
    std::int64_t nextTurn_ = 0; // the first pass whose A2 may differ from A2_
    TurnOfT turn_;
    std::optional<Point> candidate1_;
    // The palette colours of Miocolor and Miocolor + 1, and of 1 and 2 for when it wraps.
    std::array<QRgb, 2> colours_{};
    const std::array<QRgb, 2> wrappedColours_{paletteColor(1), paletteColor(2)};
    DotBlock block_;
};

// The passes go in stretches that end where the progress hears of them.
void CurveWalk::run() {
    for (std::int64_t alfa = 0; alfa <= plan_.lastAlfa;) {
        const std::int64_t reportAfter = alfa | progressInterval;
        const std::int64_t end = std::min(reportAfter, plan_.lastAlfa);
        alfa = stretch(alfa, end);
        const bool stillInside = alfa > end;
        const std::int64_t lastMade = stillInside ? end : alfa;
        if (progress_ && lastMade == reportAfter &&
            !progress_->update(lastMade + 1, plan_.lastAlfa + 1))
            break; // stopped by the user: the variables are those of the last pass made
        if (stillInside)
            continue;
        // Curve 1 left the bounds: its step never changes, so every later pass computes the
        // same candidate and skips. Only the last pass's t is still left behind.
        A2_ = A2at(plan_.lastAlfa, plan_.increment);
        break;
    }
    if (!block_.empty())
        handOver();
    if (plan_.lastAlfa >= 0)
        plot_.A2 = A2_;
    if (candidate1_) {
        plot_.X1 = TaggedValue::fromDouble(candidate1_->x);
        plot_.Y1 = TaggedValue::fromDouble(candidate1_->y);
    }
}

// The passes alfa ... end; returns the pass at which curve 1 left the bounds, or end + 1.
// Between the passes that need a call (a new t, a pass next to a zero of cos(ALFA × P1), a
// full block) the passes go in runs that need none.
std::int64_t CurveWalk::stretch(std::int64_t alfa, const std::int64_t end) {
    while (alfa <= end) {
        if (alfa >= nextTurn_)
            takeTurn(alfa);
        if (block_.dotCount + 2 > DotBlock::capacity || block_.lineCount == block_.lines.size())
            handOver();
        std::int64_t last = std::min(end, nextTurn_ - 1);
        if (alfa >= cosAlfa_.clearBefore()) {
            if (cosAlfa_.isZero(alfa)) {
                ++alfa;
                continue;
            }
            last = alfa;
        } else {
            last = std::min(last, cosAlfa_.clearBefore() - 1);
        }
        // Room in the block for two dots and a line a pass.
        const auto room = static_cast<std::int64_t>(
            std::min((DotBlock::capacity - block_.dotCount) / 2,
                     block_.lines.size() - block_.lineCount));
        last = std::min(last, alfa + room - 1);
        const std::int64_t next = passes(alfa, last);
        if (next <= last)
            return next; // curve 1 left the bounds
        alfa = next;
    }
    return alfa;
}

// The passes alfa ... last, in the order of their steps, none of which needs a call: t stays,
// cos(ALFA × P1) is not zero, the block has room. Everything a pass touches is held in
// locals, which then stay in registers. Returns the pass at which curve 1 left the bounds,
// or last + 1.
std::int64_t CurveWalk::passes(std::int64_t alfa, const std::int64_t last) {
    if (turn_.cosT == TurnOfT::Cosine::Zero)
        return last + 1;
    Point last1 = last1_, last2 = last2_;
    const Point step1{plan_.stepX1, plan_.stepY1};
    const Point step2{turn_.stepX2, turn_.stepY2};
    const double cx = plan_.cx, cy = plan_.cy;
    const Bounds bounds = bounds_;
    const bool lines = lines_ == LinkingLines::On;
    std::int16_t colour = colour_;
    QRgb colour1 = colours_[0], colour2 = colours_[1];
    int pairCount = pairCount_;
    std::size_t dots = block_.dotCount;
    const auto addDot = [&](Point point, QRgb dotColour) {
        block_.x[dots] = static_cast<float>(cx + point.x);
        block_.y[dots] = static_cast<float>(cy - point.y);
        block_.colour[dots] = dotColour;
        ++dots;
    };
    bool reachedCurve1 = alfa <= last;
    for (; alfa <= last; ++alfa) {
        const Point point1{step1.x + last1.x, step1.y + last1.y};
        if (!bounds.within(point1)) [[unlikely]] {
            candidate1_ = point1;
            reachedCurve1 = false;
            break;
        }
        addDot(point1, colour1);
        last1 = point1;
        const Point point2{step2.x + last2.x, step2.y + last2.y};
        if (!bounds.within(point2)) [[unlikely]]
            continue;
        addDot(point2, colour2);
        last2 = point2;
        if (lines && pairCount++ == 4) [[unlikely]] {
            pairCount = 0;
            block_.lines[block_.lineCount++] = {
                dots,
                static_cast<float>(cx + point1.x),
                static_cast<float>(cy - point1.y),
                static_cast<float>(cx + point2.x),
                static_cast<float>(cy - point2.y),
                colour2};
        }
        if (colour == 14) [[unlikely]] {
            colour = 1;
            colour1 = wrappedColours_[0];
            colour2 = wrappedColours_[1];
        }
    }
    if (reachedCurve1)
        candidate1_ = last1;
    last1_ = last1;
    last2_ = last2;
    colour_ = colour;
    colours_ = {colour1, colour2};
    pairCount_ = pairCount;
    block_.dotCount = dots;
    return alfa;
}

// A2 and what depends on it, worked out again only where A2 can change.
void CurveWalk::takeTurn(std::int64_t alfa) {
    const std::int16_t A2 = A2at(alfa, plan_.increment);
    if (A2 != A2_ || alfa == 0) {
        const double t = static_cast<double>(static_cast<float>(A2) * plan_.p1);
        const double direction = plan_.beta1 * std::sin(t);
        turn_ = {std::cos(t) == 0.0 ? TurnOfT::Cosine::Zero : TurnOfT::Cosine::NonZero,
                 plan_.epsilon * std::cos(direction), plan_.epsilon * std::sin(direction)};
    }
    A2_ = A2;
    nextTurn_ = nextChangeOfA2(alfa);
}

// ALFA × increment never turns back, and neither does its rounding, so when the pass before
// a guessed change still has this A2, so has every pass up to it. The guess stops short of
// ALFA = 32768, where the product changes from single to double.
std::int64_t CurveWalk::nextChangeOfA2(std::int64_t alfa) const {
    const double increment = plan_.increment.value;
    double guess = static_cast<double>(plan_.lastAlfa) + 1.0;
    if (increment != 0.0) {
        const double half = increment > 0 ? 0.5 : -0.5;
        guess = std::min(guess, std::floor((A2_ + half) / increment) - 1.0);
    }
    if (alfa <= int16Max)
        guess = std::min(guess, static_cast<double>(int16Max + 1));
    if (!(guess > static_cast<double>(alfa + 1)))
        return alfa + 1;
    const auto candidate = static_cast<std::int64_t>(guess);
    return A2at(candidate - 1, plan_.increment) == A2_ ? candidate : alfa + 1;
}

} // namespace

void walkCurves(const RunPlan& plan, LinkingLines lines, std::int16_t& Miocolor,
                PlotVariables& plot, DrawingSurface& surface, ProgressReport* progress) {
    CurveWalk(plan, lines, Miocolor, plot, surface, progress).run();
}

} // namespace curve_walk
