#!/usr/bin/env bash
# Frame-time benchmark of the real game under a private Xvfb at 800x600,
# with visibility culling on and then off. Builds first.
# Usage: bench/frame_bench.sh [frames]
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target frame_bench
source scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb
cd build
./bench/frame_bench --frames "${1:-1000}" --culling on
./bench/frame_bench --frames "${1:-1000}" --culling off
