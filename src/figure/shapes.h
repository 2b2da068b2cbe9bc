// The screen shapes of a figure: each stroke placed on the screen as a square or as a line under
// its brush, by one of three placements, with its hit test and its paint.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "figure.h"
#include "line.h"
#include "screen.h"
#include "style.h"
#include "view.h"

// Pixel values of the drawing colours, as mapped on the screen's format. Symbols whose colour is
// the background's are neither drawn nor selected.
struct Palette {
  uint32_t segment;
  uint32_t selection;  // a shape that holds the pointer
  uint32_t bud;
  uint32_t background = 0;
  bool operator==(const Palette& o) const {
    return segment == o.segment && selection == o.selection && bud == o.bud &&
           background == o.background;
  }
};

// A stroke on the screen: a square of columns [p0.x, p1.x) and rows [p0.y, p1.y), or a line from
// p0 to p1 under a square brush.
struct Shape {
  ScreenPoint p0;
  ScreenPoint p1;
  int32_t index;  // the symbol's index in the word
  bool bud;
  bool line;
};

// Where the shapes of a node of the figure's index land on the screen.
struct Footprint {
  ScreenRect paint;  // holds every pixel that they paint
  ScreenRect hit;    // holds every pointer that one of them holds
  bool single;       // all the shapes of a kind are one and the same shape
};

// A footprint that holds everything: a node whose shapes cannot be bounded this way.
constexpr Footprint kEverywhere{{-kFarPixel, -kFarPixel, kFarPixel + 1, kFarPixel + 1},
                                {-kFarPixel, -kFarPixel, kFarPixel + 1, kFarPixel + 1},
                                false};

// The footprint of squares whose corners span columns [left, right] and rows [top, bottom],
// the largest of side.
inline Footprint squaresFootprint(int64_t left, int64_t top, int64_t right, int64_t bottom,
                                  int64_t side) {
  const ScreenRect covered{left, top, right + side, bottom + side};
  return Footprint{covered, covered, left == right && top == bottom};
}

// The squares without a view: the corner is the turtle's whole-pixel position cut to 16 bits, as
// an SDL_Rect holds it, and the sides are the figure's own.
struct CutSquares {
  static int64_t screen(float coordinate) {
    return static_cast<int16_t>(TurtleState::truncate(coordinate));
  }
  Shape place(const Stroke& stroke) const {
    const int64_t x = screen(stroke.x1);
    const int64_t y = screen(stroke.y1);
    const int64_t side = stroke.bud ? kBudSide : kSegmentSide;
    return Shape{{x, y}, {x + side, y + side}, stroke.index, stroke.bud, false};
  }
  // The cut is monotonic only while the whole-pixel positions stay within 16 bits.
  Footprint footprint(const FigureNode& node) const {
    const PointBox& b = node.box;
    if (node.wild) return kEverywhere;
    const int64_t left = TurtleState::truncate(b.minX);
    const int64_t top = TurtleState::truncate(b.minY);
    const int64_t right = TurtleState::truncate(b.maxX);
    const int64_t bottom = TurtleState::truncate(b.maxY);
    if (std::min(left, top) < INT16_MIN || std::max(right, bottom) > INT16_MAX) return kEverywhere;
    return squaresFootprint(left, top, right, bottom, node.lastBud >= 0 ? kBudSide : kSegmentSide);
  }
};

// The squares through a view: the corner at (floor(s * x + tx), floor(s * y + ty)) of the turtle's
// whole-pixel position, the sides scaled.
struct ViewSquares {
  explicit ViewSquares(const View& shown)
      : view(shown),
        budSide(static_cast<int64_t>(viewSide(shown, kBudSide))),
        segmentSide(static_cast<int64_t>(viewSide(shown, kSegmentSide))) {}

  int64_t column(float x) const {
    return screenCoordinate(std::floor(view.s * TurtleState::truncate(x) + view.tx));
  }
  int64_t row(float y) const {
    return screenCoordinate(std::floor(view.s * TurtleState::truncate(y) + view.ty));
  }
  Shape place(const Stroke& stroke) const {
    const int64_t x = column(stroke.x1);
    const int64_t y = row(stroke.y1);
    const int64_t side = stroke.bud ? budSide : segmentSide;
    return Shape{{x, y}, {x + side, y + side}, stroke.index, stroke.bud, false};
  }
  // The view's map is monotonic: the box's corners land on the corners of the shapes' box.
  Footprint footprint(const FigureNode& node) const {
    const PointBox& b = node.box;
    if (node.wild) return kEverywhere;
    return squaresFootprint(column(b.minX), row(b.minY), column(b.maxX), row(b.maxY),
                            node.lastBud >= 0 ? budSide : segmentSide);
  }

  View view;
  int64_t budSide;
  int64_t segmentSide;
};

// The line style through a view: a segment's line between its points, a bud's square of side
// max(1, floor(s * 20 + 0.5)) centred on its point, its corner side / 2 up and left of it. A
// point is the pixel nearest to it, (floor(s * x + tx + 0.5), floor(s * y + ty + 0.5)), computed
// in double from the turtle's float.
struct ViewLines {
  ViewLines(const View& shown, int32_t brushWidth)
      : view(shown), brush(brushWidth), budSide(static_cast<int64_t>(viewSide(shown, kBudSide))) {}

  ScreenPoint point(float x, float y) const {
    return {screenCoordinate(std::floor(view.s * static_cast<double>(x) + view.tx + 0.5)),
            screenCoordinate(std::floor(view.s * static_cast<double>(y) + view.ty + 0.5))};
  }
  Shape place(const Stroke& stroke) const {
    const ScreenPoint to = point(stroke.x1, stroke.y1);
    if (stroke.bud) {
      const ScreenPoint corner{to.x - budSide / 2, to.y - budSide / 2};
      return Shape{corner, {corner.x + budSide, corner.y + budSide}, stroke.index, true, false};
    }
    return Shape{point(stroke.x0, stroke.y0), to, stroke.index, false, true};
  }
  // The points' box lands on the screen by the monotonic map of point(); the brush reaches back
  // and ahead of a point, a bud's square half its side, and a pointer is held within lineReach.
  Footprint footprint(const FigureNode& node) const {
    const PointBox& b = node.box;
    if (node.wild) return kEverywhere;
    const ScreenPoint low = point(b.minX, b.minY);
    const ScreenPoint high = point(b.maxX, b.maxY);
    const bool buds = node.lastBud >= 0;
    const bool segments = node.lastSegment >= 0;
    const int64_t back = segments ? (brush - 1) / 2 : 0;
    const int64_t ahead = segments ? brush - (brush - 1) / 2 : 0;
    const int64_t half = buds ? budSide / 2 : 0;
    const int64_t budAhead = buds ? budSide - budSide / 2 : 0;
    const int64_t reach = segments ? lineReach(brush) : 0;
    const int64_t before = std::max(back, half);
    const int64_t after = std::max(ahead, budAhead);
    return Footprint{{low.x - before, low.y - before, high.x + after, high.y + after},
                     {low.x - std::max(before, reach), low.y - std::max(before, reach),
                      high.x + std::max(after, reach + 1), high.y + std::max(after, reach + 1)},
                     low.x == high.x && low.y == high.y};
  }

  View view;
  int32_t brush;
  int64_t budSide;
};

// The placement's brush: the line style's, else none.
template <class Placement>
int32_t brushOf(const Placement& placement) {
  if constexpr (std::is_same_v<Placement, ViewLines>) {
    return placement.brush;
  } else {
    return 1;
  }
}

// The shape holds the pointer: a square's open square, a line within its brush's reach.
inline bool shapeHolds(const Shape& shape, int32_t brush, ScreenPoint pointer) {
  return shape.line
             ? lineHolds(shape.p0, shape.p1, brush, pointer)
             : squareHolds(ScreenRect{shape.p0.x, shape.p0.y, shape.p1.x, shape.p1.y}, pointer);
}

// The box of the pixels that the shape paints.
inline ScreenRect paintBox(const Shape& shape, int32_t brush) {
  if (!shape.line) return {shape.p0.x, shape.p0.y, shape.p1.x, shape.p1.y};
  const int64_t back = (brush - 1) / 2;
  const int64_t ahead = brush - back;
  return {std::min(shape.p0.x, shape.p1.x) - back, std::min(shape.p0.y, shape.p1.y) - back,
          std::max(shape.p0.x, shape.p1.x) + ahead, std::max(shape.p0.y, shape.p1.y) + ahead};
}

// The shape's pixels within the clip, a part of the window, handed to fill(square, colour).
template <class Fill>
void paintShape(const Shape& shape, int32_t brush, uint32_t colour, const ScreenRect& clip,
                Fill& fill) {
  if (shape.line) {
    drawLine(shape.p0, shape.p1, brush, clip,
             [&fill, colour](const Square& square) { fill(square, colour); });
    return;
  }
  Square clipped;
  if (clipToWindow(ScreenRect{shape.p0.x, shape.p0.y, shape.p1.x, shape.p1.y}, clip, clipped)) {
    fill(clipped, colour);
  }
}

// Calls visit with the placement that a frame uses: the line style through the view (the
// identity without one), the squares through the view, or without one the squares cut to 16 bits
// as an SDL_Rect holds them.
template <class Visit>
void withPlacement(const View* view, const Style& style, Visit&& visit) {
  if (style.lines) {
    visit(ViewLines(view != nullptr ? *view : View{}, style.width));
  } else if (view != nullptr) {
    visit(ViewSquares(*view));
  } else {
    visit(CutSquares{});
  }
}
