#!/usr/bin/env bash
# The browser game's frame against the native game's, on the same llvmpipe and
# the same private Xvfb, both drawing 800 x 600 and played by the same X key
# script (bench/blackbox_keys.sh): the native build/Felidora in a window of
# 800 x 600, clocked at every glfwSwapBuffers by the preloaded stamp
# (bench/SwapStamp.c) as bench/blackbox_ab.sh clocks it, and the page in
# Chromium headful on ANGLE over llvmpipe, clocked at each animation frame in
# which the game drew (bench/web_frame.mjs). The runs take turns, so the
# machine's load moves both alike. The figure is the median frame interval
# after the warm-up, and browser / native.
# NOTE: Chromium draws at most one frame per 60 Hz animation frame; the native
# game on Xvfb swaps as fast as it renders, so below 16.7 ms the ratio
# measures that cap.
#
# Usage: bench/web_frame.sh [PAGE_FOLDER] [rounds] [seconds measured] [script]
#   PAGE_FOLDER: a built page (default: build-web/, built by scripts/build-web.sh)
#   script: flight (default) or fight
set -euo pipefail
page=""
if [ $# -gt 0 ] && [ -d "$1" ]; then
  page="$(cd "$1" && pwd)"
  shift
fi
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
ROUNDS="${1:-3}"
SECONDS_MEASURED="${2:-20}"
SCRIPT="${3:-flight}"
case "$SCRIPT" in flight | fight) ;; *) die "no key script \"$SCRIPT\" (flight or fight)" ;; esac
WARM_UP=6

if [ -z "$page" ]; then
  scripts/build-web.sh >&2
  page="$ROOT/build-web"
fi
configure build
build build Felidora swap_stamp >/dev/null
STAMP="$ROOT/build/bench/libswap_stamp.so"
modules=$(web_node_modules)

OUT="$(mktemp -d /tmp/felidora-web-frame.XXXXXX)"
trap 'stop_xvfb; stop_web_server; rm -rf "$OUT"' EXIT
# the browser's profile and the native game's settings stay in the run's folder
export HOME="$OUT/home" XDG_CONFIG_HOME="$OUT/config" XDG_CACHE_HOME="$OUT/cache"
mkdir -p "$HOME" "$XDG_CONFIG_HOME/felidora" "$XDG_CACHE_HOME"
# the native game in a window of the canvas's size, not full screen
printf 'window = 800x600\n' >"$XDG_CONFIG_HOME/felidora/einstellungen.ini"
mkdir -p "$OUT/site"
ln -s "$page" "$OUT/site/game"
start_web_server "$OUT/site"
start_xvfb 1280x1024
# keys go to the window under the pointer: the middle of the screen is in the
# native window (centred) and in the browser's (at the corner, 1000 x 900)
xdotool mousemove 640 512

# shellcheck source=bench/blackbox_keys.sh
source "$ROOT/bench/blackbox_keys.sh"

native_run() { # [screenshot]
  rm -f "$OUT/stamps.txt"
  (cd "$ROOT/build" && FELIDORA_SWAP_LOG="$OUT/stamps.txt" LD_PRELOAD="$STAMP" ./Felidora >"$OUT/output.txt" 2>&1 \
    </dev/null) &
  local game=$!
  play_keys "$SCRIPT" $((WARM_UP + SECONDS_MEASURED)) &
  local keys=$!
  if [ -n "${1:-}" ]; then
    sleep 4
    import -window "$(xdotool search --name '^Felidora$' | head -1)" "$1"
  fi
  wait "$keys"
  xdotool key Escape 2>/dev/null || true
  wait "$game" 2>/dev/null || true
  /usr/bin/python3 - "$OUT/stamps.txt" "$WARM_UP" <<'PY'
import statistics, sys
stamps = [float(line) for line in open(sys.argv[1])]
start = stamps[0] + float(sys.argv[2])
kept = sorted(b - a for a, b in zip(stamps, stamps[1:]) if a >= start)
print("%.1f %.1f %d" % (statistics.median(kept) * 1e3, kept[int(0.95 * (len(kept) - 1))] * 1e3, len(kept)))
PY
}

browser_run() { # [screenshot]
  FELIDORA_WEB_NODE_MODULES="$modules" node "$ROOT/bench/web_frame.mjs" "http://127.0.0.1:$WEB_PORT/game/index.html" \
    "$SCRIPT" "$WARM_UP" "$SECONDS_MEASURED" "${1:-}"
}

echo "frame time, $SCRIPT, ${WARM_UP} s warm-up then ${SECONDS_MEASURED} s: native $ROOT/build/Felidora," \
  "browser $page in Chromium (ANGLE on llvmpipe), 800 x 600 on one Xvfb"
ratios=()
for r in $(seq 1 "$ROUNDS"); do
  nativeShot="" browserShot=""
  if [ "$r" = 1 ]; then nativeShot="$OUT/native.png" browserShot="$OUT/browser.png"; fi
  read -r nativeMedian nativeP95 nativeFrames < <(native_run "$nativeShot")
  read -r browserMedian browserP95 browserFrames < <(browser_run "$browserShot")
  ratio=$(awk -v a="$browserMedian" -v b="$nativeMedian" 'BEGIN{printf "%.3f", a / b}')
  ratios+=("$ratio")
  echo "round $r: frame median native $nativeMedian ms (p95 $nativeP95, $nativeFrames frames)," \
    "browser $browserMedian ms (p95 $browserP95, $browserFrames frames), ratio $ratio;" \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -n | awk '{v[NR]=$1} END{print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}')
echo "$SCRIPT: ratios ${ratios[*]}; median ratio browser / native: $median"
mkdir -p "$page/screenshots"
cp "$OUT/native.png" "$page/screenshots/bench-native-4s.png"
cp "$OUT/browser.png" "$page/screenshots/bench-browser-4s.png"
echo "pictures 4 s after the start: $page/screenshots/bench-native-4s.png, bench-browser-4s.png"
