#!/usr/bin/env bash
# The sanitizer build in one command: builds the game library and the chosen
# test binaries with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer into build-sanitize/, then runs each binary under a private
# Xvfb. Any sanitizer report, any leak at exit and any failing test make the
# command fail.
#
# Usage (from anywhere):
#   scripts/sanitize.sh                                      the default set below, short soak
#   scripts/sanitize.sh soak_tests video_tests               only these binaries
#   FELIDORA_SOAK_MINUTES=30 scripts/sanitize.sh soak_tests  the full-length soak (about an hour)
#
# Why it is set up this way:
# - Content: building a test runs the content generator, itself built with the
#   sanitizers, into build-sanitize/. fontconfig keeps about 1 KB of patterns
#   for the life of the process; tests/lsan.supp names that one library, so
#   leak detection stays on for the generator's own code.
# - Mesa's software driver (swrast_dri.so, the one Xvfb's GLX loads) is
#   preloaded so it stays mapped after the GL context is gone. Otherwise the
#   leak check at exit no longer sees the driver's globals, and the few blocks
#   only they point to (112 bytes from glGenerateMipmap) are reported as leaked
#   from an unnamed module. Nothing of ours is suppressed.
# - Every report is fatal: ASan halts on its first error; UBSan is compiled
#   with -fno-sanitize-recover and told to halt as well; LeakSanitizer runs
#   when each binary exits and makes its exit status non-zero.
# - A small quarantine of freed blocks (quarantine_size_mb=8, the default is
#   256): the soak and the clip test measure resident memory. The game frees
#   several megabytes a minute; a 256 MB quarantine is not full before the
#   soak ends, and the memory and shadow pages it touches on the way look like
#   growth. 8 MB is full within the first minute of play and still holds the
#   blocks freed over the last seconds, where a use after free would be.
# - CI=true makes a GL test fail, not skip, when it gets no context.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

BUILD=build-sanitize
DEFAULT_TESTS=(app_tests collision_tests render_tests object_tests video_tests monitor_tests
               status_display_tests game_tests badcontent_tests soak_tests)
if [ "$#" -gt 0 ]; then
  TESTS=("$@")
else
  TESTS=("${DEFAULT_TESTS[@]}")
fi

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:check_initialization_order=1:strict_init_order=1:quarantine_size_mb=8"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp"

scripts/install-deps.sh
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFELIDORA_SANITIZE=ON -DFELIDORA_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target "${TESTS[@]}"

source scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb

cd "$BUILD"
# The sanitizer runtime must come first in the preload list.
PRELOAD="$(ldd "tests/${TESTS[0]}" | awk '/libasan/ { print $3 }')"
DRIVER="/usr/lib/$(gcc -print-multiarch)/dri/swrast_dri.so"
if [ -e "$DRIVER" ]; then
  PRELOAD="$PRELOAD $DRIVER"
else
  echo "sanitize.sh: $DRIVER not found; a leak report from an unnamed module at exit is Mesa's" >&2
fi

failed=()
summary=()
for test in "${TESTS[@]}"; do
  echo "=== $test (sanitizers on, DISPLAY=$DISPLAY)"
  start=$SECONDS
  status=0
  CI=true LD_PRELOAD="$PRELOAD" "./tests/$test" --gtest_brief=1 || status=$?
  summary+=("$(printf '%-22s %-6s %5d s' "$test" "$([ "$status" -eq 0 ] && echo ok || echo FAILED)" $((SECONDS - start)))")
  [ "$status" -eq 0 ] || failed+=("$test")
done

echo "=== sanitizer run"
printf '%s\n' "${summary[@]}"
if [ "${#failed[@]}" -gt 0 ]; then
  echo "FAILED under the sanitizers: ${failed[*]}" >&2
  exit 1
fi
echo "no sanitizer report, no leak, every test passed"
