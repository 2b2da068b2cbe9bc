// The built-in grammar, the words the viewer makes of it, and cursors built from them.
#pragma once

#include <cstdint>
#include <string>

#include "lsystem.h"
#include "turtle_cursor.h"

inline const std::string kGrammar = "{o:a[+ao]-ao;}ao";
// Three growths from index 0: the viewer's first line, 58 symbols.
inline const std::string kStartWord = "aa[+aa[+aa[+ao]-ao]-aa[+ao]-ao]-aa[+aa[+ao]-ao]-aa[+ao]-ao";
// The start word grown at its bud at index 13 (66 symbols), then pruned at the segment that
// stands at 13 after that (57 symbols).
inline const std::string kGrownAt13 =
    "aa[+aa[+aa[+aa[+ao]-ao]-ao]-aa[+ao]-ao]-aa[+aa[+ao]-ao]-aa[+ao]-ao";
inline const std::string kPrunedAt13 = "aa[+aa[+aa[+a]-ao]-aa[+ao]-ao]-aa[+aa[+ao]-ao]-aa[+ao]-ao";
// The start word pruned at its segment at index 21 (49 symbols).
inline const std::string kPrunedAt21 = "aa[+aa[+aa[+ao]-ao]-a]-aa[+aa[+ao]-ao]-aa[+ao]-ao";

// A cursor as the viewer builds it, at (300, 300), grown from index 0 the given number of times:
// 3 gives the start word, 17 the 1,048,570-symbol word.
inline TurtleCursor grownCursor(int generations) {
  TurtleCursor cursor(kGrammar, 300, 300);
  for (int i = 0; i < generations; ++i) cursor.grow();
  return cursor;
}

inline TurtleCursor startCursor() { return grownCursor(3); }

// A cursor of the built-in grammar at (300, 300) that holds the given word.
inline TurtleCursor cursorWith(const std::string& word) {
  TurtleCursor cursor(kGrammar, 300, 300);
  cursor.word = word;
  return cursor;
}

// An LSystem of the built-in grammar that holds the given word.
inline LSystem lsystemWith(const std::string& word) {
  LSystem l(kGrammar);
  l.word = word;
  return l;
}
