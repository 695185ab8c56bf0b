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

// A coordinate that is not finite is outside. The bounds are taken so that one comparison a
// coordinate says as much: a half-extent that is not a number or endless lets every finite
// coordinate in.
double boundFor(double halfExtent) {
    return std::isnan(halfExtent) || halfExtent == std::numeric_limits<double>::infinity()
               ? std::numeric_limits<double>::max()
               : halfExtent;
}

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

// The walk of one run: the last drawn point of each curve and the completed pairs. The
// surface draws it a section at a time, from one progress report to the next, in stretches
// that the walk finds: where t changes, and around the passes where cos(ALFA × P1) is zero.
class CurveWalk : public PassSection {
public:
    CurveWalk(const RunPlan& plan, LinkingLines lines, std::int16_t& Miocolor, PlotVariables& plot,
              DrawingSurface& surface, ProgressReport* progress)
        : plan_(plan), colour_(Miocolor), plot_(plot), surface_(surface), progress_(progress),
          cosAlfa_(plan.p1) {
        constants_ = {plan.stepX1,
                      plan.stepY1,
                      plan.cx,
                      plan.cy,
                      boundFor(plan.cx),
                      boundFor(plan.cy),
                      lines == LinkingLines::On,
                      3,
                      paletteColor(1),
                      paletteColor(2)};
        state_.colour = Miocolor;
        state_.colour1 = paletteColor(Miocolor);
        state_.colour2 = paletteColor(Miocolor + 1);
    }

    void run();

    const WalkConstants& constants() const override { return constants_; }
    WalkState& state() override { return state_; }
    bool nextStretch(Stretch& stretch) override;
    void stretchMade(std::int64_t next, double candidateX, double candidateY) override;

private:
    void takeTurn(std::int64_t alfa);
    std::int64_t nextChangeOfA2(std::int64_t alfa) const;

    const RunPlan& plan_;
    WalkConstants constants_;
    WalkState state_;
    std::int16_t& colour_;
    PlotVariables& plot_;
    DrawingSurface& surface_;
    ProgressReport* progress_ = nullptr;
    CosineWatch cosAlfa_;
    std::int16_t A2_ = 0;
    std::int64_t nextTurn_ = 0; // the first pass whose A2 may differ from A2_
    TurnOfT turn_;
    std::optional<Point> candidate1_;
    // The section being drawn: its next pass, its last, and the first pass from next_ on
    // whose cos(ALFA × P1) is zero (past end_ when none).
    std::int64_t next_ = 0;
    std::int64_t end_ = -1;
    std::int64_t zero_ = 0;
    bool left_ = false; // curve 1 left the bounds
};

// The passes go in sections that end where the progress hears of them.
void CurveWalk::run() {
    for (std::int64_t alfa = 0; alfa <= plan_.lastAlfa;) {
        const std::int64_t reportAfter = alfa | progressInterval;
        const std::int64_t end = std::min(reportAfter, plan_.lastAlfa);
        next_ = alfa;
        end_ = end;
        zero_ = cosAlfa_.nextZero(alfa, end);
        surface_.drawPasses(*this);
        alfa = next_;
        const bool stillInside = !left_;
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
    colour_ = state_.colour;
    if (plan_.lastAlfa >= 0)
        plot_.A2 = A2_;
    if (candidate1_) {
        plot_.X1 = TaggedValue::fromDouble(candidate1_->x);
        plot_.Y1 = TaggedValue::fromDouble(candidate1_->y);
    }
}

// Between the passes that need a call (a new t, a zero of cos(ALFA × P1)) the passes go in
// stretches that need none. A pass whose cos(t) is zero draws nothing either.
bool CurveWalk::nextStretch(Stretch& stretch) {
    while (!left_ && next_ <= end_) {
        if (next_ >= nextTurn_)
            takeTurn(next_);
        if (next_ == zero_) {
            zero_ = cosAlfa_.nextZero(++next_, end_);
            continue;
        }
        const std::int64_t last = std::min({end_, nextTurn_ - 1, zero_ - 1});
        if (turn_.cosT == TurnOfT::Cosine::Zero) {
            next_ = last + 1;
            continue;
        }
        stretch = {next_, last, turn_.stepX2, turn_.stepY2};
        next_ = last + 1; // unless curve 1 leaves
        return true;
    }
    return false;
}

void CurveWalk::stretchMade(std::int64_t next, double candidateX, double candidateY) {
    if (next < next_) {
        left_ = true;
        next_ = next;
        candidate1_ = Point{candidateX, candidateY};
        return;
    }
    candidate1_ = Point{state_.x1, state_.y1};
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
    double end = static_cast<double>(plan_.lastAlfa) + 1.0;
    if (alfa <= int16Max)
        end = std::min(end, static_cast<double>(int16Max + 1));
    double guess = end;
    if (increment != 0.0) {
        const double half = increment > 0 ? 0.5 : -0.5;
        guess = std::min(guess, std::floor((A2_ + half) / increment) - 1.0);
    }
    if (!(guess > static_cast<double>(alfa + 1)))
        return alfa + 1;
    auto candidate = static_cast<std::int64_t>(guess);
    if (A2at(candidate - 1, plan_.increment) != A2_)
        return alfa + 1;
    // The guess falls a pass or two short of the change: the passes up to it go in the same
    // stretch rather than in one of their own each.
    const auto last = static_cast<std::int64_t>(std::min(end, guess + 4.0));
    while (candidate < last && A2at(candidate, plan_.increment) == A2_)
        ++candidate;
    return candidate;
}

} // namespace

// The passes of each stretch in the order of their steps, their dots and lines put in a block
// that goes to the surface when it is full and at the section's end. Everything a pass
// touches is held in locals, which then stay in registers.
void drawInBlocks(PassSection& section, DrawingSurface& surface) {
    const WalkConstants& constants = section.constants();
    WalkState& state = section.state();
    DotBlock block;
    block.dotWidth = constants.dotWidth;
    const auto handOver = [&] {
        surface.drawBlock(block);
        block.clear();
    };
    const Point step1{constants.stepX1, constants.stepY1};
    const double cx = constants.cx, cy = constants.cy;
    const double boundX = constants.boundX, boundY = constants.boundY;
    const auto within = [&](Point point) {
        return std::fabs(point.x) <= boundX && std::fabs(point.y) <= boundY;
    };
    const bool lines = constants.lines;
    Stretch stretch;
    while (section.nextStretch(stretch)) {
        Point last1{state.x1, state.y1}, last2{state.x2, state.y2};
        const Point step2{stretch.stepX2, stretch.stepY2};
        std::int16_t colour = state.colour;
        QRgb colour1 = state.colour1, colour2 = state.colour2;
        int pairCount = state.pairCount;
        std::int64_t alfa = stretch.first;
        std::optional<Point> left;
        while (alfa <= stretch.last && !left) {
            if (block.dotCount + 2 > DotBlock::capacity || block.lineCount == block.lines.size())
                handOver();
            // Room in the block for two dots and a line a pass.
            const auto room = static_cast<std::int64_t>(std::min(
                (DotBlock::capacity - block.dotCount) / 2, block.lines.size() - block.lineCount));
            const std::int64_t last = std::min(stretch.last, alfa + room - 1);
            std::size_t dots = block.dotCount;
            const auto addDot = [&](Point point, QRgb dotColour) {
                block.x[dots] = static_cast<float>(cx + point.x);
                block.y[dots] = static_cast<float>(cy - point.y);
                block.colour[dots] = dotColour;
                ++dots;
            };
            for (; alfa <= last; ++alfa) {
                const Point point1{step1.x + last1.x, step1.y + last1.y};
                if (!within(point1)) [[unlikely]] {
                    left = point1;
                    break;
                }
                addDot(point1, colour1);
                last1 = point1;
                const Point point2{step2.x + last2.x, step2.y + last2.y};
                if (!within(point2)) [[unlikely]]
                    continue;
                addDot(point2, colour2);
                last2 = point2;
                if (lines && pairCount++ == 4) [[unlikely]] {
                    pairCount = 0;
                    block.lines[block.lineCount++] = {dots,
                                                      static_cast<float>(cx + point1.x),
                                                      static_cast<float>(cy - point1.y),
                                                      static_cast<float>(cx + point2.x),
                                                      static_cast<float>(cy - point2.y),
                                                      colour2};
                }
                if (colour == 14) [[unlikely]] {
                    colour = 1;
                    colour1 = constants.wrapped1;
                    colour2 = constants.wrapped2;
                }
            }
            block.dotCount = dots;
        }
        state = {last1.x, last1.y, last2.x, last2.y, pairCount, colour, colour1, colour2};
        section.stretchMade(alfa, left ? left->x : 0.0, left ? left->y : 0.0);
    }
    if (!block.empty())
        handOver();
}

void walkCurves(const RunPlan& plan, LinkingLines lines, std::int16_t& Miocolor,
                PlotVariables& plot, DrawingSurface& surface, ProgressReport* progress) {
    CurveWalk(plan, lines, Miocolor, plot, surface, progress).run();
}

} // namespace curve_walk
