#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time on a scratch copy of its
# seed corpus; fails on any crash, hang, leak or sanitizer report.
# Usage: tools/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(grammar_fuzz word_fuzz cursor_fuzz)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
artifacts=build-fuzz/artifacts
rm -rf "$artifacts"
failed=0
for t in "${targets[@]}"; do
  mkdir -p "$scratch/$t/corpus" "$scratch/$t/artifacts"
  cp fuzz/corpus/"$t"/* "$scratch/$t/corpus/"
  echo "fuzz: $t for ${seconds}s ..."
  rc=0
  build-fuzz/fuzz/"$t" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$scratch/$t/artifacts/" "$scratch/$t/corpus" >"$scratch/$t/log" 2>&1 || rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/$t/log")
  files=$(find "$scratch/$t/corpus" -type f | wc -l)
  bytes=$(cat "$scratch/$t/corpus"/* | wc -c)
  crashes=$(find "$scratch/$t/artifacts" -type f ! -name 'slow-unit-*' | wc -l)
  reports=$(grep -c -E 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' \
    "$scratch/$t/log" || true)
  printf 'fuzz: %-13s executions %-9s corpus %s files (%s bytes)  crashes %s\n' \
    "$t" "${runs:-?}" "$files" "$bytes" "$crashes"
  if [ "$rc" -ne 0 ] || [ "$crashes" -ne 0 ] || [ "$reports" -ne 0 ]; then
    failed=1
    mkdir -p "$artifacts/$t"
    cp "$scratch/$t/log" "$scratch/$t"/artifacts/* "$artifacts/$t/" 2>/dev/null || true
    echo "fuzz: $t FAILED (exit $rc); log and inputs kept in $artifacts/$t"
    grep -E -A 15 'ERROR:|runtime error:|check failed' "$scratch/$t/log" | head -40 || true
  fi
done
[ "$failed" -eq 0 ] && echo "fuzz: all targets clean"
exit "$failed"
