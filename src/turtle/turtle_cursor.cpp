// TurtleCursor: construction, the reset that starts every walk and the book's turtle.
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

void TurtleCursor::interpretModule() {
  if (atEnd()) return;
  const auto i = static_cast<std::size_t>(index);
  const TurtleCommand command = commandOf(symbolAt(index));
  const bool parametric = offsets[i + 1] != offsets[i];
  const double first = parametric ? values[offsets[i]] : 0.0;
  switch (command) {
    case TurtleCommand::kSegment:
    case TurtleCommand::kMove:
      if (parametric) {
        state.moveBy(directions.of(state.heading),
                     roundedToFloat(first * static_cast<double>(state.step)));
      } else {
        state.move(directions.of(state.heading));
      }
      break;
    case TurtleCommand::kLeft:
    case TurtleCommand::kRight: {
      const float turn = parametric ? roundedToFloat(radiansOf(first)) : angle;
      state.turn(command == TurtleCommand::kLeft ? turn : -turn);
      break;
    }
    case TurtleCommand::kLonger:
      state.turn(kPiTurn);
      break;
    case TurtleCommand::kShorter:
      break;
    default:
      interpretCurrent();
      break;
  }
}
