// The figure's bounding box.
#include "figure.h"

#include <algorithm>

Box figureBox(TurtleCursor& arbre) {
  const int32_t kept = arbre.selected;  // a walk starts with reset, which clears it
  // In 64 bits: a corner may lie anywhere in 32.
  Box box;
  walkDrawable(arbre, [&box](int32_t x, int32_t y, char symbol) {
    const int64_t side = squareSide(symbol);
    box.minX = std::min<int64_t>(box.minX, x);
    box.minY = std::min<int64_t>(box.minY, y);
    box.maxX = std::max(box.maxX, x + side);
    box.maxY = std::max(box.maxY, y + side);
  });
  arbre.selected = kept;
  return box;
}
