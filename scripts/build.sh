#!/usr/bin/env bash
# Configures and builds everything into build/ (or $VX_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VX_BUILD_DIR:-$root/build}"
"$root/scripts/setup.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
# In CI (CI=true) warnings are errors.
if [ "${CI:-}" = "true" ]; then
  cmake -S "$root" -B "$build" -DVX_WERROR=ON >/dev/null
fi
cmake --build "$build" -j "${VX_JOBS:-$(nproc)}"
