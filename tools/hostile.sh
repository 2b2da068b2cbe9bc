#!/usr/bin/env bash
# Starts the real viewer on an X server of its own (Xvfb) with a hostile standard output:
# closed, it must still quit on SIGTERM with status 0 (its X connection stays clean); into a
# pipe whose reader has gone, the first line ends it by SIGPIPE, as for any Unix producer.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/viewer_lib.sh
viewer=build-ci/src/viewer/lsystem-viewer
[ -x "$viewer" ] || bash tools/build.sh
open_scratch

start_xvfb "$scratch"
export DISPLAY=$display SDL_AUDIODRIVER=dummy
failed=0

"$viewer" >&- 2>"$scratch/closed.err" &
pid=$!
wait_handler "$pid"
sleep 1
target=$(readlink "/proc/$pid/fd/1" || echo closed)
quit_viewer "$pid" "hostile: stdout closed" || failed=1
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
