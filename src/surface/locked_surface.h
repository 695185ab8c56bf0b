#pragma once

#include "core/drawing_surface.h"

#include <functional>
#include <mutex>
#include <utility>

// Another surface's drawing under a lock taken for each operation: a worker thread draws
// through it while the interface thread, taking the same lock, shows what has been drawn.
// A block is one operation, so the lock is taken once for many dots.
//
// The scale and pen are the wrapped surface's: what sets them is passed on, and this one
// takes them back as they came out (a centimetre scale is the wrapped area's, a block leaves
// its own pen). `changed` is told of it too, under the lock, for whoever shows the same state.
class LockedSurface : public DrawingSurface {
public:
    LockedSurface(DrawingSurface& surface, std::mutex& lock, std::function<void()> changed = {})
        : surface_(surface), lock_(lock), changed_(std::move(changed)) {
        const std::lock_guard guard(lock_);
        follow(surface_);
    }

    void setScaleMode(ScaleMode mode) override {
        passOn([&] { surface_.setScaleMode(mode); });
    }
    void setScaleWidth(float width) override {
        passOn([&] { surface_.setScaleWidth(width); });
    }
    void setScaleHeight(float height) override {
        passOn([&] { surface_.setScaleHeight(height); });
    }
    void setDrawWidth(int pixels) override {
        passOn([&] { surface_.setDrawWidth(pixels); });
    }
    void PSet(float x, float y, QRgb colour) override {
        locked([&] { surface_.PSet(x, y, colour); });
    }
    void Line(float x1, float y1, float x2, float y2,
              std::optional<QRgb> colour = std::nullopt) override {
        locked([&] { surface_.Line(x1, y1, x2, y2, colour); });
    }
    void Cls() override {
        locked([&] { surface_.Cls(); });
    }
    void drawBlock(const DotBlock& block) override {
        passOn([&] { surface_.drawBlock(block); });
    }
    void drawPasses(curve_walk::PassSection& section) override {
        passOn([&] { surface_.drawPasses(section); });
    }

private:
    template <typename Operation> void locked(Operation operation) {
        const std::lock_guard guard(lock_);
        operation();
    }
    // An operation that may change the scale or pen.
    template <typename Operation> void passOn(Operation operation) {
        const std::lock_guard guard(lock_);
        operation();
        follow(surface_);
        if (changed_)
            changed_();
    }

    DrawingSurface& surface_;
    std::mutex& lock_;
    std::function<void()> changed_;
};
