// Fixed workloads in a fresh process: peak resident size of the rewrite run, and single
// runs of each hot path for instruction counts under callgrind (--toggle-collect=*probeMeasured*).
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "adapter.h"
#include "figure.h"
#include "lsystem.h"
#include "options.h"
#include "session.h"
#include "shapes.h"
#include "turtle_cursor.h"
#include "workload.h"

namespace {

// A field of /proc/self/status in kiB ("VmHWM" is the peak resident size so far), or -1.
long statusKib(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string name;
  long value = -1;
  while (status >> name) {
    if (name == field + ":") {
      status >> value;
      return value;
    }
    status.ignore(1 << 20, '\n');
  }
  return -1;
}

// Peak resident size of the 18-generation run beyond the size at start-up, per final symbol.
int peakMemory() {
  LSystem system(kGrammar);
  const long startupKib = statusKib("VmHWM");
  for (int g = 0; g < workload::kRewriteGenerations; ++g) system.rewriteFrom(0, 0);
  const long peakKib = statusKib("VmHWM");
  const auto symbols = system.word.size();
  const double perSymbol =
      static_cast<double>(peakKib - startupKib) * 1024.0 / static_cast<double>(symbols);
  std::printf(
      "{\"startup_kib\": %ld, \"peak_kib\": %ld, \"final_symbols\": %zu, "
      "\"bytes_per_symbol\": %.4f}\n",
      startupKib, peakKib, symbols, perSymbol);
  return startupKib > 0 && peakKib >= startupKib ? 0 : 1;
}

// Only what runs inside this call is counted when callgrind toggles collection on it.
__attribute__((noinline)) void probeMeasured(const std::function<void()>& work) { work(); }

// A grammar of `count` rules whose keys are longer than a byte, so that they never match, and
// then o:o, so that the word o stays as it is.
std::string manyRules(int count) {
  std::string grammar = "{";
  for (int i = 0; i < count - 1; ++i) {
    grammar += static_cast<char>('A' + i % 26) + std::to_string(i / 26) + ":ab;";
  }
  return grammar + "o:o;}o";
}

// The line style's geometry against a turtle in double precision: for the book's first
// bracketed plant at steps 1, 3, 10 and 100, the farthest that a drawn point lies from where the
// double turtle puts it, in pixels and in parts of the figure's height; and for curves at right
// angles, how many segments have ends that are not on one row or one column of pixels (jogs).
int geometry() {
  const auto figureOf = [](const std::string& grammar, int generations, const char* degrees,
                           const char* step) {
    Options options =
        parseOptions({"-g", grammar, "--segments", "F", "-n", std::to_string(generations), "-a",
                      degrees, "-s", step, "--lines"})
            .options;
    TurtleCursor cursor = cursorOf(options);
    for (int g = 0; g < generations; ++g) cursor.grow();
    return std::pair{cursor, Figure(cursor)};
  };
  for (const char* step : {"1", "3", "10", "100"}) {
    auto [cursor, figure] = figureOf("{F:F[+F]F[-F]F;}F", 5, "25.7", step);
    // The same walk in double: every step and turn in double, "]" exact.
    struct State {
      double x, y, heading;
    };
    State state{300, 300, static_cast<double>(kUpHeading)};
    std::vector<State> stack;
    const double turn = 25.7 * 3.14159265358979323846 / 180.0;
    double worst = 0, top = 300, bottom = 300;
    std::size_t k = 0;
    for (const char c : cursor.word) {
      if (c == 'F') {
        state.x += std::sin(state.heading) * std::atof(step);
        state.y += std::cos(state.heading) * std::atof(step);
        const Stroke& drawn = figure.strokes()[k++];
        worst = std::max({worst, std::abs(state.x - static_cast<double>(drawn.x1)),
                          std::abs(state.y - static_cast<double>(drawn.y1))});
        top = std::min(top, state.y);
        bottom = std::max(bottom, state.y);
      } else if (c == '+' || c == '-') {
        state.heading += c == '+' ? turn : -turn;
      } else if (c == '[') {
        stack.push_back(state);
      } else if (c == ']') {
        state = stack.back();
        stack.pop_back();
      }
    }
    std::printf("plant at step %s: worst point %.3g pixels off, %.3g of the figure's height\n",
                step, worst, worst / (bottom - top));
  }
  const struct {
    const char* name;
    const char* grammar;
    int generations;
  } curves[] = {{"Koch island", "{F:F-F+F+FF-F-F+F;}F-F-F-F", 2},
                {"dragon", "{X:X+YF+;Y:-FX-Y;}FX", 10}};
  for (const auto& curve : curves) {
    auto [cursor, figure] = figureOf(curve.grammar, curve.generations, "90", "5");
    const ViewLines lines(View{}, 1);
    std::size_t jogs = 0;
    for (const Stroke& stroke : figure.strokes()) {
      const ScreenPoint a = lines.point(stroke.x0, stroke.y0);
      const ScreenPoint b = lines.point(stroke.x1, stroke.y1);
      jogs += a.x != b.x && a.y != b.y;
    }
    std::printf("%s: %zu of %zu segments jog\n", curve.name, jogs, figure.strokes().size());
  }
  return 0;
}

int usage() {
  std::fprintf(stderr,
               "usage: lsystem_probe rss | rewrite | rules COUNT | walk GENERATIONS |"
               " pass GENERATIONS | bare | geometry\n");
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) return usage();
  const std::string mode = argv[1];
  if (mode == "rss") return peakMemory();
  if (mode == "geometry") return geometry();
  if (mode == "rewrite") {
    probeMeasured([] {
      LSystem system(kGrammar);
      for (int g = 0; g < workload::kRewriteGenerations; ++g) system.rewriteFrom(0, 0);
      std::printf("%zu symbols\n", system.word.size());
    });
    return 0;
  }
  const int generations = argc > 2 ? std::atoi(argv[2]) : 0;
  if (mode == "rules") {
    // The rewrites alone: the grammar is read before the count starts.
    const int rules = generations;
    LSystem system(manyRules(rules));
    probeMeasured([&] {
      for (int g = 0; g < workload::kManyRulesGenerations; ++g) system.rewriteFrom(0, 0);
    });
    std::printf("%zu rule(s), word %s\n", system.ruleSets[0].size(), system.word.c_str());
    return system.word == "o" ? 0 : 1;
  }
  TurtleCursor cursor = grownCursor(generations);
  if (mode == "walk") {
    int64_t sum = 0;
    auto work = [&] { sum += workload::walkOnce(cursor); };
    work();  // the first walk sizes the stack
    probeMeasured(work);
    std::printf("%d symbols, checksum %lld\n", cursor.wordLength(), static_cast<long long>(sum));
    return 0;
  }
  if (mode != "pass" && mode != "bare") return usage();
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  SDL_Init(SDL_INIT_VIDEO);
  SDL_Surface* screen = SDL_SetVideoMode(600, 400, 8, SDL_SWSURFACE);
  if (screen == nullptr) return 1;
  const Palette palette = mapPalette(screen->format);
  Session session = workload::grownSession(generations);
  Explorer explorer(session, 600, 400, false);
  // One pass of the loop: the pointer moved, the frame drawn and shown, from the figure walked
  // once before the count.
  const auto pass = [&] {
    workload::movePointer(explorer, workload::kPointerX, workload::kPointerY);
    drawFrame(screen, explorer, palette);
    SDL_Flip(screen);
  };
  if (mode == "pass") {
    pass();
    probeMeasured(pass);
  } else {
    probeMeasured([&] {
      SDL_Flip(screen);
      SDL_FillRect(screen, nullptr, 0);
    });
  }
  std::printf("%d symbols, selected %d\n", cursor.wordLength(), explorer.picked().selected);
  SDL_Quit();
  return 0;
}
