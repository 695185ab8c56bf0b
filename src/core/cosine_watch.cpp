#include "core/cosine_watch.h"

#include <algorithm>

// The passes asked about are those on each side of where ALFA × P1 meets the odd multiple:
// the rounding of the products moves them by far less than a pass, and cosineMayBeZero()
// answers true only within a hundredth of a pass of it. Past 2^31 passes, or for a step
// outside the range where that holds with room to spare, every pass is asked about.
void CosineWatch::plan(std::int64_t alfa) {
    constexpr std::int64_t watchedUpTo = std::int64_t{1} << 31;
    constexpr double quarterTurn = std::numbers::pi / 2.0;
    const double step = static_cast<double>(p1_);
    if (!(step >= 1e-4 && step <= 0.1) || alfa >= watchedUpTo) {
        from_ = alfa;
        to_ = std::numeric_limits<std::int64_t>::max();
        return;
    }
    // Both quotients are positive and far below 2^53, where truncation is the floor and the
    // multiples are whole doubles: the same numbers as with floor(), without the library call.
    auto odd = static_cast<std::int64_t>(static_cast<double>(alfa) * step / quarterTurn);
    odd |= 1;
    for (;; odd += 2) {
        const auto centre =
            static_cast<std::int64_t>(static_cast<double>(odd) * quarterTurn / step);
        if (centre + 1 < alfa)
            continue;
        from_ = std::max(alfa, centre - 1);
        to_ = centre + 1;
        return;
    }
}
