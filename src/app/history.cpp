// Presses that can be taken back: the stretch that a press can change is kept from before it.
#include "history.h"

#include <algorithm>
#include <new>
#include <utility>

PressHistory::PressHistory(std::size_t maxBytes, std::size_t maxPresses)
    : maxBytes_(maxBytes), maxPresses_(maxPresses) {}

namespace {

// A budget of bytes as a line says it: in MiB when it is a whole number of them.
std::string bytesText(std::size_t bytes) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  return bytes % kMiB == 0 && bytes != 0 ? std::to_string(bytes / kMiB) + " MiB"
                                         : std::to_string(bytes) + " bytes";
}

}  // namespace

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
  // The replay of the list reads the word before each press, as this one does now.
  const auto read = static_cast<uint64_t>(cursor.wordLength());
  if (!work_.allows(cursor)) throw WorkLimitError(work_.pressRefusal(presses_.size() + 1));
  // A press that changes nothing, or is refused, is not in the list: its work is not counted.
  // With a book, the parameters of the stretch count too.
  const auto changedWord = [&](std::size_t oldLength, const std::string* before, std::size_t at,
                               const std::optional<ModuleWord>& modules) {
    try {
      act();
    } catch (...) {
      work_.giveBack(read);
      throw;
    }
    const bool changed = before == nullptr
                             ? cursor.word.size() != oldLength
                             : cursor.word.size() != oldLength ||
                                   cursor.word.compare(at, before->size(), *before) != 0 ||
                                   (modules && !cursor.sameModules(at, *modules));
    if (!changed) work_.giveBack(read);
    return changed;
  };
  // A growth rewrites, and a pruning erases, only within the rest of the selection's branch
  // and its closing "]": branchLength symbols from the selection.
  const auto at = static_cast<std::size_t>(cursor.selected);
  const auto reach = static_cast<std::size_t>(cursor.branchLength(cursor.selected));
  const std::size_t oldLength = cursor.word.size();
  // The newest press, now in the list, that undo cannot take back, and why.
  const auto unkept = [&](const std::string& why) {
    unkeptAt_ = presses_.size();
    unkept_ = (whole ? std::string("the growth of the whole word")
                     : "the press at index " + std::to_string(at)) +
              " cannot be taken back: " + why;
  };
  std::string before;
  std::optional<ModuleWord> modules;
  try {
    before = cursor.word.substr(at, reach);
    if (cursor.book) modules = cursor.modulesIn(at, at + reach);
  } catch (const std::bad_alloc&) {
    // The press still happens, but cannot be taken back; the older ones then no longer fit.
    changes_.clear();
    bytes_ = 0;
    if (!changedWord(oldLength, nullptr, at, std::nullopt)) return false;
    presses_.push_back(whole ? kGrowAll : cursor.selected);
    unkept("there was no memory to keep what it changed");
    return true;
  }
  if (!changedWord(oldLength, &before, at, modules)) return false;
  const std::size_t length = reach + cursor.word.size() - oldLength;
  presses_.push_back(whole ? kGrowAll : cursor.selected);
  changes_.push_back(Change{at, length, std::move(before), read, std::move(modules)});
  bytes_ += changes_.back().bytes();
  while (!changes_.empty() && (bytes_ > maxBytes_ || changes_.size() > maxPresses_)) {
    bytes_ -= changes_.front().bytes();
    changes_.pop_front();
  }
  if (changes_.empty())
    unkept("it changed more than the " + bytesText(maxBytes_) + " that undo keeps");
  return true;
}

Edit PressHistory::press(TurtleCursor& cursor) { return pressOrRefuse(cursor, false); }

Edit PressHistory::growAll(TurtleCursor& cursor) { return pressOrRefuse(cursor, true); }

Edit PressHistory::pressOrRefuse(TurtleCursor& cursor, bool whole) {
  try {
    return Edit{record(cursor, whole,
                       [&cursor, whole] { whole ? growWhole(cursor) : pressSelected(cursor); }),
                ""};
  } catch (const WorkLimitError& error) {
    return Edit{false, error.what()};  // the very line that the replay of the list would give
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
  work_.giveBack(change.read);
  changes_.pop_back();
  presses_.pop_back();
  return true;
}

std::string PressHistory::whyNoUndo() const {
  if (!changes_.empty() || presses_.empty()) return "";
  if (presses_.size() == unkeptAt_) return unkept_;
  return "the presses before cannot be taken back: undo keeps only the newest " +
         std::to_string(maxPresses_) + " that fit in " + bytesText(maxBytes_);
}
