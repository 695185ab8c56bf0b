#pragma once

// A constant only: no trigonometry of its own.

// The degree-to-radian factor of the drawing windows: the single-precision pi 3.1415927
// divided by 180, rounded to single.
inline constexpr float degreeToRadianSingle = 3.1415927f / 180.0f;
