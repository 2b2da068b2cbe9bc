// A press on the figure, a growth of the whole word, and the wording of a refusal.
#include "press.h"

#include <new>
#include <stdexcept>

#include "history.h"

void pressSelected(TurtleCursor& cursor) {
  const char symbol = cursor.selectedSymbol();
  if (cursor.isBud(symbol)) {
    cursor.grow();
  } else if (cursor.isSegment(symbol)) {
    cursor.prune();
  }
}

void growWhole(TurtleCursor& cursor) {
  cursor.selected = 0;
  cursor.grow();
}

std::string reasonOf(const std::exception& error) {
  if (dynamic_cast<const WordLimitError*>(&error) != nullptr ||
      dynamic_cast<const PressLimitError*>(&error) != nullptr ||
      dynamic_cast<const WorkLimitError*>(&error) != nullptr) {
    return error.what();
  }
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return "out of memory";
  if (dynamic_cast<const std::length_error*>(&error) != nullptr) {
    return "the word would be too long for this machine";
  }
  return error.what();
}

Edit refusedBy(const std::exception& error) {
  const std::string reason = reasonOf(error);
  const bool namesTheWord = reason.rfind("the word", 0) == 0;
  return Edit{false,
              reason + (namesTheWord ? "; it stays as it was" : "; the word stays as it was")};
}
