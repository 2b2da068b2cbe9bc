// The screen shapes of a figure: each stroke placed on the screen as a square or as a line under
// its brush, by one of three placements, with its hit test and its paint.
#pragma once

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

// The shape's pixels in a width x height window, handed to fill(square, colour).
template <class Fill>
void paintShape(const Shape& shape, int32_t brush, uint32_t colour, int32_t width, int32_t height,
                Fill& fill) {
  if (shape.line) {
    drawLine(shape.p0, shape.p1, brush, width, height,
             [&fill, colour](const Square& square) { fill(square, colour); });
    return;
  }
  Square clipped;
  if (clipToWindow(ScreenRect{shape.p0.x, shape.p0.y, shape.p1.x, shape.p1.y}, width, height,
                   clipped)) {
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
