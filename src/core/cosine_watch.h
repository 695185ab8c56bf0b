#pragma once

// The exact test of cos(ALFA × P1) = 0 that a pass of the curve generator makes, made cheap.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

// ALFA × P1: a single product while ALFA is a 16-bit integer, a double one once it widened.
inline double alfaTimesP1(std::int64_t alfa, float p1) {
    if (alfa <= std::numeric_limits<std::int16_t>::max())
        return static_cast<double>(static_cast<float>(alfa) * p1);
    return static_cast<double>(alfa) * static_cast<double>(p1);
}

// cos(x) = 0 needs an x next to an odd multiple of pi/2. Further away than a millionth of
// pi/2 (plus far more than the rounding of x × 2/pi), |cos x| is above a millionth, where
// no rounding of the cosine can reach zero: the test then needs no cosine at all.
inline bool cosineMayBeZero(double x) {
    constexpr double quarterTurnsPerRadian = 2.0 / std::numbers::pi;
    constexpr double roundingShift = 6755399441055744.0; // 1.5 × 2^52: adding it rounds to even
    const double quarterTurns = x * quarterTurnsPerRadian;
    if (!(std::fabs(quarterTurns) < 1e15))
        return true;
    const double nearest = (quarterTurns + roundingShift) - roundingShift;
    if ((static_cast<std::int64_t>(nearest) & 1) == 0)
        return false; // next to a multiple of pi, where |cos x| is near 1
    return std::fabs(quarterTurns - nearest) <= 1e-6 + std::fabs(quarterTurns) * 1e-15;
}

// Whether cos(ALFA × P1) is zero, for ALFA = 0, 1, 2, ... in turn. ALFA × P1 comes next to
// an odd multiple of pi/2 once every pi / P1 passes: cosineMayBeZero() is asked only for the
// few passes around each one, found ahead, and every other pass costs one comparison.
class CosineWatch {
public:
    explicit CosineWatch(float p1) : p1_(p1) { plan(0); }

    // cosineMayBeZero(alfaTimesP1(alfa, P1)), for an alfa one above the last one asked about.
    bool mayBeZero(std::int64_t alfa) {
        if (alfa < from_)
            return false;
        const bool near = cosineMayBeZero(alfaTimesP1(alfa, p1_));
        if (alfa >= to_)
            plan(alfa + 1);
        return near;
    }
    bool isZero(std::int64_t alfa) {
        return mayBeZero(alfa) && std::cos(alfaTimesP1(alfa, p1_)) == 0.0;
    }
    // Up to this pass, the passes still to come need not be asked about.
    std::int64_t clearBefore() const { return from_; }
    // The first of the passes alfa ... upTo whose cosine is zero, or upTo + 1: asks isZero()
    // for those of them that must be asked about, in turn. The next call starts past upTo.
    std::int64_t nextZero(std::int64_t alfa, std::int64_t upTo) {
        for (; alfa <= upTo; ++alfa) {
            if (alfa < from_)
                alfa = std::min(from_, upTo + 1);
            if (alfa <= upTo && isZero(alfa))
                return alfa;
        }
        return upTo + 1;
    }

private:
    void plan(std::int64_t alfa);

    float p1_ = 0.0f;
    std::int64_t from_ = 0; // cosineMayBeZero() is asked for the passes from_ ... to_
    std::int64_t to_ = 0;
};
