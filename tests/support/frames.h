// A frame as the program draws it, without SDL: the word walked into its figure, the pick of the
// pointer, then the shapes; and the plain picture to hold it against, every shape painted in word
// order, the later over the earlier.
#pragma once

#include <cstdint>
#include <vector>

#include "figure.h"
#include "frame.h"
#include "raster.h"
#include "shapes.h"
#include "turtle_cursor.h"

struct Fill {
  Square square;
  uint32_t colour;
  bool operator==(const Fill& o) const {
    return square.x == o.square.x && square.y == o.square.y && square.w == o.square.w &&
           square.h == o.square.h && colour == o.colour;
  }
};

struct Frame {
  std::vector<Fill> fills;  // every shape in word order, clipped to the window
  int32_t selected = 0;     // the pick's
};

// Every drawn shape of the figure in word order, clipped to a width x height window, red where it
// holds the pick's pointer: the frame by its definition.
template <class Placement>
std::vector<Fill> everyShape(const Figure& figure, const Placement& placement,
                             const Palette& palette, const Pick& picked, int32_t width,
                             int32_t height) {
  std::vector<Fill> fills;
  const auto fill = [&fills](const Square& square, uint32_t colour) {
    fills.push_back({square, colour});
  };
  const int32_t brush = brushOf(placement);
  for (const Stroke& stroke : figure.strokes()) {
    if (!drawn(stroke, palette)) continue;
    const Shape shape = placement.place(stroke);
    const uint32_t colour = shapeHolds(shape, brush, picked.pointer) ? palette.selection
                            : stroke.bud                             ? palette.bud
                                                                     : palette.segment;
    paintShape(shape, brush, colour, ScreenRect{0, 0, width, height}, fill);
  }
  return fills;
}

// The frame of the cursor's word with the pointer at (px, py) in a width x height window: through
// the view when one is given, else at the positions cut to 16 bits (or, for lines, as they are).
inline Frame frameOf(TurtleCursor& cursor, int32_t px, int32_t py, const View* view = nullptr,
                     const Style& style = Style(), int32_t width = 600, int32_t height = 400,
                     const Palette& palette = Palette{1, 2, 3}) {
  cursor.exactBranches = style.lines;  // as the program's cursor is made for the style
  const Figure figure(cursor);
  Frame frame;
  withPlacement(view, style, [&](const auto& placement) {
    const Pick picked = pick(figure, placement, palette, ScreenPoint{px, py});
    frame.selected = picked.selected;
    frame.fills = everyShape(figure, placement, palette, picked, width, height);
  });
  return frame;
}

// A width x height picture of the fills, one colour a pixel, row by row, the background where
// none reaches.
inline std::vector<uint32_t> pictureOf(const std::vector<Fill>& fills, int32_t width,
                                       int32_t height, uint32_t background = 0) {
  std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                               background);
  for (const Fill& f : fills) {
    for (int y = f.square.y; y < f.square.y + f.square.h; ++y) {
      for (int x = f.square.x; x < f.square.x + f.square.w; ++x) {
        pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x)] = f.colour;
      }
    }
  }
  return pixels;
}

// The picture that the program's drawing makes of the figure: down the index, from the front.
template <class Placement>
std::vector<uint32_t> drawnPicture(const Figure& figure, const Placement& placement,
                                   const Palette& palette, const Pick& picked, int32_t width,
                                   int32_t height) {
  std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const PixelBuffer<uint32_t> buffer{pixels.data(), width, height, width};
  FrontCanvas<uint32_t> canvas(buffer, ScreenRect{0, 0, width, height});
  drawFigure(figure, placement, palette, picked, canvas);
  canvas.finish(palette.background);
  return pixels;
}
