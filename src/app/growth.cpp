// The start's rewrites: generations and replayed presses, each counted against the work budget.
#include "growth.h"

#include <new>
#include <stdexcept>
#include <vector>

#include "book.h"
#include "press.h"

std::string growGenerations(TurtleCursor& cursor, int32_t generations, Work& work,
                            const Progress& progress) {
  for (int32_t generation = 1; generation <= generations; ++generation) {
    progress([&] {
      return "generation " + std::to_string(generation) + " of " + std::to_string(generations) +
             ", " + std::to_string(cursor.wordLength()) + " symbols so far";
    });
    const std::string at = "generation " + std::to_string(generation);
    if (!work.allows(cursor)) return at + work.refusal();
    try {
      cursor.grow();
    } catch (const BookValueError& error) {
      return at + " is refused: " + error.what();
    } catch (const WordLimitError&) {
      return at + " would make the word longer than " + std::to_string(cursor.maxWordLength) +
             " symbols";
    } catch (const std::length_error&) {
      return at + " would make the word too long for this machine";
    } catch (const std::bad_alloc& error) {
      return reasonOf(error) + " in " + at;
    }
  }
  return "";
}

std::string replayPresses(Session& session, const Progress& progress) {
  const std::vector<int32_t>& presses = session.options.presses;
  TurtleCursor& cursor = session.cursor;
  for (std::size_t n = 0; n < presses.size(); ++n) {
    progress([&] {
      return "press " + std::to_string(n + 1) + " of " + std::to_string(presses.size()) + ", " +
             std::to_string(cursor.wordLength()) + " symbols so far";
    });
    const int32_t index = presses[n];
    const std::string place =
        "press " + std::to_string(n + 1) + " of --presses, " +
        (index == kGrowAll ? std::string("g, ") : "at index " + std::to_string(index) + ", ");
    if (index == kGrowAll) {
      // A generation of the whole word: nothing to find at an index.
    } else if (index >= cursor.wordLength()) {
      return place + "finds no symbol: the word has " + std::to_string(cursor.wordLength()) +
             " symbols";
    } else if (const char symbol = cursor.symbolAt(index);
               !cursor.isBud(symbol) && !cursor.isSegment(symbol)) {
      return place + "finds " + quote(std::string(1, symbol)) + ", which is neither a bud " +
             quote(session.options.buds) + " nor a segment " + quote(session.options.segments);
    }
    try {
      session.history.pressAt(cursor, index);
    } catch (const WorkLimitError&) {
      return session.history.work().pressRefusal(n + 1);
    } catch (const std::exception& error) {
      return place + "is refused: " + reasonOf(error);
    }
  }
  return "";
}
