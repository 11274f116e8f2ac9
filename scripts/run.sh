#!/usr/bin/env bash
# Installs what is missing, builds VEK_Courbe and starts it.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/deps.sh"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" --target VEK_Courbe -j"$(nproc)"
exec "$top/build/src/VEK_Courbe" "$@"
