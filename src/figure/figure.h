// The figure without SDL: the colours, the walk of the drawable symbols, their squares' box.
#pragma once

#include <cstdint>

#include "style.h"
#include "turtle_cursor.h"

// Pixel values of the three drawing colours, as mapped on the screen's format.
struct Palette {
  uint32_t brown;  // segment "a"
  uint32_t red;    // a square under the pointer
  uint32_t green;  // bud "o"
};

// A square as SDL_Rect holds it: the low 16 bits of the turtle's whole-pixel position.
struct Square {
  int16_t x;
  int16_t y;
  uint16_t w;
  uint16_t h;
};

// Walks the whole word from the start state and calls visit(x, y, symbol, bud) for each symbol
// that the cursor's sets draw, a bud or a segment, with the turtle's whole-pixel position after
// the symbol's own command: a segment's square sits where its stroke ends. The cursor stands on
// that symbol during the call, so visit may select it.
template <class Visit>
void walkDrawn(TurtleCursor& cursor, Visit&& visit) {
  cursor.reset();
  while (!cursor.atEnd()) {
    cursor.interpretCurrent();
    const char symbol = cursor.currentSymbol();
    const TurtleCommand command = cursor.commandOf(symbol);
    if (command == TurtleCommand::kBud || command == TurtleCommand::kSegment) {
      const TurtleState position = cursor.currentState();
      visit(position.getX(), position.getY(), symbol, command == TurtleCommand::kBud);
    }
    cursor.advance();
  }
}

// walkDrawn without the symbol's kind: visit(x, y, symbol).
template <class Visit>
void walkDrawable(TurtleCursor& cursor, Visit&& visit) {
  walkDrawn(cursor, [&visit](int32_t x, int32_t y, char symbol, bool) { visit(x, y, symbol); });
}

// The side of a bud's or a segment's square in pixels.
constexpr int32_t squareSide(bool bud) { return bud ? kBudSide : kSegmentSide; }

// The bounding box of what a walk draws (drawnBox), positions uncut: columns [minX, maxX) and rows
// [minY, maxY). Empty, with minX > maxX, when nothing is drawn.
struct Box {
  int64_t minX = INT64_MAX;
  int64_t minY = INT64_MAX;
  int64_t maxX = INT64_MIN;
  int64_t maxY = INT64_MIN;
  bool empty() const { return minX > maxX; }
};
