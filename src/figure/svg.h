// The figure as SVG: one rect per drawn square, in word order, on a black box around them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "turtle_cursor.h"

// Writes the figure of the cursor's word, streamed, to out. The viewBox is the bounding box of
// the squares (the window, 0 0 width height, when there is none), one unit a pixel; positions
// are whole pixels as the window uses them, but not cut to 16 bits. No square is red. The
// cursor's selection is kept. False when a write fails.
bool writeSvg(std::FILE* out, TurtleCursor& arbre, int32_t width, int32_t height);
