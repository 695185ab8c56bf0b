#pragma once

// The passes of one run of the curve generator, once its start steps are done.

#include "core/curve_generator.h"

#include <cstdint>
#include <limits>

namespace curve_walk {

inline constexpr std::int64_t int16Max = std::numeric_limits<std::int16_t>::max();
// How often a long run reports its progress, in passes (a power of two, less one).
inline constexpr std::int64_t progressInterval = 4095;

// The increment of t as the tagged multiplication sees it: the case decides whether
// ALFA × increment is a single or a double product.
struct Increment {
    enum class Product { Single, Double };
    Product product = Product::Double;
    double value = 0.0;
};

// Everything a run needs once the start steps are done.
struct RunPlan {
    double epsilon = 0.0;
    double stepX1 = 0.0; // Epsilon × cos(BETA1)
    double stepY1 = 0.0; // Epsilon × sin(BETA1)
    double beta1 = 0.0;
    float p1 = 0.0f;
    double cx = 0.0;
    double cy = 0.0;
    std::int64_t lastAlfa = -1; // no pass when negative
    Increment increment;
};

inline double alfaTimesIncrement(std::int64_t alfa, const Increment& increment) {
    if (increment.product == Increment::Product::Single && alfa <= int16Max)
        return static_cast<double>(static_cast<float>(alfa) * static_cast<float>(increment.value));
    return static_cast<double>(alfa) * increment.value;
}

// The passes ALFA = 0 ... lastAlfa, their dots and lines handed to the surface in blocks;
// leaves A2, X1 and Y1 of the last pass made, and the colour cursor.
void walkCurves(const RunPlan& plan, LinkingLines lines, std::int16_t& Miocolor,
                PlotVariables& plot, DrawingSurface& surface, ProgressReport* progress);

} // namespace curve_walk
