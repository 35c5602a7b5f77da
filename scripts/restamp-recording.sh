#!/usr/bin/env bash
# Keeps the autopilot's recorded win (tests/data/autopilot-win.rec) replaying
# with the content the build makes. A recording carries the fingerprint of the
# content it was played with, and the game refuses it when that changed.
#
# Usage: scripts/restamp-recording.sh [--record] [BUILD_FOLDER]   (default build/)
#
# Without --record: writes the build's content fingerprint into the recording
# and replays it with the real game, the documented way
# (FELIDORA_REPLAY_DRAW_EVERY=60, under a private Xvfb when there is no
# display). Only when the replay prints the summary kept beside it
# (tests/data/autopilot-win.txt) is the re-stamped file kept; otherwise the
# game's rules changed, the recording is left as it was, and the win has to be
# recorded anew:
# With --record: the autopilot (tests/app/AutopilotTest.cpp) plays its win
# anew in app_tests and records it with its summary, then the real game
# replays it as above.
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

record=0
if [ "${1:-}" = "--record" ]; then
  record=1
  shift
fi
BUILD="$(cd "${1:-build}" 2>/dev/null && pwd)" || {
  die "no build folder ${1:-build}"
}
BASE="$ROOT/tests/data/autopilot-win"

# the game and its content as the build makes them now
build "$BUILD" Felidora content >/dev/null

STAMPED="$(mktemp /tmp/felidora-restamp.XXXXXX)"
OUTPUT="$(mktemp /tmp/felidora-restamp.XXXXXX)"
XVFB_PID=""
cleanup() {
  rm -f "$STAMPED" "$OUTPUT"
  if [ -n "$XVFB_PID" ]; then stop_xvfb; fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
fi

if [ "$record" -eq 1 ]; then
  build "$BUILD" app_tests >/dev/null
  (cd "$BUILD" && FELIDORA_AUTOPILOT_RECORD="$BASE" ./tests/app_tests --gtest_brief=1 \
    --gtest_filter='AutopilotTest.WinsTheWholeGameAndTheScoreFollowsTheComboRule')
  echo "recorded anew: $BASE.rec and $BASE.txt"
fi

# The fingerprint as docs/recording.md describes it, computed by the
# end-to-end harness's own implementation of it.
python3 - "$BUILD" "$BASE.rec" "$STAMPED" <<'EOF'
import sys
sys.path.insert(0, "tests/e2e")
from felidora_e2e import content_fingerprint
build, recording, stamped = sys.argv[1:]
with open(recording, "rb") as f:
    data = f.read()
if data[:8] != b"FELIDREC":
    sys.exit(f"{recording} is no Felidora recording")
with open(stamped, "wb") as f:
    f.write(data[:12] + content_fingerprint(build).to_bytes(8, "little") + data[20:])
EOF

status=0
FELIDORA_REPLAY_DRAW_EVERY=60 FELIDORA_REPLAY="$STAMPED" "$BUILD/Felidora" >"$OUTPUT" 2>/dev/null </dev/null ||
  status=$?
replayed="$(grep '^Wiedergabe: ' "$OUTPUT" | sed 's/^Wiedergabe: //' || true)"
expected="$(cat "$BASE.txt")"
if [ "$status" -ne 0 ] || [ "$replayed" != "$expected" ]; then
  echo "The replay (exit status $status) did not end as the recording did:" >&2
  echo "  replayed: ${replayed:-(no summary)}" >&2
  echo "  recorded: $expected" >&2
  if [ "$record" -eq 0 ]; then
    echo "The recording is left as it was. The game's rules changed: record the win anew with" \
      "scripts/restamp-recording.sh --record" >&2
  fi
  exit 1
fi
cp "$STAMPED" "$BASE.rec"
echo "tests/data/autopilot-win.rec replays with this content to: $expected"
