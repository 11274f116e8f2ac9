#!/usr/bin/env bash
# Installs what is missing, builds and runs every test, in two build trees:
#   build/      the normal build (the default compiler), the whole suite;
#   build-asan/ AddressSanitizer + UBSan (clang), the whole suite again plus a
#               short run of each fuzz target over its seeds (label "fuzz");
#   build-tsan/ ThreadSanitizer, the tests of the job runner and device links.
# Usage: scripts/test.sh [plain|sanitize]   (default: both, normal first)
# VEK_SANITIZE=1 is the same as "sanitize"; VEK_FUZZ_SECONDS sets the length of
# each short fuzz run (default 5), VEK_JOBS the parallel jobs (default: all cores).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/deps.sh"
jobs="${VEK_JOBS:-$(nproc)}"

suites="${1:-all}"
[ "${VEK_SANITIZE:-0}" = 1 ] && suites=sanitize
case "$suites" in
  all|plain|sanitize) ;;
  *) echo "usage: $0 [plain|sanitize]" >&2; exit 2 ;;
esac

run_plain() {
  cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$top/build" -j"$jobs"
  (cd "$top/build" && ctest --output-on-failure -j"$jobs" --label-exclude bench)
}

run_sanitize() {
  local build="$top/build-asan"
  local flags=(-DCMAKE_BUILD_TYPE=Debug -DVEK_SANITIZE=ON)
  local compiler=g++
  if command -v clang++ >/dev/null; then
    # clang also builds the fuzz targets, in the same tree as the tests.
    compiler=clang++
    flags+=(-DVEK_FUZZ=ON -DVEK_FUZZ_SECONDS="${VEK_FUZZ_SECONDS:-5}")
  fi
  compiler="$(command -v "$compiler")"
  # A tree configured with another compiler cannot be switched: start it anew.
  if [ -f "$build/CMakeCache.txt" ] &&
     ! grep -qx "CMAKE_CXX_COMPILER:[A-Z]*=$compiler" "$build/CMakeCache.txt"; then
    rm -rf "$build"
  fi
  flags+=(-DCMAKE_CXX_COMPILER="$compiler")
  cmake -S "$top" -B "$build" "${flags[@]}" >/dev/null
  cmake --build "$build" -j"$jobs"

  # Every sanitizer report, also from programs the tests start, lands in one
  # folder: the suite passes only when it stays empty.
  local reports="$build/sanitizer-reports"
  rm -rf "$reports" && mkdir -p "$reports"
  local status=0
  (cd "$build" &&
     ASAN_OPTIONS="log_path=$reports/asan:detect_leaks=1:${ASAN_OPTIONS:-}" \
     UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}" \
     ctest --output-on-failure -j"$jobs" --label-exclude bench) || status=$?
  if [ -n "$(ls -A "$reports")" ]; then
    echo "Sanitizer reports:" >&2
    for f in "$reports"/*; do echo "== $f" >&2; cat "$f" >&2; done
    status=1
  fi
  return "$status"
}

# The tests that run threads and device links, once more under ThreadSanitizer.
run_tsan() {
  local build="$top/build-tsan"
  local tests=(tst_jobrunner tst_devicelinks)
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVEK_TSAN=ON >/dev/null
  cmake --build "$build" -j"$jobs" --target "${tests[@]}"
  local pattern
  pattern="^($(IFS='|'; echo "${tests[*]}"))$"
  (cd "$build" && TSAN_OPTIONS="halt_on_error=1:suppressions=$top/scripts/tsan.supp:${TSAN_OPTIONS:-}" \
     ctest --output-on-failure -R "$pattern")
}

[ "$suites" = sanitize ] || run_plain
[ "$suites" = plain ] || run_sanitize
[ "$suites" = plain ] || run_tsan
