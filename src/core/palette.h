#pragma once

// Colours only: knows no surface and no widget.

#include <QRgb>

// The 16 fixed colours of the drawing windows: 0 black, 1 blue, 2 green, 3 cyan, 4 red,
// 5 magenta, 6 brown, 7 light grey, 8 dark grey, 9 light blue, 10 light green,
// 11 light cyan, 12 light red, 13 light magenta, 14 yellow, 15 bright white.
// An index outside 0 ... 15 wraps into that range (modulo 16), so a run whose colour
// cursor has run past the palette still draws in defined colours.
QRgb paletteColor(int index);
