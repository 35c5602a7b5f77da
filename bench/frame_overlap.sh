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
# shellcheck source=bench/perf_frames.sh
source "$ROOT/bench/perf_frames.sh"
record_frames overlap -a -e sched:sched_switch -- --frames "$FRAMES" --dt 0.05 --keys "$KEYS" "$@"
perf script -i "$DATA" -F tid,cpu,time,event,trace 2>/dev/null |
  python3 "$ROOT/bench/overlap.py" "$LOOP_START" "$LOOP_END" "$PLAYED" frame_bench
