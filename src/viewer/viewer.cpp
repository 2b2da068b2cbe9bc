// The viewer's SDL side: colours, events, drawing and the pass of the main loop.
#include "viewer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "output.h"
#include "press.h"
#include "report.h"

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

void showTitle(const std::string& title) { SDL_WM_SetCaption(title.c_str(), title.c_str()); }

void showWordLength(const TurtleCursor& cursor, const View* view) {
  showTitle(windowTitle(cursor, view));
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

namespace {

// A key's name as the table of keys has it: the named keys by their symbol; characters by the
// character typed where SDL reports it (the page's SDL does; the desktop's does not unless asked
// to), else by the key's own symbol.
std::string keyName(const SDL_keysym& keysym) {
  switch (keysym.sym) {
    case SDLK_LEFT:
      return "Left";
    case SDLK_RIGHT:
      return "Right";
    case SDLK_UP:
      return "Up";
    case SDLK_DOWN:
      return "Down";
    case SDLK_KP_PLUS:
      return "KP+";
    case SDLK_KP_MINUS:
      return "KP-";
    case SDLK_ESCAPE:
      return "Escape";
    default:
      break;
  }
  const auto unicode = static_cast<int>(keysym.unicode);
  const auto sym = static_cast<int>(keysym.sym);
  const int typed = unicode > 0 && unicode < 128 ? unicode : sym >= 0 && sym < 128 ? sym : 0;
  return typed > ' ' && typed < 127 ? std::string(1, static_cast<char>(typed)) : std::string();
}

}  // namespace

UserInput userInput(const SDL_Event& event) {
  UserInput input;
  switch (event.type) {
    case SDL_QUIT:
      input.type = UserInput::Type::kQuit;
      break;
    case SDL_KEYDOWN:
      input.type = UserInput::Type::kKey;
      input.key = keyName(event.key.keysym);
      break;
    case SDL_MOUSEMOTION:
      input.type = UserInput::Type::kMotion;
      input.x = event.motion.x;
      input.y = event.motion.y;
      input.dragging = (event.motion.state &
                        (SDL_BUTTON(SDL_BUTTON_MIDDLE) | SDL_BUTTON(SDL_BUTTON_RIGHT))) != 0;
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      input.type = event.type == SDL_MOUSEBUTTONDOWN ? UserInput::Type::kButtonDown
                                                     : UserInput::Type::kButtonUp;
      input.button = event.button.button;
      break;
    case SDL_VIDEORESIZE:
      input.type = UserInput::Type::kResize;
      input.x = event.resize.w;
      input.y = event.resize.h;
      break;
    case SDL_VIDEOEXPOSE:
      input.type = UserInput::Type::kExpose;
      break;
    default:
      break;
  }
  return input;
}

void handleEvent(const SDL_Event& event, Input& input, TurtleCursor& cursor, PressHistory* history,
                 const View* view) {
  if (handlePlainInput(userInput(event), input, cursor, history)) showWordLength(cursor, view);
}

void drainEvents(Input& input, TurtleCursor& cursor, PressHistory* history, const View* view) {
  SDL_Event event;
  while (SDL_PollEvent(&event)) handleEvent(event, input, cursor, history, view);
}

namespace {

// Fills squares on the surface, which clips them at its edges.
struct SurfaceFill {
  SDL_Surface* screen;
  void operator()(const Square& square, uint32_t colour) const {
    SDL_Rect rect{square.x, square.y, square.w, square.h};
    SDL_FillRect(screen, &rect, colour);
  }
};

}  // namespace

void drawFigure(SDL_Surface* screen, TurtleCursor& cursor, const Palette& palette, int32_t px,
                int32_t py, const View* view, const Style& style) {
  // Most squares of a large figure lie wholly outside the surface, and a fill clipped to nothing
  // draws nothing, so only the squares that reach into it are filled.
  if (style.lines) {
    drawOnPixels(screen, std::nullopt, [&](auto&& fill) {
      walkFrame(cursor, palette, view, style, screen->w, screen->h, px, py, fill);
    });
  } else {
    walkFrame(cursor, palette, view, style, screen->w, screen->h, px, py, SurfaceFill{screen});
  }
}

void runPass(SDL_Surface* screen, const Palette& palette, Input& input, TurtleCursor& cursor,
             const View* view, const Style& style) {
  SDL_Flip(screen);
  SDL_FillRect(screen, nullptr, 0);
  drainEvents(input, cursor, nullptr, view);
  drawFigure(screen, cursor, palette, input.pointerX, input.pointerY, view, style);
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
// most, for events that do not come from X. With a deadline, false when it passes first; without
// one, false when SDL's queue fails.
bool waitForEvent(int connection, SDL_Event& event,
                  std::optional<std::chrono::steady_clock::time_point> deadline) {
  using Clock = std::chrono::steady_clock;
  if (connection < 0 && !deadline) return SDL_WaitEvent(&event) != 0;
  while (!SDL_PollEvent(&event)) {
    int wait = 500;
    if (deadline) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now());
      if (left.count() <= 0) return false;
      wait = static_cast<int>(std::min<int64_t>(wait, left.count()));
    }
    if (connection < 0) {
      SDL_Delay(static_cast<Uint32>(std::min(wait, 10)));
    } else {
      pollfd watched{connection, POLLIN, 0};
      poll(&watched, 1, wait);
    }
  }
  return true;
}

}  // namespace

int runExplore(Explorer& explorer, SDL_Surface*& screen, Palette& palette) {
  using Clock = std::chrono::steady_clock;
  constexpr std::chrono::milliseconds kTickEvery{500};
  // A key held down repeats: the arrows pan and [ and ] turn the angle on.
  SDL_EnableKeyRepeat(SDL_DEFAULT_REPEAT_DELAY, SDL_DEFAULT_REPEAT_INTERVAL);
  SDL_Event event;
  const int connection = windowConnection();
  std::optional<Clock::time_point> nextTick;
  while (!explorer.quit()) {
    if (explorer.stale()) {
      SDL_FillRect(screen, nullptr, 0);
      if (explorer.style().lines) {
        drawOnPixels(screen, std::nullopt, [&](auto&& fill) { explorer.draw(palette, fill); });
      } else {
        explorer.draw(palette, SurfaceFill{screen});
      }
      SDL_Flip(screen);
    }
    if (!explorer.playing()) {
      nextTick.reset();
    } else if (!nextTick) {
      nextTick = Clock::now() + kTickEvery;
    }
    if (!waitForEvent(connection, event, nextTick)) {
      if (!nextTick) {
        std::fprintf(stderr, "lsystem-viewer: cannot wait for events: %s\n", SDL_GetError());
        return kExitFailure;
      }
      // Half a second has passed while the growth plays: its next step.
      nextTick = Clock::now() + kTickEvery;
      UserInput tick;
      tick.type = UserInput::Type::kTick;
      if (explorer.handle(tick).title) showTitle(explorer.title());
      continue;
    }
    do {
      const Explorer::Reply reply = explorer.handle(userInput(event));
      // A press, a growth or an undo prints the word: a lost one ends the program.
      if (std::optional<std::string> lost = standardOutputError()) return failure(*lost);
      if (reply.resize) {
        SDL_Surface* resized =
            SDL_SetVideoMode(reply.width, reply.height, 8, SDL_SWSURFACE | SDL_RESIZABLE);
        if (resized == nullptr) {
          std::fprintf(stderr, "lsystem-viewer: cannot resize the window to %dx%d: %s\n",
                       reply.width, reply.height, SDL_GetError());
          return kExitFailure;
        }
        screen = resized;
        palette = mapPalette(screen->format);
        explorer.resized(screen->w, screen->h);
      }
      if (reply.title) showTitle(explorer.title());
    } while (SDL_PollEvent(&event));
  }
  return kExitDone;
}
