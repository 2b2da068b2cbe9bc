// The view: the figure's whole-pixel positions mapped to screen squares by a scale and offsets.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "figure.h"
#include "turtle_cursor.h"

// Screen column = floor(s * x + tx), row = floor(s * y + ty), for a turtle position (x, y) taken
// whole and not cut to 16 bits. Every expression is computed in double as written, one rounding
// per operation (the turtle's target forbids fused multiply-add), so every build draws the same.
struct View {
  double s = 1.0;
  double tx = 0.0;
  double ty = 0.0;
};

// The side on the screen of a square of `side` pixels: never less than one pixel.
inline double viewSide(const View& view, double side) {
  return std::max(1.0, std::floor(view.s * side + 0.5));
}

// The zoom in percent, as the title shows it.
inline int64_t zoomPercent(const View& view) {
  return static_cast<int64_t>(std::floor(view.s * 100.0 + 0.5));
}

// Walks the whole word as walkFigure does, through the view, in a width x height window. Every
// square that holds the pointer (the open square, on the screen) is red and selects its symbol;
// the squares that reach into the window are handed to fill(square, colour) clipped to it.
template <class Fill>
void walkViewFigure(TurtleCursor& arbre, const Palette& palette, const View& view, int32_t width,
                    int32_t height, int32_t px, int32_t py, Fill&& fill) {
  const double budSide = viewSide(view, squareSide('o'));
  const double segmentSide = viewSide(view, squareSide('a'));
  const double pointerX = px;
  const double pointerY = py;
  walkDrawable(arbre, [&](int32_t x, int32_t y, char symbol) {
    uint32_t colour = symbol == 'o' ? palette.green : palette.brown;
    if (colour == 0) return;
    const double side = symbol == 'o' ? budSide : segmentSide;
    const double left = std::floor(view.s * x + view.tx);
    const double top = std::floor(view.s * y + view.ty);
    if (left < pointerX && pointerX < left + side && top < pointerY && pointerY < top + side) {
      arbre.select();
      colour = palette.red;
    }
    if (left >= width || top >= height || left + side <= 0.0 || top + side <= 0.0) return;
    // Within the window every bound fits a Square's 16 bits.
    const auto x0 = static_cast<int32_t>(std::max(left, 0.0));
    const auto y0 = static_cast<int32_t>(std::max(top, 0.0));
    const auto x1 = static_cast<int32_t>(std::min(left + side, static_cast<double>(width)));
    const auto y1 = static_cast<int32_t>(std::min(top + side, static_cast<double>(height)));
    fill(Square{static_cast<int16_t>(x0), static_cast<int16_t>(y0), static_cast<uint16_t>(x1 - x0),
                static_cast<uint16_t>(y1 - y0)},
         colour);
  });
}

// The squares of a walk through a view that reach into a width x height window, kept in word
// order, so that a frame whose only change is the pointer is drawn without walking the word
// again: the same squares, colours and selection as walkViewFigure's, as long as the pointer
// lies in the window, where a square that does not reach cannot hold it.
class ViewSquares {
 public:
  // Walks the word through the view and keeps its squares; false, and none kept, when there
  // are more than kMaxKept of them.
  bool keep(TurtleCursor& arbre, const View& view, int32_t width, int32_t height);

  // walkViewFigure's fills and selection for a pointer in the window, from the kept squares.
  template <class Fill>
  void draw(TurtleCursor& arbre, const Palette& palette, int32_t px, int32_t py,
            Fill&& fill) const {
    arbre.selected = 0;  // as the walk's reset does
    for (const Kept& square : kept_) {
      uint32_t colour = square.symbol == 'o' ? palette.green : palette.brown;
      if (colour == 0) continue;
      const int32_t side = square.symbol == 'o' ? budSide_ : segmentSide_;
      if (square.left < px && px < square.left + side && square.top < py &&
          py < square.top + side) {
        arbre.selected = square.index;
        colour = palette.red;
      }
      const int32_t x0 = std::max(square.left, 0);
      const int32_t y0 = std::max(square.top, 0);
      const int32_t x1 = std::min(square.left + side, width_);
      const int32_t y1 = std::min(square.top + side, height_);
      fill(Square{static_cast<int16_t>(x0), static_cast<int16_t>(y0),
                  static_cast<uint16_t>(x1 - x0), static_cast<uint16_t>(y1 - y0)},
           colour);
    }
  }

  // About 64 MiB of squares at most.
  static constexpr std::size_t kMaxKept = std::size_t{1} << 22;

 private:
  // A square that reaches into the window: its corner fits in 32 bits.
  struct Kept {
    int32_t left;
    int32_t top;
    int32_t index;
    char symbol;
  };
  std::vector<Kept> kept_;
  int32_t budSide_ = 0;
  int32_t segmentSide_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

// The view that shows every square of the word whole in a width x height window, centred, with
// a margin of min(10, width / 10, height / 10) pixels and at most 16 screen pixels a pixel; the
// identity when nothing is drawn. The cursor's selection is kept.
View fitView(TurtleCursor& arbre, int32_t width, int32_t height);

// Zooms by 1.25, in or out, about the screen point (px, py), which stays where it is. False, and
// the view unchanged, when the scale would leave [1/65536, 64].
bool zoomView(View& view, bool in, double px, double py);
