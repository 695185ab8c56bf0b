#pragma once

#include <cstdint>

// The four constants of a run as plain numbers.
struct RunConstants {
    double VALa = 0.0;
    double VALb = 0.0;
    double VALc = 0.0;
    double VALe = 0.0;
};

// The plot window's scale for a run: P1 and the half-extents CX and CY.
struct PlotScale {
    float P1 = 0.0f;
    double CX = 0.0;
    double CY = 0.0;
};

// What a loop computed, so the compiler cannot leave any of it out.
struct MathResult {
    double sum = 0.0;
    std::int64_t drawn = 0;
};

// The passes of a run as the design reads them, every cosine and sine taken in every pass,
// with no drawing: the yardstick of the run figures.
MathResult plainRunMath(const RunConstants& constants, const PlotScale& scale);

// The 7200 figure points of one bar change (TRACCIA twice), with no drawing: the yardstick
// of the calibration figure.
MathResult plainFigureMath(float P1, double CX, double CY);
