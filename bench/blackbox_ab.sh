#!/usr/bin/env bash
# The frame as the player sees it, this build against another: each game runs
# whole (its own start-up, update, passes and buffer swap) in a private Xvfb
# at 800 x 600, played by the same X key script, and is clocked at every
# glfwSwapBuffers by a preloaded stamp (bench/SwapStamp.c) that needs nothing
# of the game's own code. The figure is the median interval between swaps
# after a 6 s warm-up. The builds take turns, so the machine's load moves both
# alike; the first round also photographs each 4 s after its start and
# compares the upper 800 x 200 (sky and far terrain).
#
# Usage: bench/blackbox_ab.sh OTHER_BUILD [rounds] [seconds measured]
#   OTHER_BUILD: the build folder of any other version (its Felidora with its
#   content beside it), e.g. of `git worktree add /tmp/old 8c2e88a`.
set -euo pipefail
# OTHER_BUILD relative to the caller's folder, before common.sh moves to the clone
OTHER="$(cd "${1:?usage: bench/blackbox_ab.sh OTHER_BUILD [rounds] [seconds]}" && pwd)"
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
ROUNDS="${2:-4}"
SECONDS_MEASURED="${3:-20}"
WARM_UP=6
configure build
build build Felidora swap_stamp >/dev/null
THIS="$ROOT/build"
STAMP="$THIS/bench/libswap_stamp.so"
OUT="$(mktemp -d /tmp/felidora-blackbox.XXXXXX)"
trap 'stop_xvfb; rm -rf "$OUT"' EXIT
start_xvfb

# The same keys for every run, by the clock: turning both ways, climbing and
# descending, shots between.
play_keys() {
  local end=$((SECONDS + WARM_UP + SECONDS_MEASURED))
  sleep 1.5
  while [ "$SECONDS" -lt "$end" ]; do
    xdotool keydown Left sleep 1.5 keyup Left key space sleep 0.3 \
      keydown Down sleep 1.0 keyup Down key space sleep 0.3 \
      keydown Right sleep 1.5 keyup Right key f sleep 0.3 \
      keydown Up sleep 0.8 keyup Up sleep 0.3 2>/dev/null || true
  done
}

# One run of a build: prints "median_ms p95_ms frames".
run() {
  local dir="$1" shot="${2:-}"
  rm -f "$OUT/stamps.txt"
  (cd "$dir" && FELIDORA_SWAP_LOG="$OUT/stamps.txt" LD_PRELOAD="$STAMP" ./Felidora >"$OUT/output.txt" 2>&1 </dev/null) &
  local game=$!
  play_keys &
  local keys=$!
  if [ -n "$shot" ]; then
    sleep 4
    import -window root "$shot"
  fi
  wait "$keys"
  xdotool key Escape 2>/dev/null || true
  wait "$game" 2>/dev/null || true
  python3 - "$OUT/stamps.txt" "$WARM_UP" <<'PY'
import statistics, sys
stamps = [float(line) for line in open(sys.argv[1])]
start = stamps[0] + float(sys.argv[2])
kept = [b - a for a, b in zip(stamps, stamps[1:]) if a >= start]
kept.sort()
print("%.1f %.1f %d" % (statistics.median(kept) * 1e3, kept[int(0.95 * (len(kept) - 1))] * 1e3, len(kept)))
PY
}

echo "black box, ${WARM_UP} s warm-up then ${SECONDS_MEASURED} s: other = $OTHER, this = $THIS"
ratios=()
for r in $(seq 1 "$ROUNDS"); do
  otherShot="" thisShot=""
  if [ "$r" = 1 ]; then otherShot="$OUT/other.png" thisShot="$OUT/this.png"; fi
  read -r otherMedian otherP95 otherFrames < <(run "$OTHER" "$otherShot")
  read -r thisMedian thisP95 thisFrames < <(run "$THIS" "$thisShot")
  ratio=$(awk -v a="$thisMedian" -v b="$otherMedian" 'BEGIN{printf "%.3f", a / b}')
  ratios+=("$ratio")
  echo "round $r: swap interval median other $otherMedian ms (p95 $otherP95, $otherFrames frames)," \
    "this $thisMedian ms (p95 $thisP95, $thisFrames frames), ratio $ratio; load $(cut -d' ' -f1-3 /proc/loadavg)"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -n | awk '{v[NR]=$1} END{print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}')
echo "ratios: ${ratios[*]}; median ratio this / other: $median"

for side in other this; do
  convert "$OUT/$side.png" -crop 800x200+0+0 +repage "$OUT/$side-upper.png"
done
difference=$(compare -metric MAE "$OUT/other-upper.png" "$OUT/this-upper.png" null: 2>&1 || true)
echo "picture 4 s after the start, upper 800 x 200: mean difference per channel $difference"
mkdir -p "$THIS/screenshots"
cp "$OUT/other.png" "$THIS/screenshots/blackbox-other-4s.png"
cp "$OUT/this.png" "$THIS/screenshots/blackbox-this-4s.png"
