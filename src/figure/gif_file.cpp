#include "figure/gif_file.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace {

int writeToDevice(GifFileType* gif, const GifByteType* data, int length) {
    auto* device = static_cast<QIODevice*>(gif->UserData);
    return int(device->write(reinterpret_cast<const char*>(data), length));
}

int readFromDevice(GifFileType* gif, GifByteType* data, int length) {
    auto* device = static_cast<QIODevice*>(gif->UserData);
    return int(std::max<qint64>(device->read(reinterpret_cast<char*>(data), length), 0));
}

// A GIF's colour table has a power of two entries, at least two.
int tableSize(qsizetype colours) {
    int size = 2;
    while (size < colours)
        size *= 2;
    return size;
}

// An extension of sub-blocks of at most 255 bytes each.
bool putExtension(GifFileType* gif, int code, const QByteArray& bytes) {
    if (EGifPutExtensionLeader(gif, code) == GIF_ERROR)
        return false;
    for (qsizetype at = 0; at < bytes.size(); at += 255) {
        const QByteArray block = bytes.mid(at, 255);
        if (EGifPutExtensionBlock(gif, int(block.size()), block.constData()) == GIF_ERROR)
            return false;
    }
    return EGifPutExtensionTrailer(gif) != GIF_ERROR;
}

} // namespace

GifWriter::GifWriter(QIODevice& device, QSize size, const QList<QRgb>& colours, int delay,
                     const QByteArray& comment)
    : size_(size), delay_(delay), colours_(colours) {
    for (QRgb& colour : colours_)
        colour |= 0xff000000u; // the pictures are opaque
    int error = 0;
    gif_ = EGifOpen(&device, writeToDevice, &error);
    if (gif_ && !writeHead(colours, comment)) {
        EGifCloseFile(gif_, &error);
        gif_ = nullptr;
    }
}

GifWriter::~GifWriter() {
    if (gif_) {
        int error = 0;
        EGifCloseFile(gif_, &error);
    }
}

bool GifWriter::writeHead(const QList<QRgb>& colours, const QByteArray& comment) {
    std::vector<GifColorType> table(std::size_t(tableSize(colours.size())));
    for (qsizetype index = 0; index < colours.size(); ++index)
        table[std::size_t(index)] = {GifByteType(qRed(colours[index])),
                                     GifByteType(qGreen(colours[index])),
                                     GifByteType(qBlue(colours[index]))};
    ColorMapObject* map = GifMakeMapObject(int(table.size()), table.data());
    EGifSetGifVersion(gif_, true);
    const bool screen =
        map && EGifPutScreenDesc(gif_, size_.width(), size_.height(), 8, 0, map) != GIF_ERROR;
    GifFreeMapObject(map);
    // The Netscape extension: loop for ever.
    const QByteArray loop("\x01\x00\x00", 3);
    return screen && EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) != GIF_ERROR &&
           EGifPutExtensionBlock(gif_, 11, "NETSCAPE2.0") != GIF_ERROR &&
           EGifPutExtensionBlock(gif_, 3, loop.constData()) != GIF_ERROR &&
           EGifPutExtensionTrailer(gif_) != GIF_ERROR &&
           (comment.isEmpty() || putExtension(gif_, COMMENT_EXT_FUNC_CODE, comment));
}

bool GifWriter::toIndices(const QImage& picture, const Box& box) {
    indices_.resize(std::size_t(box.width) * std::size_t(box.height));
    std::uint8_t* out = indices_.data();
    for (int y = box.top; y < box.top + box.height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        QRgb last = ~row[box.left];
        std::uint8_t index = 0;
        for (int x = box.left; x < box.left + box.width; ++x) {
            if (row[x] != last) {
                const qsizetype found = colours_.indexOf(row[x] | 0xff000000u);
                if (found < 0)
                    return false;
                last = row[x];
                index = std::uint8_t(found);
            }
            *out++ = index;
        }
    }
    return true;
}

// Compared in colours, row by row: most rows of a frame are those of the frame before.
QRect differingBox(const QImage& first, const QImage& second, const QRect& area) {
    const QRect within = area & first.rect() & second.rect();
    if (within.isEmpty())
        return {};
    const auto offset = std::size_t(within.left()) * sizeof(QRgb);
    const auto bytes = std::size_t(within.width()) * sizeof(QRgb);
    auto differs = [&](int y) {
        return std::memcmp(first.constScanLine(y) + offset, second.constScanLine(y) + offset,
                           bytes) != 0;
    };
    int top = within.top();
    while (top <= within.bottom() && !differs(top))
        ++top;
    if (top > within.bottom())
        return {};
    int bottom = within.bottom();
    while (!differs(bottom))
        --bottom;
    int left = within.right() + 1;
    int right = within.left() - 1;
    // Pixels from..to of a row differ somewhere: compared at once before one by one.
    auto spanDiffers = [](const QRgb* before, const QRgb* now, int from, int to) {
        return from <= to && std::memcmp(before + from, now + from,
                                         std::size_t(to - from + 1) * sizeof(QRgb)) != 0;
    };
    for (int y = top; y <= bottom; ++y) {
        const auto* before = reinterpret_cast<const QRgb*>(first.constScanLine(y));
        const auto* now = reinterpret_cast<const QRgb*>(second.constScanLine(y));
        if (spanDiffers(before, now, within.left(), left - 1))
            for (int x = within.left(); x < left; ++x)
                if (before[x] != now[x])
                    left = x;
        if (spanDiffers(before, now, right + 1, within.right()))
            for (int x = within.right(); x > right; --x)
                if (before[x] != now[x])
                    right = x;
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

GifWriter::Box GifWriter::changedBox(const QImage& picture, const QRect& changed) const {
    if (previous_.isNull())
        return {0, 0, size_.width(), size_.height()};
    const QRect box = differingBox(previous_, picture, changed);
    if (box.isEmpty())
        return {0, 0, 1, 1}; // the same picture: one pixel, to keep the frame's time
    return {box.left(), box.top(), box.width(), box.height()};
}

bool GifWriter::writeFrame(const Box& box) {
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay_, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_ERROR ||
        EGifPutImageDesc(gif_, box.left, box.top, box.width, box.height, false, nullptr) ==
            GIF_ERROR)
        return false;
    for (int y = 0; y < box.height; ++y)
        if (EGifPutLine(gif_, indices_.data() + std::size_t(y) * std::size_t(box.width),
                        box.width) == GIF_ERROR)
            return false;
    return true;
}

void GifWriter::keep(const QImage& picture, const Box& box) {
    if (previous_.isNull()) {
        previous_ = picture.copy();
        return;
    }
    const auto offset = std::size_t(box.left) * sizeof(QRgb);
    const auto bytes = std::size_t(box.width) * sizeof(QRgb);
    for (int y = box.top; y < box.top + box.height; ++y)
        std::memcpy(previous_.scanLine(y) + offset, picture.constScanLine(y) + offset, bytes);
}

GifWriter::Result GifWriter::addFrame(const QImage& picture, const QRect& changed) {
    if (!gif_ || !ok_ || picture.size() != size_)
        return Result::Failed;
    // Read where it lies unless it must be converted: a picture may be a drawing's own buffer.
    QImage converted;
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        converted = picture.convertToFormat(QImage::Format_RGB32);
    const QImage& image = converted.isNull() ? picture : converted;
    const Box box = changedBox(image, changed);
    if (!toIndices(image, box))
        return Result::UnknownColour;
    ok_ = writeFrame(box);
    keep(image, box);
    return ok_ ? Result::Written : Result::Failed;
}

bool GifWriter::finish() {
    if (!gif_)
        return false;
    int error = 0;
    const bool closed = EGifCloseFile(gif_, &error) != GIF_ERROR;
    gif_ = nullptr;
    return ok_ && closed;
}

std::optional<QByteArray> gifComments(QIODevice& device, qint64 most) {
    int error = 0;
    GifFileType* gif = DGifOpen(&device, readFromDevice, &error);
    if (!gif)
        return std::nullopt;
    QByteArray comments;
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    // The extensions before the first picture; the program writes its comment there.
    while (DGifGetRecordType(gif, &type) != GIF_ERROR && type == EXTENSION_RECORD_TYPE) {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
            break;
        while (block && comments.size() <= most) {
            if (code == COMMENT_EXT_FUNC_CODE)
                comments.append(reinterpret_cast<const char*>(block + 1), block[0]);
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                block = nullptr;
        }
        if (comments.size() > most)
            break;
    }
    DGifCloseFile(gif, &error);
    return comments;
}
