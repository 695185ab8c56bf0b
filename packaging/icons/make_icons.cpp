// Draws the program's icon in every form it ships in: the scalable picture, antialiased
// PNGs for the larger desktop sizes, the three small images (32 x 32 in 2 colours, 32 x 32
// and 16 x 16 in 16 colours) and the Windows icon that holds those three.
// Usage: make_icons OUTPUT_DIRECTORY
#include "core/palette.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <QtMath>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The drawing lives in a square of 128 units: the axes through O, curve 1 straight along
// OA and curve 2 in steps of the same length along OA's angle scaled by sin(t), t growing
// to 90 degrees, as the plot window draws them.
constexpr double designSize = 128.0;
constexpr double originX = 26.0;
constexpr double originY = 100.0;
constexpr double lengthOA = 94.0;
constexpr double angleOA = 64.0;
constexpr double dotRadius = 4.0;
constexpr double axisWidth = 3.0;
const QRectF paperRect(6.0, 6.0, 116.0, 116.0);
constexpr double paperCorner = 14.0;
const QLineF xAxis(12.0, originY, 116.0, originY);
const QLineF yAxis(originX, 14.0, originX, 114.0);

// Palette indices of the small images.
constexpr int black = 0;
constexpr int darkGrey = 8;
constexpr int blue = 9;
constexpr int red = 12;
constexpr int white = 15;

struct Curves {
    std::vector<QPointF> ray;   // curve 1
    std::vector<QPointF> curve; // curve 2
};

Curves curvesOf(int steps) {
    Curves curves;
    const double epsilon = lengthOA / steps;
    const double beta = qDegreesToRadians(angleOA);
    const QPointF origin(originX, originY);
    QPointF walked = origin;
    for (int alfa = 1; alfa <= steps; ++alfa) {
        const double t = qDegreesToRadians(90.0 * alfa / steps);
        const double turn = beta * std::sin(t);
        walked += QPointF(std::cos(turn), -std::sin(turn)) * epsilon;
        curves.ray.push_back(origin + QPointF(std::cos(beta), -std::sin(beta)) * epsilon * alfa);
        curves.curve.push_back(walked);
    }
    return curves;
}

// Enough dots that the curves read as curves, few enough that they stay apart.
constexpr int vectorSteps = 10;

QString number(double value) {
    return QString::number(value, 'f', 2);
}

QString svgDots(const std::vector<QPointF>& dots, QRgb colour) {
    QString text;
    for (const QPointF& dot : dots) {
        text +=
            QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\"/>\n")
                .arg(number(dot.x()), number(dot.y()), number(dotRadius), QColor(colour).name());
    }
    return text;
}

QString svgLine(const QLineF& line) {
    return QStringLiteral("  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"%5\" "
                          "stroke-width=\"%6\"/>\n")
        .arg(number(line.x1()), number(line.y1()), number(line.x2()), number(line.y2()),
             QColor(paletteColor(black)).name(), number(axisWidth));
}

QString svgPicture() {
    const Curves curves = curvesOf(vectorSteps);
    QString text =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"128\" height=\"128\" "
                       "viewBox=\"0 0 128 128\">\n"
                       "  <title>CURVE ZOR-PUN</title>\n");
    text += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" "
                           "fill=\"%6\" stroke=\"%7\" stroke-width=\"%8\"/>\n")
                .arg(number(paperRect.x()), number(paperRect.y()), number(paperRect.width()),
                     number(paperRect.height()), number(paperCorner),
                     QColor(paletteColor(white)).name(), QColor(paletteColor(darkGrey)).name(),
                     number(axisWidth));
    text += svgLine(xAxis) + svgLine(yAxis);
    text += svgDots(curves.ray, paletteColor(blue)) + svgDots(curves.curve, paletteColor(red));
    return text + QStringLiteral("</svg>\n");
}

// The same picture as the SVG, antialiased, at any size.
QImage smoothPicture(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / designSize, size / designSize);
    painter.setPen(QPen(QColor(paletteColor(darkGrey)), axisWidth));
    painter.setBrush(QColor(paletteColor(white)));
    painter.drawRoundedRect(paperRect, paperCorner, paperCorner);
    painter.setPen(QPen(QColor(paletteColor(black)), axisWidth, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(xAxis);
    painter.drawLine(yAxis);
    painter.setPen(Qt::NoPen);
    const Curves curves = curvesOf(vectorSteps);
    for (const auto& [dots, colour] : {std::pair{curves.ray, blue}, {curves.curve, red}}) {
        painter.setBrush(QColor(paletteColor(colour)));
        for (const QPointF& dot : dots)
            painter.drawEllipse(dot, dotRadius, dotRadius);
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

enum class Colours { Two, Sixteen };

// The small images are set pixel by pixel: lines one pixel wide and square dots a sixteenth
// of the side, in palette colours only, so nothing is blurred or lost to rounding.
class PixelPicture {
public:
    PixelPicture(int size, Colours colours) : size_(size), colours_(colours) {
        if (colours == Colours::Two) {
            image_ = QImage(size, size, QImage::Format_Mono);
            image_.setColorTable({paletteColor(black), paletteColor(white)});
        } else {
            image_ = QImage(size, size, QImage::Format_Indexed8);
            QList<QRgb> table;
            for (int index = 0; index < 16; ++index)
                table << paletteColor(index);
            image_.setColorTable(table);
        }
    }

    void fill(int index) { box(0, 0, size_, size_, index); }
    void frame(int index) {
        box(0, 0, size_, 1, index);
        box(0, size_ - 1, size_, 1, index);
        box(0, 0, 1, size_, index);
        box(size_ - 1, 0, 1, size_, index);
    }
    // Horizontal and vertical lines only.
    void line(const QLineF& line, int index) {
        const int left = toPixel(std::min(line.x1(), line.x2()));
        const int top = toPixel(std::min(line.y1(), line.y2()));
        box(left, top, toPixel(std::max(line.x1(), line.x2())) - left + 1,
            toPixel(std::max(line.y1(), line.y2())) - top + 1, index);
    }
    void dot(QPointF centre, int index) {
        const int side = dotSide();
        const double scale = size_ / designSize;
        box(static_cast<int>(std::lround(centre.x() * scale - side / 2.0)),
            static_cast<int>(std::lround(centre.y() * scale - side / 2.0)), side, side, index);
    }
    int dotSide() const { return std::max(1, size_ / 16); }
    const QImage& image() const { return image_; }

private:
    int toPixel(double units) const {
        return static_cast<int>(std::floor(units * size_ / designSize));
    }
    void box(int left, int top, int width, int height, int index) {
        const uint value =
            colours_ == Colours::Two ? (index == white ? 1u : 0u) : static_cast<uint>(index);
        for (int y = std::max(0, top); y < std::min(size_, top + height); ++y) {
            for (int x = std::max(0, left); x < std::min(size_, left + width); ++x)
                image_.setPixel(x, y, value);
        }
    }

    int size_ = 0;
    Colours colours_ = Colours::Sixteen;
    QImage image_;
};

QImage smallPicture(int size, Colours colours) {
    PixelPicture picture(size, colours);
    picture.fill(white);
    picture.frame(colours == Colours::Two ? black : darkGrey);
    picture.line(xAxis, black);
    picture.line(yAxis, black);
    // Dots two side lengths apart, at least, so they read as dots.
    const int steps = size <= 16 ? 4 : 6;
    const Curves curves = curvesOf(steps);
    for (const QPointF& dot : curves.ray)
        picture.dot(dot, blue);
    for (const QPointF& dot : curves.curve)
        picture.dot(dot, red);
    return picture.image();
}

// The Windows icon: a directory, then for each image a bitmap header, its colour table,
// the colour bits and the transparency mask, rows bottom-up, each padded to 4 bytes.
void appendLittleEndian16(QByteArray& bytes, quint16 value) {
    const quint16 ordered = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&ordered), sizeof ordered);
}

void appendLittleEndian32(QByteArray& bytes, quint32 value) {
    const quint32 ordered = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&ordered), sizeof ordered);
}

int rowBytes(int width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

int bitsPerPixel(const QImage& image) {
    return image.format() == QImage::Format_Mono ? 1 : 4;
}

QByteArray packedRow(const QImage& image, int y, int bits) {
    QByteArray row(rowBytes(image.width(), bits), '\0');
    for (int x = 0; x < image.width(); ++x) {
        const int bit = x * bits;
        const int shift = 8 - bits - bit % 8; // leftmost pixel in the high bits
        row[bit / 8] = static_cast<char>(row[bit / 8] | image.pixelIndex(x, y) << shift);
    }
    return row;
}

QByteArray iconImage(const QImage& image) {
    const int bits = bitsPerPixel(image);
    const int width = image.width();
    const int height = image.height();
    const int maskSize = rowBytes(width, 1) * height;
    QByteArray bytes;
    for (quint32 field : {40u, quint32(width), quint32(2 * height)})
        appendLittleEndian32(bytes, field);
    appendLittleEndian16(bytes, 1);
    appendLittleEndian16(bytes, static_cast<quint16>(bits));
    appendLittleEndian32(bytes, 0); // no compression
    appendLittleEndian32(bytes, static_cast<quint32>(rowBytes(width, bits) * height + maskSize));
    for (int field = 0; field < 4; ++field)
        appendLittleEndian32(bytes, 0);
    for (int index = 0; index < 1 << bits; ++index) {
        const QRgb colour = index < image.colorCount() ? image.color(index) : 0;
        for (int component : {qBlue(colour), qGreen(colour), qRed(colour), 0})
            bytes.append(static_cast<char>(component));
    }
    for (int y = height - 1; y >= 0; --y)
        bytes += packedRow(image, y, bits);
    return bytes + QByteArray(maskSize, '\0'); // every pixel opaque
}

QByteArray iconFile(const std::vector<QImage>& images) {
    QByteArray directory;
    QByteArray data;
    appendLittleEndian16(directory, 0);
    appendLittleEndian16(directory, 1); // an icon, not a cursor
    appendLittleEndian16(directory, static_cast<quint16>(images.size()));
    const int dataStart = 6 + 16 * static_cast<int>(images.size());
    for (const QImage& image : images) {
        const QByteArray bitmap = iconImage(image);
        const int bits = bitsPerPixel(image);
        directory.append(char(image.width()));
        directory.append(char(image.height()));
        directory.append(char(1 << bits));
        directory.append('\0');
        appendLittleEndian16(directory, 1);
        appendLittleEndian16(directory, static_cast<quint16>(bits));
        appendLittleEndian32(directory, static_cast<quint32>(bitmap.size()));
        appendLittleEndian32(directory, static_cast<quint32>(dataStart + data.size()));
        data += bitmap;
    }
    return directory + data;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool writeImage(const QString& path, const QImage& image) {
    return image.save(path, "PNG");
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: make_icons OUTPUT_DIRECTORY\n", stderr);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString base = QStringLiteral("curve-zor-pun");
    const QImage mono32 = smallPicture(32, Colours::Two);
    const QImage colour32 = smallPicture(32, Colours::Sixteen);
    const QImage colour16 = smallPicture(16, Colours::Sixteen);
    bool written = writeFile(out.filePath(base + ".svg"), svgPicture().toUtf8()) &&
                   writeImage(out.filePath(base + "-32-2colours.png"), mono32) &&
                   writeImage(out.filePath(base + "-32.png"), colour32) &&
                   writeImage(out.filePath(base + "-16.png"), colour16) &&
                   writeFile(out.filePath(base + ".ico"), iconFile({mono32, colour32, colour16}));
    for (int size : {48, 64, 128})
        written =
            written && writeImage(out.filePath(QStringLiteral("%1-%2.png").arg(base).arg(size)),
                                  smoothPicture(size));
    if (!written) {
        std::fprintf(stderr, "make_icons: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
