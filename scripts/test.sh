#!/usr/bin/env bash
# Sets up, builds and runs every test, headless.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VX_BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
export VX_TEST_ROOT="$(mktemp -d)"
trap 'rm -rf "$VX_TEST_ROOT"' EXIT
cd "$build"
ctest --output-on-failure -j "${VX_JOBS:-$(nproc)}" "$@"
