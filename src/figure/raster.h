// Squares filled into a pixel buffer without SDL, clipped to it as SDL_FillRect clips.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "figure.h"

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

// Fills the part of the square that lies inside the buffer, as SDL_FillRect does on a surface
// whose clip rectangle is the whole surface: the intersection is computed in int, so the
// square's 16-bit corner and size cannot wrap.
template <class Pixel>
void fillSquare(const PixelBuffer<Pixel>& buffer, const Square& square, Pixel colour) {
  if (square.w == 1 && square.h == 1) {  // a pixel of a thin line: most fills of the line style
    if (square.x >= 0 && square.x < buffer.width && square.y >= 0 && square.y < buffer.height) {
      buffer.pixels[static_cast<std::ptrdiff_t>(square.y) * buffer.pitch + square.x] = colour;
    }
    return;
  }
  const int32_t left = std::max<int32_t>(square.x, 0);
  const int32_t right = std::min<int32_t>(square.x + int32_t{square.w}, buffer.width);
  const int32_t top = std::max<int32_t>(square.y, 0);
  const int32_t bottom = std::min<int32_t>(square.y + int32_t{square.h}, buffer.height);
  if (left >= right || top >= bottom) return;
  Pixel* row = buffer.pixels + static_cast<std::ptrdiff_t>(top) * buffer.pitch + left;
  // Rows of the figure's widths, 7 and 20 and the narrow ones of a figure scaled down, are
  // filled with a fixed count, which the compiler unrolls; the other widths, of squares cut by
  // the window's edge or scaled up, take the loop of any length.
  switch (right - left) {
    case 2:
      fillRows<2>(row, buffer.pitch, bottom - top, colour);
      break;
    case 3:
      fillRows<3>(row, buffer.pitch, bottom - top, colour);
      break;
    case 4:
      fillRows<4>(row, buffer.pitch, bottom - top, colour);
      break;
    case 5:
      fillRows<5>(row, buffer.pitch, bottom - top, colour);
      break;
    case 6:
      fillRows<6>(row, buffer.pitch, bottom - top, colour);
      break;
    case 7:
      fillRows<7>(row, buffer.pitch, bottom - top, colour);
      break;
    case 20:
      fillRows<20>(row, buffer.pitch, bottom - top, colour);
      break;
    default:
      for (int32_t y = top; y < bottom; ++y, row += buffer.pitch) {
        std::fill_n(row, static_cast<std::size_t>(right - left), colour);
      }
  }
}
