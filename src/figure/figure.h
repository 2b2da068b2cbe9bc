// The figure: the word walked once into its strokes in turtle coordinates, kept until the word
// or the turtle changes, and read by every frame, the pick, the fit and the SVG.
#pragma once

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

// The extent of turtle points; empty while minX > maxX.
struct PointBox {
  float minX = 1.0f;
  float minY = 1.0f;
  float maxX = 0.0f;
  float maxY = 0.0f;
  bool empty() const { return minX > maxX; }
  void add(float x, float y);
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
  // The segments and buds of a book's word left out because their points are not finite.
  std::size_t unplaced() const { return unplaced_; }

 private:
  std::vector<Stroke> strokes_;
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
