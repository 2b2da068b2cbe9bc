// The figure of one frame without SDL: squares, the pointer's hit test, the walk.
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

// The open square: its left column and top row are outside, its right column and bottom row in.
inline bool containsPointer(const Square& tmp, int32_t px, int32_t py) {
  return tmp.x < px && px < tmp.x + int32_t{tmp.w} && tmp.y < py && py < tmp.y + int32_t{tmp.h};
}

// Walks the whole word from the start state and calls visit(x, y, symbol) for each drawable
// symbol, the bud "o" and the segment "a", with the turtle's whole-pixel position after the
// symbol's own command: a segment's square sits where its stroke ends. The cursor stands on that
// symbol during the call, so visit may select it.
template <class Visit>
void walkDrawable(TurtleCursor& arbre, Visit&& visit) {
  arbre.reset();
  while (!arbre.atEnd()) {
    arbre.interpretCurrent();
    const char symbol = arbre.currentSymbol();
    if (symbol == 'o' || symbol == 'a') {
      const TurtleState position = arbre.currentState();
      visit(position.getX(), position.getY(), symbol);
    }
    arbre.advance();
  }
}

// The side of a drawable symbol's square in pixels.
constexpr uint16_t squareSide(char symbol) { return symbol == 'o' ? 20 : 7; }

// Walks the whole word from the start state. Each drawable symbol's square is handed to
// fill(square, colour) in word order; every square that holds the pointer is red and selects
// its symbol, so the last of them stays selected. A colour of 0 means "not drawn".
template <class Fill>
void walkFigure(TurtleCursor& arbre, const Palette& palette, int32_t px, int32_t py, Fill&& fill) {
  walkDrawable(arbre, [&](int32_t x, int32_t y, char symbol) {
    const uint16_t side = squareSide(symbol);
    Square tmp{static_cast<int16_t>(x), static_cast<int16_t>(y), side, side};
    uint32_t colour = symbol == 'o' ? palette.green : palette.brown;
    if (colour == 0) return;
    if (containsPointer(tmp, px, py)) {
      arbre.select();
      colour = palette.red;
    }
    fill(tmp, colour);
  });
}

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
Box figureBox(TurtleCursor& arbre);
