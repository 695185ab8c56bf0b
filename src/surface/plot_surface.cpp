#include "surface/plot_surface.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr double centimetresPerInch = 2.54;

// A dot of an odd width is centred on the pixel that holds the point, one of an even width
// on the pixel corner nearest to it, so the footprint is symmetric about the point.
int anchorFor(double devicePosition, int width) {
    return static_cast<int>(std::floor(width % 2 == 1 ? devicePosition : devicePosition + 0.5));
}

// True when a device position can be turned into an int without leaving the image far behind.
bool nearImage(double position, int extent, int margin) {
    return std::isfinite(position) && position > -margin && position < extent + margin;
}

} // namespace

PlotSurface::PlotSurface(QWidget* window) : QWidget(window) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    rebuildFootprint();
    if (window) {
        setGeometry(window->rect());
        lower();
        window->installEventFilter(this);
    }
}

bool PlotSurface::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void PlotSurface::setScaleMode(int mode) {
    if (mode != 7)
        return;
    // Centimetres: the extents follow the client area's physical size.
    scaleWidth_ = static_cast<float>(width() / logicalDpiX() * centimetresPerInch);
    scaleHeight_ = static_cast<float>(height() / logicalDpiY() * centimetresPerInch);
}

void PlotSurface::setScaleWidth(float width) { scaleWidth_ = width; }

void PlotSurface::setScaleHeight(float height) { scaleHeight_ = height; }

void PlotSurface::setDrawWidth(int pixels) {
    drawWidth_ = std::max(1, pixels);
    rebuildFootprint();
}

QPointF PlotSurface::toDevice(float x, float y) const {
    const double ratio = devicePixelRatioF();
    const double unitX = scaleWidth_ != 0.0f ? width() * ratio / scaleWidth_ : ratio;
    const double unitY = scaleHeight_ != 0.0f ? height() * ratio / scaleHeight_ : ratio;
    return {x * unitX, y * unitY};
}

int PlotSurface::devicePenWidth() const {
    return std::max(1, static_cast<int>(std::lround(drawWidth_ * devicePixelRatioF())));
}

void PlotSurface::rebuildFootprint() {
    const int width = devicePenWidth();
    if (width == footprintWidth_)
        return;
    footprintWidth_ = width;
    footprint_.clear();
    const double half = width / 2.0;
    const int first = width % 2 == 1 ? -(width - 1) / 2 : -width / 2;
    const double centre = width % 2 == 1 ? 0.0 : 0.5;
    for (int dy = first; dy < first + width; ++dy) {
        for (int dx = first; dx < first + width; ++dx) {
            const double ex = dx + centre;
            const double ey = dy + centre;
            // A little more than the disc, so widths up to 4 are full squares.
            if (ex * ex + ey * ey <= half * half + 0.5)
                footprint_.emplace_back(dx, dy);
        }
    }
}

void PlotSurface::PSet(float x, float y, QRgb colour) {
    ensureBuffer();
    rebuildFootprint();
    const QPointF device = toDevice(x, y);
    if (!nearImage(device.x(), buffer_.width(), footprintWidth_) ||
        !nearImage(device.y(), buffer_.height(), footprintWidth_))
        return;
    plotFootprint({anchorFor(device.x(), footprintWidth_), anchorFor(device.y(), footprintWidth_)},
                  colour);
    update();
}

void PlotSurface::plotFootprint(QPoint origin, QRgb colour) {
    const int imageWidth = buffer_.width();
    const int imageHeight = buffer_.height();
    for (const QPoint& offset : footprint_) {
        const int px = origin.x() + offset.x();
        const int py = origin.y() + offset.y();
        if (px < 0 || py < 0 || px >= imageWidth || py >= imageHeight)
            continue;
        reinterpret_cast<QRgb*>(buffer_.scanLine(py))[px] = colour;
    }
}

void PlotSurface::Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) {
    ensureBuffer();
    const QPointF from = toDevice(x1, y1);
    const QPointF to = toDevice(x2, y2);
    if (!std::isfinite(from.x()) || !std::isfinite(from.y()) || !std::isfinite(to.x()) ||
        !std::isfinite(to.y()))
        return;
    QPainter painter(&buffer_);
    const QColor penColour = colour ? QColor::fromRgb(*colour) : palette().color(QPalette::WindowText);
    painter.setPen(QPen(penColour, devicePenWidth(), Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from, to);
    update();
}

void PlotSurface::Cls() {
    ensureBuffer();
    buffer_.fill(background());
    update();
}

QRgb PlotSurface::background() const { return palette().color(QPalette::Window).rgb(); }

void PlotSurface::ensureBuffer() {
    // The buffer keeps a device pixel ratio of 1 so that every operation works in device
    // pixels; bufferRatio_ remembers the ratio it was made for.
    const double ratio = devicePixelRatioF();
    const QSize needed = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
    const bool sameRatio = qFuzzyCompare(bufferRatio_, ratio);
    if (!buffer_.isNull() && sameRatio && buffer_.width() >= needed.width() &&
        buffer_.height() >= needed.height())
        return;
    // Grow, never shrink or clear: a drawing survives the window being made smaller and
    // larger again. A new device pixel ratio carries the old drawing over at the new scale.
    QImage old = buffer_;
    if (!old.isNull() && !sameRatio)
        old = old.scaled((QSizeF(old.size()) * (ratio / bufferRatio_)).toSize());
    QImage grown(needed.expandedTo(old.size()), QImage::Format_RGB32);
    grown.fill(background());
    if (!old.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(QPoint(0, 0), old);
    }
    buffer_ = grown;
    bufferRatio_ = ratio;
}

QImage PlotSurface::snapshot() const {
    const QSize visible = (QSizeF(size()) * devicePixelRatioF()).toSize();
    return buffer_.copy(QRect(QPoint(0, 0), visible));
}

void PlotSurface::resizeEvent(QResizeEvent* event) {
    ensureBuffer();
    QWidget::resizeEvent(event);
}

void PlotSurface::paintEvent(QPaintEvent* event) {
    ensureBuffer();
    QPainter painter(this);
    const QRect area = event->rect();
    const double ratio = bufferRatio_;
    const QRectF source(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio);
    painter.drawImage(QRectF(area), buffer_, source);
}
