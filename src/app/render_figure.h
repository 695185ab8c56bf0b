#pragma once

#include "app/command_line.h"

#include <cstdio>

// Draws the figure that "--render" asks for, as the plot window would after the same steps,
// and writes it through the plot window's own export. A run's message and a file that
// cannot be written go to errors, one line each. Returns the exit status. Needs the
// application object.
int renderFigure(const RenderRequest& request, std::FILE* errors);
