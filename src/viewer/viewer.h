// The viewer's SDL side: colours, one event, one frame, one pass of the main loop, and the loop
// of --explore, which waits.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>

#include "figure.h"
#include "history.h"
#include "session.h"
#include "turtle_cursor.h"
#include "view.h"

// What the events have told the loop so far.
struct Input {
  int32_t quit = 0;
  int32_t pointerX = 0;  // from the latest motion event; (0, 0) before any
  int32_t pointerY = 0;
};

// Opens /dev/null on each of the standard descriptors 0, 1 and 2 that is closed. Otherwise the
// next file opened (SDL's X connection, say) would take descriptor 1 and receive the word.
void guardStandardStreams();

// SDL_Init(SDL_INIT_EVERYTHING) and a width x height 8-bit software window; for --explore, video
// alone and a resizable window. Where the user has chosen no video driver and SDL picks one that
// shows no window to a person (a text-mode or an off-screen one), SDL is shut down again and
// there is no window; SDL plays no sound unless the user chose an audio driver. Gives the
// screen, or nullptr and the reason in error.
SDL_Surface* openWindow(int32_t width, int32_t height, std::string& error, bool explore = false);

// The window's title: the program, the word's length and, with a view, its zoom.
void showWordLength(const TurtleCursor& arbre, const View* view = nullptr);

// Brown, red and green, mapped in that order on the screen's format.
Palette mapPalette(const SDL_PixelFormat* format);

// Key press and quit request end the loop, motion moves the pointer, any button press acts on
// the selection (through history, when given, so that it can be taken back) and shows the new
// length in the title (with the view's zoom, when given). Every other event is ignored.
void handleEvent(const SDL_Event& event, Input& input, TurtleCursor& arbre,
                 PressHistory* history = nullptr, const View* view = nullptr);

// Handles every queued event, without waiting.
void drainEvents(Input& input, TurtleCursor& arbre, PressHistory* history = nullptr,
                 const View* view = nullptr);

// Walks the word and fills one square per drawable symbol on the surface: at the turtle's
// positions cut to 16 bits, or through view when one is given.
void drawFigure(SDL_Surface* screen, TurtleCursor& arbre, const Palette& palette, int32_t px,
                int32_t py, const View* view = nullptr);

// Shows the last frame, clears, drains the queue, then walks and draws the next frame.
void runPass(SDL_Surface* screen, const Palette& palette, Input& input, TurtleCursor& arbre,
             const View* view = nullptr);

// The window of --explore and what its loop keeps besides the session.
struct Explorer {
  Explorer(SDL_Surface* window, const Palette& colours, bool onDesktop)
      : screen(window), palette(colours), desktop(onDesktop) {}

  SDL_Surface* screen;
  Palette palette;
  Input input;
  bool stale = true;    // the frame on the window is not the figure as it is now
  bool desktop;         // a resize reopens the window, s saves a file; not so in the page
  ViewSquares squares;  // of the last walk, while the word, the view and the window stay
  bool squaresKept = false;
};

// One frame of --explore, its squares handed to fill(square, colour) with walkViewFigure's
// colours and selection: from the kept squares when only the pointer has moved since they were
// kept, else from a walk, whose squares are kept for the frames that follow.
template <class Fill>
void exploreFrame(Explorer& explorer, Session& session, Fill&& fill) {
  const int32_t px = explorer.input.pointerX;
  const int32_t py = explorer.input.pointerY;
  const int32_t width = explorer.screen->w;
  const int32_t height = explorer.screen->h;
  // A pointer outside the window (after it shrank) can lie in squares that are not kept.
  const bool inside = px >= 0 && px < width && py >= 0 && py < height;
  if (inside && !explorer.squaresKept) {
    explorer.squaresKept = explorer.squares.keep(session.arbre, session.view, width, height);
  }
  if (inside && explorer.squaresKept) {
    explorer.squares.draw(session.arbre, explorer.palette, px, py, fill);
  } else {
    walkViewFigure(session.arbre, explorer.palette, session.view, width, height, px, py, fill);
  }
}

// One event of --explore: the left button presses (through the history), the wheel zooms about
// the pointer, a motion with the right or middle button held pans, keys pan, zoom, fit, undo,
// save and quit (q, Escape), and a resize keeps the view. Marks the frame stale when the
// figure, the view or the red squares may have changed.
void handleExploreEvent(const SDL_Event& event, Explorer& explorer, Session& session);

// The loop of --explore: draws and shows a frame when it is stale, else waits for an event.
void runExplore(Explorer& explorer, Session& session);
