// A mouse button press on the figure: grow, prune, or report why the word stays as it was.
#include "press.h"

#include <cstdio>
#include <new>
#include <stdexcept>

void pressSelected(TurtleCursor& arbre) {
  const char symbol = arbre.selectedSymbol();
  if (arbre.isBud(symbol)) {
    arbre.grow();
  } else if (arbre.isSegment(symbol)) {
    arbre.prune();
  }
}

void pressButton(TurtleCursor& arbre) {
  try {
    pressSelected(arbre);
  } catch (const WordLimitError& error) {
    std::fprintf(stderr, "lsystem-viewer: %s; it stays as it was\n", error.what());
  } catch (const std::length_error&) {
    std::fputs("lsystem-viewer: the word would be too long for this machine; it stays as it was\n",
               stderr);
  } catch (const std::bad_alloc&) {
    std::fputs("lsystem-viewer: out of memory; the word stays as it was\n", stderr);
  }
  arbre.printWord();
}
