// Presses that can be taken back, each kept as the stretch of the word that it changed, and the
// list of the presses that made the word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "options.h"
#include "press.h"
#include "turtle_cursor.h"
#include "work.h"

// A press refused because the list of presses holds kMaxPresses already, as many as a list
// given to --presses or in a link may hold.
class PressLimitError : public std::length_error {
 public:
  using std::length_error::length_error;
};

class PressHistory {
 public:
  // Keeps the newest presses whose changed stretches fit in maxBytes, at most maxPresses of
  // them; older ones are forgotten, so memory does not grow with the number of presses. The
  // list of presses keeps them all.
  explicit PressHistory(std::size_t maxBytes = std::size_t{64} << 20,
                        std::size_t maxPresses = 100000);

  // A mouse button press on the cursor's selection (pressSelected), remembered so that undo can
  // take it back when it changed the word. A refused growth, or a press on a bud or a segment
  // once the list of presses is full or when its replay would pass the work budget, leaves the
  // word as it was and says why.
  Edit press(TurtleCursor& cursor);
  // A generation of the whole word (growWhole), remembered as a press is.
  Edit growAll(TurtleCursor& cursor);
  // The press at index as a list replays it: grows a bud, prunes at a segment, grows the whole
  // word at kGrowAll, prints nothing. Throws what the growth throws (WordLimitError,
  // std::bad_alloc), PressLimitError once the list is full, or WorkLimitError when the work
  // budget is spent, the word as it was.
  void pressAt(TurtleCursor& cursor, int32_t index);
  // Puts back the word from before the newest press still remembered, forgets that press and
  // gives its work back; false when none is left. Exact for any word: it restores bytes, it does
  // not rewrite.
  bool undo(TurtleCursor& cursor);
  // Why undo finds nothing to take back while the list of presses is not empty: the newest press
  // changed more than the byte budget or found no memory to be kept, or older ones were
  // forgotten. Empty when a press can be taken back or none was made.
  std::string whyNoUndo() const;
  // The start's work budget, which every press counts against as its replay would: the
  // generations and the presses of the command line, then those made since.
  Work& work() { return work_; }
  std::size_t size() const { return changes_.size(); }
  // The word indices of the presses that made the word from the start word, oldest first;
  // kGrowAll for a generation of the whole word; at most kMaxPresses of them.
  const std::vector<int32_t>& presses() const { return presses_; }

 private:
  // The press turned word[at, at + before.size()) into `length` other symbols, reading `read`
  // symbols of the work budget.
  struct Change {
    std::size_t at;
    std::size_t length;
    std::string before;
    uint64_t read;
    std::optional<ModuleWord> modules;  // with a book: the same stretch, parameters and all
    // What it keeps, counted against maxBytes.
    std::size_t bytes() const {
      return before.size() + (modules ? modules->size() * (1 + sizeof(uint32_t)) +
                                            modules->values.size() * sizeof(double)
                                      : 0);
    }
  };
  // Runs act, a press at the cursor's selection (or, whole, a growth of the whole word), and
  // remembers what it changed, if anything; true when the word changed.
  template <class Act>
  bool record(TurtleCursor& cursor, bool whole, Act&& act);
  // A button press, or with whole a growth of the whole word, or its refusal.
  Edit pressOrRefuse(TurtleCursor& cursor, bool whole);

  std::size_t maxBytes_;
  std::size_t maxPresses_;
  std::size_t bytes_ = 0;
  std::deque<Change> changes_;
  std::vector<int32_t> presses_;
  Work work_{INT32_MAX};
  // The newest press that could not be kept, as its number in the list, and why.
  std::size_t unkeptAt_ = 0;
  std::string unkept_;
};
