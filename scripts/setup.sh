#!/usr/bin/env bash
# Installs every package the build, the tests, the benchmarks and the fuzz
# targets (clang and its fuzzer runtime) need (and xdotool, ImageMagick's
# import and openbox for checks by hand under xvfb), on a bare Debian machine.
# Idempotent: installs only what is missing, asks nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-multimedia-dev qt6-tools-dev
  libgl1-mesa-dev libx11-dev
  libmpg123-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth fonts-dejavu-core
  sox poppler-utils
  clang libclang-rt-dev
  xdotool imagemagick openbox
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
