// The page's pass: the figure drawn into a surface's pixels rather than one fill per square.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "explorer.h"
#include "figure.h"
#include "history.h"
#include "turtle_cursor.h"
#include "viewer.h"

// Draws the figure into the pixels of a surface of 1 or 4 bytes per pixel, as the page's canvas
// wants: locks the surface, clears its pixels to background, fills the squares with the raster
// and unlocks it, which on the page puts the frame on the canvas as one image. The pixels and
// the selection are those of a clear and drawFigure, with or without a view.
void drawPixels(SDL_Surface* screen, TurtleCursor& cursor, const Palette& palette,
                uint32_t background, int32_t px, int32_t py, const View* view = nullptr,
                const Style& style = Style());

// drawPixels for the explorer's frame (Explorer::draw).
void drawExplorerPixels(SDL_Surface* screen, Explorer& explorer, const Palette& palette,
                        uint32_t background);

// The page's pass, on a screen that drawPixels draws: drains the queue, then draws the next
// frame, through the view when one is given.
void runPixelPass(SDL_Surface* screen, const Palette& palette, uint32_t background, Input& input,
                  TurtleCursor& cursor, PressHistory* history = nullptr, const View* view = nullptr);
