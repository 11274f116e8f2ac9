#!/usr/bin/env bash
# Runs the suite again and again, as a machine shared with other work runs it,
# to find the tests that fail now and then. Three rounds, in build/:
#   1. the whole suite, each test up to N times until it fails (default 8);
#   2. the quick tests (under about 2 s in round 1) up to Q times (default 40);
#   3. the whole suite in build/ and in a second tree build-soak/ at the same
#      time, as two checkouts or a plain and a sanitizer build run it.
# Then it lists each test that failed and its first failing lines, and exits
# non-zero when any did. A test that fails once in a hundred is a fault of the
# test or of the program, never "flaky": read it, do not rerun it.
# Usage: scripts/soak.sh [-n N] [-q Q] [-j JOBS] [--load] [-- CTEST_ARGS...]
#   -n N      repeats of the whole suite (default 8)
#   -q Q      repeats of the quick tests (default 40; 0 leaves the round out)
#   -j JOBS   tests run at once in each tree (default: cores - 2)
#   --load    keeps every core busy meanwhile (busy loops, one per core)
#   CTEST_ARGS narrow every round, e.g. -- -R 'tst_ui_(setup|main)'
# Logs and JUnit files go to build/soak/.
set -uo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
repeats=8
quick=40
jobs=$(($(nproc) > 3 ? $(nproc) - 2 : 1))
load=0
while [ $# -gt 0 ]; do
  case "$1" in
    -n) repeats="${2:?}"; shift 2 ;;
    -q) quick="${2:?}"; shift 2 ;;
    -j) jobs="${2:?}"; shift 2 ;;
    --load) load=1; shift ;;
    --) shift; break ;;
    *) sed -n '2,/^set /p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
selection=("$@")
logs="$top/build/soak"
rm -rf "$logs" && mkdir -p "$logs"

# Both trees built alike (the compiler cache, when there is one, shares the work).
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
for tree in build build-soak; do
  if [ ! -f "$top/$tree/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$top/$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
      >/dev/null || exit 2
  fi
  cmake --build "$top/$tree" -j"$(nproc)" >"$logs/$tree-build.log" 2>&1 ||
    { tail -20 "$logs/$tree-build.log" >&2; exit 2; }
done

busy=()
stop_load() { [ ${#busy[@]} -eq 0 ] || kill "${busy[@]}" 2>/dev/null; busy=(); }
trap stop_load EXIT
trap 'stop_load; exit 130' INT TERM
if [ "$load" = 1 ]; then
  for _ in $(seq "$(nproc)"); do
    bash -c 'while :; do :; done' &
    busy+=($!)
  done
fi

# run NAME TREE CTEST_ARGS...: one ctest run, its log and JUnit file kept by NAME.
run() {
  local name="$1" tree="$2"
  shift 2
  ctest --test-dir "$top/$tree" -j"$jobs" --label-exclude bench --output-on-failure \
    --output-junit "$logs/$name.xml" "$@" >"$logs/$name.log" 2>&1
  local status=$?
  grep -E '^[0-9]+% tests passed|^Total Test time' "$logs/$name.log" | sed "s/^/  $name: /"
  return $status
}

failed=0
start=$SECONDS
echo "Round 1: the whole suite, each test up to $repeats times"
run whole build --repeat until-fail:"$repeats" "${selection[@]}" || failed=1

if [ "$quick" -gt 0 ]; then
  # CTest keeps each test's mean time in the tree; round 1 has just filled it.
  pattern=$(awk '/^---/ {exit} NF == 3 && $3 < 2.0 {print $1}' \
              "$top/build/Testing/Temporary/CTestCostData.txt" | paste -sd'|')
  if [ -n "$pattern" ]; then
    echo "Round 2: the quick tests, each up to $quick times"
    run quick build --repeat until-fail:"$quick" -R "^($pattern)\$" "${selection[@]}" || failed=1
  fi
fi

echo "Round 3: build/ and build-soak/ side by side"
run side-build build "${selection[@]}" &
first=$!
run side-build-soak build-soak "${selection[@]}" || failed=1
wait "$first" || failed=1
stop_load
echo "Soak time: $((SECONDS - start)) s"

# Each failed test, with the lines that say why: Qt Test's FAIL! and what
# follows it, or the end of its output for a time-out or a crash.
python3 - "$logs" <<'EOF'
import glob, os, re, sys
import xml.etree.ElementTree as ET
found = False
for path in sorted(glob.glob(os.path.join(sys.argv[1], "*.xml"))):
    run = path[:-4]
    # How CTest saw each failure: "Failed", "Timeout", "SEGFAULT"...
    said = dict(re.findall(r"Test +#\d+: (\S+) \.*\**(\w[^\n]*?) +[\d.]+ sec",
                           open(run + ".log", errors="replace").read()))
    for case in ET.parse(path).getroot().iter("testcase"):
        if case.find("failure") is None:
            continue
        found = True
        name = case.get("name")
        text = (case.findtext("system-out") or "").splitlines()
        why = [i for i, line in enumerate(text) if line.startswith(("FAIL!", "XPASS", "QFATAL"))]
        lines = [line for i in why[:3] for line in text[i:i + 5]] or text[-8:]
        print(f"FAILED {name} ({os.path.basename(run)}: {said.get(name, 'failed')})")
        for line in lines:
            print("    " + line)
sys.exit(1 if found else 0)
EOF
[ $? -eq 0 ] || failed=1
[ "$failed" = 0 ] && echo "Soak: no failure" || echo "Soak: failures, see above and $logs"
exit "$failed"
