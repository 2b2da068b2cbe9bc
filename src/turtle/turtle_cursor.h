// TurtleCursor: an LSystem that walks its own word with a turtle and holds a selection.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "lsystem.h"
#include "turtle_state.h"

class TurtleCursor : public LSystem {
 public:
  TurtleCursor(std::string grammar, int32_t x, int32_t y);

  // Back to the first symbol and the start state, with an empty stack and no selection.
  void reset();
  void advance() { ++index; }  // unbounded; atEnd tests with >=
  bool atEnd() const { return index >= wordLength(); }
  char currentSymbol() const { return atEnd() ? '\0' : symbolAt(index); }
  TurtleState currentState() const { return atEnd() ? origin : state; }
  // Applies the current symbol's turtle command to state; index does not move.
  void interpretCurrent();

  void select() { selected = index; }  // index 0 doubles as "nothing selected"
  char selectedSymbol() const { return symbolAt(selected); }
  void grow() { rewriteFrom(selected, 0); }
  void prune() {
    if (selected != 0) pruneAt(selected);
  }

  TurtleState origin;
  TurtleState state;
  int32_t index;
  int32_t selected;
  std::deque<TurtleState> stack;  // used at its back only
};
