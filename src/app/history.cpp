// Presses that can be taken back: the stretch that a press can change is kept from before it.
#include "history.h"

#include <algorithm>
#include <new>
#include <utility>

PressHistory::PressHistory(std::size_t maxBytes, std::size_t maxPresses)
    : maxBytes_(maxBytes), maxPresses_(maxPresses) {}

template <class Act>
bool PressHistory::record(TurtleCursor& cursor, bool whole, Act&& act) {
  if (whole) cursor.selected = 0;
  const char symbol = cursor.selectedSymbol();
  // A press on anything else, or on a segment at index 0 (no selection), changes nothing: it
  // costs no copy of the word.
  if (!whole && !cursor.isBud(symbol) && (!cursor.isSegment(symbol) || cursor.selected == 0)) {
    act();
    return false;
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
  std::optional<ModuleWord> modules;
  try {
    before = cursor.word.substr(at, reach);
    if (cursor.book) modules = cursor.modulesIn(at, at + reach);
  } catch (const std::bad_alloc&) {
    // The press still happens, but cannot be taken back; the older ones then no longer fit.
    changes_.clear();
    bytes_ = 0;
    act();
    if (cursor.word.size() == oldLength) return false;
    presses_.push_back(whole ? kGrowAll : cursor.selected);
    return true;
  }
  act();
  const std::size_t length = reach + cursor.word.size() - oldLength;
  if (length == reach && cursor.word.compare(at, length, before) == 0 &&
      (!modules || cursor.sameModules(at, *modules))) {
    return false;
  }
  presses_.push_back(whole ? kGrowAll : cursor.selected);
  changes_.push_back(Change{at, length, std::move(before), std::move(modules)});
  bytes_ += changes_.back().bytes();
  while (!changes_.empty() && (bytes_ > maxBytes_ || changes_.size() > maxPresses_)) {
    bytes_ -= changes_.front().bytes();
    changes_.pop_front();
  }
  return true;
}

Edit PressHistory::press(TurtleCursor& cursor) { return pressOrRefuse(cursor, false); }

Edit PressHistory::growAll(TurtleCursor& cursor) { return pressOrRefuse(cursor, true); }

Edit PressHistory::pressOrRefuse(TurtleCursor& cursor, bool whole) {
  try {
    return Edit{record(cursor, whole,
                       [&cursor, whole] { whole ? growWhole(cursor) : pressSelected(cursor); }),
                ""};
  } catch (const std::exception& error) {
    return refusedBy(error);
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
  if (change.modules) {
    cursor.replaceModules(change.at, change.at + change.length, *change.modules);
  } else {
    cursor.word.replace(change.at, change.length, change.before);
  }
  bytes_ -= change.bytes();
  changes_.pop_back();
  presses_.pop_back();
  return true;
}
