// The page's pass in the browser, called in a tight loop: passes per second at the start word
// and at the 1,048,570-symbol word, on Emscripten's canvas-backed 600x400 screen, also through
// the view that fits the figure, and the walk.
#include <SDL.h>
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "adapter.h"
#include "web_screen.h"
#include "workload.h"

namespace {

constexpr int kRounds = 7;               // the median is reported
constexpr double kRoundMillis = 1000.0;  // each round runs at least this long

// Runs per second of one round: blocks of runs until the round's time is up. Each run is a call
// through a function object, which the optimizer cannot inline into the loop: Chromium runs a
// WebAssembly function in its optimized code only from a call made after the function was
// optimized, so a run inlined into the long-running main would be timed in the baseline code,
// while the page's pass is a new call every frame.
double timeRound(const std::function<void()>& run) {
  const double start = emscripten_get_now();
  double now = start;
  long runs = 0;
  for (long block = 1; now - start < kRoundMillis; block = std::min(block * 2, 4096L)) {
    for (long i = 0; i < block; ++i) run();
    runs += block;
    now = emscripten_get_now();
  }
  return static_cast<double>(runs) * 1000.0 / (now - start);
}

// The median and the range of kRounds rounds, as one line of the report.
void report(const char* what, int32_t symbols, const std::function<void()>& run) {
  std::vector<double> rates;
  for (int round = 0; round < kRounds; ++round) rates.push_back(timeRound(run));
  std::sort(rates.begin(), rates.end());
  std::printf("%s/%d: %.1f per second (median of %d rounds, %.1f to %.1f)\n", what, symbols,
              rates[kRounds / 2], kRounds, rates.front(), rates.back());
}

}  // namespace

int main() {
  SDL_Init(SDL_INIT_VIDEO);
  SDL_Surface* screen = openWebScreen(600, 400);
  const Palette palette = mapPalette(screen->format);
  for (int generations : {workload::kStartGenerations, workload::kLargeGenerations}) {
    TurtleCursor cursor = grownCursor(generations);
    // The page's pass as the pointer moves, without a view and through the view that fits the
    // whole figure, as the page draws with Fit: every square is on the screen and filled.
    for (const bool fit : {false, true}) {
      Session session = workload::grownSession(generations, fit);
      Explorer explorer(session, 600, 400, false);
      report(fit ? "fitted" : "pass", cursor.wordLength(), [&] {
        workload::movePointer(explorer, workload::kPointerX, workload::kPointerY);
        drawFrame(screen, explorer, palette);
      });
    }
    // The walk alone, without SDL; its sum of positions can be set beside a native build's.
    int64_t sum = 0;
    report("walk", cursor.wordLength(), [&] { sum = workload::walkOnce(cursor); });
    std::printf("walk/%d: sum of positions and symbols %lld\n", cursor.wordLength(),
                static_cast<long long>(sum));
  }
  std::printf("web bench: done\n");
  SDL_Quit();
  return 0;
}
