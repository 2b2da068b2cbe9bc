// How the figure is drawn: the sizes of its shapes, and squares or lines of a brush's width.
#pragma once

#include <cstdint>

// The sides of a bud's square, also the centred one of the line style, and of a segment's square,
// in figure pixels.
constexpr int32_t kBudSide = 20;
constexpr int32_t kSegmentSide = 7;
// The widest brush of the line style, in screen pixels.
constexpr int32_t kMaxLineWidth = 64;

// The colours of the figure as 0xRRGGBB: the window's and the SVG's.
constexpr uint32_t kBackgroundRgb = 0x000000;
constexpr uint32_t kSegmentRgb = 0x663300;
constexpr uint32_t kBudRgb = 0x00ff00;
constexpr uint32_t kSelectionRgb = 0xff0000;

struct Style {
  bool lines = false;  // segments as lines, buds as squares centred on their point
  int32_t width = 1;   // the brush of the lines, 1 to kMaxLineWidth screen pixels
};
