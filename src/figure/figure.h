// The figure without SDL: the colours, the walk of the drawable symbols, their squares' box.
#pragma once

#include <cstdint>

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

// Walks the whole word from the start state and calls visit(x, y, symbol) for each drawable
// symbol, the bud "o" and the segment "a", with the turtle's whole-pixel position after the
// symbol's own command: a segment's square sits where its stroke ends. The cursor stands on that
// symbol during the call, so visit may select it.
template <class Visit>
void walkDrawable(TurtleCursor& cursor, Visit&& visit) {
  cursor.reset();
  while (!cursor.atEnd()) {
    cursor.interpretCurrent();
    const char symbol = cursor.currentSymbol();
    if (symbol == 'o' || symbol == 'a') {
      const TurtleState position = cursor.currentState();
      visit(position.getX(), position.getY(), symbol);
    }
    cursor.advance();
  }
}

// The side of a drawable symbol's square in pixels.
constexpr uint16_t squareSide(char symbol) { return symbol == 'o' ? 20 : 7; }

// The bounding box of every square of the word, positions uncut: columns [minX, maxX) and rows
// [minY, maxY). Empty, with minX > maxX, when nothing is drawn.
struct Box {
  int64_t minX = INT64_MAX;
  int64_t minY = INT64_MAX;
  int64_t maxX = INT64_MIN;
  int64_t maxY = INT64_MIN;
  bool empty() const { return minX > maxX; }
};

// The box of one walk of the word. The cursor's selection is kept.
Box figureBox(TurtleCursor& cursor);
