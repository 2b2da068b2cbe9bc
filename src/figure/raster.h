// Squares filled into a pixel buffer without SDL: the rectangles that the clip to the window gives.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "screen.h"

// Pixels of one frame: width by height, each row pitch pixels after the one before it.
template <class Pixel>
struct PixelBuffer {
  Pixel* pixels;
  int32_t width;
  int32_t height;
  int32_t pitch;
};

// Fills `rows` rows of kWidth pixels from row on, each pitch pixels after the one before it.
template <std::size_t kWidth, class Pixel>
void fillRows(Pixel* row, int32_t pitch, int32_t rows, Pixel colour) {
  if constexpr (sizeof(Pixel) == 4) {
    // Two pixels per 64-bit store: half the stores, where a store is the cost.
    const uint64_t pair = uint64_t{colour} | uint64_t{colour} << 32;
    for (int32_t y = 0; y < rows; ++y, row += pitch) {
      for (std::size_t x = 0; x + 1 < kWidth; x += 2) std::memcpy(row + x, &pair, sizeof pair);
      if (kWidth % 2 != 0) row[kWidth - 1] = colour;
    }
  } else {
    for (int32_t y = 0; y < rows; ++y, row += pitch) std::fill_n(row, kWidth, colour);
  }
}

// Fills `rows` rows of `width` pixels with the fillRows of that width, when it is one of kWidths;
// false when it is none of them.
template <class Pixel, std::size_t... kWidths>
bool fillFixedWidth(std::size_t width, Pixel* row, int32_t pitch, int32_t rows, Pixel colour) {
  return ((width == kWidths && (fillRows<kWidths>(row, pitch, rows, colour), true)) || ...);
}

// Fills the square, which lies inside the buffer, as the clip to the window leaves it.
template <class Pixel>
void fillSquare(const PixelBuffer<Pixel>& buffer, const Square& square, Pixel colour) {
  Pixel* row = buffer.pixels + static_cast<std::ptrdiff_t>(square.y) * buffer.pitch + square.x;
  if (square.w == 1 && square.h == 1) {  // a pixel of a thin line: most fills of the line style
    *row = colour;
    return;
  }
  // Rows of the figure's widths, 7 and 20 and the narrow ones of a figure scaled down, are
  // filled with a fixed count, which the compiler unrolls; the other widths, of squares cut by
  // the window's edge or scaled up, take the loop of any length.
  if (!fillFixedWidth<Pixel, 1, 2, 3, 4, 5, 6, 7, 20>(square.w, row, buffer.pitch, square.h,
                                                      colour)) {
    for (int32_t y = 0; y < square.h; ++y, row += buffer.pitch) std::fill_n(row, square.w, colour);
  }
}
