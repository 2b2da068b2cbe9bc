// Presses that can be taken back: the word around a press is compared before and after it.
#include "history.h"

#include <algorithm>
#include <new>
#include <utility>

#include "press.h"

PressHistory::PressHistory(std::size_t maxBytes, std::size_t maxPresses)
    : maxBytes_(maxBytes), maxPresses_(maxPresses) {}

void PressHistory::press(TurtleCursor& arbre) {
  std::string before;
  try {
    before = arbre.word;
  } catch (const std::bad_alloc&) {
    // The press still happens, but cannot be taken back; the older ones then no longer fit.
    changes_.clear();
    bytes_ = 0;
    pressButton(arbre);
    return;
  }
  pressButton(arbre);
  const std::string& after = arbre.word;
  // The press changed one stretch: what the words share at the start and at the end stays.
  const std::size_t shorter = std::min(before.size(), after.size());
  std::size_t start = 0;
  while (start < shorter && before[start] == after[start]) ++start;
  std::size_t end = 0;
  while (end < shorter - start &&
         before[before.size() - 1 - end] == after[after.size() - 1 - end]) {
    ++end;
  }
  Change change{start, after.size() - start - end,
                before.substr(start, before.size() - start - end)};
  bytes_ += change.before.size();
  changes_.push_back(std::move(change));
  while (!changes_.empty() && (bytes_ > maxBytes_ || changes_.size() > maxPresses_)) {
    bytes_ -= changes_.front().before.size();
    changes_.pop_front();
  }
}

bool PressHistory::undo(TurtleCursor& arbre) {
  if (changes_.empty()) return false;
  const Change& change = changes_.back();
  arbre.word.replace(change.at, change.length, change.before);
  bytes_ -= change.before.size();
  changes_.pop_back();
  return true;
}
