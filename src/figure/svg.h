// The figure as SVG, in word order on a box of the background's colour around it: a rect per
// square, or in the line style paths of lines and the buds' squares.
#pragma once

#include <cstdint>
#include <cstdio>

#include "figure.h"
#include "style.h"

// Writes the figure, streamed, to out, in the style's colours, one unit a pixel. With squares the
// viewBox is the bounding box of the squares, their corners whole pixels as the window uses them
// but not cut to 16 bits. In the line style every coordinate is a turtle point as the float it is
// (or that plus whole units), in the shortest form that reads back as it: each segment is the
// polygon that the W by W brush sweeps along it, so that at one unit a pixel it covers the
// window's pixels, and each bud a 20-unit square centred on its point; the viewBox holds them
// all. With nothing drawn, the viewBox is the window, 0 0 width height. Nothing is red. False
// when a write fails, or with errno EFBIG when the text would pass maxBytes.
bool writeSvg(std::FILE* out, const Figure& figure, int32_t width, int32_t height,
              const Style& style = Style(), uint64_t maxBytes = UINT64_MAX);
