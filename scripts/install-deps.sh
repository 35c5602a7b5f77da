#!/usr/bin/env bash
# Installs every Debian package Felidora needs to build, run, test and
# benchmark. Does nothing when they are all present.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake pkg-config clang libclang-rt-14-dev clang-format
  libglfw3-dev libglew-dev libglm-dev libassimp-dev libdevil-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev
  libcairo2-dev fonts-dejavu-core libopenal-dev libsndfile1-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth xdotool imagemagick ffmpeg assimp-utils libgl1-mesa-dri python3 sox
  # profiling (bench/frame_profile.sh)
  linux-perf
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
# other builds on the machine may hold the package lock for a while
$SUDO apt-get -o DPkg::Lock::Timeout=900 update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
