#!/usr/bin/env bash
# Runs a command as a CPU quota would let it run: in turns, RUN_MS milliseconds
# running, then PAUSE_MS milliseconds stopped (SIGSTOP to its whole process
# group, programs it started included). A test that fails under it depends on
# the machine's speed. Exits with the command's status.
# Usage: scripts/stutter.sh PAUSE_MS [RUN_MS] -- command [args...]
#   scripts/stutter.sh 200 -- build/tests/tst_bootloadertransfers
#   (cd build && ../scripts/stutter.sh 50 50 -- ctest -R tst_devicelinks)
set -uo pipefail
pause_ms="${1:?usage: $0 PAUSE_MS [RUN_MS] -- command...}"
shift
run_ms=50
if [ "${1:-}" != "--" ]; then run_ms="${1:?}"; shift; fi
[ "${1:-}" = "--" ] && shift
[ $# -gt 0 ] || { echo "usage: $0 PAUSE_MS [RUN_MS] -- command..." >&2; exit 2; }

seconds() { printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)); }

set -m # the command gets a process group of its own
"$@" &
child=$!
trap 'kill -CONT -- -$child 2>/dev/null; kill -TERM -- -$child 2>/dev/null' INT TERM
while kill -0 "$child" 2>/dev/null; do
    sleep "$(seconds "$run_ms")"
    kill -STOP -- -"$child" 2>/dev/null || break
    sleep "$(seconds "$pause_ms")"
    kill -CONT -- -"$child" 2>/dev/null || break
done
wait "$child"
