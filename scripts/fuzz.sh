#!/usr/bin/env bash
# Builds the fuzz targets with clang (sanitizers on) into build-fuzz/ (or
# $VX_FUZZ_BUILD_DIR) and runs each for SECONDS (default 60), starting from
# its seed corpus in fuzz/corpus/. New inputs collect in build-fuzz/corpus/,
# crashes in build-fuzz/crashes/; add a crash input to the seed corpus once
# it is fixed, so the test run replays it.
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VX_FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-60}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_FUZZ=ON
fi
cmake --build "$build" -j "${VX_JOBS:-$(nproc)}" --target fuzz_all
status=0
for seeds in "$root"/fuzz/corpus/*/; do
  name="$(basename "$seeds")"
  work="$build/corpus/$name"
  mkdir -p "$work" "$build/crashes"
  echo "== $name (${seconds} s)"
  if ! "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
      -artifact_prefix="$build/crashes/$name-" -print_final_stats=1 "$work" "$seeds"; then
    echo "!! $name found a failing input: see $build/crashes/"
    status=1
  fi
done
exit $status
