// Presses that can be taken back, each kept as the stretch of the word that it changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "turtle_cursor.h"

class PressHistory {
 public:
  // Keeps the newest presses whose changed stretches fit in maxBytes, at most maxPresses of
  // them; older ones are forgotten, so memory does not grow with the number of presses.
  explicit PressHistory(std::size_t maxBytes = std::size_t{64} << 20,
                        std::size_t maxPresses = 100000);

  // A mouse button press (pressButton), remembered so that undo can take it back.
  void press(TurtleCursor& arbre);
  // Puts back the word from before the newest press still remembered and forgets that press;
  // false when none is left. Exact for any word: it restores bytes, it does not rewrite.
  bool undo(TurtleCursor& arbre);
  std::size_t size() const { return changes_.size(); }

 private:
  // The press turned word[at, at + before.size()) into `length` other symbols.
  struct Change {
    std::size_t at;
    std::size_t length;
    std::string before;
  };
  std::size_t maxBytes_;
  std::size_t maxPresses_;
  std::size_t bytes_ = 0;
  std::deque<Change> changes_;
};
