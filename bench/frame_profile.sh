#!/usr/bin/env bash
# Where the frame loop's processor time goes: the frame benchmark under perf
# (call chains, CLOCK_MONOTONIC stamps), then bench/own_share.py splits the
# game thread's time between our code and GL with the driver, and names the
# largest entries of the game thread's GL work and of llvmpipe's threads.
# Usage: bench/frame_profile.sh [frames] [on|off] [flight|fight] [frame_bench options...]
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
FRAMES="${1:-300}"
CULLING="${2:-on}"
KEYS="${3:-flight}"
shift $(($# < 3 ? $# : 3))
FREQUENCY=200
# shellcheck source=bench/perf_frames.sh
source "$ROOT/bench/perf_frames.sh"
record_frames perf -F "$FREQUENCY" --call-graph dwarf,4096 -- \
  --frames "$FRAMES" --culling "$CULLING" --keys "$KEYS" "$@"
perf script -i "$DATA" -F comm,tid,time,ip,sym,dso 2>/dev/null |
  python3 "$ROOT/bench/own_share.py" "$LOOP_START" "$LOOP_END" "$PLAYED" "$FREQUENCY"
