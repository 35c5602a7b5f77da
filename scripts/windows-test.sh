#!/usr/bin/env bash
# The Windows set: builds the Windows game and its zip (scripts/build-windows.sh),
# unzips it into an empty folder and plays it there under Wine, headless, on
# private Xvfb displays: start and Escape, the scene on screen (started from
# another folder), a missing vertex shader, a damaged clip, the recorded
# win replayed to its end, and a control rebound on the options screen (kept
# in %APPDATA%). Standard input is /dev/null throughout.
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
started=$SECONDS

scripts/build-windows.sh
zip=$(ls build-windows/Felidora-*-windows-x64.zip)
unpacked="$ROOT/build-windows/unpacked"
rm -rf "$unpacked"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
game=$(ls -d "$unpacked"/Felidora-*-windows-x64)
prefix="$ROOT/build-windows/wine-prefix"
built=$SECONDS

status=0
python3 tests/e2e/felidora_e2e.py --build "$game" --wine "$prefix" \
  escape_quits world_on_screen missing_vertex_shader recorded_win options_rebind_fire </dev/null || status=1
python3 tests/e2e/bad_content_e2e.py --build "$game" --wine "$prefix" random_default_clip </dev/null || status=1
echo "Windows set: built in $((built - started)) s, played under Wine in $((SECONDS - built)) s"
exit $status
