#!/usr/bin/env bash
# Builds everything and runs the whole test suite under a private Xvfb.
# Usage: scripts/test.sh [extra ctest arguments, e.g. -R Collision]
#        scripts/test.sh --format-only   only the format check
# A filter that matches no test fails the command.
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# Every C++ source in every folder that holds one, as .clang-format lays it
# out; a drift fails the suite here.
format_check() {
  local folders
  mapfile -t folders < <(cpp_folders)
  [ ${#folders[@]} -gt 0 ] || die "no C++ folder found under $ROOT"
  find "${folders[@]}" \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print0 |
    xargs -0 clang-format --dry-run --Werror
  echo "clang-format: every C++ file in ${folders[*]} is formatted"
}

if [ "${1:-}" = "--format-only" ]; then
  format_check
  exit 0
fi

scripts/install-deps.sh
format_check

# warnings are errors here: a new one fails the suite, not the next reader
configure build -DFELIDORA_WERROR=ON
build build

# the player's own settings stay out of the suite; its runs write theirs here
XDG_CONFIG_HOME="$(mktemp -d /tmp/felidora-suite-config.XXXXXX)"
export XDG_CONFIG_HOME
trap 'stop_xvfb; rm -rf "$XDG_CONFIG_HOME"' EXIT
start_xvfb
cd build
# The slow set (a whole game on softpipe) is left out: ctest -L slow.
# --no-tests=error: a filter that matches nothing fails instead of passing.
ctest --output-on-failure --no-tests=error -j"$JOBS" -LE slow "$@"

# The short soak under AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer, in its own build (build-sanitize/, only what the soak needs)
# with its own Xvfb; a report or a failed check fails the suite. A filtered
# run (ctest arguments given) leaves it out.
if [ "$#" -eq 0 ]; then
  "$ROOT/scripts/sanitize.sh" soak_tests
fi

# The Windows game, cross-built and played under Wine (its own script); also
# left out of a filtered run.
if [ "$#" -eq 0 ]; then
  "$ROOT/scripts/windows-test.sh"
fi

# The browser game, built with Emscripten and played in Chromium and Firefox
# ESR (its own script); also left out of a filtered run.
if [ "$#" -eq 0 ]; then
  "$ROOT/scripts/web-test.sh"
fi
