#!/usr/bin/env bash
# Builds Felidora and starts it. Without a display it plays the game under
# Xvfb for about ten seconds, saves screenshots to build-game/screenshots/ and
# quits.
#
# Only the game and its content are built, in their own folder (build-game/):
# no test or benchmark, and build/ stays the test command's.
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

scripts/install-deps.sh --game
configure build-game -DBUILD_TESTING=OFF
build build-game

cd build-game
if [ -n "${DISPLAY:-}" ]; then
  exec ./Felidora
fi

trap stop_xvfb EXIT
start_xvfb
mkdir -p screenshots
rm -f screenshots/*.png
./Felidora > screenshots/output.txt 2>&1 </dev/null &
GAME=$!
# the view at the start, then with the statistics row (F2), then later on
shoot() {
  sleep 3
  kill -0 "$GAME" 2>/dev/null && import -window root "screenshots/$1.png"
}
shoot felidora-start || true
xdotool key F2 2>/dev/null || true
shoot felidora-statistics || true
shoot felidora-later || true
xdotool key Escape 2>/dev/null || true
status=0
wait "$GAME" || status=$?
echo "Felidora ran headless on $DISPLAY; exit status $status."
echo "Screenshots:"
ls -1 "$PWD"/screenshots/*.png 2>/dev/null || echo "  (none: the game ended before the first one)"
echo "Game output: $PWD/screenshots/output.txt"
exit "$status"
