// How the figure is drawn: the sizes of its shapes, and squares or lines of a brush's width.
#pragma once

#include <cstdint>

// The sides of a bud's square, also the centred one of the line style, and of a segment's square,
// in figure pixels.
constexpr int32_t kBudSide = 20;
constexpr int32_t kSegmentSide = 7;
// The widest brush of the line style, in screen pixels.
constexpr int32_t kMaxLineWidth = 64;

// The colours of the figure as 0xRRGGBB, the window's and the SVG's: black, brown, green and
// red unless chosen.
struct Colours {
  uint32_t background = 0x000000;
  uint32_t segment = 0x663300;
  uint32_t bud = 0x00ff00;

  // What is under the pointer: red, unless one of the three is red, then the background's
  // complement.
  uint32_t selection() const {
    constexpr uint32_t kRed = 0xff0000;
    const bool taken = background == kRed || segment == kRed || bud == kRed;
    return taken ? background ^ 0xffffffu : kRed;
  }
  bool operator==(const Colours& o) const {
    return background == o.background && segment == o.segment && bud == o.bud;
  }
};

struct Style {
  explicit Style(bool withLines = false, int32_t brush = 1, const Colours& chosen = Colours())
      : lines(withLines), width(brush), colours(chosen) {}

  bool lines;     // segments as lines, buds as squares centred on their point
  int32_t width;  // the brush of the lines, 1 to kMaxLineWidth screen pixels
  Colours colours;
};
