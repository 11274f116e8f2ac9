#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# VEK_SANITIZE=1 builds and runs the suite under AddressSanitizer and UBSan instead.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/deps.sh"
build="$top/build"
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${VEK_SANITIZE:-0}" = 1 ]; then
  build="$top/build-asan"
  flags=(-DCMAKE_BUILD_TYPE=Debug -DVEK_SANITIZE=ON)
fi
cmake -S "$top" -B "$build" "${flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --label-exclude bench
