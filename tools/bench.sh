#!/usr/bin/env bash
# Builds and runs the benchmarks on one core, then writes bench/REPORT.md beside the raw JSON.
#
#   bash tools/bench.sh [--repetitions N] [--baseline REV] [--cpu N] [--no-callgrind]
#
# --baseline REV also builds the sources of that commit, with today's bench/, in a temporary
# folder and runs the same cases there, for a "before" column. Timings need a quiet machine; the callgrind
# instruction counts do not.
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=10
baseline=""
callgrind=1
cpu="$(($(nproc) - 1))"  # the last core, by default
while [ $# -gt 0 ]; do
  case "$1" in
    --repetitions) repetitions="$2"; shift 2 ;;
    --baseline) baseline="$2"; shift 2 ;;
    --cpu) cpu="$2"; shift 2 ;;
    --no-callgrind) callgrind=0; shift ;;
    *) echo "usage: bash tools/bench.sh [--repetitions N] [--baseline REV] [--cpu N]" \
         "[--no-callgrind]" >&2
       exit 2 ;;
  esac
done

bash tools/setup.sh
bash tools/build.sh

# One core, where the benchmark runs alone if nothing else is pinned there.
pin=()
if command -v taskset >/dev/null; then pin=(taskset -c "$cpu"); fi
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# run_suite BUILD_DIR OUT_DIR: timings, peak memory and instruction counts of one build.
run_suite() {
  local build="$1" out="$2"
  mkdir -p "$out"
  echo "bench: timing $build ($repetitions repetitions)"
  # Repetitions of all cases are shuffled together, so a slow spell of the machine weighs on
  # a case and its floor alike.
  "${pin[@]}" "$build/bench/lsystem_bench" --benchmark_repetitions="$repetitions" \
    --benchmark_enable_random_interleaving=true --benchmark_display_aggregates_only=true \
    --benchmark_out="$out/results.json" --benchmark_out_format=json

  echo "bench: peak memory, 5 fresh processes"
  for _ in 1 2 3 4 5; do "${pin[@]}" "$build/bench/lsystem_probe" rss; done |
    jq -s '.' >"$out/memory.json"

  if [ "$callgrind" -eq 1 ] && command -v valgrind >/dev/null; then
    echo "bench: instruction counts under callgrind"
    local cases=("rewrite" "walk 3" "walk 10" "walk 17" "pass 3" "pass 10" "pass 17" "bare")
    for c in "${cases[@]}"; do
      # shellcheck disable=SC2086  # the case is a mode and its argument
      valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
        --toggle-collect='*probeMeasured*' "$build/bench/lsystem_probe" $c \
        >/dev/null 2>"$work/callgrind.log"
      local n
      n="$(sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$work/callgrind.log")"
      jq -n --arg c "$c" --argjson n "${n:-null}" '{case: $c, instructions: $n}'
    done | jq -s '.' >"$out/instructions.json"
  else
    echo '[]' >"$out/instructions.json"
  fi
}

run_suite build bench
if [ -n "$baseline" ]; then
  echo "bench: building the baseline $baseline"
  git archive "$baseline" | tar -x -C "$work"
  # The same cases on both sides: the baseline's sources with today's bench/.
  mkdir -p "$work/bench"
  cp bench/CMakeLists.txt bench/*.cpp bench/*.h "$work/bench/"
  grep -q 'add_subdirectory(bench)' "$work/CMakeLists.txt" ||
    echo 'add_subdirectory(bench)' >>"$work/CMakeLists.txt"
  cmake -S "$work" -B "$work/build" -DCMAKE_BUILD_TYPE=Release -DLSV_BUILD_TESTS=OFF >/dev/null
  cmake --build "$work/build" -j "$(nproc)" --target lsystem_bench lsystem_probe >/dev/null
  run_suite "$work/build" bench/baseline
  baseline_rev="$(git rev-parse --short "$baseline")"
else
  rm -rf bench/baseline
  baseline_rev=""
fi

load_end="$(cut -d' ' -f1-3 /proc/loadavg | sed 's/ /, /g')"

# ---- the report ----
r=bench/results.json
b=bench/baseline/results.json
# field FILE CASE FIELD: a field of a case's median, or empty.
field() {
  [ -f "$1" ] || return 0
  jq -r --arg n "$2_median" --arg f "$3" \
    '.benchmarks[] | select(.name == $n) | .[$f] // empty' "$1"
}
# num VALUE SCALE DIGITS: VALUE / SCALE with DIGITS decimals, or "–" when there is none.
num() {
  if [ -z "$1" ]; then echo "–"; else awk -v v="$1" -v s="$2" -v d="$3" \
    'BEGIN { printf "%.*f", d, v / s }'; fi
}
# verdict VALUE OP LIMIT: "met" or "missed by N%".
verdict() {
  awk -v v="$1" -v op="$2" -v l="$3" 'BEGIN {
    ok = (op == ">=") ? v >= l : v < l
    if (ok) print "met"; else printf "missed by %.0f%%\n", (op == ">=") ? (l - v) / l * 100 : (v - l) / l * 100 }'
}
percent() { awk -v x="$1" 'BEGIN { printf "%.1f%%", x * 100 }'; }
mem_median() { jq '[.[].bytes_per_symbol] | sort | .[length / 2 | floor]' "$1"; }
ins() { jq -r --arg c "$2" '.[] | select(.case == $c) | .instructions // empty' "$1" 2>/dev/null; }

rewrite="$(field $r rewrite/18_generations symbols_per_second)"
final="$(field $r rewrite/18_generations final_symbols_per_second)"
pass_large="$(field $r pass/1048570 passes_per_second)"
pass_start="$(field $r pass/58 passes_per_second)"
pass_bare="$(field $r pass/bare passes_per_second)"
ratio="$(awk -v a="$pass_start" -v b="$pass_bare" 'BEGIN { print a / b }')"
paired="$(field $r pass/58_against_bare ratio)"
memory="$(mem_median bench/memory.json)"

row() {  # row NAME CASE FIELD SCALE DIGITS UNIT TARGET
  local now before=""
  now="$(num "$(field $r "$2" "$3")" "$4" "$5")"
  [ -n "$baseline_rev" ] && before=" $(num "$(field $b "$2" "$3")" "$4" "$5") |"
  local wall
  wall="$(num "$(field $r "$2" real_time)" 1 2) $(field $r "$2" time_unit)"
  echo "| $1 | $now $6 |$before $wall | $7 |"
}

{
  echo "# Benchmark report"
  echo
  echo "Made by \`bash tools/bench.sh$([ -n "$baseline_rev" ] && echo " --baseline $baseline_rev") --repetitions $repetitions\`" \
       "on $(date -u +%Y-%m-%d), commit $(git rev-parse --short HEAD)$(git diff --quiet HEAD -- src 'bench/*.cpp' 'bench/*.h' 'bench/CMakeLists.txt' || echo ' with local changes')."
  echo "Machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores, Linux $(uname -r);" \
       "load average at the start $(jq -r '.context.load_avg | map(. * 100 | round / 100) | join(", ")' $r), at the end $load_end."
  echo "Medians of $repetitions repetitions, pinned with \`${pin[*]:-(no taskset)}\`." \
       "Rates and the grow and prune times are from CPU time; the wall column is the median real" \
       "time of one iteration."
  # The benchmark itself keeps one core busy to the end, so the closing load average counts it.
  if awk -v a="$(jq '.context.load_avg[0]' $r)" -v b="${load_end%%,*}" 'BEGIN { exit !(a > 0.5 || b > 1.5) }'; then
    echo
    echo "**Other work was running on the machine during this run; the timings are noisy.**"
  fi
  echo
  if [ -n "$baseline_rev" ]; then
    echo "| Case | Median rate | Before ($baseline_rev) | Wall per iteration | Target |"
    echo "|---|---|---|---|---|"
  else
    echo "| Case | Median rate | Wall per iteration | Target |"
    echo "|---|---|---|---|"
  fi
  row "Rewrite, 18 generations from \"ao\": all output symbols" rewrite/18_generations \
    symbols_per_second 1e6 1 "M symbols/s" ">= 200 M/s: $(verdict "$rewrite" ">=" 200e6)"
  row "Rewrite, same run: final word's symbols only" rewrite/18_generations \
    final_symbols_per_second 1e6 1 "M symbols/s" "(see below)"
  row "Floor: memcpy of the same bytes, warm buffers" rewrite/floor_memcpy \
    symbols_per_second 1e6 0 "M symbols/s" ""
  row "Floor: the same bytes into fresh memory" rewrite/floor_alloc_memcpy \
    symbols_per_second 1e6 1 "M symbols/s" ""
  row "Grow at the middle bud of 1,048,570 symbols" grow/middle_bud cpu_time 1 1 "µs" ""
  row "Prune at the middle segment of 1,048,570 symbols" prune/middle_segment cpu_time 1 1 \
    "µs" ""
  row "Walk, 58 symbols (start word)" walk/58 symbols_per_second 1e6 1 "M symbols/s" ""
  row "Walk, 8,186 symbols" walk/8186 symbols_per_second 1e6 1 "M symbols/s" ""
  row "Walk, 1,048,570 symbols" walk/1048570 symbols_per_second 1e6 1 "M symbols/s" ""
  row "Full pass, 58 symbols (start word)" pass/58 passes_per_second 1 0 "passes/s" \
    "$(percent "$ratio") of bare (separate medians)"
  row "Full pass, 8,186 symbols" pass/8186 passes_per_second 1 0 "passes/s" ""
  row "Full pass, 1,048,570 symbols" pass/1048570 passes_per_second 1 1 "passes/s" \
    ">= 50/s: $(verdict "$pass_large" ">=" 50)"
  row "Bare pass (flip and clear)" pass/bare passes_per_second 1 0 "passes/s" "floor"
  row "Start word's pass against the bare pass, alternating in one loop" pass/58_against_bare \
    ratio 0.01 1 "%" ">= 90%: $(verdict "$paired" ">=" 0.9)"
  before_memory=""
  [ -n "$baseline_rev" ] && before_memory=" $(num "$(mem_median bench/baseline/memory.json)" 1 2) |"
  echo "| Peak resident size of the 18-generation run beyond start-up | $(num "$memory" 1 2) bytes/symbol |$before_memory fresh process, median of 5 | < 4: $(verdict "$memory" "<" 4) |"
  echo
  echo "The final word's rate is $(num "$final" 1e6 1) M symbols/s; the floor that writes the same"
  echo "bytes into fresh memory reaches $(num "$(field $r rewrite/floor_alloc_memcpy final_symbols_per_second)" 1e6 1) M/s by that measure."
  if [ "$(jq length bench/instructions.json)" -gt 0 ]; then
    echo
    echo "Instructions (callgrind, one run of each, \`build/bench/lsystem_probe MODE\`):"
    echo
    if [ -n "$baseline_rev" ]; then
      echo "| Mode | Instructions | Before ($baseline_rev) |"
      echo "|---|---|---|"
    else
      echo "| Mode | Instructions |"
      echo "|---|---|"
    fi
    jq -r '.[].case' bench/instructions.json | while read -r c; do
      line="| \`$c\` | $(ins bench/instructions.json "$c") |"
      [ -n "$baseline_rev" ] && line="$line $(ins bench/baseline/instructions.json "$c") |"
      echo "$line"
    done
  fi
  echo
  echo "Raw data: \`bench/results.json\` (Google Benchmark), \`bench/memory.json\`," \
       "\`bench/instructions.json\`$([ -n "$baseline_rev" ] && echo ", and the same under \`bench/baseline/\`")."
  if [ -f bench/NOTES.md ]; then
    echo
    cat bench/NOTES.md
  fi
} >bench/REPORT.md
echo "bench: wrote bench/REPORT.md"
cat bench/REPORT.md
