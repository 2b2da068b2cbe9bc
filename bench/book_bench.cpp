// Benchmarks of one generation in the book's notation, about 10^6 modules of one parameter out.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "book.h"

namespace {

// One generation of the axiom made of count copies of unit, timed alone: each run starts from a
// copy of the axiom made while the clock is stopped.
void generate(benchmark::State& state, const std::string& productions, const std::string& unit,
              int count) {
  std::string axiom;
  for (int i = 0; i < count; ++i) axiom += unit;
  const BookSystem system(productions + "\naxiom: " + axiom + "\n");
  std::size_t produced = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ModuleWord word = system.axiom();
    state.ResumeTiming();
    system.generate(word, 0, INT32_MAX);
    produced = word.size();
    benchmark::DoNotOptimize(word.values.data());
  }
  state.counters["modules"] = static_cast<double>(produced);
  // Produced modules a second; 10^9 over it is the time of one produced module in ns.
  state.counters["modules_per_second"] =
      benchmark::Counter(static_cast<double>(produced) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

// Each apex becomes a segment and an apex: 500,000 modules in, 10^6 out.
void bookGeneration(benchmark::State& state) {
  generate(state, "A(x) -> F(x * 0.5)A(x + 1)", "A(1)", 500000);
}

// The same with a left and a right context over an ignored "+", and a condition: 333,334
// apexes and turns in, 1,000,002 modules out.
void bookGenerationWithContexts(benchmark::State& state) {
  generate(state,
           "ignore: +\n"
           "A(y) < A(x) > A(z) : x > 0 -> F((y + z) * 0.5)A(x)\n"
           "A(x) -> F(x)A(x)",
           "A(1)+", 333334);
}

}  // namespace

BENCHMARK(bookGeneration)->Unit(benchmark::kMillisecond);
BENCHMARK(bookGenerationWithContexts)->Unit(benchmark::kMillisecond);
