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

    void setScaleMode(int mode) override { scaleMode = mode; }
    void setScaleWidth(float width) override { scaleWidth = width; }
    void setScaleHeight(float height) override { scaleHeight = height; }
    float ScaleWidth() const override { return scaleWidth; }
    float ScaleHeight() const override { return scaleHeight; }
    void setDrawWidth(int pixels) override { drawWidth = pixels; }
    int DrawWidth() const override { return drawWidth; }
    void PSet(float x, float y, QRgb colour) override {
        operations.push_back({Kind::Dot, x, y, x, y, colour, drawWidth});
    }
    void Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) override {
        operations.push_back({Kind::Line, x1, y1, x2, y2, colour, drawWidth});
    }
    void Cls() override { operations.push_back({Kind::Clear, 0, 0, 0, 0, {}, drawWidth}); }

    std::vector<Operation> of(Kind kind) const {
        std::vector<Operation> selected;
        for (const Operation& operation : operations)
            if (operation.kind == kind)
                selected.push_back(operation);
        return selected;
    }

    int scaleMode = 0;
    float scaleWidth = 0;
    float scaleHeight = 0;
    int drawWidth = 1;
    std::vector<Operation> operations;
};
