# shellcheck shell=bash
# What the perf scripts of bench/ share (frame_profile.sh, frame_waits.sh,
# frame_overlap.sh), sourced after scripts/common.sh: the frame benchmark
# built and played under perf in a private Xvfb.
#
#   record_frames NAME PERF_OPTION... -- FRAME_BENCH_OPTION...
#
# records into $DATA (a temporary file, removed at exit with the Xvfb
# stopped), passes the benchmark's report through to standard error, and
# sets LOOP_START and LOOP_END (the frame loop's CLOCK_MONOTONIC stamps, as
# perf stamps its records) and PLAYED (the frames played).
record_frames() { # name perf-option... -- frame_bench-option...
  local name="$1" perf_options=()
  shift
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    perf_options+=("$1")
    shift
  done
  shift
  scripts/install-deps.sh
  configure build
  build build frame_bench
  DATA="$(mktemp "/tmp/felidora-$name.XXXXXX")"
  trap 'stop_xvfb; rm -f "$DATA" "$DATA.out"' EXIT
  start_xvfb
  (cd build && perf record -q -k CLOCK_MONOTONIC "${perf_options[@]}" -o "$DATA" ./bench/frame_bench "$@") |
    tee /dev/stderr >"$DATA.out"
  # shellcheck disable=SC2034 # read by the script that sourced this one
  read -r LOOP_START LOOP_END < <(awk '/frame loop \(monotonic\)/ { print $(NF-1), $NF }' "$DATA.out")
  # shellcheck disable=SC2034
  PLAYED="$(awk '/Felidora frame benchmark:/ { print $4 }' "$DATA.out")"
}
