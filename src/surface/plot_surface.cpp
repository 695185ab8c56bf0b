#include "surface/plot_surface.h"

#include <QPaintEvent>
#include <QPainter>

PlotSurface::PlotSurface(QWidget* window) : QWidget(window) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (window) {
        setGeometry(window->rect());
        lower();
        window->installEventFilter(this);
    }
}

bool PlotSurface::event(QEvent* event) {
    areaStale_ = true;
    return QWidget::event(event);
}

bool PlotSurface::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void PlotSurface::syncArea() {
    const std::lock_guard guard(imageLock_);
    image_.setColours(palette().color(QPalette::WindowText).rgb(),
                      palette().color(QPalette::Window).rgb());
    image_.setArea(size(), devicePixelRatioF(), QPointF(logicalDpiX(), logicalDpiY()));
    areaStale_ = false;
}

void PlotSurface::setScaleMode(ScaleMode mode) {
    if (areaStale_)
        syncArea(); // centimetres follow the client area's size as it stands
    image_.setScaleMode(mode);
    follow(image_);
}

void PlotSurface::setScaleWidth(float width) {
    image_.setScaleWidth(width);
    follow(image_);
}

void PlotSurface::setScaleHeight(float height) {
    image_.setScaleHeight(height);
    follow(image_);
}

void PlotSurface::setDrawWidth(int pixels) {
    image_.setDrawWidth(pixels);
    follow(image_);
}

void PlotSurface::PSet(float x, float y, QRgb colour) {
    beforeDrawing();
    image_.PSet(x, y, colour);
}

void PlotSurface::Line(float x1, float y1, float x2, float y2, std::optional<QRgb> colour) {
    beforeDrawing();
    image_.Line(x1, y1, x2, y2, colour);
}

void PlotSurface::drawBlock(const DotBlock& block) {
    beforeDrawing();
    image_.drawBlock(block);
    follow(image_); // a block leaves its own pen
}

void PlotSurface::drawPasses(curve_walk::PassSection& section) {
    beforeDrawing();
    image_.drawPasses(section);
    follow(image_);
}

void PlotSurface::Cls() {
    beforeDrawing();
    image_.Cls();
}

void PlotSurface::requestRepaint() {
    // One repaint once the drawing handler is done, however much it drew.
    repaintRequested_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            repaintRequested_ = false;
            update();
        },
        Qt::QueuedConnection);
}

DrawingSurface& PlotSurface::sharedDrawing() {
    beforeDrawing();
    // What the worker sets, or a block of it leaves, shows here as well.
    return shared_.emplace(image_, imageLock_, [this] { follow(image_); });
}

QImage PlotSurface::snapshot() const {
    if (areaStale_)
        const_cast<PlotSurface*>(this)->syncArea();
    const std::lock_guard guard(imageLock_);
    return image_.snapshot();
}

void PlotSurface::resizeEvent(QResizeEvent* event) {
    syncArea();
    QWidget::resizeEvent(event);
}

void PlotSurface::paintEvent(QPaintEvent* event) {
    if (areaStale_)
        syncArea();
    const std::lock_guard guard(imageLock_);
    image_.flush();
    QPainter painter(this);
    const QRect area = event->rect();
    const double ratio = image_.bufferRatio();
    const QRectF source(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio);
    painter.drawImage(QRectF(area), image_.buffer(), source);
}

void PlotSurface::showPicture(const QImage& picture) {
    beforeDrawing();
    image_.replaceWith(picture);
}
