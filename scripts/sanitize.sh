#!/usr/bin/env bash
# The sanitizer build in one command: builds the game and the tests with
# AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer into
# build-sanitize/, then runs the CTest set labelled "sanitize" there under a
# private Xvfb: every test binary whole, the soak, the damaged-content groups
# and their end-to-end runs. Any sanitizer report, any leak at exit and any
# failing test make the command fail.
#
# Usage (from anywhere):
#   scripts/sanitize.sh                                      everything, short soak
#   scripts/sanitize.sh soak_tests monitor_tests             only these binaries
#   scripts/sanitize.sh badcontent_tests Felidora            the bad-content set with its end-to-end runs
#   FELIDORA_SOAK_MINUTES=30 scripts/sanitize.sh soak_tests  the full-length soak (about an hour)
#
# Every entry of the set carries the name of the binary it runs as a label,
# so the binaries named here choose the entries. The sanitizer options and
# the preload of Mesa's driver are the entries' own (tests/CMakeLists.txt
# says why); building a test runs the content generator, itself built with
# the sanitizers, into build-sanitize/ (tests/lsan.supp names the one library
# whose cache is kept for the life of the process: fontconfig).
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

BUILD=build-sanitize
BINARIES=("$@")

scripts/install-deps.sh
configure "$BUILD" -DFELIDORA_SANITIZE=ON -DFELIDORA_BENCH=OFF
CHOSEN=(-L sanitize)
if [ "${#BINARIES[@]}" -gt 0 ]; then
  build "$BUILD" "${BINARIES[@]}"
  CHOSEN+=(-L "^($(IFS='|'; echo "${BINARIES[*]}"))\$")
else
  build "$BUILD"
fi

trap stop_xvfb EXIT
start_xvfb

cd "$BUILD"
echo "=== the sanitizer set (DISPLAY=$DISPLAY): ctest ${CHOSEN[*]}"
# --no-tests=error: binaries that name no entry of the set fail the command
ctest --output-on-failure --no-tests=error -j"$JOBS" "${CHOSEN[@]}"
echo "no sanitizer report, no leak, every test passed"
