// The figure: the word walked once into its strokes in turtle coordinates, with boxes over runs
// of them, kept until the word or the turtle changes, and read by every frame, the pick, the fit
// and the SVG.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
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

// The extent of turtle points; empty while minX > maxX. A point that is not a number is left out
// (min and max keep the box's own value when the other is NaN).
struct PointBox {
  float minX = std::numeric_limits<float>::infinity();
  float minY = std::numeric_limits<float>::infinity();
  float maxX = -std::numeric_limits<float>::infinity();
  float maxY = -std::numeric_limits<float>::infinity();
  bool empty() const { return minX > maxX; }
  void add(float x, float y) {
    minX = std::min(minX, x);
    minY = std::min(minY, y);
    maxX = std::max(maxX, x);
    maxY = std::max(maxY, y);
  }
  void add(const PointBox& other) {
    minX = std::min(minX, other.minX);
    minY = std::min(minY, other.minY);
    maxX = std::max(maxX, other.maxX);
    maxY = std::max(maxY, other.maxY);
  }
};

// A node of the figure's index: a run of consecutive strokes, whose box is tight because a
// turtle's path is continuous.
struct FigureNode {
  // The points that place the run's shapes: the end points, where the squares stand, or in the
  // line style both ends of each segment.
  PointBox box;
  int32_t lastBud = -1;      // the ordinal of the run's last bud, or -1
  int32_t lastSegment = -1;  // and of its last segment
  uint32_t next = 0;         // the node after the nodes under this one
  int32_t first = 0;         // the run's first stroke, and
  int32_t end = 0;           // the stroke past its last one
  bool leaf = false;         // no node is under it
  bool wild = false;         // a point that is not a number, which no box holds
};

class Figure {
 public:
  Figure() = default;
  // Walks the cursor's whole word from its start state, with its sets, into strokes in word
  // order, and indexes them. With the cursor's exact branches it is the line style's figure,
  // whose boxes hold both ends of each segment; else the squares', whose boxes hold the end
  // points. The walk leaves the cursor at the word's end.
  explicit Figure(TurtleCursor& cursor);

  const std::vector<Stroke>& strokes() const { return strokes_; }
  // The points the buds stand on, and the ends of the segments' steps.
  const PointBox& budPoints() const { return budPoints_; }
  const PointBox& segmentEnds() const { return segmentEnds_; }
  // Every point that places a shape, as the index's boxes hold them: in the line style both ends
  // of each segment and each bud's point.
  const PointBox& allPoints() const { return allPoints_; }
  // The segments and buds of a book's word left out because their points are not finite.
  std::size_t unplaced() const { return unplaced_; }

  // The index, a binary tree over runs of kRun strokes whose boxes hold the boxes under them,
  // kept in the order in which a frame painted from the front goes down it: each node, then the
  // nodes under its later half, then those under its earlier half. A frame reads it from the
  // first node on, and passes over the nodes under one by going on at its next.
  static constexpr int32_t kRun = 4;
  const std::vector<FigureNode>& nodes() const { return nodes_; }

 private:
  void index(bool lines);
  // Writes node i of the level, over runs [i << level, (i + 1) << level), and the nodes under it
  // into nodes_ from at on; gives the position after them.
  uint32_t index(std::size_t level, std::size_t i, uint32_t at, bool lines);

  std::vector<Stroke> strokes_;
  std::vector<FigureNode> nodes_;
  PointBox budPoints_;
  PointBox segmentEnds_;
  PointBox allPoints_;
  std::size_t unplaced_ = 0;

  // The walk, each module read by interpretModule (a book's word) or interpretCurrent.
  template <bool kModules>
  void walk(TurtleCursor& cursor);
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
