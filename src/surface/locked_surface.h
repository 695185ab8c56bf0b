#pragma once

#include "core/drawing_surface.h"

#include <mutex>

// Another surface's drawing under a lock taken for each operation: a worker thread draws
// through it while the interface thread, taking the same lock, shows what has been drawn.
// A block is one operation, so the lock is taken once for many dots.
class LockedSurface : public DrawingSurface {
public:
    LockedSurface(DrawingSurface& surface, std::mutex& lock) : surface_(surface), lock_(lock) {}

private:
    template <typename Operation>
    auto locked(Operation operation) const {
        const std::lock_guard guard(lock_);
        return operation();
    }

public:

    void setScaleMode(int mode) override { locked([&] { surface_.setScaleMode(mode); }); }
    void setScaleWidth(float width) override { locked([&] { surface_.setScaleWidth(width); }); }
    void setScaleHeight(float height) override {
        locked([&] { surface_.setScaleHeight(height); });
    }
    float ScaleWidth() const override { return locked([&] { return surface_.ScaleWidth(); }); }
    float ScaleHeight() const override { return locked([&] { return surface_.ScaleHeight(); }); }
    void setDrawWidth(int pixels) override { locked([&] { surface_.setDrawWidth(pixels); }); }
    int DrawWidth() const override { return locked([&] { return surface_.DrawWidth(); }); }
    void PSet(float x, float y, QRgb colour) override {
        locked([&] { surface_.PSet(x, y, colour); });
    }
    void Line(float x1, float y1, float x2, float y2,
              std::optional<QRgb> colour = std::nullopt) override {
        locked([&] { surface_.Line(x1, y1, x2, y2, colour); });
    }
    void Cls() override { locked([&] { surface_.Cls(); }); }
    void drawBlock(const DotBlock& block) override { locked([&] { surface_.drawBlock(block); }); }

private:
    DrawingSurface& surface_;
    std::mutex& lock_;
};
