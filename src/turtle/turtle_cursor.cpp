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
  setSymbols("a", "o", "");
}

void TurtleCursor::setSymbols(std::string_view segments, std::string_view buds,
                              std::string_view moves) {
  commands.fill(TurtleCommand::kNone);
  const auto set = [this](std::string_view bytes, TurtleCommand command) {
    for (const char byte : bytes) commands[static_cast<unsigned char>(byte)] = command;
  };
  set(segments, TurtleCommand::kSegment);
  set(buds, TurtleCommand::kBud);
  set(moves, TurtleCommand::kMove);
  set("+", TurtleCommand::kLeft);
  set("-", TurtleCommand::kRight);
  set("[", TurtleCommand::kPush);
  set("]", TurtleCommand::kPop);
  set("_", TurtleCommand::kShorter);
  set("|", TurtleCommand::kLonger);
}

void TurtleCursor::reset() {
  if (exactBranches) {
    state = origin;  // a decimal step of the line style is kept as it is
  } else {
    state.assign(origin);
  }
  index = 0;
  stack.clear();
  selected = 0;
}
