// One frame of the figure: the pick of the shapes under the pointer, asked first, then the
// drawing of the shapes in word order, those picked red. Both go down the figure's index, so
// that a frame costs the window, not the word: a node whose shapes reach no pixel of the window
// (or, for the pick, do not reach the pointer) is passed over, and one whose shapes of a kind
// all land on one and the same screen shape is painted as that shape, once for each kind.
#pragma once

#include <array>
#include <cstdint>

#include "figure.h"
#include "screen.h"
#include "shapes.h"

// What the pointer picks in a frame: the shapes that hold it, and the selection, the last of them
// in word order.
struct Pick {
  ScreenPoint pointer{0, 0};
  int32_t selected = 0;  // the symbol's index; 0, which doubles as the first symbol's, for none
};

// A stroke is drawn, and can be picked, unless its colour is the background's.
inline bool drawn(const Stroke& stroke, const Palette& palette) {
  return (stroke.bud ? palette.bud : palette.segment) != palette.background;
}

// The node's last stroke of each kind that the palette draws, later one second: -1 for none.
inline std::array<int32_t, 2> lastOfKinds(const FigureNode& node, const Palette& palette) {
  const int32_t bud = palette.bud != palette.background ? node.lastBud : -1;
  const int32_t segment = palette.segment != palette.background ? node.lastSegment : -1;
  return bud < segment ? std::array<int32_t, 2>{bud, segment}
                       : std::array<int32_t, 2>{segment, bud};
}

// What a visit of a node of the index asks for next.
enum class Going { kInto, kOver, kStop };

// Goes down the figure's index from the front, the later strokes first: visit(node) says whether
// to go into the nodes under it, to pass over them, or to stop.
template <class Visit>
void walkIndex(const Figure& figure, Visit&& visit) {
  const std::vector<FigureNode>& nodes = figure.nodes();
  for (std::size_t i = 0; i < nodes.size();) {
    const FigureNode& node = nodes[i];
    const Going going = visit(node);
    if (going == Going::kStop) return;
    i = going == Going::kInto ? i + 1 : node.next;
  }
}

// The shapes under the pointer, without drawing anything: the last of them in word order is found
// first, going down the index from its later half.
template <class Placement>
Pick pick(const Figure& figure, const Placement& placement, const Palette& palette,
          ScreenPoint pointer) {
  const int32_t brush = brushOf(placement);
  const std::vector<Stroke>& strokes = figure.strokes();
  Pick found{pointer, 0};
  bool done = false;  // the last shape that holds the pointer is found
  const auto holds = [&](int32_t ordinal) {
    if (ordinal < 0) return false;
    const Stroke& stroke = strokes[static_cast<std::size_t>(ordinal)];
    if (!drawn(stroke, palette) || !shapeHolds(placement.place(stroke), brush, pointer)) {
      return false;
    }
    found.selected = stroke.index;
    done = true;
    return true;
  };
  walkIndex(figure, [&](const FigureNode& node) {
    const std::array<int32_t, 2> kinds = lastOfKinds(node, palette);
    if (kinds[1] < 0) return Going::kOver;
    const Footprint footprint = placement.footprint(node);
    if (!holdsPoint(footprint.hit, pointer)) return Going::kOver;
    if (footprint.single) {
      if (!holds(kinds[1])) holds(kinds[0]);
    } else if (!node.leaf) {
      return Going::kInto;
    } else {
      for (int32_t k = node.end; k-- > node.first && !holds(k);) {
      }
    }
    return done ? Going::kStop : Going::kOver;
  });
  return found;
}

// Draws the figure on the canvas, within its clip: the picture of every shape painted in word
// order, the later over the earlier, each shape that holds the pick's pointer in the selection's
// colour, so that the red shapes are those that the pick found. The canvas is painted from the
// front (canvas(square, colour) paints only what no shape has reached; canvas.covers(rect) and
// canvas.full() tell what is painted): the index is gone down from its later half, and a node whose
// pixels are all painted already is passed over. Changes nothing it is given but the canvas.
template <class Placement, class Canvas>
void drawFigure(const Figure& figure, const Placement& placement, const Palette& palette,
                const Pick& pick, Canvas& canvas) {
  const int32_t brush = brushOf(placement);
  const std::vector<Stroke>& strokes = figure.strokes();
  const ScreenRect clip = canvas.clip();
  const auto paint = [&](int32_t ordinal) {
    if (ordinal < 0) return;
    const Stroke& stroke = strokes[static_cast<std::size_t>(ordinal)];
    if (!drawn(stroke, palette)) return;
    const Shape shape = placement.place(stroke);
    if (canvas.covers(paintBox(shape, brush))) return;  // hidden by the shapes after it
    const uint32_t colour = shapeHolds(shape, brush, pick.pointer) ? palette.selection
                            : stroke.bud                           ? palette.bud
                                                                   : palette.segment;
    paintShape(shape, brush, colour, clip, canvas);
  };
  walkIndex(figure, [&](const FigureNode& node) {
    if (canvas.full()) return Going::kStop;
    const std::array<int32_t, 2> kinds = lastOfKinds(node, palette);
    if (kinds[1] < 0) return Going::kOver;
    const Footprint footprint = placement.footprint(node);
    if (!meets(footprint.paint, clip) || canvas.covers(footprint.paint)) return Going::kOver;
    if (footprint.single) {
      // Every shape of a kind paints the pixels of its last one in its colour: the kind that
      // comes last in the node is over the other.
      paint(kinds[1]);
      paint(kinds[0]);
      return Going::kOver;
    }
    if (!node.leaf) return Going::kInto;
    for (int32_t k = node.end; k-- > node.first;) paint(k);
    return Going::kOver;
  });
}

// The area of the screen whose pixels a change of the shapes that hold the pointer can change:
// the paint boxes of every shape that holds it. A node whose shapes would paint nothing outside
// the area found so far is passed over.
template <class Placement>
ScreenRect heldArea(const Figure& figure, const Placement& placement, const Palette& palette,
                    ScreenPoint pointer) {
  const int32_t brush = brushOf(placement);
  const std::vector<Stroke>& strokes = figure.strokes();
  ScreenRect area{0, 0, 0, 0};
  const auto add = [&](int32_t ordinal) {
    if (ordinal < 0) return;
    const Stroke& stroke = strokes[static_cast<std::size_t>(ordinal)];
    const Shape shape = placement.place(stroke);
    if (!drawn(stroke, palette) || !shapeHolds(shape, brush, pointer)) return;
    area = unite(area, paintBox(shape, brush));
  };
  walkIndex(figure, [&](const FigureNode& node) {
    const std::array<int32_t, 2> kinds = lastOfKinds(node, palette);
    if (kinds[1] < 0) return Going::kOver;
    const Footprint footprint = placement.footprint(node);
    if (!holdsPoint(footprint.hit, pointer) || unite(area, footprint.paint) == area) {
      return Going::kOver;
    }
    if (footprint.single) {
      add(kinds[0]);
      add(kinds[1]);
      return Going::kOver;
    }
    if (!node.leaf) return Going::kInto;
    for (int32_t k = node.first; k < node.end; ++k) add(k);
    return Going::kOver;
  });
  return area;
}
