// The viewer's SDL side, shared by the desktop and the page: the window, the colours, SDL's
// events in the explorer's terms, the squares filled on a surface, one pass of the main loop,
// and the loop of --explore, which waits.
#pragma once

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "explorer.h"
#include "figure.h"
#include "history.h"
#include "raster.h"
#include "session.h"
#include "turtle_cursor.h"
#include "view.h"

// Opens /dev/null on each of the standard descriptors 0, 1 and 2 that is closed. Otherwise the
// next file opened (SDL's X connection, say) would take descriptor 1 and receive the word.
void guardStandardStreams();

// SDL_Init(SDL_INIT_EVERYTHING) and a width x height 8-bit software window; for --explore, video
// alone and a resizable window. Where the user has chosen no video driver and SDL picks one that
// shows no window to a person (a text-mode or an off-screen one), SDL is shut down again and
// there is no window; SDL plays no sound unless the user chose an audio driver. Gives the
// screen, or nullptr and the reason in error.
SDL_Surface* openWindow(int32_t width, int32_t height, std::string& error, bool explore = false);

// Sets the window's title.
void showTitle(const std::string& title);

// The window's title: the program, the word's length and, with a view, its zoom.
void showWordLength(const TurtleCursor& cursor, const View* view = nullptr);

// Brown, red and green, mapped in that order on the screen's format.
Palette mapPalette(const SDL_PixelFormat* format);

// An SDL event in the explorer's terms.
UserInput userInput(const SDL_Event& event);

// An event as the program without --explore takes it (handlePlainInput); a press shows the new
// length in the title (with the view's zoom, when given).
void handleEvent(const SDL_Event& event, Input& input, TurtleCursor& cursor,
                 PressHistory* history = nullptr, const View* view = nullptr);

// Handles every queued event, without waiting.
void drainEvents(Input& input, TurtleCursor& cursor, PressHistory* history = nullptr,
                 const View* view = nullptr);

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

// Walks the word and fills one square per drawable symbol on the surface: at the turtle's
// positions cut to 16 bits, or through view when one is given; in the line style, through the
// raster on the surface's pixels.
void drawFigure(SDL_Surface* screen, TurtleCursor& cursor, const Palette& palette, int32_t px,
                int32_t py, const View* view = nullptr, const Style& style = Style());

// Shows the last frame, clears, drains the queue, then walks and draws the next frame.
void runPass(SDL_Surface* screen, const Palette& palette, Input& input, TurtleCursor& cursor,
             const View* view = nullptr, const Style& style = Style());

// The loop of --explore on the desktop: a frame is drawn and shown when the explorer finds it
// stale, else the loop waits for an event; a resize opens the window again, and the screen and
// its colours follow. The status the program ends with: a failed resize or wait is a failure.
int runExplore(Explorer& explorer, SDL_Surface*& screen, Palette& palette);
