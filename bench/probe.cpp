// Fixed workloads in a fresh process: peak resident size of the rewrite run, and single
// runs of each hot path for instruction counts under callgrind (--toggle-collect=*probeMeasured*).
#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "adapter.h"
#include "lsystem.h"
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

int usage() {
  std::fprintf(stderr,
               "usage: lsystem_probe rss | rewrite | rules COUNT | walk GENERATIONS |"
               " pass GENERATIONS | bare\n");
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) return usage();
  const std::string mode = argv[1];
  if (mode == "rss") return peakMemory();
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
