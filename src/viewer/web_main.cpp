// lsystem-viewer in the browser: the desktop start-up, then one pass per animation frame.
#include <SDL.h>
#include <emscripten.h>

#include <string>

#include "turtle_cursor.h"
#include "viewer.h"
#include "web_screen.h"

namespace {

// What the loop keeps between frames: the page cannot keep main's stack, so it lives on the heap.
struct WebViewer {
  std::string line;
  SDL_Surface* screen;
  Palette palette;
  Uint32 black;
  Input input;
  TurtleCursor arbre;
};

void webPass(void* arg) {
  auto* viewer = static_cast<WebViewer*>(arg);
  // One canvas call per frame: the pass clears and draws the screen's pixels, opaque black
  // first, and the unlock puts them on the canvas, which the browser shows when the frame's
  // callback returns.
  runPixelPass(viewer->screen, viewer->palette, viewer->black, viewer->input, viewer->arbre);
  if (!viewer->input.quit) return;
  emscripten_cancel_main_loop();
  // The page stops showing output here: SDL_Quit notes on standard output that it did nothing.
  emscripten_run_script("if (Module.programEnded) Module.programEnded();");
  SDL_Quit();
  // This SDL_Quit leaves SDL's key listeners on the page, which would go on swallowing every
  // key, a reload by keyboard among them.
  emscripten_run_script(
      "['keydown', 'keyup', 'keypress'].forEach(function (type) {"
      "  document.removeEventListener(type, SDL.receiveEvent); });");
  delete viewer;
}

}  // namespace

int main() {
  std::string line = "{o:a[+ao]-ao;}ao";
  SDL_Init(SDL_INIT_EVERYTHING);
  SDL_Surface* screen = openWebScreen(600, 400);
  auto* viewer = new WebViewer{line,
                               screen,
                               mapPalette(screen->format),
                               SDL_MapRGB(screen->format, 0, 0, 0),
                               Input{},
                               TurtleCursor(line, 300, 300)};
  for (int i = 0; i < 3; ++i) viewer->arbre.grow();
  viewer->arbre.printWord();
  // Frame-paced by the browser; main returns at once and the runtime stays up for the loop.
  emscripten_set_main_loop_arg(webPass, viewer, 0, 0);
  return 0;
}
