// The SDL side that both front ends share: SDL's events in the explorer's terms, the colours
// mapped on a surface, the frame's squares out on its pixels, the window's title, and the
// program's own lines on standard error.
#pragma once

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "explorer.h"
#include "raster.h"
#include "screen.h"
#include "shapes.h"
#include "start.h"

// An SDL event in the explorer's terms.
UserInput userInput(const SDL_Event& event);

// The segment's, the selection's, the bud's and the background's colours, mapped in that order on
// the surface's format.
Palette mapPalette(const SDL_PixelFormat* format, const Colours& colours = Colours());

// Sets the window's title.
void showTitle(const std::string& title);

// Fills squares on the surface with SDL_FillRect.
struct SurfaceFill {
  SDL_Surface* screen;
  void operator()(const Square& square, uint32_t colour) const {
    SDL_Rect rect{square.x, square.y, square.w, square.h};
    SDL_FillRect(screen, &rect, colour);
  }
};

// Locks the surface, of 1 or 4 bytes per pixel, sets every pixel to background when one is
// given, hands draw a fill(square, colour) that writes the square's pixels with the raster, and
// unlocks the surface, which on the page puts the frame on the canvas as one image. One lock a
// frame, where SDL_FillRect locks the surface for every square.
template <class Draw>
void drawOnPixels(SDL_Surface* screen, std::optional<uint32_t> background, Draw&& draw) {
  if (SDL_LockSurface(screen) != 0) return;
  const auto rasterize = [&](auto pixel) {
    using Pixel = decltype(pixel);
    const PixelBuffer<Pixel> buffer{static_cast<Pixel*>(screen->pixels), screen->w, screen->h,
                                    screen->pitch / static_cast<int32_t>(sizeof(Pixel))};
    for (int32_t y = 0; background && y < buffer.height; ++y) {
      std::fill_n(buffer.pixels + static_cast<std::ptrdiff_t>(y) * buffer.pitch,
                  static_cast<std::size_t>(buffer.width), static_cast<Pixel>(*background));
    }
    draw([&buffer](const Square& square, uint32_t colour) {
      fillSquare(buffer, square, static_cast<Pixel>(colour));
    });
  };
  if (screen->format->BytesPerPixel == 4) {
    rasterize(uint32_t{});
  } else if (screen->format->BytesPerPixel == 1) {
    rasterize(uint8_t{});
  }
  SDL_UnlockSurface(screen);
}

// The explorer's frame on the surface, cleared to the background first: squares by SDL_FillRect,
// which is faster for them, lines through the raster on the surface's pixels.
void drawFrame(SDL_Surface* screen, Explorer& explorer, const Palette& palette);

// Prints what the start said: its output, then its notes as the program's lines. The status the
// program ends with when the start ends it, else nothing.
std::optional<int> report(const Start& start);

// The program's lines on standard error, each "lsystem-viewer: " and the text.
void say(const std::string& line);
// A bad command line: its line and a pointer to --help; status 2.
int usageError(const std::string& message);
// A failure at run time: its line; status 1.
int failure(const std::string& message);
// What an exception that ends the program says: "out of memory", or the reason it gives.
int failure(const std::exception& error);
