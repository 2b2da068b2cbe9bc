// The page's drawing: the figure rasterized into the screen's pixels, one image per frame.
#include "pixel_pass.h"

#include <algorithm>
#include <cstddef>

#include "raster.h"

namespace {

// The pixels as the rasterizer sees them (each row of pitch bytes holds pitch / sizeof(Pixel)),
// cleared to background; then draw(fill) fills its squares into them.
template <class Pixel, class Draw>
void clearAndDraw(SDL_Surface* screen, uint32_t background, Draw& draw) {
  const PixelBuffer<Pixel> buffer{static_cast<Pixel*>(screen->pixels), screen->w, screen->h,
                                  screen->pitch / static_cast<int32_t>(sizeof(Pixel))};
  for (int32_t y = 0; y < buffer.height; ++y) {
    std::fill_n(buffer.pixels + static_cast<std::ptrdiff_t>(y) * buffer.pitch,
                static_cast<std::size_t>(buffer.width), static_cast<Pixel>(background));
  }
  draw([&buffer](const Square& square, uint32_t colour) {
    fillSquare(buffer, square, static_cast<Pixel>(colour));
  });
}

// Locks the surface, of 1 or 4 bytes per pixel, clears it and draws, and unlocks it, which on
// the page puts the frame on the canvas as one image.
template <class Draw>
void drawOnPixels(SDL_Surface* screen, uint32_t background, Draw&& draw) {
  if (SDL_LockSurface(screen) != 0) return;
  if (screen->format->BytesPerPixel == 4) {
    clearAndDraw<uint32_t>(screen, background, draw);
  } else if (screen->format->BytesPerPixel == 1) {
    clearAndDraw<uint8_t>(screen, background, draw);
  }
  SDL_UnlockSurface(screen);
}

}  // namespace

void drawPixels(SDL_Surface* screen, TurtleCursor& cursor, const Palette& palette,
                uint32_t background, int32_t px, int32_t py, const View* view, const Style& style) {
  drawOnPixels(screen, background, [&](auto&& fill) {
    walkFrame(cursor, palette, view, style, screen->w, screen->h, px, py, fill);
  });
}

void drawExplorerPixels(SDL_Surface* screen, Explorer& explorer, const Palette& palette,
                        uint32_t background) {
  drawOnPixels(screen, background, [&](auto&& fill) { explorer.draw(palette, fill); });
}

void runPixelPass(SDL_Surface* screen, const Palette& palette, uint32_t background, Input& input,
                  TurtleCursor& cursor, PressHistory* history, const View* view) {
  drainEvents(input, cursor, history, view);
  drawPixels(screen, cursor, palette, background, input.pointerX, input.pointerY, view);
}
