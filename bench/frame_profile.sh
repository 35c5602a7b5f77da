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
scripts/install-deps.sh
configure build
build build frame_bench
DATA="$(mktemp /tmp/felidora-perf.XXXXXX)"
trap 'stop_xvfb; rm -f "$DATA" "$DATA.out"' EXIT
start_xvfb
cd build
perf record -q -k CLOCK_MONOTONIC -F "$FREQUENCY" --call-graph dwarf,4096 -o "$DATA" \
  ./bench/frame_bench --frames "$FRAMES" --culling "$CULLING" --keys "$KEYS" "$@" | tee /dev/stderr >"$DATA.out"
read -r LOOP_START LOOP_END < <(awk '/frame loop \(monotonic\)/ { print $(NF-1), $NF }' "$DATA.out")
PLAYED="$(awk '/Felidora frame benchmark:/ { print $4 }' "$DATA.out")"
rm -f "$DATA.out"
perf script -i "$DATA" -F comm,tid,time,ip,sym,dso 2>/dev/null |
  python3 "$ROOT/bench/own_share.py" "$LOOP_START" "$LOOP_END" "$PLAYED" "$FREQUENCY"
