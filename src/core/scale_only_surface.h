#pragma once

// A drawing surface that keeps its scale and pen and draws nothing. Holds no pixels.

#include "core/drawing_surface.h"

// What runs the plot window's set-up and the generator for their steps and variables alone
// (the command line records its runs on one, then draws them once through the export);
// subclasses that want the points override PSet.
class ScaleOnlySurface : public DrawingSurface {};
