#pragma once

// A part of a run of the curve generator as a surface draws it: the passes from one progress
// report to the next, in stretches that need no call. A surface that can place dots faster
// than through blocks walks the stretches itself; any other takes drawInBlocks().

#include <QRgb>
#include <cstdint>

class DrawingSurface;

namespace curve_walk {

// Passes first ... last, none of which needs a call: t, and so curve 2's step, stays, and
// cos(ALFA × P1) is not zero at any of them.
struct Stretch {
    std::int64_t first = 0;
    std::int64_t last = -1;
    double stepX2 = 0.0; // Epsilon × cos(BETA1 × sin(t))
    double stepY2 = 0.0; // Epsilon × sin(BETA1 × sin(t))
};

// What a pass hands on to the next.
struct WalkState {
    double x1 = 0.0; // the last drawn point of each curve
    double y1 = 0.0;
    double x2 = 0.0;
    double y2 = 0.0;
    int pairCount = 0;
    std::int16_t colour = 0; // Miocolor
    QRgb colour1 = 0;        // the palette colours of Miocolor and Miocolor + 1
    QRgb colour2 = 0;
};

// What stays for the whole run. A candidate is drawn when both coordinates lie within the
// bounds (equal is inside): |x| <= boundX and |y| <= boundY.
struct WalkConstants {
    double stepX1 = 0.0; // Epsilon × cos(BETA1)
    double stepY1 = 0.0; // Epsilon × sin(BETA1)
    double cx = 0.0;
    double cy = 0.0;
    double boundX = 0.0;
    double boundY = 0.0;
    bool lines = false;
    int dotWidth = 3;
    QRgb wrapped1 = 0; // the palette colours of 1 and 2, for when Miocolor wraps
    QRgb wrapped2 = 0;
};

class PassSection {
public:
    virtual ~PassSection() = default;
    virtual const WalkConstants& constants() const = 0;
    virtual WalkState& state() = 0;
    // The next stretch; false once the section is over.
    virtual bool nextStretch(Stretch& stretch) = 0;
    // The stretch's passes were made up to `next` - 1. When `next` is not past its last pass,
    // curve 1 left the bounds there, at (candidateX, candidateY), and the section is over.
    virtual void stretchMade(std::int64_t next, double candidateX, double candidateY) = 0;
};

// The section's dots and lines in blocks, handed to the surface's drawBlock().
void drawInBlocks(PassSection& section, DrawingSurface& surface);

} // namespace curve_walk
