#!/usr/bin/env bash
# The game's resident memory after a minute of fighting: the whole program of
# a build in a private Xvfb at 800 x 600, played by the fight of
# bench/blackbox_keys.sh, its VmRSS and VmHWM read from /proc a given time
# after its start (before the key script lets go and the game is ended).
#
# Usage: bench/fight_memory.sh [BUILD] [seconds]
#   BUILD: a build folder (its Felidora with its content beside it); this
#   clone's build/ by default, which is built first.
set -euo pipefail
BUILD_ARG="${1:-}"
if [ -n "$BUILD_ARG" ]; then BUILD_ARG="$(cd "$BUILD_ARG" && pwd)"; fi
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
SECONDS_PLAYED="${2:-60}"
if [ -z "$BUILD_ARG" ]; then
  configure build
  build build Felidora >/dev/null
  BUILD_ARG="$ROOT/build"
fi
OUT="$(mktemp -d /tmp/felidora-memory.XXXXXX)"
trap 'stop_xvfb; rm -rf "$OUT"' EXIT
start_xvfb
export XDG_CONFIG_HOME="$OUT/config" # the player's own settings stay out of it
# shellcheck source=bench/blackbox_keys.sh
source "$ROOT/bench/blackbox_keys.sh"

(cd "$BUILD_ARG" && XDG_CONFIG_HOME="$OUT/config" exec ./Felidora >"$OUT/output.txt" 2>&1 </dev/null) &
game=$!
play_keys fight $((SECONDS_PLAYED + 1)) &
keys=$!
sleep "$SECONDS_PLAYED"
if [ -r "/proc/$game/status" ]; then
  rss=$(awk '/^VmRSS:/{print $2}' "/proc/$game/status")
  hwm=$(awk '/^VmHWM:/{print $2}' "/proc/$game/status")
  echo "after ${SECONDS_PLAYED} s of fighting: resident $(awk -v k="$rss" 'BEGIN{printf "%.1f", k / 1024}') MB," \
    "peak $(awk -v k="$hwm" 'BEGIN{printf "%.1f", k / 1024}') MB ($BUILD_ARG; load $(cut -d' ' -f1-3 /proc/loadavg))"
else
  echo "the game ended before ${SECONDS_PLAYED} s:" >&2
  cat "$OUT/output.txt" >&2
fi
wait "$keys" 2>/dev/null || true
xdotool key Escape 2>/dev/null || true
wait "$game" 2>/dev/null || true
