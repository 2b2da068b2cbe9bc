// The start's progress: one line on a terminal while a long start goes on.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

// One line on standard error, rewritten in place, while a long start goes on: only on a
// terminal, only once the start has taken half a second, at most ten times a second, and
// cleared when the start is done.
class Progress {
 public:
  Progress() : terminal_(isatty(STDERR_FILENO) == 1), next_(Clock::now() + kFirst) {}
  ~Progress() {
    if (shown_) std::fputs("\r\033[K", stderr);
  }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Shows what text() gives, if it is time to.
  template <class Text>
  void show(Text&& text) {
    if (!terminal_ || Clock::now() < next_) return;
    std::fprintf(stderr, "\r\033[Klsystem-viewer: %s", text().c_str());
    std::fflush(stderr);
    shown_ = true;
    next_ = Clock::now() + kEvery;
  }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kFirst{500};
  static constexpr std::chrono::milliseconds kEvery{100};
  bool terminal_;
  bool shown_ = false;
  Clock::time_point next_;
};
