// The one walk of the word into strokes, and the boxes of what they draw.
#include "figure.h"

#include <algorithm>
#include <cmath>

#include "screen.h"

uint32_t Figure::index(std::size_t level, std::size_t i, uint32_t at, bool lines) {
  FigureNode node;
  uint32_t next = at + 1;
  if (level == 0) {
    node.first = static_cast<int32_t>(i * kRun);
    node.end = static_cast<int32_t>(std::min((i + 1) * kRun, strokes_.size()));
    node.leaf = true;
    for (int32_t k = node.first; k < node.end; ++k) {
      const Stroke& s = strokes_[static_cast<std::size_t>(k)];
      node.box.add(s.x1, s.y1);
      if (lines) node.box.add(s.x0, s.y0);
      (s.bud ? budPoints_ : segmentEnds_).add(s.x1, s.y1);
      (s.bud ? node.lastBud : node.lastSegment) = k;
      node.wild |= s.x0 != s.x0 || s.y0 != s.y0 || s.x1 != s.x1 || s.y1 != s.y1;
    }
    allPoints_.add(node.box);
  } else {
    const std::size_t runs = (strokes_.size() + kRun - 1) / kRun;
    const auto take = [&](std::size_t child) {
      const uint32_t childAt = next;
      next = index(level - 1, child, next, lines);
      const FigureNode& below = nodes_[childAt];
      node.box.add(below.box);
      node.lastBud = std::max(node.lastBud, below.lastBud);
      node.lastSegment = std::max(node.lastSegment, below.lastSegment);
      node.wild |= below.wild;
      node.first = below.first;
      node.end = std::max(node.end, below.end);
    };
    if (((2 * i + 1) << (level - 1)) < runs) take(2 * i + 1);  // the later half goes first
    take(2 * i);
  }
  node.next = next;
  nodes_[at] = node;
  return next;
}

void Figure::index(bool lines) {
  // Every level holds half the nodes of the one below, rounded up, until one is left.
  std::size_t nodes = 0;
  std::size_t level = 0;
  for (std::size_t size = (strokes_.size() + kRun - 1) / kRun;; size = (size + 1) / 2, ++level) {
    nodes += size;
    if (size == 1) break;
  }
  nodes_.resize(nodes);
  index(level, 0, 0, lines);
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
  for (const int32_t length = cursor.wordLength(); cursor.index < length; cursor.advance()) {
    const TurtleCommand command = cursor.commandOf(cursor.symbolAt(cursor.index));
    const float x0 = cursor.state.x;
    const float y0 = cursor.state.y;
    if constexpr (kModules) {
      cursor.interpretModule();
    } else {
      cursor.interpretCurrent();
    }
    if (command != TurtleCommand::kSegment && command != TurtleCommand::kBud) continue;
    const bool bud = command == TurtleCommand::kBud;
    const float x1 = cursor.state.x;
    const float y1 = cursor.state.y;
    // A parameter's step or turn can take the turtle to an infinite or NaN point, which no box,
    // fit or view can hold: such a stroke is left out, and counted.
    if (kModules &&
        !(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1))) {
      ++unplaced_;
      continue;
    }
    strokes_.push_back(bud ? Stroke{x1, y1, x1, y1, cursor.index, true}
                           : Stroke{x0, y0, x1, y1, cursor.index, false});
  }
  if (!strokes_.empty()) index(cursor.exactBranches);
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
