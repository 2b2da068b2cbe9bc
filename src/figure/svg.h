// The figure as SVG, in word order on a box of the background's colour around it: a rect per
// square, or in the line style paths of lines and the buds' squares.
#pragma once

#include <cstdint>
#include <cstdio>

#include "figure.h"
#include "style.h"

// Writes the figure, streamed, to out. The viewBox is the bounding box of the squares, or in the
// line style drawnBox's box grown by max(brush, 10) on every side (the window, 0 0 width height,
// when nothing is drawn), one unit a pixel; positions are whole pixels as the window uses them,
// but not cut to 16 bits. In the line style each segment is a line of the brush's width with
// square caps and each bud a 20-pixel square centred on its point. Nothing is red. False when a
// write fails, or with errno EFBIG when the text would pass maxBytes.
bool writeSvg(std::FILE* out, const Figure& figure, int32_t width, int32_t height,
              const Style& style = Style(), uint64_t maxBytes = UINT64_MAX);
