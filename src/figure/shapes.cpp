// The shapes of a walk kept for the frames that only the pointer changes.
#include "shapes.h"

bool KeptFrame::keep(TurtleCursor& cursor, const View& view, int32_t width, int32_t height) {
  shapes_.clear();
  window_ = windowOf(width, height);
  const ViewPlacement placement(view);
  bool fits = true;
  walkDrawable(cursor, [&](int32_t x, int32_t y, char symbol) {
    const Shape shape = placement.place(x, y, symbol, cursor.index);
    Square clipped;
    if (!fits || !clipToWindow(shape, window_, clipped)) return;
    if (shapes_.size() == kMaxKept) {
      fits = false;
      return;
    }
    shapes_.push_back(shape);
  });
  if (!fits) shapes_ = {};
  return fits;
}
