#pragma once

// A drawing surface that keeps its scale and pen and draws nothing. Holds no pixels.

#include "core/drawing_surface.h"

// What runs the plot window's set-up and the generator for their steps and variables alone
// (the command line records its runs on one, then draws them once through the export);
// subclasses that want the points override PSet.
class ScaleOnlySurface : public DrawingSurface {
public:
    void setScaleMode(int) override {}
    void setScaleWidth(float width) override { width_ = width; }
    void setScaleHeight(float height) override { height_ = height; }
    float ScaleWidth() const override { return width_; }
    float ScaleHeight() const override { return height_; }
    void setDrawWidth(int pixels) override { drawWidth_ = pixels; }
    int DrawWidth() const override { return drawWidth_; }
    void PSet(float, float, QRgb) override {}
    void Line(float, float, float, float, std::optional<QRgb>) override {}
    void Cls() override {}

private:
    float width_ = 0.0f;
    float height_ = 0.0f;
    int drawWidth_ = 1;
};
