#pragma once

// An animation written to files: an animated GIF, or a numbered sequence of PNG files. Each
// frame is drawn, written and let go before the next, so any number of frames takes the
// memory of one. No widgets.

#include "figure/animation.h"
#include "core/progress.h"

#include <QString>
#include <optional>

// Writes the animation in the format of the file's extension:
// - a GIF (.gif) at the job's scale, every frame as it is drawn, exact, for 1/fps seconds
//   (in hundredths, rounded), looping for ever, carrying the whole animation's recipe in a
//   comment, through a QSaveFile;
// - PNG files (.png) named after the file, name_00001.png, … (more digits past 99 999 frames),
//   each carrying its frame's recipe: written first under hidden temporary names in the
//   folder and given their names at the end, so that until then earlier files of those names
//   stay as they were.
// The progress hears of the frames; a stop, or a failure, leaves no file of the animation at
// all, and is no failure itself. Returns the reason, in Italian and naming the file, when the
// animation could not be written.
std::optional<QString> writeAnimation(const AnimationJob& job, const QString& path,
                                      ProgressReport* progress = nullptr);

// The name of frame k (from 0) of a PNG sequence of that many frames.
QString sequenceFileName(const QString& path, std::int64_t frame, std::int64_t count);
