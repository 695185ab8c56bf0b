#pragma once

// Holds no pixels and knows no widget: the scale, the pen and the area they map onto.
//
// Naming: the program's own operation names stand as they are (ScaleWidth, DrawWidth, PSet,
// Line, Cls); what sets a property is a Qt-style setter (setScaleWidth, setDrawWidth).

#include "core/dot_block.h"
#include "core/pass_section.h"

#include <QPointF>
#include <QRectF>
#include <QRgb>
#include <QSizeF>
#include <QTransform>
#include <optional>

// Both leave the origin at the top-left corner; the numbers are the program's own.
enum class ScaleMode { User = 0, Centimetres = 7 };

// The drawing operations the windows use on their client area: a user scale with its
// origin at the top-left corner, a pen width in pixels, dots, lines and clearing.
// The windows draw only through this interface, so tests can record what they draw.
//
// The scale and the pen live here, once, for every surface. On its own it keeps them and
// draws nothing, which is all the generator needs to run for its steps and variables; a
// surface overrides only what it draws, and the hooks for what it must follow.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // Virtual so that a surface standing for another can pass them on; the others keep
    // these and react through scaleChanged() and penChanged().
    virtual void setScaleMode(ScaleMode mode);
    virtual void setScaleWidth(float width);
    virtual void setScaleHeight(float height);
    virtual void setDrawWidth(int pixels);
    float ScaleWidth() const { return scaleWidth_; }
    float ScaleHeight() const { return scaleHeight_; }
    int DrawWidth() const { return drawWidth_; }

    // A dot DrawWidth pixels across, centred on (x, y).
    virtual void PSet(float, float, QRgb) {}
    // A segment between two absolute points; without a colour, in the foreground colour.
    virtual void Line(float, float, float, float, std::optional<QRgb> = std::nullopt) {}
    // Erases the drawing, leaving the background colour.
    virtual void Cls() {}
    // The dots and lines of a block in their order, each dot after setting the block's pen
    // width and each line after setting a width of 1. A surface that draws many dots may do
    // it faster, with the same result.
    virtual void drawBlock(const DotBlock& block);
    // A part of a run of the curve generator, as drawBlock() would draw its blocks.
    virtual void drawPasses(curve_walk::PassSection& section);

    // User units to logical pixels of the area (1 a pixel while a scale extent is 0).
    const QTransform& userToLogical() const { return userToLogical_; }

protected:
    // Where the area lies in the units a surface draws in, and how many of them a logical
    // pixel spans: what a point maps to while a scale extent is 0.
    struct Device {
        QRectF area;
        double unitsPerPixel = 1.0;
    };

    // The area's size in logical pixels and its logical DPI, for the centimetre scale; the
    // second form also places it on the surface's device.
    void setLogicalArea(QSizeF logicalSize, QPointF logicalDpi);
    void setLogicalArea(QSizeF logicalSize, QPointF logicalDpi, const Device& device);
    // User units to the device's units.
    const QTransform& userToDevice() const { return userToDevice_; }

    // Called after the scale or the area changed, and after the pen changed.
    virtual void scaleChanged() {}
    virtual void penChanged() {}
    // Takes another surface's area, scale and pen as they stand, without the hooks: for a
    // surface that stands for that one.
    void follow(const DrawingSurface& other);

private:
    void rebuildTransforms();

    QSizeF logicalSize_{0.0, 0.0};
    QPointF logicalDpi_{96.0, 96.0};
    Device device_{QRectF(0.0, 0.0, 0.0, 0.0), 1.0};
    float scaleWidth_ = 0.0f;
    float scaleHeight_ = 0.0f;
    int drawWidth_ = 1;
    QTransform userToLogical_;
    QTransform userToDevice_;
};

// A surface in front of another one (a recolouring, a zoom): the other's scale and pen are its
// own. It passes every setter on and follows; a subclass writes only what it draws, and
// followed() when it keeps something worked out from the scale.
class StandInSurface : public DrawingSurface {
public:
    explicit StandInSurface(DrawingSurface& behind) : behind_(behind) { follow(behind_); }

    void setScaleMode(ScaleMode mode) override {
        behind_.setScaleMode(mode);
        followBehind();
    }
    void setScaleWidth(float width) override {
        behind_.setScaleWidth(width);
        followBehind();
    }
    void setScaleHeight(float height) override {
        behind_.setScaleHeight(height);
        followBehind();
    }
    void setDrawWidth(int pixels) override {
        behind_.setDrawWidth(pixels);
        followBehind();
    }

protected:
    DrawingSurface& behind() const { return behind_; }
    // After the surface behind set its scale or pen; a block may set the pen too.
    void followBehind() {
        follow(behind_);
        followed();
    }
    virtual void followed() {}

private:
    DrawingSurface& behind_;
};
