// Benchmarks of rewriting, growing, pruning, walking and drawing, with the floors beside them.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "adapter.h"
#include "figure.h"
#include "lsystem.h"
#include "save.h"
#include "turtle_cursor.h"
#include "workload.h"

namespace {

using benchmark::Counter;

// The word's length after each of the run's generations, from a run made once.
std::vector<std::size_t> generationLengths() {
  std::vector<std::size_t> lengths;
  LSystem system(kGrammar);
  for (int g = 0; g < workload::kRewriteGenerations; ++g) {
    system.rewriteFrom(0, 0);
    lengths.push_back(system.word.size());
  }
  return lengths;
}

void setRewriteCounters(benchmark::State& state, const std::vector<std::size_t>& lengths) {
  double written = 0;
  for (auto n : lengths) written += static_cast<double>(n);
  const auto runs = static_cast<double>(state.iterations());
  // Every symbol written by the 18 calls, and the final word's symbols alone.
  state.counters["symbols_per_second"] = Counter(written * runs, Counter::kIsRate);
  state.counters["final_symbols_per_second"] =
      Counter(static_cast<double>(lengths.back()) * runs, Counter::kIsRate);
}

// The allocator gives back the memory that earlier iterations freed, so each iteration writes
// into pages that are new to the process, as a single run in a fresh process does.
void returnFreedMemory(benchmark::State& state) {
  state.PauseTiming();
  malloc_trim(0);
  state.ResumeTiming();
}

// From "ao" through 18 generations of rewriteFrom(0, 0), parsing included.
void rewriteRun(benchmark::State& state) {
  const auto lengths = generationLengths();
  for (auto _ : state) {
    returnFreedMemory(state);
    LSystem system(kGrammar);
    for (int g = 0; g < workload::kRewriteGenerations; ++g) system.rewriteFrom(0, 0);
    benchmark::DoNotOptimize(system.word.data());
    if (system.word.size() != lengths.back()) state.SkipWithError("wrong final length");
  }
  setRewriteCounters(state, lengths);
}

// The floor: each generation's bytes copied between two buffers that stay allocated.
void memcpyFloor(benchmark::State& state) {
  const auto lengths = generationLengths();
  std::vector<char> source(lengths.back(), 'a');
  std::vector<char> target(lengths.back(), 0);
  for (auto _ : state) {
    for (auto n : lengths) {
      std::memcpy(target.data(), source.data(), n);
      benchmark::ClobberMemory();
    }
  }
  setRewriteCounters(state, lengths);
}

// The floor with fresh memory: each generation's bytes copied into a new buffer, which
// replaces the previous one, as a rewrite's result replaces the word.
void allocMemcpyFloor(benchmark::State& state) {
  const auto lengths = generationLengths();
  std::vector<char> source(lengths.back(), 'a');
  for (auto _ : state) {
    returnFreedMemory(state);
    std::unique_ptr<char[]> previous;
    for (auto n : lengths) {
      std::unique_ptr<char[]> fresh(new char[n]);
      std::memcpy(fresh.get(), source.data(), n);
      benchmark::DoNotOptimize(fresh.get());
      previous = std::move(fresh);
    }
  }
  setRewriteCounters(state, lengths);
}

// One growth at the bud nearest the middle of the 17-generation word.
void growMiddle(benchmark::State& state) {
  LSystem system = grownCursor(workload::kLargeGenerations);
  const std::string original = system.word;
  const int32_t bud = workload::middleSymbol(system, 'o');
  for (auto _ : state) {
    state.PauseTiming();
    system.word = original;
    state.ResumeTiming();
    system.rewriteFrom(bud, 0);
    benchmark::DoNotOptimize(system.word.data());
  }
  state.counters["word_symbols"] = static_cast<double>(original.size());
  state.counters["index"] = bud;
  state.counters["symbols_added"] = static_cast<double>(system.word.size() - original.size());
}

// One prune at the segment nearest the middle of the 17-generation word.
void pruneMiddle(benchmark::State& state) {
  LSystem system = grownCursor(workload::kLargeGenerations);
  const std::string original = system.word;
  const int32_t segment = workload::middleSymbol(system, 'a');
  for (auto _ : state) {
    state.PauseTiming();
    system.word = original;
    state.ResumeTiming();
    system.pruneAt(segment);
    benchmark::DoNotOptimize(system.word.data());
  }
  state.counters["word_symbols"] = static_cast<double>(original.size());
  state.counters["index"] = segment;
  state.counters["symbols_erased"] = static_cast<double>(original.size() - system.word.size());
}

// The walk alone, as the viewer makes it, reading every symbol's whole-pixel position.
void walk(benchmark::State& state, int generations) {
  TurtleCursor cursor = grownCursor(generations);
  int64_t sum = 0;
  for (auto _ : state) sum += workload::walkOnce(cursor);
  benchmark::DoNotOptimize(sum);
  // One walk's sum, exact in a double, to set beside the web bench's.
  state.counters["checksum"] = static_cast<double>(workload::walkOnce(cursor));
  state.counters["symbols_per_second"] =
      Counter(static_cast<double>(cursor.wordLength()) * static_cast<double>(state.iterations()),
              Counter::kIsRate);
}

// The SVG file of the 17-generation figure, saved as --svg saves it: written beside, synced to
// the disk and renamed.
void saveLargeSvg(benchmark::State& state) {
  TurtleCursor cursor = grownCursor(workload::kLargeGenerations);
  const Figure figure(cursor);
  const std::string path = "/tmp/lsystem_bench.svg";
  for (auto _ : state) {
    const std::string error = saveSvg(path, figure, 600, 400);
    if (!error.empty()) state.SkipWithError(error.c_str());
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file != nullptr && std::fseek(file, 0, SEEK_END) == 0) {
    state.counters["bytes"] = static_cast<double>(std::ftell(file));
  }
  if (file != nullptr) std::fclose(file);
  std::remove(path.c_str());
  state.counters["symbols"] = cursor.wordLength();
}

void setPassCounters(benchmark::State& state) {
  state.counters["passes_per_second"] =
      Counter(static_cast<double>(state.iterations()), Counter::kIsRate);
}

// The viewer's pass as the pointer moves: the motion handled, the frame drawn and shown, from
// the figure kept since the word changed; with fitted, through the view of --fit, which puts
// every square on the screen.
void fullPass(benchmark::State& state, SDL_Surface* screen, int generations, bool fitted,
              Style style = Style()) {
  const Palette palette = mapPalette(screen->format);
  Session session = workload::grownSession(generations, fitted, style);
  Explorer explorer(session, screen->w, screen->h, false);
  for (auto _ : state) {
    workload::movePointer(explorer, workload::kPointerX, workload::kPointerY);
    drawFrame(screen, explorer, palette);
    SDL_Flip(screen);
  }
  setPassCounters(state);
  state.counters["symbols"] = session.cursor.wordLength();
}

// A frame of the explorer in the 600x400 window, the figure fitted and then zoomed by `zoom` about
// the window's centre. With viewChanges each frame follows a change of the view (a drag by a
// pixel, back and forth), and paints the whole window; else only the pointer moves, between two
// points of the window, and the frame paints where the shapes under the pointers lie.
void exploreFrame(benchmark::State& state, SDL_Surface* screen, int generations, double zoom,
                  Style style, bool viewChanges, const char* grammar) {
  const Palette palette = mapPalette(screen->format);
  Session session = workload::grownSession(generations, true, style, grammar);
  session.options.explore = true;
  View& view = session.view;
  view = {view.s * zoom, 300 - (300 - view.tx) * zoom, 200 - (200 - view.ty) * zoom};
  Explorer explorer(session, screen->w, screen->h, false);
  drawFrame(screen, explorer, palette);
  int32_t step = 0;
  for (auto _ : state) {
    UserInput motion;
    motion.type = UserInput::Type::kMotion;
    motion.dragging = viewChanges;
    motion.x = viewChanges ? 300 + step % 2 : 250 + 100 * (step % 2);
    motion.y = viewChanges ? 200 : 180 + 40 * (step % 2);
    ++step;
    explorer.handle(motion);
    drawFrame(screen, explorer, palette);
    SDL_Flip(screen);
  }
  setPassCounters(state);
  state.counters["symbols"] = session.cursor.wordLength();
}

// The walk of the word into its figure, as a change of the word makes it again.
void figureWalk(benchmark::State& state, int generations) {
  TurtleCursor cursor = grownCursor(generations);
  std::size_t strokes = 0;
  std::size_t bytes = 0;
  for (auto _ : state) {
    const Figure figure(cursor);
    strokes = figure.strokes().size();
    bytes = figure.strokes().capacity() * sizeof(Stroke) +
            figure.nodes().capacity() * sizeof(FigureNode);
  }
  state.counters["strokes"] = static_cast<double>(strokes);
  // What the kept figure and its index hold beside the word, a symbol.
  state.counters["bytes_per_symbol"] =
      static_cast<double>(bytes) / static_cast<double>(cursor.wordLength());
  state.counters["symbols_per_second"] =
      Counter(static_cast<double>(cursor.wordLength()) * static_cast<double>(state.iterations()),
              Counter::kIsRate);
}

// The floor of a pass: flip and clear only.
void barePass(benchmark::State& state, SDL_Surface* screen) {
  for (auto _ : state) {
    SDL_Flip(screen);
    SDL_FillRect(screen, nullptr, 0);
  }
  setPassCounters(state);
}

// The start word's pass against the bare pass, timed in alternating blocks of the same loop, so
// that a slow spell of a shared machine slows both sides alike and their ratio stays put.
void pairedPass(benchmark::State& state, SDL_Surface* screen) {
  using Clock = std::chrono::steady_clock;
  constexpr int kBlock = 16;
  const Palette palette = mapPalette(screen->format);
  Session session = workload::grownSession(workload::kStartGenerations);
  Explorer explorer(session, screen->w, screen->h, false);
  Clock::duration fullTime{}, bareTime{};
  auto timeFull = [&] {
    const auto start = Clock::now();
    for (int i = 0; i < kBlock; ++i) {
      workload::movePointer(explorer, workload::kPointerX, workload::kPointerY);
      drawFrame(screen, explorer, palette);
      SDL_Flip(screen);
    }
    fullTime += Clock::now() - start;
  };
  auto timeBare = [&] {
    const auto start = Clock::now();
    for (int i = 0; i < kBlock; ++i) {
      SDL_Flip(screen);
      SDL_FillRect(screen, nullptr, 0);
    }
    bareTime += Clock::now() - start;
  };
  bool fullFirst = true;
  for (auto _ : state) {
    // Each side goes first every other time, so neither always follows the other.
    if (fullFirst) {
      timeFull();
      timeBare();
    } else {
      timeBare();
      timeFull();
    }
    fullFirst = !fullFirst;
  }
  const double passes = static_cast<double>(state.iterations()) * kBlock;
  const double full = std::chrono::duration<double>(fullTime).count();
  const double bare = std::chrono::duration<double>(bareTime).count();
  state.counters["full_passes_per_second"] = passes / full;
  state.counters["bare_passes_per_second"] = passes / bare;
  state.counters["ratio"] = bare / full;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Off-screen always: the dummy driver's screen is a 600x400 8-bit surface in memory.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  SDL_Init(SDL_INIT_VIDEO);
  SDL_Surface* screen = SDL_SetVideoMode(600, 400, 8, SDL_SWSURFACE);
  if (screen == nullptr) {
    std::fprintf(stderr, "lsystem_bench: no dummy video surface: %s\n", SDL_GetError());
    return 1;
  }

  benchmark::RegisterBenchmark("rewrite/18_generations", rewriteRun)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("rewrite/floor_memcpy", memcpyFloor)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("rewrite/floor_alloc_memcpy", allocMemcpyFloor)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("grow/middle_bud", growMiddle)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("prune/middle_segment", pruneMiddle)->Unit(benchmark::kMicrosecond);
  const int sizes[] = {workload::kStartGenerations, workload::kMidGenerations,
                       workload::kLargeGenerations};
  for (int g : sizes) {
    const std::string n = std::to_string(grownCursor(g).wordLength());
    benchmark::RegisterBenchmark(("walk/" + n).c_str(), walk, g)->Unit(benchmark::kMicrosecond);
  }
  for (int g : sizes) {
    const std::string n = std::to_string(grownCursor(g).wordLength());
    benchmark::RegisterBenchmark(("figure/" + n).c_str(), figureWalk, g)
        ->Unit(benchmark::kMicrosecond);
  }
  for (int g : sizes) {
    const std::string n = std::to_string(grownCursor(g).wordLength());
    benchmark::RegisterBenchmark(("pass/" + n).c_str(), fullPass, screen, g, false, Style())
        ->Unit(benchmark::kMicrosecond);
  }
  benchmark::RegisterBenchmark("fitted/1048570", fullPass, screen, workload::kLargeGenerations,
                               true, Style())
      ->Unit(benchmark::kMicrosecond);
  // The same figure in the line style: each segment a line from its point before to its point
  // after, each bud a square about its point.
  benchmark::RegisterBenchmark("fitted_lines/1048570", fullPass, screen,
                               workload::kLargeGenerations, true, Style{true, 1})
      ->Unit(benchmark::kMicrosecond);
  // The frames of a figure of a million and of eight million symbols: fitted, eight times that and
  // an eighth of it; in squares and in lines; after a change of the view, and of the pointer.
  for (const int g : {workload::kLargeGenerations, workload::kHugeGenerations}) {
    const std::string n = std::to_string(grownCursor(g).wordLength());
    if (g == workload::kHugeGenerations) {
      benchmark::RegisterBenchmark(("figure/" + n).c_str(), figureWalk, g)
          ->Unit(benchmark::kMillisecond);
    }
    for (const auto& [zoom, name] : {std::pair{1.0, "fit"}, {8.0, "8x"}, {0.125, "fit_8th"}}) {
      for (const Style& style : {Style(), Style(true, 1)}) {
        for (const bool viewChanges : {true, false}) {
          const std::string row = "frame/" + n + "/" + name +
                                  (style.lines ? "/lines" : "/squares") +
                                  (viewChanges ? "/view" : "/pointer");
          benchmark::RegisterBenchmark(row.c_str(), exploreFrame, screen, g, zoom, style,
                                       viewChanges, nullptr)
              ->Unit(benchmark::kMillisecond);
        }
      }
    }
  }
  // The worst input of a frame: 8,388,608 buds on one point, each a square of the window's size.
  benchmark::RegisterBenchmark("frame/one_point_8388608/fit/squares/view", exploreFrame, screen, 23,
                               1.0, Style(), true, "{o:oo;}o")
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("pass/bare", barePass, screen)->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("svg/1048570", saveLargeSvg)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("pass/58_against_bare", pairedPass, screen)
      ->Unit(benchmark::kMicrosecond);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SDL_Quit();
  return 0;
}
