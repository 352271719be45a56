#!/bin/sh
# Builds the link library and runs its tests from a copy of the tree with the
# chip emulator removed: proof that link/ needs nothing of chipsim/.
# Usage: scripts/link-alone.sh [BUILD_DIR]   (default: a fresh temporary folder)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$(mktemp -d)}
mkdir -p "$work/src"
(cd "$root" && git ls-files -co --exclude-standard | tar -cf - -T -) | tar -xf - -C "$work/src"
rm -rf "$work/src/chipsim" "$work/src/tests/chipsim"
cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null
targets=$(cd "$work/src/tests/link" && ls *.cpp | sed 's/\.cpp$//; s/^/test_link_/')
cmake --build "$work/build" -j"${VX_JOBS:-3}" --target vx_link $targets
cd "$work/build" && ctest --output-on-failure -R '^link/'
