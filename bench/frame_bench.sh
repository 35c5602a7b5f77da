#!/usr/bin/env bash
# Frame-time benchmark of the real game under a private Xvfb at 800x600,
# with visibility culling on and then off. Builds first.
# Usage: bench/frame_bench.sh [frames]
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
scripts/install-deps.sh
configure build
build build frame_bench
trap stop_xvfb EXIT
start_xvfb
cd build
./bench/frame_bench --frames "${1:-1000}" --culling on
./bench/frame_bench --frames "${1:-1000}" --culling off
