// The viewer's SDL side: colours, events, drawing and the pass of the main loop.
#include "viewer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "press.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <SDL_syswm.h>
#endif

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

SDL_Surface* openWindow(int32_t width, int32_t height, std::string& error, bool explore) {
  // Video alone for --explore: classic SDL's timer thread wakes every 10 ms, while the loop of
  // --explore sleeps.
  const Uint32 subsystems = explore ? SDL_INIT_VIDEO : SDL_INIT_EVERYTHING;
  setenv("SDL_AUDIODRIVER", "dummy", 0);  // no sound is played; probing a card only complains
  const bool chosen = std::getenv("SDL_VIDEODRIVER") != nullptr;
  if (chosen) {
    SDL_Init(subsystems);
  } else {
    withoutStandardOutput([subsystems] { SDL_Init(subsystems); });
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
  SDL_Surface* screen =
      SDL_SetVideoMode(width, height, 8, explore ? SDL_SWSURFACE | SDL_RESIZABLE : SDL_SWSURFACE);
  if (screen == nullptr) {
    error = "cannot open a " + std::to_string(width) + "x" + std::to_string(height) +
            " 8-bit window: " + SDL_GetError();
    SDL_Quit();
  }
  return screen;
}

void showWordLength(const TurtleCursor& arbre, const View* view) {
  const int32_t length = arbre.wordLength();
  std::string title =
      "lsystem-viewer: " + std::to_string(length) + (length == 1 ? " symbol" : " symbols");
  if (view != nullptr) title += ", zoom " + std::to_string(zoomPercent(*view)) + "%";
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

void handleEvent(const SDL_Event& event, Input& input, TurtleCursor& arbre, PressHistory* history,
                 const View* view) {
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
      showWordLength(arbre, view);
      break;
    default:
      break;
  }
}

void drainEvents(Input& input, TurtleCursor& arbre, PressHistory* history, const View* view) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) handleEvent(event, input, arbre, history, view);
}

void drawFigure(SDL_Surface* screen, TurtleCursor& arbre, const Palette& palette, int32_t px,
                int32_t py, const View* view) {
  if (view != nullptr) {
    walkViewFigure(arbre, palette, *view, screen->w, screen->h, px, py,
                   [screen](const Square& square, uint32_t colour) {
                     SDL_Rect tmp{square.x, square.y, square.w, square.h};
                     SDL_FillRect(screen, &tmp, colour);
                   });
    return;
  }
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

void runPass(SDL_Surface* screen, const Palette& palette, Input& input, TurtleCursor& arbre,
             const View* view) {
  SDL_Flip(screen);
  SDL_FillRect(screen, nullptr, 0);
  drainEvents(input, arbre, nullptr, view);
  drawFigure(screen, arbre, palette, input.pointerX, input.pointerY, view);
}

namespace {

// What a key asks of --explore.
enum class Key {
  kNone,
  kLeft,
  kRight,
  kUp,
  kDown,
  kZoomIn,
  kZoomOut,
  kOne,
  kFit,
  kUndo,
  kSave,
  kQuit
};

// Named keys by their symbol; characters by the character typed where SDL reports it (the
// page's SDL does; the desktop's does not unless asked to), else by the key's own symbol.
Key keyOf(const SDL_keysym& keysym) {
  switch (keysym.sym) {
    case SDLK_LEFT:
      return Key::kLeft;
    case SDLK_RIGHT:
      return Key::kRight;
    case SDLK_UP:
      return Key::kUp;
    case SDLK_DOWN:
      return Key::kDown;
    case SDLK_KP_PLUS:
      return Key::kZoomIn;
    case SDLK_KP_MINUS:
      return Key::kZoomOut;
    case SDLK_ESCAPE:
      return Key::kQuit;
    default:
      break;
  }
  const auto unicode = static_cast<int>(keysym.unicode);
  const auto sym = static_cast<int>(keysym.sym);
  const int typed = unicode > 0 && unicode < 128 ? unicode : sym >= 0 && sym < 128 ? sym : 0;
  switch (typed) {
    case '+':
    case '=':
      return Key::kZoomIn;
    case '-':
      return Key::kZoomOut;
    case '0':
      return Key::kOne;
    case 'f':
    case 'F':
      return Key::kFit;
    case 'u':
    case 'U':
      return Key::kUndo;
    case 's':
    case 'S':
      return Key::kSave;
    case 'q':
    case 'Q':
      return Key::kQuit;
    default:
      return Key::kNone;
  }
}

// Acts on a key; false when the key changes nothing that is drawn.
bool pressKey(Key key, Explorer& explorer, Session& session) {
  View& view = session.view;
  const int32_t width = explorer.screen->w;
  const int32_t height = explorer.screen->h;
  switch (key) {
    case Key::kLeft:
      view.tx += width / 8;
      return true;
    case Key::kRight:
      view.tx -= width / 8;
      return true;
    case Key::kUp:
      view.ty += height / 8;
      return true;
    case Key::kDown:
      view.ty -= height / 8;
      return true;
    case Key::kZoomIn:
    case Key::kZoomOut:
      return zoomView(view, key == Key::kZoomIn, width / 2, height / 2);
    case Key::kOne:
      view = View{};
      return true;
    case Key::kFit:
      view = fitView(session.arbre, width, height);
      return true;
    case Key::kUndo:
      return undoPress(session);
    case Key::kSave:
      if (explorer.desktop) std::fprintf(stderr, "%s\n", saveNumbered(session).c_str());
      return false;
    case Key::kQuit:
      explorer.input.quit = 1;
      return false;
    case Key::kNone:
      return false;
  }
  return false;
}

// A resize to the size asked, each side within 16 to 4096; the view stays as it was.
void resize(Explorer& explorer, int width, int height) {
  width = std::clamp(width, 16, 4096);
  height = std::clamp(height, 16, 4096);
  SDL_Surface* screen = SDL_SetVideoMode(width, height, 8, SDL_SWSURFACE | SDL_RESIZABLE);
  if (screen == nullptr) {
    std::fprintf(stderr, "lsystem-viewer: cannot resize the window to %dx%d: %s\n", width, height,
                 SDL_GetError());
    explorer.input.quit = 1;
    return;
  }
  explorer.screen = screen;
  explorer.palette = mapPalette(screen->format);
}

}  // namespace

void handleExploreEvent(const SDL_Event& event, Explorer& explorer, Session& session) {
  Input& input = explorer.input;
  View& view = session.view;
  bool changed = false;
  switch (event.type) {
    case SDL_QUIT:
      input.quit = 1;
      break;
    case SDL_KEYDOWN:
      changed = pressKey(keyOf(event.key.keysym), explorer, session);
      break;
    case SDL_MOUSEMOTION:
      if (event.motion.state & (SDL_BUTTON(SDL_BUTTON_MIDDLE) | SDL_BUTTON(SDL_BUTTON_RIGHT))) {
        view.tx += event.motion.x - input.pointerX;
        view.ty += event.motion.y - input.pointerY;
        changed = true;
      }
      input.pointerX = event.motion.x;
      input.pointerY = event.motion.y;
      explorer.stale = true;  // the red squares follow the pointer
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_LEFT) {
        session.history.press(session.arbre);
        changed = true;
      } else if (event.button.button == SDL_BUTTON_WHEELUP ||
                 event.button.button == SDL_BUTTON_WHEELDOWN) {
        changed = zoomView(view, event.button.button == SDL_BUTTON_WHEELUP, input.pointerX,
                           input.pointerY);
      }
      break;
    case SDL_VIDEORESIZE:
      if (explorer.desktop) resize(explorer, event.resize.w, event.resize.h);
      changed = true;
      break;
    case SDL_VIDEOEXPOSE:
      explorer.stale = true;
      break;
    default:
      break;
  }
  if (changed) {  // the word, the view or the window: the kept squares are out of date
    explorer.stale = true;
    explorer.squaresKept = false;
    showWordLength(session.arbre, &view);
  }
}

namespace {

// The descriptor of the window's X connection, or -1 where there is none to watch.
int windowConnection() {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWMInfo(&info) > 0 && info.subsystem == SDL_SYSWM_X11) {
    return ConnectionNumber(info.info.x11.display);
  }
#endif
  return -1;
}

// SDL_WaitEvent, which in classic SDL looks at the queue every 10 ms. On X, once a poll of SDL's
// queue has found it empty, SDL has read and flushed everything, so nothing more can come before
// the X connection has something to read: the wait sleeps in poll() until then. Half a second at
// most, for events that do not come from X.
bool waitForEvent(int connection, SDL_Event& event) {
  if (connection < 0) return SDL_WaitEvent(&event) != 0;
  while (!SDL_PollEvent(&event)) {
    pollfd watched{connection, POLLIN, 0};
    poll(&watched, 1, 500);
  }
  return true;
}

}  // namespace

void runExplore(Explorer& explorer, Session& session) {
  SDL_Event event;
  const int connection = windowConnection();
  while (!explorer.input.quit) {
    if (explorer.stale) {
      SDL_FillRect(explorer.screen, nullptr, 0);
      exploreFrame(explorer, session, [&explorer](const Square& square, uint32_t colour) {
        SDL_Rect tmp{square.x, square.y, square.w, square.h};
        SDL_FillRect(explorer.screen, &tmp, colour);
      });
      SDL_Flip(explorer.screen);
      explorer.stale = false;
    }
    if (!waitForEvent(connection, event)) break;  // SDL's queue failed: nothing more will come
    do {
      handleExploreEvent(event, explorer, session);
    } while (SDL_PollEvent(&event));
  }
}
