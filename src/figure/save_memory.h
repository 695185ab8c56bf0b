#pragma once

// What the save dialog was last left with (folder, name, format, options), kept across saves
// and across starts in the user's settings, so the next save starts from it. No widgets.

#include "figure/figure_formats.h"
#include "figure/figure_options.h"

#include <QString>

// A save as the dialog proposes it, or as the user left it.
struct SaveChoice {
    QString path;
    FigureFormat filterFormat = FigureFormat::Png; // of the chosen filter
    int scale = 1;                                 // of the chosen PNG filter
    FigureOptions options{};
};

// The path given the chosen filter's suffix when it has none: a known extension decides the
// format.
void completePath(SaveChoice& choice);
// How many times the window's size the file is made: the PNG filter's scale for a PNG, 1 for
// anything else.
int writtenScale(const SaveChoice& choice);

// The last choice remembered, or "curve.png" as a PNG at 1× with no options.
SaveChoice rememberedSaveChoice();
// Kept even when the save then fails, so the dialog opens again with the same name.
void rememberSaveChoice(const SaveChoice& choice);
