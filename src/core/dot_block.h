#pragma once

#include <QRgb>
#include <array>
#include <cstddef>

// A run of dots in user coordinates with their colours, all of one pen width, and the
// one-pixel lines that go between them, each at its place in the order. The curve generator
// hands its drawing to a surface one block at a time, so the surface can work through a
// block in one tight loop instead of one call per dot.
struct DotBlock {
    static constexpr std::size_t capacity = 1024;
    // A line is drawn with a pen one pixel wide, before the dot at index `before`.
    struct Line {
        std::size_t before = 0;
        float x1 = 0.0f;
        float y1 = 0.0f;
        float x2 = 0.0f;
        float y2 = 0.0f;
        QRgb colour = 0;
    };

    int dotWidth = 1;
    std::size_t dotCount = 0;
    std::size_t lineCount = 0;
    // Only the first dotCount and lineCount entries are ever read, so the arrays are left
    // as they come: a block is made in a moment, not after clearing 24 KB.
    std::array<float, capacity> x;
    std::array<float, capacity> y;
    std::array<QRgb, capacity> colour;
    std::array<Line, capacity / 2> lines;

    bool full() const { return dotCount == capacity || lineCount == lines.size(); }
    bool empty() const { return dotCount == 0 && lineCount == 0; }
    void clear() {
        dotCount = 0;
        lineCount = 0;
    }
    void addDot(float atX, float atY, QRgb dotColour) {
        x[dotCount] = atX;
        y[dotCount] = atY;
        colour[dotCount] = dotColour;
        ++dotCount;
    }
    void addLine(float x1, float y1, float x2, float y2, QRgb lineColour) {
        lines[lineCount++] = {dotCount, x1, y1, x2, y2, lineColour};
    }
};
