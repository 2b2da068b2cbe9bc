// The figure: the word walked once into its strokes in turtle coordinates, with boxes over runs
// of them, kept until the word or the turtle changes, and read by every frame, the pick, the fit
// and the SVG.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "style.h"
#include "turtle_cursor.h"
#include "view.h"

// A drawable symbol in turtle coordinates: a segment from the turtle's point before its step to
// its point after, a bud at its point (both ends the same).
struct Stroke {
  float x0;
  float y0;
  float x1;
  float y1;
  int32_t index;  // the symbol's index in the word
  bool bud;
};

// The extent of turtle points; empty while minX > maxX. A point that is not a number is left out.
struct PointBox {
  float minX = 1.0f;
  float minY = 1.0f;
  float maxX = 0.0f;
  float maxY = 0.0f;
  bool empty() const { return minX > maxX; }
  void add(float x, float y);
  void add(const PointBox& other);
};

// A run of consecutive strokes, ordinals [first, first + count), as the figure's index keeps it:
// a turtle's path is continuous, so the boxes of a run are tight.
struct FigureNode {
  PointBox ends;  // every stroke's end point: where its square stands, a bud's point
  PointBox all;   // every point drawn: both ends of each segment, each bud's point
  int32_t lastBud = -1;      // the ordinal of the run's last bud, or -1
  int32_t lastSegment = -1;  // and of its last segment
  bool wild = false;         // a point that is not a number, which no box holds
};

class Figure {
 public:
  Figure() = default;
  // Walks the cursor's whole word from its start state, with its sets, into strokes in word
  // order. The walk leaves the cursor at the word's end.
  explicit Figure(TurtleCursor& cursor);

  const std::vector<Stroke>& strokes() const { return strokes_; }
  // The points the buds stand on, and the ends of the segments' steps.
  const PointBox& budPoints() const { return budPoints_; }
  const PointBox& segmentEnds() const { return segmentEnds_; }
  // Every point drawn: both ends of each segment and each bud's point.
  const PointBox& allPoints() const { return allPoints_; }

  // The index: levels of nodes, level 0 over runs of kRun strokes, each level above over pairs of
  // the nodes below; the last level holds one node, over every stroke.
  static constexpr int32_t kRun = 4;
  const std::vector<std::vector<FigureNode>>& levels() const { return levels_; }
  // The strokes [first, end) under node i of a level.
  int32_t runBegin(std::size_t level, std::size_t i) const {
    return static_cast<int32_t>((i * kRun) << level);
  }
  int32_t runEnd(std::size_t level, std::size_t i) const {
    return static_cast<int32_t>(std::min(((i + 1) * kRun) << level, strokes_.size()));
  }

 private:
  void index();

  std::vector<Stroke> strokes_;
  std::vector<std::vector<FigureNode>> levels_;
  PointBox budPoints_;
  PointBox segmentEnds_;
  PointBox allPoints_;
};

// The box of what a style draws, in whole pixels: with squares, every square, its corner the
// turtle's whole-pixel position; with lines, every drawn point's nearest pixel, one pixel wider
// and taller than their extent. Empty when nothing is drawn.
Box drawnBox(const Figure& figure, const Style& style);

// The view that shows the whole figure in a width x height window: with squares, fitView of
// drawnBox; with lines, the exact points' box with room for the brush and the buds.
View fitView(const Figure& figure, int32_t width, int32_t height, const Style& style);

// A cursor's figure, walked again only when asked for after forget().
class KeptFigure {
 public:
  const Figure& of(TurtleCursor& cursor) {
    if (!current_) {
      figure_ = Figure(cursor);
      current_ = true;
    }
    return figure_;
  }
  // The word, the turtle's start or its sets have changed.
  void forget() { current_ = false; }

 private:
  Figure figure_;
  bool current_ = false;
};
