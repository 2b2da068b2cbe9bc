// The view: the figure's whole-pixel positions mapped to screen squares by a scale and offsets.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "style.h"
#include "turtle_cursor.h"

// Screen column = floor(s * x + tx), row = floor(s * y + ty), for a turtle position (x, y) taken
// whole and not cut to 16 bits. Every expression is computed in double as written, one rounding
// per operation (the turtle's target forbids fused multiply-add), so every build draws the same.
struct View {
  double s = 1.0;
  double tx = 0.0;
  double ty = 0.0;
};

// The side on the screen of a square of `side` pixels: never less than one pixel.
inline double viewSide(const View& view, double side) {
  return std::max(1.0, std::floor(view.s * side + 0.5));
}

// The zoom in percent, as the title shows it.
inline int64_t zoomPercent(const View& view) {
  return static_cast<int64_t>(std::floor(view.s * 100.0 + 0.5));
}

// The view that shows all that the style draws (drawnBox) whole in a width x height window,
// centred, with a margin of min(10, width / 10, height / 10) pixels and at most 16 screen
// pixels a pixel; the identity when nothing is drawn. The cursor's selection is kept.
View fitView(TurtleCursor& cursor, int32_t width, int32_t height, const Style& style = Style());

// Zooms by 1.25, in or out, about the screen point (px, py), which stays where it is. False, and
// the view unchanged, when the scale would leave [1/65536, 64].
bool zoomView(View& view, bool in, double px, double py);
