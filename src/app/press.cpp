// A mouse button press on the figure: grow, prune, or report why the word stays as it was.
#include "press.h"

#include <cstdio>
#include <new>
#include <stdexcept>

void pressSelected(TurtleCursor& cursor) {
  const char symbol = cursor.selectedSymbol();
  if (cursor.isBud(symbol)) {
    cursor.grow();
  } else if (cursor.isSegment(symbol)) {
    cursor.prune();
  }
}

namespace {

// Runs grow, which may refuse, and says why the word stays as it was.
template <class Grow>
void reportRefusal(Grow&& grow) {
  try {
    grow();
  } catch (const WordLimitError& error) {
    std::fprintf(stderr, "lsystem-viewer: %s; it stays as it was\n", error.what());
  } catch (const std::length_error&) {
    std::fputs("lsystem-viewer: the word would be too long for this machine; it stays as it was\n",
               stderr);
  } catch (const std::bad_alloc&) {
    std::fputs("lsystem-viewer: out of memory; the word stays as it was\n", stderr);
  }
}

}  // namespace

void pressButton(TurtleCursor& cursor) {
  reportRefusal([&cursor] { pressSelected(cursor); });
  cursor.printWord();
}

void growWhole(TurtleCursor& cursor) {
  cursor.selected = 0;
  cursor.grow();
}

void growButton(TurtleCursor& cursor) {
  reportRefusal([&cursor] { growWhole(cursor); });
  cursor.printWord();
}
