#pragma once

// Animated GIFs through giflib: written a frame at a time, each frame only the rectangle that
// changed, and the comment a GIF carries read back without its pictures. No widgets.

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QList>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <cstdint>
#include <optional>
#include <vector>

struct GifFileType;

// Writes a GIF into a device as its frames come: the colour table, an endless loop and the
// comment first, then each frame, of which only the rectangle that differs from the frame
// before is coded. The frames must use only the table's colours, and are then exact.
class GifWriter {
public:
    // colours: at most 256; delay: in hundredths of a second.
    GifWriter(QIODevice& device, QSize size, const QList<QRgb>& colours, int delay,
              const QByteArray& comment);
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    enum class Result { Written, UnknownColour, Failed };
    // A picture of the GIF's size in device pixels, which differs from the frame before only
    // within changed; it is read where it lies.
    Result addFrame(const QImage& picture, const QRect& changed);
    // Writes the trailer; false when the device did not take it all.
    bool finish();
    bool opened() const { return gif_ != nullptr; }

private:
    // The smallest rectangle holding every pixel that differs from the frame before.
    struct Box {
        int left = 0, top = 0, width = 0, height = 0;
    };
    bool writeHead(const QList<QRgb>& colours, const QByteArray& comment);
    // The box's pixels as indices into the table; false for a colour the table lacks.
    bool toIndices(const QImage& picture, const Box& box);
    Box changedBox(const QImage& picture, const QRect& changed) const;
    bool writeFrame(const Box& box);
    // The box of the picture copied into the frame before, which is the GIF's own.
    void keep(const QImage& picture, const Box& box);

    GifFileType* gif_ = nullptr;
    QSize size_;
    int delay_ = 10;
    bool ok_ = true;
    QImage previous_;                   // the frame before, none before the first
    std::vector<std::uint8_t> indices_; // of the box being written
    QList<QRgb> colours_;
};

// The smallest rectangle within area holding every pixel in which two pictures of one size
// and 32-bit format differ; an empty one when none does.
QRect differingBox(const QImage& first, const QImage& second, const QRect& area);

// The comments of a GIF before its first picture, joined; none when it is no GIF.
std::optional<QByteArray> gifComments(QIODevice& device, qint64 most);
