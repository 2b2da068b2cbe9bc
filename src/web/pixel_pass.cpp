// The page's drawing: the figure rasterized into the screen's pixels, one image per frame.
#include "pixel_pass.h"

#include <algorithm>
#include <cstddef>

#include "raster.h"

namespace {

// The pixels as the rasterizer sees them: each row of pitch bytes holds pitch / sizeof(Pixel).
template <class Pixel>
void clearAndRaster(SDL_Surface* screen, TurtleCursor& arbre, const Palette& palette,
                    uint32_t background, int32_t px, int32_t py, const View* view) {
  const PixelBuffer<Pixel> buffer{static_cast<Pixel*>(screen->pixels), screen->w, screen->h,
                                  screen->pitch / static_cast<int32_t>(sizeof(Pixel))};
  for (int32_t y = 0; y < buffer.height; ++y) {
    std::fill_n(buffer.pixels + static_cast<std::ptrdiff_t>(y) * buffer.pitch,
                static_cast<std::size_t>(buffer.width), static_cast<Pixel>(background));
  }
  rasterFigure(arbre, palette, px, py, buffer, view);
}

}  // namespace

void drawPixels(SDL_Surface* screen, TurtleCursor& arbre, const Palette& palette,
                uint32_t background, int32_t px, int32_t py, const View* view) {
  if (SDL_LockSurface(screen) != 0) return;
  if (screen->format->BytesPerPixel == 4) {
    clearAndRaster<uint32_t>(screen, arbre, palette, background, px, py, view);
  } else if (screen->format->BytesPerPixel == 1) {
    clearAndRaster<uint8_t>(screen, arbre, palette, background, px, py, view);
  }
  SDL_UnlockSurface(screen);
}

void runPixelPass(SDL_Surface* screen, const Palette& palette, uint32_t background, Input& input,
                  TurtleCursor& arbre, PressHistory* history, const View* view) {
  drainEvents(input, arbre, history, view);
  drawPixels(screen, arbre, palette, background, input.pointerX, input.pointerY, view);
}
