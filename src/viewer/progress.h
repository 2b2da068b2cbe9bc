// The start's progress on the desktop: one line on a terminal while a long start goes on.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

// One line on standard error, rewritten in place, while a long start goes on: only on a
// terminal, only once the start has taken half a second, at most ten times a second, and
// cleared when the start is done.
class TerminalProgress {
 public:
  TerminalProgress() : terminal_(isatty(STDERR_FILENO) == 1), next_(Clock::now() + kFirst) {}
  ~TerminalProgress() {
    if (shown_) std::fputs("\r\033[K", stderr);
  }
  TerminalProgress(const TerminalProgress&) = delete;
  TerminalProgress& operator=(const TerminalProgress&) = delete;

  // Shows what line() gives, if it is time to.
  void show(const std::function<std::string()>& line) {
    if (!terminal_ || Clock::now() < next_) return;
    std::fprintf(stderr, "\r\033[Klsystem-viewer: %s", line().c_str());
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
