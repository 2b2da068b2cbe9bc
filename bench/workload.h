// The figures the benchmarks and the probe measure: the built-in grammar grown n times.
#pragma once

#include <cstdint>
#include <string>

#include "explorer.h"
#include "session.h"
#include "turtle_cursor.h"
#include "words.h"

namespace workload {

constexpr int kRewriteGenerations = 18;  // 2,097,146 symbols at the end
constexpr int kStartGenerations = 3;     // the viewer's start word, 58 symbols
constexpr int kMidGenerations = 10;      // 8,186 symbols
constexpr int kLargeGenerations = 17;    // 1,048,570 symbols
constexpr int kHugeGenerations = 20;     // 8,388,602 symbols
// The rewrites of the word o under a grammar of many rules, whose size must not matter.
constexpr int kManyRulesGenerations = 1000;
// Inside the start word's bud at index 13 only; on larger words it lies in some squares too.
constexpr int32_t kPointerX = 230;
constexpr int32_t kPointerY = 215;

// The index of the symbol s nearest to the middle of the word, searching forward.
inline int32_t middleSymbol(const LSystem& system, char s) {
  const auto at = system.word.find(s, system.word.size() / 2);
  return at == std::string::npos ? -1 : static_cast<int32_t>(at);
}

// One walk as the viewer makes it, reading every symbol's whole-pixel position; returns a sum
// of what it read, so that no step can be optimised away.
inline int64_t walkOnce(TurtleCursor& cursor) {
  int64_t sum = 0;
  cursor.reset();
  while (!cursor.atEnd()) {
    cursor.interpretCurrent();
    const TurtleState position = cursor.currentState();
    sum += position.getX() + position.getY() + cursor.currentSymbol();
    cursor.advance();
  }
  return sum;
}

// The session of the built-in word, or of another grammar's, grown `generations` times, as the
// program starts it: without options, or fitted to a 600x400 window, in the given style.
inline Session grownSession(int generations, bool fit = false, const Style& style = Style(),
                            const char* grammar = nullptr) {
  Options options;
  options.fit = fit;
  options.lines = style.lines;
  options.lineWidth = style.width;
  TurtleCursor cursor(grammar != nullptr ? grammar : kGrammar, 300, 300);
  for (int i = 0; i < generations; ++i) cursor.grow();
  Session session{options, std::move(cursor), PressHistory(), View()};
  session.cursor.exactBranches = style.lines;
  if (fit) session.view = fitView(session.shownFigure(), 600, 400, style);
  return session;
}

// The pointer moved to (x, y), as a motion makes it: the frame that follows is one that the
// pointer alone asks for, drawn from the figure kept since the word last changed.
inline void movePointer(Explorer& explorer, int32_t x, int32_t y) {
  UserInput motion;
  motion.type = UserInput::Type::kMotion;
  motion.x = x;
  motion.y = y;
  explorer.handle(motion);
}

}  // namespace workload
