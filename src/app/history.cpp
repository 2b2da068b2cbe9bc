// Presses that can be taken back: the stretch that a press can change is kept from before it.
#include "history.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <utility>

#include "press.h"

PressHistory::PressHistory(std::size_t maxBytes, std::size_t maxPresses)
    : maxBytes_(maxBytes), maxPresses_(maxPresses) {}

template <class Act>
void PressHistory::record(TurtleCursor& cursor, bool whole, Act&& act) {
  if (whole) cursor.selected = 0;
  const char symbol = cursor.selectedSymbol();
  // A press on anything else, or on a segment at index 0 (no selection), changes nothing: it
  // still prints when it is a button press, and costs no copy of the word.
  if (!whole && !cursor.isBud(symbol) && (!cursor.isSegment(symbol) || cursor.selected == 0)) {
    act();
    return;
  }
  if (presses_.size() >= kMaxPresses) {
    throw PressLimitError("the list of presses is full at " + std::to_string(kMaxPresses) +
                          " presses");
  }
  // A growth rewrites, and a pruning erases, only within the rest of the selection's branch
  // and its closing "]": branchLength symbols from the selection.
  const auto at = static_cast<std::size_t>(cursor.selected);
  const auto reach = static_cast<std::size_t>(cursor.branchLength(cursor.selected));
  const std::size_t oldLength = cursor.word.size();
  std::string before;
  try {
    before = cursor.word.substr(at, reach);
  } catch (const std::bad_alloc&) {
    // The press still happens, but cannot be taken back; the older ones then no longer fit.
    changes_.clear();
    bytes_ = 0;
    act();
    if (cursor.word.size() != oldLength) presses_.push_back(whole ? kGrowAll : cursor.selected);
    return;
  }
  act();
  const std::size_t length = reach + cursor.word.size() - oldLength;
  if (length == reach && cursor.word.compare(at, length, before) == 0) return;  // unchanged
  presses_.push_back(whole ? kGrowAll : cursor.selected);
  bytes_ += before.size();
  changes_.push_back(Change{at, length, std::move(before)});
  while (!changes_.empty() && (bytes_ > maxBytes_ || changes_.size() > maxPresses_)) {
    bytes_ -= changes_.front().before.size();
    changes_.pop_front();
  }
}

void PressHistory::press(TurtleCursor& cursor) { pressOrRefuse(cursor, false); }

void PressHistory::growAll(TurtleCursor& cursor) { pressOrRefuse(cursor, true); }

void PressHistory::pressOrRefuse(TurtleCursor& cursor, bool whole) {
  try {
    record(cursor, whole, [&cursor, whole] { whole ? growButton(cursor) : pressButton(cursor); });
  } catch (const PressLimitError& error) {
    std::fprintf(stderr, "lsystem-viewer: %s; the word stays as it was\n", error.what());
    cursor.printWord();
  }
}

void PressHistory::pressAt(TurtleCursor& cursor, int32_t index) {
  if (index == kGrowAll) {
    record(cursor, true, [&cursor] { growWhole(cursor); });
    return;
  }
  cursor.selected = index;
  record(cursor, false, [&cursor] { pressSelected(cursor); });
}

bool PressHistory::undo(TurtleCursor& cursor) {
  if (changes_.empty()) return false;
  const Change& change = changes_.back();
  cursor.word.replace(change.at, change.length, change.before);
  bytes_ -= change.before.size();
  changes_.pop_back();
  presses_.pop_back();
  return true;
}
