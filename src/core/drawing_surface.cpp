#include "core/drawing_surface.h"

#include "core/numeric.h"

void DrawingSurface::setScaleMode(ScaleMode mode) {
    if (mode != ScaleMode::Centimetres)
        return;
    // The extents follow the area's physical size.
    scaleWidth_ = static_cast<float>(logicalSize_.width() / logicalDpi_.x() * centimetresPerInch);
    scaleHeight_ = static_cast<float>(logicalSize_.height() / logicalDpi_.y() * centimetresPerInch);
    rebuildTransforms();
    scaleChanged();
}

void DrawingSurface::setScaleWidth(float width) {
    scaleWidth_ = width;
    rebuildTransforms();
    scaleChanged();
}

void DrawingSurface::setScaleHeight(float height) {
    scaleHeight_ = height;
    rebuildTransforms();
    scaleChanged();
}

void DrawingSurface::setDrawWidth(int pixels) {
    if (pixels == drawWidth_)
        return;
    drawWidth_ = pixels;
    penChanged();
}

void DrawingSurface::setLogicalArea(QSizeF logicalSize, QPointF logicalDpi) {
    setLogicalArea(logicalSize, logicalDpi, {QRectF(QPointF(0.0, 0.0), logicalSize), 1.0});
}

void DrawingSurface::setLogicalArea(QSizeF logicalSize, QPointF logicalDpi, const Device& device) {
    logicalSize_ = logicalSize;
    logicalDpi_ = logicalDpi;
    device_ = device;
    rebuildTransforms();
    scaleChanged();
}

void DrawingSurface::follow(const DrawingSurface& other) {
    logicalSize_ = other.logicalSize_;
    logicalDpi_ = other.logicalDpi_;
    device_ = other.device_;
    scaleWidth_ = other.scaleWidth_;
    scaleHeight_ = other.scaleHeight_;
    drawWidth_ = other.drawWidth_;
    userToLogical_ = other.userToLogical_;
    userToDevice_ = other.userToDevice_;
}

// Each unit is the extent over the scale, divided in that order: the pixels drawn depend on
// the last bit of it.
void DrawingSurface::rebuildTransforms() {
    const bool scaledX = scaleWidth_ != 0.0f;
    const bool scaledY = scaleHeight_ != 0.0f;
    userToLogical_ = QTransform(scaledX ? logicalSize_.width() / scaleWidth_ : 1.0, 0.0, 0.0,
                                scaledY ? logicalSize_.height() / scaleHeight_ : 1.0, 0.0, 0.0);
    const QRectF& area = device_.area;
    userToDevice_ = QTransform(scaledX ? area.width() / scaleWidth_ : device_.unitsPerPixel, 0.0,
                               0.0, scaledY ? area.height() / scaleHeight_ : device_.unitsPerPixel,
                               area.left(), area.top());
}

void DrawingSurface::drawBlock(const DotBlock& block) {
    std::size_t next = 0;
    const auto dotsUpTo = [&](std::size_t end) {
        for (; next < end; ++next) {
            setDrawWidth(block.dotWidth);
            PSet(block.x[next], block.y[next], block.colour[next]);
        }
    };
    for (std::size_t index = 0; index < block.lineCount; ++index) {
        const DotBlock::Line& line = block.lines[index];
        dotsUpTo(line.before);
        setDrawWidth(1);
        Line(line.x1, line.y1, line.x2, line.y2, line.colour);
    }
    dotsUpTo(block.dotCount);
}

void DrawingSurface::drawPasses(curve_walk::PassSection& section) {
    curve_walk::drawInBlocks(section, *this);
}
