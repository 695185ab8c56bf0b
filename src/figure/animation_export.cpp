#include "figure/animation_export.h"

#include "core/palette.h"
#include "figure/figure_formats.h"
#include "figure/gif_file.h"
#include "figure/session_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <cmath>
#include <filesystem>

namespace {

// What writing the frames came to.
enum class Written { Whole, Stopped, UnknownColour, Failed };

// Every colour a frame can hold: the palette and the window's own two.
QList<QRgb> drawingColours(const FigureLook& look) {
    QList<QRgb> colours;
    for (int index = 0; index < 16; ++index)
        colours << (paletteColor(index) | 0xff000000u);
    for (const QRgb colour : {look.foreground, look.background})
        if (!colours.contains(colour | 0xff000000u))
            colours << (colour | 0xff000000u);
    return colours;
}

// A GIF counts time in hundredths of a second.
int delayOf(int framesPerSecond) {
    return static_cast<int>(std::lround(100.0 / framesPerSecond));
}

bool goesOn(ProgressReport* progress, std::int64_t done, std::int64_t total) {
    return !progress || progress->update(done, total);
}

Written streamGif(const AnimationJob& job, QIODevice& device, ProgressReport* progress) {
    const QSize size = (QSizeF(job.look.logicalSize) * job.scale).toSize();
    GifWriter gif(device, size, drawingColours(job.look), delayOf(job.animation.framesPerSecond),
                  recipeMetadataXml(animationRecipe(job)));
    if (!gif.opened())
        return Written::Failed;
    FrameRenderer frames(job);
    const std::int64_t count = frameCount(job.animation);
    for (std::int64_t frame = 0; frame < count; ++frame) {
        if (!goesOn(progress, frame, count))
            return Written::Stopped;
        const QImage& picture = frames.nextInPlace();
        const GifWriter::Result result = gif.addFrame(picture, frames.changedArea());
        if (result == GifWriter::Result::UnknownColour)
            return Written::UnknownColour;
        if (result == GifWriter::Result::Failed)
            return Written::Failed;
    }
    return gif.finish() ? Written::Whole : Written::Failed;
}

const QString unknownColour =
    QStringLiteral("un fotogramma ha un colore che non è della tavolozza");

std::optional<QString> writeGif(const AnimationJob& job, const QString& path,
                                ProgressReport* progress) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return openFailureMessage(path, file.errorString());
    const Written written = streamGif(job, file, progress);
    if (written != Written::Whole) {
        const QString detail = file.errorString();
        file.cancelWriting();
        file.commit();
        if (written == Written::Stopped)
            return std::nullopt;
        return written == Written::UnknownColour ? saveFailureMessage(path, unknownColour)
                                                 : writeFailureMessage(path, detail);
    }
    if (!file.commit())
        return writeFailureMessage(path, file.errorString());
    return std::nullopt;
}

// The PNG files written so far under their temporary names, taken away unless kept.
class SequenceParts {
public:
    ~SequenceParts() {
        for (std::size_t index = kept_; index < parts_.size(); ++index)
            QFile::remove(parts_[index].temporary);
    }
    // The frame's bytes under a hidden name beside the file they become.
    std::optional<QString> add(const QString& path, const QByteArray& bytes);
    // Every part under its own name; the reason when one cannot be.
    std::optional<QString> keep();

private:
    struct Part {
        QString temporary;
        QString path;
    };
    std::vector<Part> parts_;
    std::size_t kept_ = 0; // those before it have their own names
};

std::optional<QString> SequenceParts::add(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    QFile part;
    // A new file of the user's default permissions, as a save gives; NewOnly never reuses one.
    for (int attempt = 0; attempt < 8 && !part.isOpen(); ++attempt) {
        part.setFileName(info.dir().filePath(QStringLiteral(".%1.%2").arg(
            info.fileName(), QString::number(QRandomGenerator::global()->generate(), 36))));
        part.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    }
    if (!part.isOpen())
        return openFailureMessage(path, part.errorString());
    parts_.push_back({part.fileName(), path});
    if (part.write(bytes) != bytes.size() || !part.flush())
        return writeFailureMessage(path, part.errorString());
    part.close();
    return std::nullopt;
}

std::optional<QString> SequenceParts::keep() {
    for (; kept_ < parts_.size(); ++kept_) {
        const Part& part = parts_[kept_];
        std::error_code error;
        // Takes the place of an earlier file of the name at once, as a save does.
        std::filesystem::rename(QFile::encodeName(part.temporary).toStdString(),
                                QFile::encodeName(part.path).toStdString(), error);
        if (error)
            return saveFailureMessage(part.path,
                                      QStringLiteral("non ha potuto prendere il suo nome (%1)")
                                          .arg(QString::fromLocal8Bit(error.message())));
    }
    return std::nullopt;
}

std::optional<QString> writePngSequence(const AnimationJob& job, const QString& path,
                                        ProgressReport* progress) {
    if (!QFileInfo(path).absoluteDir().exists())
        return saveFailureMessage(path, QStringLiteral("la cartella non esiste"));
    SequenceParts parts;
    FrameRenderer frames(job);
    const std::int64_t count = frameCount(job.animation);
    for (std::int64_t frame = 0; frame < count; ++frame) {
        if (!goesOn(progress, frame, count))
            return std::nullopt;
        const QString name = sequenceFileName(path, frame, count);
        const QByteArray bytes = pngFileBytes(frames.nextInPlace(), frameRecipe(job, frame));
        if (bytes.isEmpty())
            return saveFailureMessage(name,
                                      QStringLiteral("l'immagine non si può codificare in PNG"));
        if (const std::optional<QString> failure = parts.add(name, bytes))
            return failure;
    }
    return parts.keep();
}

} // namespace

QString sequenceFileName(const QString& path, std::int64_t frame, std::int64_t count) {
    const QFileInfo info(path);
    const int digits = std::max(5, int(QString::number(count).size()));
    return info.dir().filePath(QStringLiteral("%1_%2.%3")
                                   .arg(info.completeBaseName())
                                   .arg(frame + 1, digits, 10, QLatin1Char('0'))
                                   .arg(info.suffix()));
}

std::optional<QString> writeAnimation(const AnimationJob& job, const QString& path,
                                      ProgressReport* progress) {
    if (const std::optional<QString> fault = animationFault(job.animation))
        return saveFailureMessage(path, *fault);
    const std::optional<AnimationFormat> format = animationFormatForFile(path);
    if (!format)
        return saveFailureMessage(
            path, QStringLiteral("il nome non finisce in %1").arg(knownAnimationSuffixes()));
    if (*format == AnimationFormat::Gif)
        return writeGif(job, path, progress);
    return writePngSequence(job, path, progress);
}
