// Presses that can be taken back: the stretch that a press can change is kept from before it.
#include "history.h"

#include <algorithm>
#include <new>
#include <utility>

#include "press.h"

PressHistory::PressHistory(std::size_t maxBytes, std::size_t maxPresses)
    : maxBytes_(maxBytes), maxPresses_(maxPresses) {}

template <class Act>
void PressHistory::record(TurtleCursor& arbre, bool whole, Act&& act) {
  if (whole) arbre.selected = 0;
  const char symbol = arbre.selectedSymbol();
  // A press on anything else, or on a segment at index 0 (no selection), changes nothing: it
  // still prints when it is a button press, and costs no copy of the word.
  if (!whole && !arbre.isBud(symbol) && (!arbre.isSegment(symbol) || arbre.selected == 0)) {
    act();
    return;
  }
  // A growth rewrites, and a pruning erases, only within the rest of the selection's branch
  // and its closing "]": branchLength symbols from the selection.
  const auto at = static_cast<std::size_t>(arbre.selected);
  const auto reach = static_cast<std::size_t>(arbre.branchLength(arbre.selected));
  const std::size_t oldLength = arbre.word.size();
  std::string before;
  try {
    before = arbre.word.substr(at, reach);
  } catch (const std::bad_alloc&) {
    // The press still happens, but cannot be taken back; the older ones then no longer fit.
    changes_.clear();
    bytes_ = 0;
    act();
    if (arbre.word.size() != oldLength) presses_.push_back(whole ? kGrowAll : arbre.selected);
    return;
  }
  act();
  const std::size_t length = reach + arbre.word.size() - oldLength;
  if (length == reach && arbre.word.compare(at, length, before) == 0) return;  // unchanged
  presses_.push_back(whole ? kGrowAll : arbre.selected);
  bytes_ += before.size();
  changes_.push_back(Change{at, length, std::move(before)});
  while (!changes_.empty() && (bytes_ > maxBytes_ || changes_.size() > maxPresses_)) {
    bytes_ -= changes_.front().before.size();
    changes_.pop_front();
  }
}

void PressHistory::press(TurtleCursor& arbre) {
  record(arbre, false, [&arbre] { pressButton(arbre); });
}

void PressHistory::growAll(TurtleCursor& cursor) {
  record(cursor, true, [&cursor] { growButton(cursor); });
}

void PressHistory::pressAt(TurtleCursor& arbre, int32_t index) {
  if (index == kGrowAll) {
    record(arbre, true, [&arbre] { growWhole(arbre); });
    return;
  }
  arbre.selected = index;
  record(arbre, false, [&arbre] { pressSelected(arbre); });
}

bool PressHistory::undo(TurtleCursor& arbre) {
  if (changes_.empty()) return false;
  const Change& change = changes_.back();
  arbre.word.replace(change.at, change.length, change.before);
  bytes_ -= change.before.size();
  changes_.pop_back();
  presses_.pop_back();
  return true;
}
