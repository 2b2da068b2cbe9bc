// The SDL side that both front ends share: SDL's events in the explorer's terms, the colours
// mapped on a surface, the frame's squares out on its pixels, the window's title, and the
// program's own lines on standard error.
#pragma once

#include <SDL.h>

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

// The explorer's frame in the buffer, within the area that redrawArea gives: the shapes painted
// from the front and the rest of the area the background.
template <class Pixel>
void paintFrame(const PixelBuffer<Pixel>& buffer, Explorer& explorer, const Palette& palette) {
  FrontCanvas<Pixel> canvas(buffer, explorer.redrawArea(palette));
  explorer.draw(palette, canvas);
  canvas.finish(palette.background);
}

// The explorer's frame on the surface, of 1 or 4 bytes per pixel, as paintFrame paints it: one
// lock a frame, and the unlock puts the frame on the page's canvas.
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
