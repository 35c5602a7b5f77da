#!/usr/bin/env bash
# The frame as the player sees it, this build against another: each game runs
# whole (its own start-up, update, passes and buffer swap) in a private Xvfb
# at 800 x 600, played by the same X key scripts (bench/blackbox_keys.sh: a
# flight, and a fight that fires every half second), and is clocked at every
# glfwSwapBuffers by a preloaded stamp (bench/SwapStamp.c) that needs nothing
# of the game's own code. The figure is the median interval between swaps
# after a 6 s warm-up. The builds take turns, so the machine's load moves both
# alike; the first round of the flight also photographs each 4 s after its
# start and compares the upper 800 x 200 (sky and far terrain). The last line
# gives the worse of the scripts' median ratios.
#
# Usage: bench/blackbox_ab.sh OTHER_BUILD [rounds] [seconds measured] [scripts]
#   OTHER_BUILD: the build folder of any other version (its Felidora with its
#   content beside it), e.g. of `git worktree add /tmp/old 8c2e88a`.
#   scripts: "flight", "fight" or "flight fight" (the default).
set -euo pipefail
# OTHER_BUILD relative to the caller's folder, before common.sh moves to the clone
OTHER="$(cd "${1:?usage: bench/blackbox_ab.sh OTHER_BUILD [rounds] [seconds]}" && pwd)"
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
ROUNDS="${2:-4}"
SECONDS_MEASURED="${3:-20}"
read -r -a SCRIPTS <<<"${4:-flight fight}"
for script in "${SCRIPTS[@]}"; do
  case "$script" in flight | fight) ;; *) die "no key script \"$script\" (flight or fight)" ;; esac
done
WARM_UP=6
configure build
build build Felidora swap_stamp >/dev/null
THIS="$ROOT/build"
STAMP="$THIS/bench/libswap_stamp.so"
OUT="$(mktemp -d /tmp/felidora-blackbox.XXXXXX)"
trap 'stop_xvfb; rm -rf "$OUT"' EXIT
start_xvfb
# the player's own settings (vsync, a window) never reach a measurement
export XDG_CONFIG_HOME="$OUT/config"

# shellcheck source=bench/blackbox_keys.sh
source "$ROOT/bench/blackbox_keys.sh"

# One run of a build with a key script: prints "median_ms p95_ms frames".
run() {
  local dir="$1" script="$2" shot="${3:-}"
  rm -f "$OUT/stamps.txt"
  # the player's settings of these runs stay in the run's own folder
  (cd "$dir" && XDG_CONFIG_HOME="$OUT/config" FELIDORA_SWAP_LOG="$OUT/stamps.txt" LD_PRELOAD="$STAMP" \
    ./Felidora >"$OUT/output.txt" 2>&1 </dev/null) &
  local game=$!
  play_keys "$script" $((WARM_UP + SECONDS_MEASURED)) &
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
declare -A RATIOS
for r in $(seq 1 "$ROUNDS"); do
  for script in "${SCRIPTS[@]}"; do
    otherShot="" thisShot=""
    if [ "$r" = 1 ] && [ "$script" = "${SCRIPTS[0]}" ]; then otherShot="$OUT/other.png" thisShot="$OUT/this.png"; fi
    read -r otherMedian otherP95 otherFrames < <(run "$OTHER" "$script" "$otherShot")
    read -r thisMedian thisP95 thisFrames < <(run "$THIS" "$script" "$thisShot")
    ratio=$(awk -v a="$thisMedian" -v b="$otherMedian" 'BEGIN{printf "%.3f", a / b}')
    RATIOS[$script]="${RATIOS[$script]:-} $ratio"
    echo "round $r, $script: swap interval median other $otherMedian ms (p95 $otherP95, $otherFrames frames)," \
      "this $thisMedian ms (p95 $thisP95, $thisFrames frames), ratio $ratio; load $(cut -d' ' -f1-3 /proc/loadavg)"
  done
done
worst=0
for script in "${SCRIPTS[@]}"; do
  # shellcheck disable=SC2086 # the ratios are words
  median=$(printf '%s\n' ${RATIOS[$script]} | sort -n | awk '{v[NR]=$1} END{print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}')
  echo "$script: ratios${RATIOS[$script]}; median ratio this / other: $median"
  worst=$(awk -v a="$worst" -v b="$median" 'BEGIN{print (b > a ? b : a)}')
done
echo "the worse of the scripts' median ratios (${SCRIPTS[*]}): $worst"

for side in other this; do
  convert "$OUT/$side.png" -crop 800x200+0+0 +repage "$OUT/$side-upper.png"
done
difference=$(compare -metric MAE "$OUT/other-upper.png" "$OUT/this-upper.png" null: 2>&1 || true)
echo "picture 4 s after the start (${SCRIPTS[0]}), upper 800 x 200: mean difference per channel $difference"
mkdir -p "$THIS/screenshots"
cp "$OUT/other.png" "$THIS/screenshots/blackbox-other-4s.png"
cp "$OUT/this.png" "$THIS/screenshots/blackbox-this-4s.png"
