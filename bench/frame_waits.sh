#!/usr/bin/env bash
# Where the game thread waits: the frame benchmark under perf, recording every
# thread switch on every processor (with its call chain, CLOCK_MONOTONIC
# stamps), then bench/off_cpu.py adds up how long the game thread stayed off
# the processor after each switch-out, by the game's own calls that were
# waiting. Under llvmpipe a draw call waits when the rasterizer threads are
# behind, and a texture write or mipmap waits for the drawing that uses the
# texture.
# Usage: bench/frame_waits.sh [frames] [flight|fight] [frame_bench options...]
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
FRAMES="${1:-100}"
KEYS="${2:-fight}"
shift $(($# < 2 ? $# : 2))
# shellcheck source=bench/perf_frames.sh
source "$ROOT/bench/perf_frames.sh"
# every processor's switches (-a): a thread that wakes on an idle processor
# is switched in by the idle task, and only a system-wide record holds that;
# the driver's call chains are deep: a short copy of the stack would stop
# before they reach the game's own frames
record_frames waits -a -N -e sched:sched_switch --call-graph dwarf,32768 -- \
  --frames "$FRAMES" --dt 0.05 --keys "$KEYS" "$@"
perf script -i "$DATA" -F tid,time,trace,ip,sym,dso 2>/dev/null |
  python3 "$ROOT/bench/off_cpu.py" "$LOOP_START" "$LOOP_END" "$PLAYED" frame_bench
