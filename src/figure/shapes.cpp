// The shapes of a walk kept for the frames that only the pointer changes.
#include "shapes.h"

bool KeptFrame::keep(TurtleCursor& cursor, const View& view, const Style& style, int32_t width,
                     int32_t height) {
  shapes_.clear();
  strokes_.clear();
  squares_.clear();
  squaresEnd_.clear();
  window_ = windowOf(width, height);
  brush_ = style.width;
  bool fits = true;
  const auto add = [&fits](auto& kept, const auto& shape) {
    if (kept.size() == kMaxKept) {
      fits = false;
      return;
    }
    kept.push_back(shape);
  };
  if (style.lines) {
    const LinePlacement placement(view, style.width);
    walkStrokes(cursor, [&](TurtlePoint from, TurtlePoint to, char symbol) {
      const Stroke stroke = placement.place(from, to, cursor.isBud(symbol), cursor.index);
      if (!fits || !nearWindow(stroke, placement, window_)) return;
      add(strokes_, stroke);
      strokeSquares(stroke, style.width, window_, [this, &fits](const Square& square) {
        if (squares_.size() == 4 * kMaxKept) fits = false;
        if (fits) squares_.push_back(square);
      });
      squaresEnd_.push_back(static_cast<uint32_t>(squares_.size()));
    });
  } else {
    const ViewPlacement placement(view);
    walkDrawn(cursor, [&](int32_t x, int32_t y, char, bool bud) {
      const Shape shape = placement.place(x, y, bud, cursor.index);
      Square clipped;
      if (fits && clipToWindow(shape, window_, clipped)) add(shapes_, shape);
    });
  }
  if (!fits) {
    shapes_ = {};
    strokes_ = {};
    squares_ = {};
    squaresEnd_ = {};
  }
  return fits;
}
