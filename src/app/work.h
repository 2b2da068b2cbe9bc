// The start's work budget: how many symbols its rewrites may read in all.
#pragma once

#include <cstdint>
#include <string>

#include "turtle_cursor.h"

// The start's work, counted in symbols read: each generation and each replayed press reads the
// whole word and writes a new one, so that many of them on a long word take long even below the
// word's limit. Past 32 times the limit the start is refused: with the page's limit, a link can
// never keep the tab busy for more than a moment.
class Work {
 public:
  explicit Work(int32_t limit) : budget_(uint64_t{32} * static_cast<uint64_t>(limit)) {}

  // Counts one more rewrite of the word; false when it would pass the budget.
  bool allows(const TurtleCursor& cursor) {
    done_ += static_cast<uint64_t>(cursor.wordLength());
    return done_ <= budget_;
  }
  // What a refusal says after the generation or press that it names.
  std::string refusal() const {
    return " would bring the start's work past " + std::to_string(budget_) +
           " symbols, 32 times the word's limit";
  }

 private:
  uint64_t budget_;
  uint64_t done_ = 0;
};
