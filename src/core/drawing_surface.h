#pragma once

// An interface only: it holds no pixels and knows no widget.
//
// Naming: the program's own operation names stand as they are (ScaleWidth, DrawWidth, PSet,
// Line, Cls); what sets a property is a Qt-style setter (setScaleWidth, setDrawWidth).

#include <QRgb>
#include <optional>

// The drawing operations the windows use on their client area: a user scale with its
// origin at the top-left corner, a pen width in pixels, dots, lines and clearing.
// The windows draw only through this interface, so tests can record what they draw.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // 0 selects a user scale, 7 centimetres; both leave the origin at the top-left corner.
    virtual void setScaleMode(int mode) = 0;
    virtual void setScaleWidth(float width) = 0;
    virtual void setScaleHeight(float height) = 0;
    virtual float ScaleWidth() const = 0;
    virtual float ScaleHeight() const = 0;

    virtual void setDrawWidth(int pixels) = 0;
    virtual int DrawWidth() const = 0;

    // A dot DrawWidth pixels across, centred on (x, y).
    virtual void PSet(float x, float y, QRgb colour) = 0;
    // A segment between two absolute points; without a colour, in the foreground colour.
    virtual void Line(float x1, float y1, float x2, float y2,
                      std::optional<QRgb> colour = std::nullopt) = 0;
    // Erases the drawing, leaving the background colour.
    virtual void Cls() = 0;
};
