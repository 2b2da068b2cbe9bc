// The viewer's SDL side: colours, one event, one frame, one pass of the main loop.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "figure.h"
#include "history.h"
#include "turtle_cursor.h"

// What the events have told the loop so far.
struct Input {
  int32_t quit = 0;
  int32_t pointerX = 0;  // from the latest motion event; (0, 0) before any
  int32_t pointerY = 0;
};

// Opens /dev/null on each of the standard descriptors 0, 1 and 2 that is closed. Otherwise the
// next file opened (SDL's X connection, say) would take descriptor 1 and receive the word.
void guardStandardStreams();

// SDL_Init(SDL_INIT_EVERYTHING) and a width x height 8-bit software window. Where the user has
// chosen no video driver and SDL picks one that shows no window to a person (a text-mode or an
// off-screen one), SDL is shut down again and there is no window; SDL plays no sound unless the
// user chose an audio driver. Gives the screen, or nullptr and the reason in error.
SDL_Surface* openWindow(int32_t width, int32_t height, std::string& error);

// The window's title: the program and the word's length.
void showWordLength(const TurtleCursor& arbre);

// Brown, red and green, mapped in that order on the screen's format.
Palette mapPalette(const SDL_PixelFormat* format);

// Key press and quit request end the loop, motion moves the pointer, any button press acts on
// the selection (through history, when given, so that it can be taken back) and shows the new
// length in the title. Every other event is ignored.
void handleEvent(const SDL_Event& event, Input& input, TurtleCursor& arbre,
                 PressHistory* history = nullptr);

// Handles every queued event, without waiting.
void drainEvents(Input& input, TurtleCursor& arbre, PressHistory* history = nullptr);

// Walks the word and fills one square per drawable symbol on the surface.
void drawFigure(SDL_Surface* screen, TurtleCursor& arbre, const Palette& palette, int32_t px,
                int32_t py);

// Shows the last frame, clears, drains the queue, then walks and draws the next frame.
void runPass(SDL_Surface* screen, const Palette& palette, Input& input, TurtleCursor& arbre);
