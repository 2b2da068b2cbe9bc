// The view: turtle positions mapped to the screen by a scale and offsets, its zoom and its fit.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// Screen column = floor(s * x + tx), row = floor(s * y + ty), for a turtle position (x, y).
// Every expression is computed in double as written, one rounding per operation (the turtle's
// target forbids fused multiply-add), so every build draws the same.
struct View {
  double s = 1.0;
  double tx = 0.0;
  double ty = 0.0;
};

// The zoom's range: from 1/65536 to 64 screen pixels a pixel.
constexpr double kLeastZoom = 1.0 / 65536;
constexpr double kMostZoom = 64.0;

// The side on the screen of a square of `side` pixels: never less than one pixel.
inline double viewSide(const View& view, double side) {
  return std::max(1.0, std::floor(view.s * side + 0.5));
}

// The zoom in percent, as the title shows it.
inline int64_t zoomPercent(const View& view) {
  return static_cast<int64_t>(std::floor(view.s * 100.0 + 0.5));
}

// The extent of what a figure draws in whole pixels, uncut: columns [minX, maxX) and rows
// [minY, maxY). Empty, with minX > maxX, when nothing is drawn.
struct Box {
  int64_t minX = INT64_MAX;
  int64_t minY = INT64_MAX;
  int64_t maxX = INT64_MIN;
  int64_t maxY = INT64_MIN;
  bool empty() const { return minX > maxX; }
};

// The view that shows the box whole in a width x height window, centred, with a margin of
// min(10, width / 10, height / 10) pixels and at most 16 screen pixels a pixel; the identity
// for an empty box. A box too large for kLeastZoom is centred at kLeastZoom, and shown in part.
View fitView(const Box& box, int32_t width, int32_t height);

// Zooms by 1.25, in or out, about the screen point (px, py), which stays where it is. False, and
// the view unchanged, when the scale would leave [kLeastZoom, kMostZoom] from inside it or go
// farther from it; a step toward the range from outside it is taken.
bool zoomView(View& view, bool in, double px, double py);
