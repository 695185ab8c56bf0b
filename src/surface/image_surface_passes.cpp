// The passes of a run walked straight into the buffer: the hot loop of the program.
//
// Why it is shaped so. A pass is a few additions; anything more per dot is what the run
// costs. So there is no block between the walk and the pixels, each point is worked on as one
// pair of lanes (x and y: SSE2, which every x86-64 has; plain doubles elsewhere), and a dot
// is only compared with the last dot of its own curve. The loop is written once for both kinds
// of lanes, and x86-64 builds both: a surface set to PassLanes::Plain walks the plain ones, so
// that they are checked there as well. Of a run of dots on the same anchor in
// the same colour only the last is written: it covers every pixel of the ones before, so they
// change nothing. A dot is written once the next dot of its curve is known to differ, which
// is one pass late, so whatever comes after it in the plain order waits as well: the line of
// a pass is handed on only at the next pass, after the dots before it. A curve without a dot
// at a pass has its waiting dot written at once, so no dot waits behind a later one.
// Every floating-point operation is the block walk's, in the same order (cy - y as
// cy + (-y), which IEEE 754 defines to be the same), so every point and anchor is the same
// to the last bit; tests/windows/plot/tst_fast_path.cpp checks it against the plain reading.
#include "surface/image_surface.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#if defined(__SSE2__) && (defined(__x86_64__) || defined(_M_X64)) && !defined(ZORPUN_SCALAR_PASSES)
#include <emmintrin.h>
#define ZORPUN_PASSES_SSE2 1
#endif

using curve_walk::PassSection;
using curve_walk::Stretch;
using curve_walk::WalkConstants;
using curve_walk::WalkState;
using raster::LineKey;

namespace {

// An anchor's row and column in one number (the row in the high half); `nowhere` is no
// anchor of a dot near the image.
constexpr std::int64_t nowhere = std::numeric_limits<std::int64_t>::min();

int anchorX(std::int64_t anchor) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(anchor & 0xffffffff));
}
int anchorY(std::int64_t anchor) {
    return static_cast<std::int32_t>(anchor >> 32);
}

// Plain doubles, which every CPU has: each operation is the vector lanes' own, lane by lane.
namespace plain_lanes {

std::int64_t packAnchor(int x, int y) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(static_cast<std::uint32_t>(y))
                                         << 32 |
                                     static_cast<std::uint32_t>(x));
}

struct Pair {
    double x;
    double y;
    static Pair of(double x, double y) { return {x, y}; }
};
Pair operator+(Pair a, Pair b) {
    return {a.x + b.x, a.y + b.y};
}
Pair operator*(Pair a, Pair b) {
    return {a.x * b.x, a.y * b.y};
}
double xOf(Pair p) {
    return p.x;
}
double yOf(Pair p) {
    return p.y;
}
int within(Pair p, Pair bound) {
    return (std::fabs(p.x) <= bound.x ? 1 : 0) | (std::fabs(p.y) <= bound.y ? 2 : 0);
}
// The nearest single to a position, as a double. GCC 12 pairs the two lanes' round trips
// into vector conversions and then drops them, as if a double survived a single unchanged;
// an empty asm on the single keeps each rounding.
double single(double position) {
    float rounded = static_cast<float>(position);
#if defined(__GNUC__) && !defined(__clang__)
    asm("" : "+g"(rounded));
#endif
    return static_cast<double>(rounded);
}
Pair windowSingles(Pair p, Pair centre) {
    return {single(centre.x + p.x), single(centre.y - p.y)};
}
int between(Pair p, Pair low, Pair high) {
    return (p.x > low.x && p.x < high.x ? 1 : 0) | (p.y > low.y && p.y < high.y ? 2 : 0);
}
bool bothWithin(Pair a, Pair b, Pair bound) {
    return (within(a, bound) & within(b, bound)) == 3;
}
std::int64_t anchorOf(Pair p) {
    constexpr double reach = 2147483647.0;
    if (!(std::fabs(p.x) < reach && std::fabs(p.y) < reach))
        return nowhere; // never near the image: not looked at
    return packAnchor(raster::floorToInt(p.x), raster::floorToInt(p.y));
}

struct Quad {
    std::int64_t anchor1;
    std::int64_t anchor2;
    static Quad of(std::int64_t first, std::int64_t second) { return {first, second}; }
    static Quad none() { return {nowhere, nowhere}; }
};
std::int64_t truncation(Pair p) {
    constexpr double reach = 2147483647.0;
    if (!(std::fabs(p.x) < reach && std::fabs(p.y) < reach))
        return nowhere;
    return packAnchor(static_cast<int>(p.x), static_cast<int>(p.y));
}
Quad truncations(Pair device1, Pair device2) {
    return {truncation(device1), truncation(device2)};
}
bool operator==(Quad a, Quad b) {
    return a.anchor1 == b.anchor1 && a.anchor2 == b.anchor2;
}

} // namespace plain_lanes

struct PlainLanes {
    using Pair = plain_lanes::Pair;
    using Quad = plain_lanes::Quad;
};

#if ZORPUN_PASSES_SSE2

namespace vector_lanes {

// A point, or what belongs to its two coordinates: x in the low lane, y in the high one.
struct Pair {
    __m128d lanes;
    static Pair of(double x, double y) { return {_mm_set_pd(y, x)}; }
};
Pair operator+(Pair a, Pair b) {
    return {_mm_add_pd(a.lanes, b.lanes)};
}
Pair operator*(Pair a, Pair b) {
    return {_mm_mul_pd(a.lanes, b.lanes)};
}
double xOf(Pair p) {
    return _mm_cvtsd_f64(p.lanes);
}
double yOf(Pair p) {
    return _mm_cvtsd_f64(_mm_unpackhi_pd(p.lanes, p.lanes));
}
// Two bits, set when |x| <= bound.x and |y| <= bound.y (not when a coordinate is not a number).
int within(Pair p, Pair bound) {
    const __m128d magnitude = _mm_andnot_pd(_mm_set1_pd(-0.0), p.lanes);
    return _mm_movemask_pd(_mm_cmple_pd(magnitude, bound.lanes));
}
// Whether within() of both points is 3, in one test.
bool bothWithin(Pair a, Pair b, Pair bound) {
    const __m128d sign = _mm_set1_pd(-0.0);
    const __m128d inA = _mm_cmple_pd(_mm_andnot_pd(sign, a.lanes), bound.lanes);
    const __m128d inB = _mm_cmple_pd(_mm_andnot_pd(sign, b.lanes), bound.lanes);
    return _mm_movemask_pd(_mm_and_pd(inA, inB)) == 3;
}
// (centre.x + x, centre.y - y) rounded to singles, as the block would hold it, and back.
Pair windowSingles(Pair p, Pair centre) {
    const __m128d flipped = _mm_xor_pd(p.lanes, _mm_set_pd(-0.0, 0.0));
    return {_mm_cvtps_pd(_mm_cvtpd_ps(_mm_add_pd(centre.lanes, flipped)))};
}
// Two bits, set when low < p < high.
int between(Pair p, Pair low, Pair high) {
    return _mm_movemask_pd(
        _mm_and_pd(_mm_cmpgt_pd(p.lanes, low.lanes), _mm_cmplt_pd(p.lanes, high.lanes)));
}
// raster::floorToInt() of both lanes, for positions near the image: the truncation, less one
// where it lies above the position.
std::int64_t anchorOf(Pair p) {
    const __m128i truncated = _mm_cvttpd_epi32(p.lanes);
    const __m128d above = _mm_cmplt_pd(p.lanes, _mm_cvtepi32_pd(truncated));
    const __m128i less = _mm_shuffle_epi32(_mm_castpd_si128(above), _MM_SHUFFLE(3, 3, 2, 0));
    return _mm_cvtsi128_si64(_mm_add_epi32(truncated, less));
}

// The anchors of both dots as four integers, for one comparison with those of the dots that
// wait: truncations only, which are the anchors wherever the anchors that wait allow a match
// (see fastAnchors below).
struct Quad {
    __m128i lanes;
    static Quad of(std::int64_t anchor1, std::int64_t anchor2) {
        return {_mm_set_epi64x(anchor2, anchor1)};
    }
    static Quad none() { return {_mm_set1_epi32(std::numeric_limits<std::int32_t>::min())}; }
};
Quad truncations(Pair device1, Pair device2) {
    return {_mm_unpacklo_epi64(_mm_cvttpd_epi32(device1.lanes), _mm_cvttpd_epi32(device2.lanes))};
}
bool operator==(Quad a, Quad b) {
    return _mm_movemask_epi8(_mm_cmpeq_epi32(a.lanes, b.lanes)) == 0xffff;
}

} // namespace vector_lanes

struct VectorLanes {
    using Pair = vector_lanes::Pair;
    using Quad = vector_lanes::Quad;
};

#else

// No vector lanes are built for this CPU: the program's lanes are the plain ones.
using VectorLanes = PlainLanes;

#endif

// The dot of a curve that waits to be written.
struct WaitingDot {
    std::int64_t anchor = nowhere;
    QRgb colour = 0;
};

// What the passes of a stretch add and compare with, as lanes.
template <typename Pair> struct StretchLanes {
    Pair step1;
    Pair step2;
    Pair centre;
    Pair bounds;
    Pair unit;
    Pair shift;
};

// How many additions of `step` from `position` surely keep |position| <= bound: each one
// moves it by |step| and a rounding of at most 2^-53 of where it lands, taken here with room
// to spare. Not a number, or nothing, when that cannot be said.
double additionsInside(double position, double step, double bound) {
    const double reach = std::fabs(step) * (1.0 + 0x1p-40) + bound * 0x1p-50;
    return (bound - std::fabs(position)) * (1.0 - 0x1p-40) / reach;
}

// Where a run of passes that write nothing ended: at pass `next`, and `ahead` when the points
// handed back are already those of that pass rather than of the pass before.
struct QuietEnd {
    std::int64_t next = 0;
    bool ahead = false;
};

// The passes from `alfa` up to `last` while both points are inside and both dots on the
// anchors in `fast`. Returns the first pass not made; `made1` and `made2` are the points of
// the last made.
template <typename Lanes>
std::int64_t checkedPasses(const StretchLanes<typename Lanes::Pair>& run, typename Lanes::Quad fast,
                           typename Lanes::Pair& made1, typename Lanes::Pair& made2,
                           std::int64_t alfa, std::int64_t last) {
    using Pair = typename Lanes::Pair;
    for (; alfa <= last; ++alfa) {
        const Pair point1 = run.step1 + made1;
        const Pair point2 = run.step2 + made2;
        if (!bothWithin(point1, point2, run.bounds))
            break;
        const Pair device1 = windowSingles(point1, run.centre) * run.unit + run.shift;
        const Pair device2 = windowSingles(point2, run.centre) * run.unit + run.shift;
        if (!(truncations(device1, device2) == fast))
            break;
        made1 = point1;
        made2 = point2;
    }
    return alfa;
}

// The same for passes known to stay inside, whose bounds are not looked at. The points of a
// pass that writes are not dropped but handed back ahead: that pass goes on from them.
template <typename Lanes>
QuietEnd insidePasses(const StretchLanes<typename Lanes::Pair>& run, typename Lanes::Quad fast,
                      typename Lanes::Pair& made1, typename Lanes::Pair& made2, std::int64_t alfa,
                      std::int64_t last) {
    using Pair = typename Lanes::Pair;
    for (; alfa <= last; ++alfa) {
        made1 = run.step1 + made1;
        made2 = run.step2 + made2;
        const Pair device1 = windowSingles(made1, run.centre) * run.unit + run.shift;
        const Pair device2 = windowSingles(made2, run.centre) * run.unit + run.shift;
        if (!(truncations(device1, device2) == fast))
            return {alfa, true};
    }
    return {alfa, false};
}

// How many passes from these points surely keep both inside; below zero or not a number when
// none can be counted on.
template <typename Pair>
double passesInside(const StretchLanes<Pair>& run, Pair made1, Pair made2) {
    const std::array<double, 4> inside{
        additionsInside(xOf(made1), xOf(run.step1), xOf(run.bounds)),
        additionsInside(yOf(made1), yOf(run.step1), yOf(run.bounds)),
        additionsInside(xOf(made2), xOf(run.step2), xOf(run.bounds)),
        additionsInside(yOf(made2), yOf(run.step2), yOf(run.bounds))};
    for (const double additions : inside)
        if (!(additions >= 0.0))
            return additions;
    return *std::min_element(inside.begin(), inside.end());
}

// The passes from `alfa` up to `last` that write nothing: both points inside and both dots
// on the anchors in `fast`. At the first pass that is not such they stop, for it to be made
// in full; `last1` and `last2` become the points of the passes made, or of that pass when
// ahead. It calls nothing, so every constant stays in a register: nearly all of a run's
// passes go here, and most of them in stretches that cannot reach the bounds, where the
// bounds are not looked at.
template <typename Lanes>
QuietEnd quietPasses(const StretchLanes<typename Lanes::Pair>& lanes, typename Lanes::Quad fast,
                     typename Lanes::Pair& last1, typename Lanes::Pair& last2, std::int64_t alfa,
                     std::int64_t last) {
    using Pair = typename Lanes::Pair;
    constexpr std::int64_t checkedRun = 16;
    const StretchLanes<Pair> run = lanes;
    Pair made1 = last1;
    Pair made2 = last2;
    QuietEnd end{alfa, false};
    while (end.next <= last && !end.ahead) {
        const double inside = passesInside(run, made1, made2);
        if (inside >= static_cast<double>(checkedRun)) { // not when not a number
            const std::int64_t upTo =
                std::min(last, end.next + static_cast<std::int64_t>(std::min(inside, 0x1p40)) - 1);
            end = insidePasses<Lanes>(run, fast, made1, made2, end.next, upTo);
            continue;
        }
        const std::int64_t upTo = std::min(last, end.next + checkedRun - 1);
        const std::int64_t next = checkedPasses<Lanes>(run, fast, made1, made2, end.next, upTo);
        end.next = next;
        if (next <= upTo)
            break;
    }
    last1 = made1;
    last2 = made2;
    return end;
}

} // namespace

void ImageSurface::drawPasses(PassSection& section) {
    if (drawing_ == Drawing::Direct) {
        DrawingSurface::drawPasses(section);
        return;
    }
    const int penBefore = DrawWidth();
    setDrawWidth(section.constants().dotWidth);
    prepare();
    forgetRecentDots();
    blockDots_ = {};
    // Chosen once a section, so the loop itself never asks.
    const LastDrawn last = passLanes_ == PassLanes::Plain ? walkSection<PlainLanes>(section)
                                                          : walkSection<VectorLanes>(section);
    // The loop wrote without noting it: no dot is known to be untouched.
    forgetRecentDots();
    if (last == LastDrawn::Nothing)
        setDrawWidth(penBefore);
    else if (last == LastDrawn::Line)
        setDrawWidth(1);
}

// A dot, as the block drawing writes it; while a line waits it is kept to be written again
// over it, or the line goes beneath it now when no more dots can be kept.
void ImageSurface::writeRunDot(std::int64_t anchor, QRgb colour) {
    const raster::Dot dot{anchorX(anchor), anchorY(anchor), penWidth_, colour};
    if (pendingLine_ && dotsAfterLine_.size() == KeptDots::capacity) {
        drawPendingLine();
        forgetRecentDots();
    }
    if (dot.width == 1) {
        if (static_cast<unsigned>(dot.x) >= static_cast<unsigned>(canvas_.width) ||
            static_cast<unsigned>(dot.y) >= static_cast<unsigned>(canvas_.height))
            return;
        canvas_.row(dot.y)[dot.x] = dot.colour;
    } else if (raster::paintDot(canvas_, dot, *footprint_).isEmpty()) {
        return;
    }
    if (pendingLine_)
        dotsAfterLine_.push_back(dot);
}

// A line, as Line() takes it: it waits, and a later line on the same pixels replaces it.
void ImageSurface::writeRunLine(const std::optional<LineKey>& key, QRgb colour) {
    if (!key)
        return;
    if (pendingLine_ && !(pendingLine_->key == *key)) {
        drawPendingLine();
        forgetRecentDots();
    }
    pendingLine_ = PendingLine{*key, colour};
    dotsAfterLine_.clear();
}

template <typename Lanes> ImageSurface::LastDrawn ImageSurface::walkSection(PassSection& section) {
    using Pair = typename Lanes::Pair;
    using Quad = typename Lanes::Quad;
    const WalkConstants& run = section.constants();
    WalkState& state = section.state();
    const Pair step1 = Pair::of(run.stepX1, run.stepY1);
    const Pair centre = Pair::of(run.cx, run.cy);
    const Pair bounds = Pair::of(run.boundX, run.boundY);
    const Pair unit = Pair::of(unitX_, unitY_);
    const Pair shift = Pair::of(anchorShift_, anchorShift_);
    const Pair nearLow = Pair::of(nearLeft_, nearTop_);
    const Pair nearHigh = Pair::of(nearRight_, nearBottom_);
    const bool lines = run.lines;
    const int linePen = std::max(1, static_cast<int>(std::lround(ratio_)));
    // A line's anchors are its ends' dot anchors when both take the same shift.
    const bool lineOnDots = raster::anchorShift(linePen) == anchorShift_;

    std::array<WaitingDot, 2> waiting{};
    // The line of the pass before, handed on once that pass's dots are settled; `lineIdle`
    // when handing it on would change nothing unless a dot were written first.
    bool lineDue = false;
    bool lineIdle = false;
    std::optional<LineKey> dueKey;
    QRgb dueColour = 0;
    LastDrawn lastDrawn = LastDrawn::Nothing;

    // A curve's dot at this pass, or none (nowhere): the waiting one is written unless this
    // one continues its run.
    const auto settle = [&](std::size_t curve, std::int64_t anchor, QRgb colour) {
        WaitingDot& dot = waiting[curve];
        if (anchor != nowhere && anchor == dot.anchor && colour == dot.colour)
            return;
        if (dot.anchor != nowhere)
            writeRunDot(dot.anchor, dot.colour);
        dot = {anchor, colour};
    };
    const auto handLineOn = [&] {
        if (lineDue)
            writeRunLine(dueKey, dueColour);
        lineDue = false;
    };
    // The line of this pass, between dots on these anchors (nowhere when not near).
    const auto dueLine = [&](Pair window1, Pair window2, std::int64_t anchor1, std::int64_t anchor2,
                             QRgb colour) {
        lineDue = true;
        dueColour = colour;
        if (lineOnDots && anchor1 != nowhere && anchor2 != nowhere)
            dueKey = LineKey{anchorX(anchor1), anchorY(anchor1), anchorX(anchor2), anchorY(anchor2),
                             linePen};
        else
            dueKey =
                raster::lineKeyFor(QPointF(xOf(window1) * unitX_, yOf(window1) * unitY_),
                                   QPointF(xOf(window2) * unitX_, yOf(window2) * unitY_), linePen);
        lineIdle = !dueKey || (pendingLine_ && pendingLine_->key == *dueKey &&
                               pendingLine_->colour == colour && dotsAfterLine_.size() == 0);
    };
    // The anchors that let the next pass go without a call: those of the dots that wait, when
    // the next dots in the same colours on them would continue their runs and nothing else
    // is due. Only anchors from 1 on and a pixel inside the near bounds: a position whose
    // truncation is such an anchor is near, and its truncation is its floor.
    const auto inner = [&](const WaitingDot& dot) {
        return dot.anchor != nowhere && anchorX(dot.anchor) >= 1 && anchorY(dot.anchor) >= 1 &&
               anchorX(dot.anchor) + 1.0 <= nearRight_ && anchorY(dot.anchor) + 1.0 <= nearBottom_;
    };
    const auto fastAnchors = [&](std::int16_t colour, QRgb colour1, QRgb colour2) {
        if ((lineDue && !lineIdle) || colour == 14 || !inner(waiting[0]) || !inner(waiting[1]) ||
            waiting[0].colour != colour1 || waiting[1].colour != colour2)
            return Quad::none();
        return Quad::of(waiting[0].anchor, waiting[1].anchor);
    };
    // Whether the line between the dots that wait, in this colour, would change nothing: then
    // the passes that write nothing go on over their lines, which are all that one.
    const auto idleWaitingLine = [&](QRgb colour) {
        if (!lineOnDots || !pendingLine_ || pendingLine_->colour != colour ||
            dotsAfterLine_.size() != 0)
            return false;
        const std::int64_t anchor1 = waiting[0].anchor, anchor2 = waiting[1].anchor;
        return pendingLine_->key == LineKey{anchorX(anchor1), anchorY(anchor1), anchorX(anchor2),
                                            anchorY(anchor2), linePen};
    };
    Quad fast = Quad::none();

    Stretch stretch;
    while (section.nextStretch(stretch)) {
        Pair last1 = Pair::of(state.x1, state.y1);
        Pair last2 = Pair::of(state.x2, state.y2);
        const Pair step2 = Pair::of(stretch.stepX2, stretch.stepY2);
        int pairCount = state.pairCount;
        std::int16_t colour = state.colour;
        QRgb colour1 = state.colour1, colour2 = state.colour2;
        std::int64_t alfa = stretch.first;
        fast = fastAnchors(colour, colour1, colour2);
        const std::int64_t lastAlfa = stretch.last;
        const StretchLanes<Pair> lanes{step1, step2, centre, bounds, unit, shift};
        Pair left{};
        for (; alfa <= lastAlfa; ++alfa) {
            // The passes that write nothing, up to the next line's, go without the rest.
            bool ahead = false; // last1 and last2 are already this pass's points
            if (!(fast == Quad::none())) {
                const bool overLines = !lines || (pairCount <= 4 && idleWaitingLine(colour2));
                const std::int64_t upTo =
                    overLines ? lastAlfa : std::min(lastAlfa, alfa + 3 - pairCount);
                const QuietEnd end = quietPasses<Lanes>(lanes, fast, last1, last2, alfa, upTo);
                ahead = end.ahead;
                if (end.next != alfa) {
                    lineDue = false;
                    lastDrawn = LastDrawn::Dot;
                    if (lines) {
                        pairCount = static_cast<int>((pairCount + (end.next - alfa)) % 5);
                        if (pairCount == 0) { // the last pass made was a line's
                            dueLine(Pair{}, Pair{}, waiting[0].anchor, waiting[1].anchor, colour2);
                            lastDrawn = LastDrawn::Line;
                        }
                    }
                    alfa = end.next;
                    if (alfa > lastAlfa)
                        break;
                }
            }
            const Pair point1 = ahead ? last1 : step1 + last1;
            const Pair point2 = ahead ? last2 : step2 + last2;
            const int inside = within(point1, bounds) | within(point2, bounds) << 2;
            if ((inside & 3) != 3) [[unlikely]] {
                left = point1; // curve 1 left the bounds, for good
                break;
            }
            last1 = point1;
            const Pair window1 = windowSingles(point1, centre);
            const Pair window2 = windowSingles(point2, centre);
            const Pair device1 = window1 * unit + shift;
            const Pair device2 = window2 * unit + shift;
            // Nearly every pass: both dots continue their runs, so nothing is written, and the
            // line of the pass before, if any, changes nothing.
            if (inside == 15 && truncations(device1, device2) == fast) [[likely]] {
                last2 = point2;
                lineDue = false;
                lastDrawn = LastDrawn::Dot;
                if (lines && pairCount++ == 4) [[unlikely]] {
                    pairCount = 0;
                    dueLine(window1, window2, waiting[0].anchor, waiting[1].anchor, colour2);
                    if (!lineIdle)
                        fast = Quad::none();
                    lastDrawn = LastDrawn::Line;
                }
                continue;
            }
            const int near =
                between(device1, nearLow, nearHigh) | between(device2, nearLow, nearHigh) << 2;
            const std::int64_t anchor1 = anchorOf(device1);
            const std::int64_t anchor2 = anchorOf(device2);
            const bool both = inside == 15;
            settle(0, (near & 3) == 3 ? anchor1 : nowhere, colour1);
            lastDrawn = LastDrawn::Dot;
            if (both) {
                last2 = point2;
                settle(1, (near & 12) == 12 ? anchor2 : nowhere, colour2);
            } else {
                settle(1, nowhere, 0);
            }
            handLineOn();
            if (!both) {
                fast = Quad::none();
                continue;
            }
            if (lines && pairCount++ == 4) {
                pairCount = 0;
                dueLine(window1, window2, near == 15 ? anchor1 : nowhere,
                        near == 15 ? anchor2 : nowhere, colour2);
                lastDrawn = LastDrawn::Line;
            }
            if (colour == 14) {
                colour = 1;
                colour1 = run.wrapped1;
                colour2 = run.wrapped2;
            }
            fast = fastAnchors(colour, colour1, colour2);
        }
        state = {xOf(last1), yOf(last1), xOf(last2), yOf(last2),
                 pairCount,  colour,     colour1,    colour2};
        section.stretchMade(alfa, xOf(left), yOf(left));
    }
    // The section's end: what waits goes in, in its order.
    settle(0, nowhere, 0);
    settle(1, nowhere, 0);
    handLineOn();
    return lastDrawn;
}
