// The desktop's window: SDL started, the window opened, and its loop, which draws a frame when
// the explorer finds the one shown stale and otherwise sleeps until an event comes.
#include "window.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "adapter.h"
#include "output.h"

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
  // Video alone: the loop sleeps until an event, and classic SDL's timer thread, which nothing
  // here uses, would wake every 10 ms.
  setenv("SDL_AUDIODRIVER", "dummy", 0);  // no sound is played; probing a card only complains
  const bool chosen = std::getenv("SDL_VIDEODRIVER") != nullptr;
  if (chosen) {
    SDL_Init(SDL_INIT_VIDEO);
  } else {
    withoutStandardOutput([] { SDL_Init(SDL_INIT_VIDEO); });
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

DesktopWindow::DesktopWindow(Session& session, SDL_Surface* screen)
    : session_(session),
      screen_(screen),
      palette_(mapPalette(screen->format, figureStyle(session.options).colours)),
      explorer_(session, screen->w, screen->h, true) {}

std::optional<int> DesktopWindow::handle(const UserInput& input) {
  const Explorer::Reply reply = explorer_.handle(input);
  if (!reply.message.empty()) say(reply.message);
  if (reply.word) {
    session_.cursor.printWord();
    if (std::optional<std::string> lost = standardOutputError()) return failure(*lost);
  }
  if (reply.resize) {
    SDL_Surface* resized =
        SDL_SetVideoMode(reply.width, reply.height, 8, SDL_SWSURFACE | SDL_RESIZABLE);
    if (resized == nullptr) {
      return failure("cannot resize the window to " + std::to_string(reply.width) + "x" +
                     std::to_string(reply.height) + ": " + SDL_GetError());
    }
    screen_ = resized;
    palette_ = mapPalette(screen_->format, explorer_.style().colours);
    explorer_.resized(screen_->w, screen_->h);
  }
  if (reply.title) showTitle(explorer_.title());
  return std::nullopt;
}

std::optional<int> DesktopWindow::handleQueued() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (std::optional<int> status = handle(userInput(event))) return status;
  }
  return std::nullopt;
}

void DesktopWindow::show() {
  if (!explorer_.stale()) return;
  drawFrame(screen_, explorer_, palette_);
  SDL_Flip(screen_);
}

int DesktopWindow::run() {
  using Clock = std::chrono::steady_clock;
  showTitle(explorer_.title());
  // A key held down repeats: the arrows pan and [ and ] turn the angle on.
  if (session_.options.explore) {
    SDL_EnableKeyRepeat(SDL_DEFAULT_REPEAT_DELAY, SDL_DEFAULT_REPEAT_INTERVAL);
  }
  const int connection = windowConnection();
  std::optional<Clock::time_point> nextTick;
  while (!explorer_.quit()) {
    show();
    if (!explorer_.playing()) {
      nextTick.reset();
    } else if (!nextTick) {
      nextTick = Clock::now() + kPlayTick;
    }
    SDL_Event event;
    UserInput input;
    if (waitForEvent(connection, event, nextTick)) {
      input = userInput(event);
    } else if (nextTick) {
      nextTick = Clock::now() + kPlayTick;
      input.type = UserInput::Type::kTick;
    } else {
      return failure(std::string("cannot wait for events: ") + SDL_GetError());
    }
    // Every event queued is handled before the next frame, those after a quit included.
    if (std::optional<int> status = handle(input)) return *status;
    if (std::optional<int> status = handleQueued()) return *status;
  }
  return kExitDone;
}
