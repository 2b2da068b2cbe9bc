// The figures the benchmarks and the probe measure: the built-in grammar grown n times.
#pragma once

#include <cstdint>
#include <string>

#include "turtle_cursor.h"
#include "words.h"

namespace workload {

constexpr int kRewriteGenerations = 18;  // 2,097,146 symbols at the end
constexpr int kStartGenerations = 3;     // the viewer's start word, 58 symbols
constexpr int kMidGenerations = 10;      // 8,186 symbols
constexpr int kLargeGenerations = 17;    // 1,048,570 symbols
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
inline int64_t walkOnce(TurtleCursor& arbre) {
  int64_t sum = 0;
  arbre.reset();
  while (!arbre.atEnd()) {
    arbre.interpretCurrent();
    const TurtleState position = arbre.currentState();
    sum += position.getX() + position.getY() + arbre.currentSymbol();
    arbre.advance();
  }
  return sum;
}

}  // namespace workload
