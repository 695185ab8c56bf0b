#pragma once

#include <cmath>
#include <cstdint>

// Small numeric helpers that the values, the generator and the windows share. Knows no
// widget and parses no text.

inline constexpr double centimetresPerInch = 2.54;

// Rounds to the nearest integer, a half to the even neighbour, as a conversion to a 16-bit
// integer does. Written out rather than left to the current rounding mode, and inline, so a
// pass of the generator pays no library call for it.
inline double roundHalfEven(double value) {
    constexpr double integralFrom = 4503599627370496.0; // 2^52: from here every double is whole
    if (!(std::fabs(value) < integralFrom))
        return value; // whole already, or not a number
    // floor() without the library call: below 2^52 every double truncates into 64 bits, and
    // the sign of a zero is kept as floor() keeps it.
    const auto truncated = static_cast<std::int64_t>(value);
    const std::int64_t whole = truncated - (value < static_cast<double>(truncated) ? 1 : 0);
    const double below = whole == 0 ? std::copysign(0.0, value) : static_cast<double>(whole);
    const double fraction = value - below; // exact for every finite double
    if (fraction > 0.5)
        return below + 1;
    if (fraction < 0.5)
        return below;
    return (whole & 1) == 0 ? below : below + 1;
}
