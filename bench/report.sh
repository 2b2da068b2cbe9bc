#!/usr/bin/env bash
# Runs the benchmarks of a build on one core and writes bench/REPORT.md from that run: Google
# Benchmark's medians, the peak memory of fresh processes and the instruction counts of the
# performance gate. The raw results stay in BUILD/bench/results.json. Run by the target
# bench_report (tools/bench.sh), from the source folder:
#   [LSV_BENCH_REPETITIONS=N] [LSV_BENCH_BEFORE=BEFORE.json] report.sh BUILD
# BEFORE.json, the results.json of an earlier run kept aside, adds the comparison of Google
# Benchmark's compare.py (with its U test) of that run against this one.
set -euo pipefail
build=$1 repetitions=${LSV_BENCH_REPETITIONS:-10} before=${LSV_BENCH_BEFORE:-}
out=$build/bench
pin=(taskset -c "$(($(nproc) - 1))")  # the last core
load() { cut -d' ' -f1-3 /proc/loadavg; }
load_start=$(load)
# Repetitions of all cases are shuffled together, so a slow spell of the machine weighs on a
# case and its floor alike.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "${pin[@]}" "$out/lsystem_bench" \
  --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
  --benchmark_display_aggregates_only=true --benchmark_color=false \
  --benchmark_out="$out/results.json" --benchmark_out_format=json | tee "$out/results.txt"
memory=$(for _ in 1 2 3 4 5; do "${pin[@]}" "$out/lsystem_probe" rss; done |
  sed -n 's/.*"bytes_per_symbol": \([0-9.]*\).*/\1/p' | sort -n | paste -sd' ')
counts=$(ctest --test-dir "$build" -L perf -V | sed -n 's/^[0-9]*: \(.* instructions, budget .*\)/- \1/p' | sort)
{
  echo "# Benchmark report"
  echo
  echo "Made by \`bash tools/bench.sh --repetitions $repetitions\` on $(date -u +%F)," \
    "commit $(git rev-parse --short HEAD)$(git diff --quiet HEAD -- src bench \
      ':!bench/REPORT.md' || echo ', with local changes'),"
  echo "on $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores; load average $load_start at" \
    "the start, $(load) at the end."
  echo
  echo "**This machine is shared with other work, so the timings are noisy: compare them only"
  echo "within one run, or between runs with compare.py's U test. The instruction counts do not"
  echo "depend on the load.**"
  echo
  echo "## Timings: medians of $repetitions repetitions, pinned with \`${pin[*]}\`"
  echo
  echo '```'
  grep -E '^(Benchmark|-+$)' "$out/results.txt"
  grep '_median ' "$out/results.txt" | sort
  echo '```'
  echo
  echo "## Peak memory of the 18-generation run beyond start-up, 5 fresh processes"
  echo
  echo "Bytes per final symbol: $memory."
  echo
  echo "## Instructions (callgrind): the performance gate, \`ctest --preset ci -L perf -V\`"
  echo
  echo "$counts"
  if [ -n "$before" ]; then
    echo
    echo "## Before ($before) and after: compare.py"
    echo
    echo '```'
    /usr/bin/python3 /usr/share/benchmark/compare.py -a --no-color benchmarks "$before" \
      "$out/results.json" | grep -E '^(Benchmark|-+$|.*_(median|pvalue) )'
    echo '```'
  fi
  echo
  cat bench/NOTES.md
} >bench/REPORT.md
echo "bench: wrote bench/REPORT.md"
