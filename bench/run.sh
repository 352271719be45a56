#!/usr/bin/env bash
# Builds the project and runs every benchmark in build/bench, one after another.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VX_BUILD_DIR:-$root/build}"
"$root/scripts/build.sh"
shopt -s nullglob
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" "$@"
done
