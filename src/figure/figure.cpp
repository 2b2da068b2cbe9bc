// The one walk of the word into strokes, and the boxes of what they draw.
#include "figure.h"

#include <algorithm>

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
  cursor.reset();
  while (!cursor.atEnd()) {
    const TurtleCommand command = cursor.commandOf(cursor.currentSymbol());
    const float x0 = cursor.state.x;
    const float y0 = cursor.state.y;
    cursor.interpretCurrent();
    if (command == TurtleCommand::kSegment || command == TurtleCommand::kBud) {
      const bool bud = command == TurtleCommand::kBud;
      const Stroke stroke =
          bud ? Stroke{cursor.state.x, cursor.state.y, cursor.state.x,
                       cursor.state.y, cursor.index,   true}
              : Stroke{x0, y0, cursor.state.x, cursor.state.y, cursor.index, false};
      strokes_.push_back(stroke);
      (bud ? budPoints_ : segmentEnds_).add(stroke.x1, stroke.y1);
      allPoints_.add(stroke.x0, stroke.y0);
      allPoints_.add(stroke.x1, stroke.y1);
    }
    cursor.advance();
  }
}

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
    add(figure.allPoints(), 1);
  } else {
    add(figure.budPoints(), kBudSide);
    add(figure.segmentEnds(), kSegmentSide);
  }
  return box;
}

View fitView(const Figure& figure, int32_t width, int32_t height, const Style& style) {
  return fitView(drawnBox(figure, style), width, height);
}
