#!/usr/bin/env bash
# Sets up, builds and starts Voxmere. With no chip configured, COM1 is the
# built-in chip emulator so that the program can be tried by hand.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VX_BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
export VOXMERE_COM1="${VOXMERE_COM1:-sim}"
exec "$build/bin/Voxmere" "$@"
