// TurtleCursor: an LSystem that walks its own word with a turtle and holds a selection.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "direction_cache.h"
#include "lsystem.h"
#include "turtle_state.h"

#if defined(__clang__)
#define LSV_WALK_STEP_INLINE __attribute__((always_inline))
#else
#define LSV_WALK_STEP_INLINE
#endif

class TurtleCursor : public LSystem {
 public:
  // The start state is (x, y), heading up, with the given step; "+" and "-" turn by `turn`
  // radians.
  TurtleCursor(std::string grammar, int32_t x, int32_t y, int32_t step = 20, float turn = 0.5f);

  // Back to the first symbol and the start state, with an empty stack and no selection.
  void reset();
  void advance() { ++index; }  // unbounded; atEnd tests with >=
  bool atEnd() const { return index >= wordLength(); }
  char currentSymbol() const { return atEnd() ? '\0' : symbolAt(index); }
  TurtleState currentState() const { return atEnd() ? origin : state; }
  // Applies the current symbol's turtle command to state; index does not move. Inlined into the
  // walk that calls it: GCC does so by itself (forced, it makes other choices in drawFigure that
  // cost 0.4% more instructions), clang keeps it out of line unless forced, and a call per
  // symbol makes the WebAssembly walk reload the cursor from memory after every symbol.
  LSV_WALK_STEP_INLINE void interpretCurrent() {
    if (atEnd()) return;
    switch (symbolAt(index)) {
      case 'a':
        state.move(directions.of(state.heading));  // the same bits as state.forward()
        break;
      case '+':
        state.turn(angle);
        break;
      case '-':
        state.turn(-angle);
        break;
      case '[':
        stack.push_back(state);  // an exact copy
        break;
      case ']':
        closeBranch();
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

  void select() { selected = index; }  // index 0 doubles as "nothing selected"
  char selectedSymbol() const { return symbolAt(selected); }
  // One generation from the selection: with the first rule set, or stochastic with a seed.
  void grow() {
    if (seed) {
      rewriteStochastic(selected, *seed);
    } else {
      rewriteFrom(selected, 0);
    }
  }
  void prune() {
    if (selected != 0) pruneAt(selected);
  }

  TurtleState origin;
  TurtleState state;
  int32_t index;
  int32_t selected;
  std::deque<TurtleState> stack;  // used at its back only
  float angle;                    // the turn of "+" and "-", in radians
  std::optional<uint64_t> seed;   // set: every growth chooses among all rule sets (stochastic)

 private:
  DirectionCache directions;  // of headings met by earlier segments; not part of the walk

  // The restore goes through assign, so the walk resumes from the whole-pixel position.
  // An unmatched "]" leaves the state as it is.
  void closeBranch() {
    if (!stack.empty()) {
      state.assign(stack.back());
      stack.pop_back();
    }
  }
};
