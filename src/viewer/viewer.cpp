// The viewer's SDL side: colours, events, drawing and the pass of the main loop.
#include "viewer.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "press.h"

void guardStandardStreams() {
  // In ascending order, so the lowest free descriptor that open takes is fd itself.
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) == -1) open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
  }
}

namespace {

// Runs call with standard output on /dev/null: a text-mode driver takes the terminal over
// through it as it starts and hands it back as it stops, and the word is the only thing that
// the program writes there.
template <class Call>
void withoutStandardOutput(Call&& call) {
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  const int null = open("/dev/null", O_WRONLY);
  const bool redirected = saved >= 0 && null >= 0 && dup2(null, STDOUT_FILENO) >= 0;
  if (null >= 0) close(null);
  call();
  std::fflush(stdout);
  if (redirected) dup2(saved, STDOUT_FILENO);
  if (saved >= 0) close(saved);
}

}  // namespace

SDL_Surface* openWindow(int32_t width, int32_t height, std::string& error) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);  // no sound is played; probing a card only complains
  const bool chosen = std::getenv("SDL_VIDEODRIVER") != nullptr;
  if (chosen) {
    SDL_Init(SDL_INIT_EVERYTHING);
  } else {
    withoutStandardOutput([] { SDL_Init(SDL_INIT_EVERYTHING); });
    char name[32] = "";
    SDL_VideoDriverName(name, sizeof name);
    for (const char* blind : {"caca", "aalib", "offscreen", "dummy"}) {
      if (std::strcmp(name, blind) != 0) continue;
      withoutStandardOutput([] { SDL_Quit(); });
      error = std::string("no display found (SDL fell back to its ") + name +
              " driver, which shows no window); set DISPLAY, or choose a driver with "
              "SDL_VIDEODRIVER";
      return nullptr;
    }
  }
  SDL_Surface* screen = SDL_SetVideoMode(width, height, 8, SDL_SWSURFACE);
  if (screen == nullptr) {
    error = "cannot open a " + std::to_string(width) + "x" + std::to_string(height) +
            " 8-bit window: " + SDL_GetError();
    SDL_Quit();
  }
  return screen;
}

void showWordLength(const TurtleCursor& arbre) {
  const int32_t length = arbre.wordLength();
  const std::string title =
      "lsystem-viewer: " + std::to_string(length) + (length == 1 ? " symbol" : " symbols");
  SDL_WM_SetCaption(title.c_str(), title.c_str());
}

Palette mapPalette(const SDL_PixelFormat* format) {
  // SDL_MapRGB takes a non-const format but only reads it.
  auto* f = const_cast<SDL_PixelFormat*>(format);
  Palette palette{};
  palette.brown = SDL_MapRGB(f, 102, 51, 0);
  palette.red = SDL_MapRGB(f, 255, 0, 0);
  palette.green = SDL_MapRGB(f, 0, 255, 0);
  return palette;
}

void handleEvent(const SDL_Event& event, Input& input, TurtleCursor& arbre, PressHistory* history) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_QUIT:
      input.quit = 1;
      break;
    case SDL_MOUSEMOTION:
      input.pointerX = event.motion.x;
      input.pointerY = event.motion.y;
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (history != nullptr) {
        history->press(arbre);
      } else {
        pressButton(arbre);
      }
      showWordLength(arbre);
      break;
    default:
      break;
  }
}

void drainEvents(Input& input, TurtleCursor& arbre, PressHistory* history) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) handleEvent(event, input, arbre, history);
}

void drawFigure(SDL_Surface* screen, TurtleCursor& arbre, const Palette& palette, int32_t px,
                int32_t py) {
  // Most squares of a large figure lie wholly outside the surface, and a fill clipped to nothing
  // draws nothing, so those are skipped. The intersection test is the clip's own, in int.
  const SDL_Rect clip = screen->clip_rect;
  const int clipRight = clip.x + clip.w;
  const int clipBottom = clip.y + clip.h;
  walkFigure(arbre, palette, px, py, [&](const Square& square, uint32_t colour) {
    if (std::max<int>(square.x, clip.x) >= std::min(square.x + square.w, clipRight) ||
        std::max<int>(square.y, clip.y) >= std::min(square.y + square.h, clipBottom)) {
      return;
    }
    SDL_Rect tmp{square.x, square.y, square.w, square.h};
    SDL_FillRect(screen, &tmp, colour);  // clips at the surface's edges
  });
}

void runPass(SDL_Surface* screen, const Palette& palette, Input& input, TurtleCursor& arbre) {
  SDL_Flip(screen);
  SDL_FillRect(screen, nullptr, 0);
  drainEvents(input, arbre);
  drawFigure(screen, arbre, palette, input.pointerX, input.pointerY);
}
