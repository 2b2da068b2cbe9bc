// The figure of one frame without SDL: squares, the pointer's hit test, the walk, a press.
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

// Walks the whole word from the start state. Each drawable symbol's square is handed to
// fill(square, colour) in word order; every square that holds the pointer is red and selects
// its symbol, so the last of them stays selected. A colour of 0 means "not drawn".
template <class Fill>
void walkFigure(TurtleCursor& arbre, const Palette& palette, int32_t px, int32_t py, Fill&& fill) {
  arbre.reset();
  while (!arbre.atEnd()) {
    // The command comes first: a segment's square sits where its stroke ends.
    arbre.interpretCurrent();
    uint32_t colour = 0;
    const TurtleState position = arbre.currentState();
    Square tmp{static_cast<int16_t>(position.getX()), static_cast<int16_t>(position.getY()), 0, 0};
    const char symbol = arbre.currentSymbol();
    if (symbol == 'o') {
      tmp.w = tmp.h = 20;
      colour = palette.green;
    } else if (symbol == 'a') {
      tmp.w = tmp.h = 7;
      colour = palette.brown;
    }
    if (colour != 0) {
      if (containsPointer(tmp, px, py)) {
        arbre.select();
        colour = palette.red;
      }
      fill(tmp, colour);
    }
    arbre.advance();
  }
}

// A mouse button press, whichever button: grow a selected bud, prune at a selected segment,
// and print the word in every case. The selection is the one the last walk left.
inline void pressButton(TurtleCursor& arbre) {
  if (arbre.selectedSymbol() == 'o') {
    arbre.grow();
  } else if (arbre.selectedSymbol() == 'a') {
    arbre.prune();
  }
  arbre.printWord();
}
