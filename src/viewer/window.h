// The desktop's window and its loop: SDL started, the window opened on a display a person can
// see, and the frames drawn as the explorer decides, sleeping in between.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>
#include <string>

#include "explorer.h"
#include "session.h"
#include "shapes.h"

// Opens /dev/null on each of the standard descriptors 0, 1 and 2 that is closed. Otherwise the
// next file opened (SDL's X connection, say) would take descriptor 1 and receive the word.
void guardStandardStreams();

// SDL's video and a width x height 8-bit software window, resizable for --explore. Where the user
// has chosen no video driver and SDL picks one that shows no window to a person (a text-mode or an
// off-screen one), SDL is shut down again and there is no window; SDL plays no sound unless the
// user chose an audio driver. Gives the screen, or nullptr and the reason in error.
SDL_Surface* openWindow(int32_t width, int32_t height, std::string& error, bool explore = false);

// The desktop's window and its loop, every mode through the explorer.
class DesktopWindow {
 public:
  DesktopWindow(Session& session, SDL_Surface* screen);

  // Hands one input to the explorer and carries out its reply: the line said, the word printed,
  // the window resized and its title shown. The status when that ends the program (the word
  // not printed, the window not resized), else nothing.
  std::optional<int> handle(const UserInput& input);
  // handle() for every event in SDL's queue, without waiting.
  std::optional<int> handleQueued();
  // Draws and shows a frame when the explorer finds the one shown stale.
  void show();
  // The loop: a frame shown when stale, else a sleep until an event (or the growth's next step);
  // every event queued is then handled. A key, a close or a failure ends it: the status the
  // program ends with, its line said.
  int run();

  Explorer& explorer() { return explorer_; }
  SDL_Surface* screen() const { return screen_; }
  const Palette& palette() const { return palette_; }

 private:
  Session& session_;
  SDL_Surface* screen_;
  Palette palette_;
  Explorer explorer_;
};
