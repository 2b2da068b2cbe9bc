// TurtleCursor: the turtle commands, and the branch stack with its truncating restore.
#include "turtle_cursor.h"

#include <utility>

TurtleCursor::TurtleCursor(std::string grammar, int32_t x, int32_t y) {
  parseGrammar(std::move(grammar));
  origin.init(x, y);
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

void TurtleCursor::interpretCurrent() {
  if (atEnd()) return;
  switch (symbolAt(index)) {
    case 'a':
      state.forward();
      break;
    case '+':
      state.turn(0.5f);
      break;
    case '-':
      state.turn(-0.5f);
      break;
    case '[':
      stack.push_back(state);  // an exact copy
      break;
    case ']':
      // The restore goes through assign, so the walk resumes from the whole-pixel position.
      // An unmatched "]" leaves the state as it is.
      if (!stack.empty()) {
        state.assign(stack.back());
        stack.pop_back();
      }
      break;
    case '_':
      state.changeStep(-5.0f);
      break;
    case '|':
      state.changeStep(5.0f);
      break;
    default:
      break;  // the bud and every other byte have no command
  }
}
