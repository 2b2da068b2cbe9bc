// TurtleCursor: construction and the reset that starts every walk.
#include "turtle_cursor.h"

#include <utility>

TurtleCursor::TurtleCursor(std::string grammar, int32_t x, int32_t y, int32_t step, float turn)
    : angle(turn) {
  parseGrammar(std::move(grammar));
  origin.init(x, y, step);
  state.assign(origin);
  index = 0;
  selected = 0;
}

void TurtleCursor::reset() {
  state.assign(origin);
  index = 0;
  stack.clear();
  selected = 0;
}
