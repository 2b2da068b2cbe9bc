// The one walk of the word into strokes, and the boxes of what they draw.
#include "figure.h"

#include <algorithm>
#include <cmath>

#include "screen.h"

void PointBox::add(float x, float y) {
  if (x != x || y != y) return;
  if (empty()) {
    *this = {x, y, x, y};
    return;
  }
  minX = std::min(minX, x);
  minY = std::min(minY, y);
  maxX = std::max(maxX, x);
  maxY = std::max(maxY, y);
}

void PointBox::add(const PointBox& other) {
  if (other.empty()) return;
  add(other.minX, other.minY);
  add(other.maxX, other.maxY);
}

void Figure::index() {
  const std::size_t runs = (strokes_.size() + kRun - 1) / kRun;
  std::vector<FigureNode> leaves(runs);
  for (std::size_t i = 0; i < strokes_.size(); ++i) {
    const Stroke& s = strokes_[i];
    FigureNode& node = leaves[i / kRun];
    node.ends.add(s.x1, s.y1);
    node.all.add(s.x0, s.y0);
    node.all.add(s.x1, s.y1);
    (s.bud ? node.lastBud : node.lastSegment) = static_cast<int32_t>(i);
    node.wild |= s.x0 != s.x0 || s.y0 != s.y0 || s.x1 != s.x1 || s.y1 != s.y1;
  }
  levels_.push_back(std::move(leaves));
  while (levels_.back().size() > 1) {
    const std::vector<FigureNode>& below = levels_.back();
    std::vector<FigureNode> above((below.size() + 1) / 2);
    for (std::size_t i = 0; i < below.size(); ++i) {
      FigureNode& node = above[i / 2];
      node.ends.add(below[i].ends);
      node.all.add(below[i].all);
      node.lastBud = std::max(node.lastBud, below[i].lastBud);
      node.lastSegment = std::max(node.lastSegment, below[i].lastSegment);
      node.wild |= below[i].wild;
    }
    levels_.push_back(std::move(above));
  }
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
  if (!strokes_.empty()) index();
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
