#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in build-fuzz/ and runs
# each for a fixed time, one after the other, on one core each.
#
# Usage: scripts/fuzz.sh [seconds per target, default 600] [target ...]
#   targets: collision_fuzz status_display_fuzz (default: both)
#   FUZZ_MERGE=1 scripts/fuzz.sh ...  also folds the new inputs into the
#   stored corpus (tests/fuzz/corpus/<target>/, minimised with -merge=1).
#
# Each run starts from the stored corpus and the stored regressions
# (tests/fuzz/corpus/<target>/, tests/fuzz/regressions/<target>/, read only)
# and keeps what it finds in build-fuzz/fuzz-corpus/<target>/. A failed check
# or a sanitizer report stops the run and leaves the input in
# build-fuzz/fuzz-findings/<target>/ (reproduce it with
# build-fuzz/fuzz/<target> FILE); once fixed, copy it into
# tests/fuzz/regressions/<target>/ so the normal suite replays it.
# The libFuzzer log of each run is build-fuzz/fuzz-findings/<target>/fuzz-0.log
# (with the merge, if any, in build-fuzz/fuzz-findings/<target>.log).
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

SECONDS_EACH="${1:-600}"
shift || true
TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
  TARGETS=(collision_fuzz status_display_fuzz)
fi
BUILD="$ROOT/build-fuzz"

scripts/install-deps.sh
CC=clang CXX=clang++ configure "$BUILD" -DFELIDORA_FUZZ=ON -DFELIDORA_BENCH=OFF
build "$BUILD" "${TARGETS[@]}"

status=0
for target in "${TARGETS[@]}"; do
  name="${target%_fuzz}"
  work="$BUILD/fuzz-corpus/$name"
  findings="$BUILD/fuzz-findings/$name"
  mkdir -p "$work" "$findings" "tests/fuzz/corpus/$name" "tests/fuzz/regressions/$name"
  log="$BUILD/fuzz-findings/$name.log"
  echo "== $target for $SECONDS_EACH s (log: $log)"
  # Inputs up to 4 KiB hold a full soup of triangles and spheres or ~100 frames.
  # One worker running one job: the machine's cores are shared. libFuzzer then
  # runs the job in a child process that logs to fuzz-0.log in its working
  # folder (the findings folder) and copies that log to ours at the end.
  if (cd "$findings" && "$BUILD/fuzz/$target" -max_total_time="$SECONDS_EACH" -max_len=4096 -workers=1 -jobs=1 \
    -print_final_stats=1 -artifact_prefix="$findings/" \
    "$work" "$ROOT/tests/fuzz/corpus/$name" "$ROOT/tests/fuzz/regressions/$name") >"$log" 2>&1; then
    echo "   no finding"
  else
    echo "   FINDING: see $log and $findings/"
    status=1
  fi
  # the job's last status line (coverage) and its totals
  grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE)' "$findings/fuzz-0.log" | tail -1 || true
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$findings/fuzz-0.log" || true
  if [ "${FUZZ_MERGE:-0}" = 1 ]; then
    "$BUILD/fuzz/$target" -merge=1 -max_len=4096 "tests/fuzz/corpus/$name" "$work" >>"$log" 2>&1
    echo "   stored corpus: $(ls "tests/fuzz/corpus/$name" | wc -l) inputs"
  fi
done
exit $status
