// The one walk of the word into strokes, and the boxes of what they draw.
#include "figure.h"

#include <algorithm>
#include <cmath>

#include "screen.h"

void PointBox::add(float x, float y) {
  if (empty()) {
    *this = {x, y, x, y};
    return;
  }
  minX = std::min(minX, x);
  minY = std::min(minY, y);
  maxX = std::max(maxX, x);
  maxY = std::max(maxY, y);
}

Figure::Figure(TurtleCursor& cursor) {
  std::size_t drawn = 0;
  for (const char symbol : cursor.word) {
    const TurtleCommand command = cursor.commandOf(symbol);
    drawn += command == TurtleCommand::kSegment || command == TurtleCommand::kBud;
  }
  strokes_.reserve(drawn);
  if (cursor.book) {
    walk<true>(cursor);
  } else {
    walk<false>(cursor);
  }
}

template <bool kModules>
void Figure::walk(TurtleCursor& cursor) {
  cursor.reset();
  while (!cursor.atEnd()) {
    const TurtleCommand command = cursor.commandOf(cursor.currentSymbol());
    const float x0 = cursor.state.x;
    const float y0 = cursor.state.y;
    if constexpr (kModules) {
      cursor.interpretModule();
    } else {
      cursor.interpretCurrent();
    }
    if (command == TurtleCommand::kSegment || command == TurtleCommand::kBud) {
      const bool bud = command == TurtleCommand::kBud;
      const Stroke stroke =
          bud ? Stroke{cursor.state.x, cursor.state.y, cursor.state.x,
                       cursor.state.y, cursor.index,   true}
              : Stroke{x0, y0, cursor.state.x, cursor.state.y, cursor.index, false};
      // A parameter's step or turn can take the turtle to an infinite or NaN point, which no
      // box, fit or view can hold: such a stroke is left out, and counted.
      if (kModules && !(std::isfinite(stroke.x0) && std::isfinite(stroke.y0) &&
                        std::isfinite(stroke.x1) && std::isfinite(stroke.y1))) {
        ++unplaced_;
        cursor.advance();
        continue;
      }
      strokes_.push_back(stroke);
      (bud ? budPoints_ : segmentEnds_).add(stroke.x1, stroke.y1);
      allPoints_.add(stroke.x0, stroke.y0);
      allPoints_.add(stroke.x1, stroke.y1);
    }
    cursor.advance();
  }
}

namespace {

// The pixel nearest to a turtle coordinate, as the line style places it without a view.
int64_t nearestPixel(float v) { return screenCoordinate(std::floor(static_cast<double>(v) + 0.5)); }

// The fit of the line style: the exact points' box bw by bh, the brush W, b = 1 when a bud is
// drawn and the margin m give s = min((width - 2m - W) / (bw + 20b), (height - 2m - W) /
// (bh + 20b), 16), a term with a zero denominator left out, and centre the box.
View fitLines(const Figure& figure, int32_t width, int32_t height, int32_t brush) {
  const PointBox& points = figure.allPoints();
  if (points.empty()) return View{};
  const int32_t margin = std::min({10, width / 10, height / 10});
  const double x0 = static_cast<double>(points.minX);
  const double y0 = static_cast<double>(points.minY);
  const double bw = static_cast<double>(points.maxX) - x0;
  const double bh = static_cast<double>(points.maxY) - y0;
  const double buds = figure.budPoints().empty() ? 0 : kBudSide;
  double s = 16.0;
  if (bw + buds > 0) s = std::min(s, (width - 2 * margin - brush) / (bw + buds));
  if (bh + buds > 0) s = std::min(s, (height - 2 * margin - brush) / (bh + buds));
  s = std::max(s, kLeastZoom);
  return View{s, (width - s * bw) / 2 - s * x0, (height - s * bh) / 2 - s * y0};
}

}  // namespace

Box drawnBox(const Figure& figure, const Style& style) {
  Box box;
  const auto add = [&box](const PointBox& points, int64_t side) {
    if (points.empty()) return;
    box.minX = std::min<int64_t>(box.minX, TurtleState::truncate(points.minX));
    box.minY = std::min<int64_t>(box.minY, TurtleState::truncate(points.minY));
    box.maxX = std::max<int64_t>(box.maxX, TurtleState::truncate(points.maxX) + side);
    box.maxY = std::max<int64_t>(box.maxY, TurtleState::truncate(points.maxY) + side);
  };
  if (style.lines) {
    const PointBox& points = figure.allPoints();
    if (!points.empty()) {
      box = {nearestPixel(points.minX), nearestPixel(points.minY), nearestPixel(points.maxX) + 1,
             nearestPixel(points.maxY) + 1};
    }
  } else {
    add(figure.budPoints(), kBudSide);
    add(figure.segmentEnds(), kSegmentSide);
  }
  return box;
}

View fitView(const Figure& figure, int32_t width, int32_t height, const Style& style) {
  if (style.lines) return fitLines(figure, width, height, style.width);
  return fitView(drawnBox(figure, style), width, height);
}
