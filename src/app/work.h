// The start's work budget: how many symbols its rewrites may read in all.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "turtle_cursor.h"

// A press refused because the replay of the list of presses, with it, would pass the start's
// work budget: its message is the line that the replay would give.
class WorkLimitError : public std::length_error {
 public:
  using std::length_error::length_error;
};

// The start's work, counted in symbols read: each generation and each replayed press reads the
// whole word and writes a new one, so that many of them on a long word take long even below the
// word's limit. Past 32 times the limit the start is refused: with the page's limit, a link can
// never keep the tab busy for more than a moment. The presses made after the start count on, so
// that the list of presses always replays.
class Work {
 public:
  explicit Work(int32_t limit) : budget_(uint64_t{32} * static_cast<uint64_t>(limit)) {}

  // Counts one more rewrite of the word; false, and nothing counted, when it would pass the
  // budget.
  bool allows(const TurtleCursor& cursor) {
    const auto read = static_cast<uint64_t>(cursor.wordLength());
    if (read > budget_ - done_) return false;
    done_ += read;
    return true;
  }
  // Takes back the count of a rewrite that was undone or changed nothing.
  void giveBack(uint64_t read) { done_ -= read; }
  // What a refusal says after the generation or press that it names.
  std::string refusal() const {
    return " would bring the start's work past " + std::to_string(budget_) +
           " symbols, 32 times the word's limit";
  }
  // The refusal of press `number` of a list of presses, counted from 1.
  std::string pressRefusal(std::size_t number) const {
    return "press " + std::to_string(number) + " of --presses" + refusal();
  }

 private:
  uint64_t budget_;
  uint64_t done_ = 0;
};
