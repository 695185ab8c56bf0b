#pragma once

#include "core/drawing_surface.h"

#include <vector>

// Records what is drawn on it, so tests check the drawing without reading pixels.
class RecordingSurface : public DrawingSurface {
public:
    enum class Kind { Dot, Line, Clear };
    struct Operation {
        Kind kind = Kind::Dot;
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        std::optional<QRgb> colour;
        int width = 0;
    };

    void PSet(float x, float y, QRgb colour) override {
        operations.push_back({Kind::Dot, x, y, x, y, colour, DrawWidth()});
    }
    void Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) override {
        operations.push_back({Kind::Line, x1, y1, x2, y2, colour, DrawWidth()});
    }
    void Cls() override { operations.push_back({Kind::Clear, 0, 0, 0, 0, {}, DrawWidth()}); }

    std::vector<Operation> of(Kind kind) const {
        std::vector<Operation> selected;
        for (const Operation& operation : operations)
            if (operation.kind == kind)
                selected.push_back(operation);
        return selected;
    }

    std::vector<Operation> operations;
};
