#!/usr/bin/env bash
# Installs the Debian packages Felidora needs. Does nothing when they are all
# present.
#
# Usage: scripts/install-deps.sh          everything to build, run, test,
#                                         benchmark, fuzz and profile it
#        scripts/install-deps.sh --game   only what building the game and its
#                                         content and playing it need, with the
#                                         headless run of scripts/run.sh (Xvfb,
#                                         xdotool, ImageMagick's import)
#
# Another apt or dpkg at work (an unattended upgrade, a second build) holds
# their lock: apt-get waits for it, up to APT_LOCK_TIMEOUT seconds (default
# 900), instead of failing (need_packages in scripts/common.sh).
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

game_only=0
if [ "${1:-}" = "--game" ]; then
  game_only=1
elif [ "$#" -gt 0 ]; then
  echo "usage: scripts/install-deps.sh [--game]" >&2
  exit 2
fi

GAME_PACKAGES=(
  # the game and its content generator (cairo and the DejaVu fonts draw the
  # pictures and clips)
  build-essential cmake pkg-config
  libglfw3-dev libglew-dev libglm-dev libassimp-dev libdevil-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev
  libcairo2-dev fonts-dejavu-core libopenal-dev libsndfile1-dev
  # Mesa's GL, and the headless run: a private X server, keys, screenshots
  libgl1-mesa-dri xvfb xdotool imagemagick
)

PACKAGES=("${GAME_PACKAGES[@]}")
if [ "$game_only" -eq 0 ]; then
  # clang's runtime libraries (the fuzzers' libFuzzer) and perf
  # (bench/frame_profile.sh) are named after the release.
  . /etc/os-release
  case "${VERSION_CODENAME:-}" in
    bookworm) RELEASE_PACKAGES=(libclang-rt-14-dev linux-perf) ;;
    trixie) RELEASE_PACKAGES=(libclang-rt-19-dev linux-perf) ;;
    *)
      RELEASE_PACKAGES=()
      echo "install-deps.sh: ${PRETTY_NAME:-this release} is not Debian 12 or 13; install clang's runtime" \
        "libraries (for scripts/fuzz.sh) and perf (for bench/frame_profile.sh) yourself" >&2
      ;;
  esac
  PACKAGES+=(
    # formatting, the fuzzers' compiler
    clang clang-format
    # tests and benchmarks
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    xauth x11-utils ffmpeg assimp-utils python3 sox appstream
    # fuzzing and profiling
    "${RELEASE_PACKAGES[@]}"
  )
fi

need_packages "${PACKAGES[@]}"
