#include "plain_math.h"

#include <cmath>

namespace {

constexpr std::int64_t int16Max = 32767;
constexpr double figureRadius = 36367.36328125;

bool within(double x, double y, const PlotScale& scale) {
    return !(std::fabs(x) > scale.CX) && !(std::fabs(y) > scale.CY);
}

} // namespace

MathResult plainRunMath(const RunConstants& constants, const PlotScale& scale) {
    const double epsilon = constants.VALa / constants.VALc;
    const double beta1 = constants.VALb * static_cast<double>(scale.P1);
    const auto lastAlfa = static_cast<std::int64_t>(std::floor(constants.VALc));
    double lastX1 = 0.0, lastY1 = 0.0, lastX2 = 0.0, lastY2 = 0.0;
    MathResult result;
    for (std::int64_t alfa = 0; alfa <= lastAlfa; ++alfa) {
        const double alfaP1 = alfa <= int16Max
                                  ? static_cast<double>(static_cast<float>(alfa) * scale.P1)
                                  : static_cast<double>(alfa) * static_cast<double>(scale.P1);
        const double cosAlfa = std::cos(alfaP1);
        const auto A2 =
            static_cast<std::int16_t>(std::nearbyint(static_cast<double>(alfa) * constants.VALe));
        const double t = static_cast<double>(static_cast<float>(A2) * scale.P1);
        const double cosT = std::cos(t);
        const double sinT = std::sin(t);
        if (cosAlfa == 0.0 || cosT == 0.0)
            continue;
        const double x1 = epsilon * std::cos(beta1) + lastX1;
        const double y1 = epsilon * std::sin(beta1) + lastY1;
        if (!within(x1, y1, scale))
            continue;
        lastX1 = x1;
        lastY1 = y1;
        const double x2 = epsilon * std::cos(beta1 * sinT) + lastX2;
        const double y2 = epsilon * std::sin(beta1 * sinT) + lastY2;
        if (!within(x2, y2, scale))
            continue;
        lastX2 = x2;
        lastY2 = y2;
        result.drawn += 2;
        result.sum += static_cast<float>(scale.CX + x1) + static_cast<float>(scale.CY - y2);
    }
    return result;
}

MathResult plainFigureMath(float P1, double CX, double CY) {
    MathResult result;
    for (int figure = 0; figure < 2; ++figure) {
        for (double t = 0.0; t <= 360.0; t += 0.1) {
            const double angle = t * static_cast<double>(P1);
            const double xr = std::cos(angle) * figureRadius;
            const double yr = std::sin(angle) * figureRadius;
            result.sum += static_cast<float>(CX + xr) + static_cast<float>(CY + yr);
            ++result.drawn;
        }
    }
    return result;
}
