// The page's screen: Emscripten's SDL on the page's canvas, for passes that write every pixel.
#pragma once

#include <SDL.h>
#include <emscripten.h>

// SDL's defaults for the canvas: the pixels are neither read back nor made opaque.
EM_JS(void, writeWholeFrames, (), {
  SDL.defaults.copyOnLock = false;
  SDL.defaults.discardOnLock = true;
  SDL.defaults.opaqueFrontBuffer = false;
});

// Chromium gives the main keyboard's "=" and "-" keys the DOM key codes 187 and 189, and "["
// and "]" 219 and 221, which this SDL does not know and passes on as symbols past 127: the keys
// of --explore would do nothing. They become the SDL symbols '=', '-', '[' and ']' (Firefox's 61
// and 173 already are).
EM_JS(void, mapMainKeyboardSigns, (), {
  SDL.keyCodes[187] = 61;
  SDL.keyCodes[189] = 45;
  SDL.keyCodes[219] = 91;
  SDL.keyCodes[221] = 93;
});

// Opens a width by height screen on the canvas. Every pass writes each pixel of the frame, opaque,
// so a lock need not read the canvas back nor make its pixels opaque, and an unlock copies the
// pixels as they are: with its defaults this SDL would do all three for every frame.
inline SDL_Surface* openWebScreen(int width, int height) {
  writeWholeFrames();
  mapMainKeyboardSigns();
  return SDL_SetVideoMode(width, height, 8, SDL_SWSURFACE);
}
