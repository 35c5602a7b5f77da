#!/usr/bin/env bash
# This build against another one on the same machine in one run: the frame
# benchmark of each, alternating (the machine's load moves both alike), then
# the real game of each, photographed 4 s after its start, and the upper part
# of the two pictures (sky and far terrain; the lower part moves with the
# frame rate) compared.
#
# Usage: bench/frame_ab.sh OTHER_BUILD [rounds] [frames] [frame_bench options...]
#   OTHER_BUILD: the build folder of the other version, built with this
#   version's bench/FrameBench.cpp (e.g. a `git worktree` of the older commit
#   with the file copied in), so that both report the same figures.
# Builds this version's frame_bench and Felidora first.
set -euo pipefail
# OTHER_BUILD relative to the caller's folder, before common.sh moves to the clone
OTHER="$(cd "${1:?usage: bench/frame_ab.sh OTHER_BUILD [rounds] [frames]}" && pwd)"
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/common.sh"
ROUNDS="${2:-5}"
FRAMES="${3:-300}"
shift $(($# < 3 ? $# : 3))
configure build
build build frame_bench Felidora >/dev/null
THIS="$ROOT/build"
OUT="$(mktemp -d /tmp/felidora-ab.XXXXXX)"
trap 'stop_xvfb; rm -rf "$OUT"' EXIT
start_xvfb

# one frame_bench run: prints "frame_median processor_median"
bench() {
  local dir="$1"
  shift
  (cd "$dir" && ./bench/frame_bench --frames "$FRAMES" --culling on "$@") >"$OUT/run.txt"
  awk '/^  frame  /{f=$3} /processor time per frame/{c=$6} END{print f, c}' "$OUT/run.txt"
}

echo "frame_bench --frames $FRAMES --culling on $*: other = $OTHER, this = $THIS"
ratios=()
for r in $(seq 1 "$ROUNDS"); do
  read -r otherFrame otherCpu < <(bench "$OTHER" "$@")
  read -r thisFrame thisCpu < <(bench "$THIS" "$@")
  ratio=$(awk -v a="$thisFrame" -v b="$otherFrame" 'BEGIN{printf "%.3f", a / b}')
  ratios+=("$ratio")
  echo "round $r: frame median other $otherFrame ms, this $thisFrame ms (ratio $ratio);" \
    "processor time other $otherCpu ms, this $thisCpu ms; load $(cut -d' ' -f1-3 /proc/loadavg)"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -n | awk '{v[NR]=$1} END{print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}')
echo "median ratio of the frame medians, this / other: $median"

# The real game of each build, 4 s after its start.
shoot() {
  (cd "$1" && ./Felidora >/dev/null 2>&1 </dev/null) &
  local game=$!
  sleep 4
  import -window root "$2"
  xdotool key Escape 2>/dev/null || true
  wait "$game" 2>/dev/null || true
}
shoot "$OTHER" "$OUT/other.png"
shoot "$THIS" "$OUT/this.png"
for side in other this; do
  convert "$OUT/$side.png" -crop 800x200+0+0 +repage "$OUT/$side-upper.png"
done
# MAE in parentheses is the mean absolute difference per channel, 0 to 1
difference=$(compare -metric MAE "$OUT/other-upper.png" "$OUT/this-upper.png" null: 2>&1 || true)
echo "picture 4 s after the start, upper 800 x 200: mean difference per channel $difference"
mkdir -p "$THIS/screenshots"
cp "$OUT/other.png" "$THIS/screenshots/ab-other-4s.png"
cp "$OUT/this.png" "$THIS/screenshots/ab-this-4s.png"
echo "pictures: $THIS/screenshots/ab-other-4s.png, $THIS/screenshots/ab-this-4s.png"
