// A frame as the program draws it, without SDL: the word walked into its figure, the pick of the
// pointer, then the fills in word order.
#pragma once

#include <cstdint>
#include <vector>

#include "figure.h"
#include "frame.h"
#include "shapes.h"
#include "turtle_cursor.h"

struct Fill {
  Square square;
  uint32_t colour;
  bool operator==(const Fill& o) const {
    return square.x == o.square.x && square.y == o.square.y && square.w == o.square.w &&
           square.h == o.square.h && colour == o.colour;
  }
};

struct Frame {
  std::vector<Fill> fills;
  int32_t selected = 0;  // the pick's
};

// The frame of the cursor's word with the pointer at (px, py) in a width x height window: through
// the view when one is given, else at the positions cut to 16 bits (or, for lines, as they are).
inline Frame frameOf(TurtleCursor& cursor, int32_t px, int32_t py, const View* view = nullptr,
                     const Style& style = Style(), int32_t width = 600, int32_t height = 400,
                     const Palette& palette = Palette{1, 2, 3}) {
  const Figure figure(cursor);
  Frame frame;
  withPlacement(view, style, [&](const auto& placement) {
    const Pick picked = pick(figure, placement, palette, ScreenPoint{px, py});
    frame.selected = picked.selected;
    drawFigure(figure, placement, palette, picked, width, height,
               [&frame](const Square& square, uint32_t colour) {
                 frame.fills.push_back({square, colour});
               });
  });
  return frame;
}
