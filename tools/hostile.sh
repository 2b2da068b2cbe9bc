#!/usr/bin/env bash
# Starts the real viewer on an X server of its own (Xvfb) with a hostile standard output:
# closed, it must still quit on SIGTERM with status 0 (its X connection stays clean); into a
# pipe whose reader has gone, the first line ends it by SIGPIPE, as for any Unix producer.
set -euo pipefail
cd "$(dirname "$0")/.."
viewer=build/src/viewer/lsystem-viewer
[ -x "$viewer" ] || bash tools/build.sh
scratch=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

exec 3>"$scratch/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$scratch/display")" SDL_AUDIODRIVER=dummy
failed=0

"$viewer" >&- 2>"$scratch/closed.err" &
pid=$!
sleep 2
target=$(readlink "/proc/$pid/fd/1" || echo closed)
kill -TERM "$pid"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  kill -KILL "$pid"
  echo "hostile: stdout closed: still running 10 s after SIGTERM (descriptor 1: $target)"
  failed=1
fi
rc=0
wait "$pid" || rc=$?
echo "hostile: stdout closed: descriptor 1 is $target, exit $rc"
[ "$target" = /dev/null ] && [ "$rc" -eq 0 ] || failed=1

set +e +o pipefail
timeout -s KILL 20 "$viewer" 2>"$scratch/pipe.err" | true
rc=${PIPESTATUS[0]}
set -e -o pipefail
echo "hostile: reader gone: exit $rc (141 is SIGPIPE)"
[ "$rc" -eq 141 ] || failed=1

[ "$failed" -eq 0 ] && echo "hostile: as expected"
exit "$failed"
