#!/usr/bin/env bash
# Whether the game thread and llvmpipe's rasterizer threads work at the same
# time: the frame benchmark under perf, recording every thread switch on
# every processor (no call chains, so perf itself costs little), then
# bench/overlap.py adds up, per frame, how long each combination held: the
# game thread running or not, and how many rasterizer threads ran beside it.
# Under Mesa 22's llvmpipe a scene is rasterized while the thread that flushed
# it waits, so the game's binning and the rasterizing take turns; a processor
# sits idle while the game thread bins alone, and while one rasterizer
# finishes its last tiles.
# Usage: bench/frame_overlap.sh [frames] [flight|fight] [frame_bench options...]
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
FRAMES="${1:-200}"
KEYS="${2:-fight}"
shift $(($# < 2 ? $# : 2))
scripts/install-deps.sh
configure build
build build frame_bench
DATA="$(mktemp /tmp/felidora-overlap.XXXXXX)"
trap 'stop_xvfb; rm -f "$DATA" "$DATA.out"' EXIT
start_xvfb
cd build
perf record -q -a -k CLOCK_MONOTONIC -e sched:sched_switch -o "$DATA" \
  ./bench/frame_bench --frames "$FRAMES" --dt 0.05 --keys "$KEYS" "$@" | tee /dev/stderr >"$DATA.out"
read -r LOOP_START LOOP_END < <(awk '/frame loop \(monotonic\)/ { print $(NF-1), $NF }' "$DATA.out")
PLAYED="$(awk '/Felidora frame benchmark:/ { print $4 }' "$DATA.out")"
perf script -i "$DATA" -F tid,cpu,time,event,trace 2>/dev/null |
  python3 "$ROOT/bench/overlap.py" "$LOOP_START" "$LOOP_END" "$PLAYED" frame_bench
