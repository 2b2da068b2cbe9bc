// The screen shapes of one frame: each drawable symbol placed on the screen, its hit test and its
// clip to the window, from one walk; and the shapes of a walk kept for frames that only the
// pointer changes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "figure.h"
#include "line.h"
#include "style.h"
#include "turtle_cursor.h"
#include "view.h"

// A drawable symbol's square on the screen, before the window cuts it: columns [left, left +
// side) and rows [top, top + side).
struct Shape {
  int32_t left;
  int32_t top;
  int32_t side;
  int32_t index;  // the symbol's index in the word
  bool bud;
};

// The open square: its left column and top row are outside, its right column and bottom row in.
inline bool holdsPointer(const Shape& shape, int32_t px, int32_t py) {
  return shape.left < px && px < shape.left + shape.side && shape.top < py &&
         py < shape.top + shape.side;
}

inline bool containsPointer(const Square& square, int32_t px, int32_t py) {
  return square.x < px && px < square.x + int32_t{square.w} && square.y < py &&
         py < square.y + int32_t{square.h};
}

// The columns [left, right) and rows [top, bottom) that a frame draws into.
struct ScreenArea {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

// A width x height window.
inline ScreenArea windowOf(int32_t width, int32_t height) {
  return ScreenArea{0, 0, width, height};
}

// The part of the shape inside the window, as a fill takes it; false when none is.
inline bool clipToWindow(const Shape& shape, const ScreenArea& window, Square& clipped) {
  const int32_t x0 = std::max(shape.left, window.left);
  const int32_t y0 = std::max(shape.top, window.top);
  const int32_t x1 = std::min(shape.left + shape.side, window.right);
  const int32_t y1 = std::min(shape.top + shape.side, window.bottom);
  if (x0 >= x1 || y0 >= y1) return false;
  clipped = Square{static_cast<int16_t>(x0), static_cast<int16_t>(y0),
                   static_cast<uint16_t>(x1 - x0), static_cast<uint16_t>(y1 - y0)};
  return true;
}

// The squares without a view: the corner is the turtle's whole-pixel position cut to 16 bits,
// as an SDL_Rect holds it, and the sides are the figure's own.
struct PlainPlacement {
  Shape place(int32_t x, int32_t y, bool bud, int32_t index) const {
    return Shape{static_cast<int16_t>(x), static_cast<int16_t>(y), squareSide(bud), index, bud};
  }
};

// The squares through a view: the corner at (floor(s * x + tx), floor(s * y + ty)), the sides
// scaled. A corner beyond 2^30 pixels lies as far from any pointer and window as one kept at
// 2^30, so it is kept there and the sums stay in 32 bits.
struct ViewPlacement {
  explicit ViewPlacement(const View& shown)
      : view(shown),
        budSide(static_cast<int32_t>(viewSide(shown, kBudSide))),
        segmentSide(static_cast<int32_t>(viewSide(shown, kSegmentSide))) {}

  Shape place(int32_t x, int32_t y, bool bud, int32_t index) const {
    return Shape{screen(view.s * x + view.tx), screen(view.s * y + view.ty),
                 bud ? budSide : segmentSide, index, bud};
  }

  static int32_t screen(double coordinate) {
    constexpr double kFar = 1 << 30;
    return static_cast<int32_t>(std::clamp(std::floor(coordinate), -kFar, kFar));
  }

  View view;
  int32_t budSide;
  int32_t segmentSide;
};

// One shape of a frame: red, and the cursor's selection, when it holds the pointer; handed to
// fill(square, colour) clipped to the window. A colour of 0 means "not drawn". Inlined into the
// walk: a call per symbol costs a fifth of the walk's instructions.
template <class Fill>
__attribute__((always_inline)) inline void drawShape(const Shape& shape, TurtleCursor& cursor,
                                                     const Palette& palette,
                                                     const ScreenArea& window, int32_t px,
                                                     int32_t py, Fill& fill) {
  uint32_t colour = shape.bud ? palette.green : palette.brown;
  if (colour == 0) return;
  if (holdsPointer(shape, px, py)) {
    cursor.selected = shape.index;
    colour = palette.red;
  }
  Square clipped;
  if (clipToWindow(shape, window, clipped)) fill(clipped, colour);
}

// Walks the whole word and draws each drawable symbol's shape, placed by placement, in word
// order: every shape that holds the pointer is red and selects its symbol, so the last of them
// stays selected.
template <class Placement, class Fill>
void walkShapes(TurtleCursor& cursor, const Placement& placement, const Palette& palette,
                const ScreenArea& window, int32_t px, int32_t py, Fill&& fill) {
  walkDrawn(cursor, [&](int32_t x, int32_t y, char, bool bud) {
    drawShape(placement.place(x, y, bud, cursor.index), cursor, palette, window, px, py, fill);
  });
}

// A shape of the line style on the screen, placed through the view: a segment's line from p0 to
// p1, its pixels and hit test as drawLine and lineHolds make them, or a bud's square, columns
// [p0.x, p1.x) and rows [p0.y, p1.y), centred on its point.
struct Stroke {
  ScreenPoint p0;
  ScreenPoint p1;
  int32_t index;
  bool bud;
};

// The line style's placement of the turtle's points.
struct LinePlacement {
  LinePlacement(const View& shown, int32_t brush) : view(shown), width(brush) {}

  Stroke place(TurtlePoint from, TurtlePoint to, bool bud, int32_t index) const {
    if (!bud) return Stroke{screenPoint(view, from), screenPoint(view, to), index, false};
    const ScreenSquare square = budSquare(view, screenPoint(view, to));
    return Stroke{{square.left, square.top},
                  {square.left + square.side, square.top + square.side},
                  index,
                  true};
  }

  // How far from its line a segment may hold the pointer or paint: at least its brush's reach.
  int64_t reach() const { return width / 2 + 2; }

  View view;
  int32_t width;
};

// The stroke reaches into the window, or lies near enough to hold a pointer inside it.
inline bool nearWindow(const Stroke& stroke, const LinePlacement& placement,
                       const ScreenArea& window) {
  const int64_t reach = stroke.bud ? 0 : placement.reach();
  return std::min(stroke.p0.x, stroke.p1.x) - reach < window.right &&
         std::max(stroke.p0.x, stroke.p1.x) + reach >= window.left &&
         std::min(stroke.p0.y, stroke.p1.y) - reach < window.bottom &&
         std::max(stroke.p0.y, stroke.p1.y) + reach >= window.top;
}

// The colour of a stroke in a frame: red, and the stroke's symbol the selection, when it holds
// the pointer; 0 when it is not drawn.
inline uint32_t strokeColour(const Stroke& stroke, TurtleCursor& cursor, const Palette& palette,
                             int32_t brush, int32_t px, int32_t py) {
  const uint32_t colour = stroke.bud ? palette.green : palette.brown;
  if (colour == 0) return 0;
  // A pointer beyond the reach of the segment's box cannot be near it: most are, and the
  // exact test is left for the few that are not.
  const int64_t reach = brush / 2 + 2;
  const bool holds =
      stroke.bud
          ? squareHolds(ScreenSquare{stroke.p0.x, stroke.p0.y, stroke.p1.x - stroke.p0.x}, px, py)
          : px >= std::min(stroke.p0.x, stroke.p1.x) - reach &&
                px <= std::max(stroke.p0.x, stroke.p1.x) + reach &&
                py >= std::min(stroke.p0.y, stroke.p1.y) - reach &&
                py <= std::max(stroke.p0.y, stroke.p1.y) + reach &&
                lineHolds(stroke.p0, stroke.p1, brush, px, py);
  if (!holds) return colour;
  cursor.selected = stroke.index;
  return palette.red;
}

// The squares of a stroke's pixels inside the window, handed to fill(square): a segment's line
// under the brush, or a bud's square.
template <class Fill>
void strokeSquares(const Stroke& stroke, int32_t brush, const ScreenArea& window, Fill&& fill) {
  if (!stroke.bud) {
    drawLine(stroke.p0, stroke.p1, brush, window.right, window.bottom, fill);
    return;
  }
  Square clipped;
  if (clipToWindow(stroke.p0.x, stroke.p0.y, stroke.p1.x - 1, stroke.p1.y - 1, window.right,
                   window.bottom, clipped)) {
    fill(clipped);
  }
}

// One stroke of a frame, as drawShape draws a square: its colour, and its squares handed to
// fill(square, colour) clipped to the window.
template <class Fill>
void drawStroke(const Stroke& stroke, TurtleCursor& cursor, const Palette& palette, int32_t brush,
                const ScreenArea& window, int32_t px, int32_t py, Fill& fill) {
  const uint32_t colour = strokeColour(stroke, cursor, palette, brush, px, py);
  if (colour == 0) return;
  strokeSquares(stroke, brush, window,
                [&fill, colour](const Square& square) { fill(square, colour); });
}

// Walks the whole word and draws it in the line style through the view, in word order: every
// stroke that holds the pointer is red and selects its symbol.
template <class Fill>
void walkStrokeFrame(TurtleCursor& cursor, const Palette& palette, const View& view, int32_t brush,
                     const ScreenArea& window, int32_t px, int32_t py, Fill&& fill) {
  const LinePlacement placement(view, brush);
  walkStrokes(cursor, [&](TurtlePoint from, TurtlePoint to, char symbol) {
    drawStroke(placement.place(from, to, cursor.isBud(symbol), cursor.index), cursor, palette,
               brush, window, px, py, fill);
  });
}

// The figure without a view, each square whole as an SDL_Rect holds it: the definition's frame,
// which the surface's fill clips.
template <class Fill>
void walkFigure(TurtleCursor& cursor, const Palette& palette, int32_t px, int32_t py, Fill&& fill) {
  constexpr ScreenArea kWhole{INT16_MIN, INT16_MIN, INT32_MAX, INT32_MAX};
  walkShapes(cursor, PlainPlacement{}, palette, kWhole, px, py, fill);
}

// The figure through a view in a width x height window.
template <class Fill>
void walkViewFigure(TurtleCursor& cursor, const Palette& palette, const View& view, int32_t width,
                    int32_t height, int32_t px, int32_t py, Fill&& fill) {
  walkShapes(cursor, ViewPlacement(view), palette, windowOf(width, height), px, py, fill);
}

// One frame in a width x height window. In the line style through the view when one is given,
// else at the turtle's points as they are. With squares, through the view when one is given,
// else with the corners cut to 16 bits as the definition's window has them.
template <class Fill>
void walkFrame(TurtleCursor& cursor, const Palette& palette, const View* view, const Style& style,
               int32_t width, int32_t height, int32_t px, int32_t py, Fill&& fill) {
  if (style.lines) {
    walkStrokeFrame(cursor, palette, view != nullptr ? *view : View{}, style.width,
                    windowOf(width, height), px, py, fill);
  } else if (view != nullptr) {
    walkShapes(cursor, ViewPlacement(*view), palette, windowOf(width, height), px, py, fill);
  } else {
    walkShapes(cursor, PlainPlacement{}, palette, windowOf(width, height), px, py, fill);
  }
}

// The shapes of a walk through a view that reach into a width x height window, kept in word
// order, so that a frame whose only change is the pointer is drawn without walking the word
// again: the same squares, colours and selection as the walk's, as long as the pointer lies in
// the window, where a shape that does not reach it cannot hold it.
class KeptFrame {
 public:
  // Walks the word through the view and keeps its shapes; false, and none kept, when there are
  // more than kMaxKept of them.
  bool keep(TurtleCursor& cursor, const View& view, const Style& style, int32_t width,
            int32_t height);

  // The walk's fills and selection for a pointer in the window, from the kept shapes; a
  // stroke's squares as they were kept, so that a frame does not draw its lines again.
  template <class Fill>
  void draw(TurtleCursor& cursor, const Palette& palette, int32_t px, int32_t py,
            Fill&& fill) const {
    cursor.selected = 0;  // as the walk's reset does
    for (const Shape& shape : shapes_) drawShape(shape, cursor, palette, window_, px, py, fill);
    for (std::size_t i = 0; i < strokes_.size(); ++i) {
      const uint32_t colour = strokeColour(strokes_[i], cursor, palette, brush_, px, py);
      if (colour == 0) continue;
      for (uint32_t k = i == 0 ? 0 : squaresEnd_[i - 1]; k < squaresEnd_[i]; ++k) {
        fill(squares_[k], colour);
      }
    }
  }

  // About 80 MiB of squares, or 160 MiB of strokes and as much of their pixels' squares, at
  // most.
  static constexpr std::size_t kMaxKept = std::size_t{1} << 22;

 private:
  std::vector<Shape> shapes_;         // of the squares
  std::vector<Stroke> strokes_;       // of the line style
  std::vector<Square> squares_;       // the strokes' pixels in the window, stroke after stroke
  std::vector<uint32_t> squaresEnd_;  // where each stroke's squares end in squares_
  ScreenArea window_{};
  int32_t brush_ = 1;
};
