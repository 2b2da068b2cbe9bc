// TurtleCursor: an LSystem that walks its own word with a turtle and holds a selection.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "direction_cache.h"
#include "lsystem.h"
#include "turtle_state.h"

#if defined(__clang__)
#define LSV_WALK_STEP_INLINE __attribute__((always_inline))
#else
#define LSV_WALK_STEP_INLINE
#endif

// What a byte of the word does to the turtle and in the figure.
enum class TurtleCommand : uint8_t {
  kNone,     // nothing: a variable
  kSegment,  // steps forward, drawn; a press prunes there
  kMove,     // steps forward, not drawn, never selected
  kBud,      // no command, drawn; a press grows there
  kLeft,     // "+"
  kRight,    // "-"
  kPush,     // "["
  kPop,      // "]"
  kShorter,  // "_"
  kLonger,   // "|"
};

class TurtleCursor : public LSystem {
 public:
  // The start state is (x, y), heading up, with the given step; "+" and "-" turn by `turn`
  // radians. The segments are "a", the buds "o", and no byte moves without drawing.
  TurtleCursor(std::string grammar, int32_t x, int32_t y, int32_t step = 20, float turn = 0.5f);

  // Chooses the bytes that are segments, buds and moves; every other byte but the six commands
  // "+-[]_|", which keep theirs, does nothing. The sets are meant to be disjoint and free of the
  // commands (the options see to it); if not, a command wins over a move, a move over a bud and
  // a bud over a segment.
  void setSymbols(std::string_view segments, std::string_view buds, std::string_view moves);
  TurtleCommand commandOf(char symbol) const {
    return commands[static_cast<unsigned char>(symbol)];
  }
  bool isSegment(char symbol) const { return commandOf(symbol) == TurtleCommand::kSegment; }
  bool isBud(char symbol) const { return commandOf(symbol) == TurtleCommand::kBud; }
  // The start state's heading, which every reset() starts from; kUpHeading points up.
  void setStartHeading(float heading) { origin.heading = heading; }

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
    switch (commandOf(symbolAt(index))) {
      case TurtleCommand::kSegment:
      case TurtleCommand::kMove:
        state.move(directions.of(state.heading));  // the same bits as state.forward()
        break;
      case TurtleCommand::kLeft:
        state.turn(angle);
        break;
      case TurtleCommand::kRight:
        state.turn(-angle);
        break;
      case TurtleCommand::kPush:
        stack.push_back(state);  // an exact copy
        break;
      case TurtleCommand::kPop:
        closeBranch();
        break;
      case TurtleCommand::kShorter:
        state.changeStep(-5.0f);
        break;
      case TurtleCommand::kLonger:
        state.changeStep(5.0f);
        break;
      default:
        break;  // the bud and every other byte have no command
    }
  }

  // interpretCurrent for a word of the book's notation: a segment or a move with parameters
  // steps its first one times the step, rounded once to float; "+" and "-" with parameters turn
  // by the first one in degrees; "|" turns by pi and "_" does nothing.
  void interpretModule();

  void select() { selected = index; }  // index 0 doubles as "nothing selected"
  char selectedSymbol() const { return symbolAt(selected); }
  // One generation from the selection: the book's with a book (its seed 0 without one), else
  // with the first rule set, or stochastic with a seed.
  void grow() {
    if (book) {
      growBook(selected, seed.value_or(0));
    } else if (seed) {
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
  // How "]" restores the turtle: as "[" saved it, floats and all (the line style), or through
  // whole pixels (the squares).
  bool exactBranches = false;

 private:
  std::array<TurtleCommand, 256> commands;  // by the byte's unsigned value
  DirectionCache directions;  // of headings met by earlier segments; not part of the walk

  // Without exactBranches the restore goes through assign, so the walk resumes from the
  // whole-pixel position. An unmatched "]" leaves the state as it is.
  void closeBranch() {
    if (stack.empty()) return;
    if (exactBranches) {
      state = stack.back();
    } else {
      state.assign(stack.back());
    }
    stack.pop_back();
  }
};
