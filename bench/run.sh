#!/usr/bin/env bash
# Builds the project and runs every benchmark in build/bench, one after another.
# bench_sonvert converts ten minutes of 44.1 kHz stereo and prints its time and
# peak memory beside sox's (each run a process of its own), and the peak for
# one, 25 and 60 minutes; it needs sox for the ratios and about 1 GB in $TMPDIR.
# bench_soundlib_compile compiles 50 one-minute stereo waves into a library and
# converts them with sox in the same run (about 600 MB in $TMPDIR).
# bench_wordlist_memory writes 300 MB of random bytes into $TMPDIR for the
# word list whose peak memory it prints.
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
