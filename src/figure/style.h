// How the figure is drawn: squares, as without options, or segments as lines of a brush's width.
#pragma once

#include <cstdint>

// The sides of a bud's square, also the centred one of the line style, and of a segment's square,
// in figure pixels.
constexpr int32_t kBudSide = 20;
constexpr int32_t kSegmentSide = 7;
// The widest brush of the line style, in screen pixels.
constexpr int32_t kMaxLineWidth = 64;

struct Style {
  bool lines = false;  // segments as lines, buds as squares centred on their point
  int32_t width = 1;   // the brush of the lines, 1 to kMaxLineWidth screen pixels
};
