// One frame of the figure: the pick of the shapes under the pointer, asked first, then the
// drawing of the shapes in word order, those picked red.
#pragma once

#include <cstdint>

#include "figure.h"
#include "screen.h"
#include "shapes.h"

// What the pointer picks in a frame: the shapes that hold it, and the selection, the last of them
// in word order.
struct Pick {
  ScreenPoint pointer{0, 0};
  int32_t selected = 0;  // the symbol's index; 0, which doubles as the first symbol's, for none
};

// A stroke is drawn, and can be picked, unless its colour is the background's.
inline bool drawn(const Stroke& stroke, const Palette& palette) {
  return (stroke.bud ? palette.bud : palette.segment) != palette.background;
}

// The shapes under the pointer, without drawing anything.
template <class Placement>
Pick pick(const Figure& figure, const Placement& placement, const Palette& palette,
          ScreenPoint pointer) {
  const int32_t brush = brushOf(placement);
  const std::vector<Stroke>& strokes = figure.strokes();
  for (std::size_t i = strokes.size(); i-- > 0;) {
    const Stroke& stroke = strokes[i];
    if (drawn(stroke, palette) && shapeHolds(placement.place(stroke), brush, pointer)) {
      return Pick{pointer, stroke.index};
    }
  }
  return Pick{pointer, 0};
}

// Draws the figure in a width x height window, shape after shape in word order, each handed to
// fill(square, colour) clipped to the window: a shape that the pick holds in the selection's
// colour. Changes nothing it is given.
template <class Placement, class Fill>
void drawFigure(const Figure& figure, const Placement& placement, const Palette& palette,
                const Pick& pick, int32_t width, int32_t height, Fill&& fill) {
  const int32_t brush = brushOf(placement);
  for (const Stroke& stroke : figure.strokes()) {
    if (!drawn(stroke, palette)) continue;
    const Shape shape = placement.place(stroke);
    const uint32_t colour = shapeHolds(shape, brush, pick.pointer) ? palette.selection
                            : stroke.bud                           ? palette.bud
                                                                   : palette.segment;
    paintShape(shape, brush, colour, width, height, fill);
  }
}
