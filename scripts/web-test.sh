#!/usr/bin/env bash
# The browser set: builds the browser game (scripts/build-web.sh), serves it on
# 127.0.0.1 only and plays it through puppeteer-core (tests/web/) as a player
# would: in Chromium headless on SwiftShader, in Chromium headful on ANGLE over
# llvmpipe and in Firefox ESR headful, both on a private Xvfb; the renderer's
# fallbacks forced in Chromium and for real in Firefox; a missing vertex
# shader; a browser without WebGL 2; the settings kept between two visits;
# the recorded win replayed to the Linux summary. Screenshots go to
# the page folder's screenshots/.
#
# Usage: scripts/web-test.sh [PAGE_FOLDER] [--only CASE,CASE...]
#   PAGE_FOLDER: a built page (index.html, the game's .js and .wasm, its data
#   packages) to test instead of building build-web/.
#   CASE: headless, headless-fallbacks, missing-shader, no-webgl2, settings, headful,
#   firefox, replay.
#
# puppeteer-core comes from npm at the version tests/web/package-lock.json
# pins, installed once into ~/.cache/felidora/web-test-node/<key of the lock>/
# (web_node_modules in scripts/common.sh) and reused; the browsers are Debian's.
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
started=$SECONDS

page=""
only=()
while [ $# -gt 0 ]; do
  case "$1" in
    --only)
      only=(--only "${2:?--only needs a list of cases}")
      shift 2
      ;;
    *)
      [ -z "$page" ] || die "one page folder only"
      [ -d "$1" ] || die "no folder $1"
      page="$(cd "$1" && pwd)"
      shift
      ;;
  esac
done
if [ -z "$page" ]; then
  [ -x scripts/build-web.sh ] || die "scripts/build-web.sh is missing: name a built page folder"
  scripts/build-web.sh
  page="$ROOT/build-web"
fi
[ -f "$page/index.html" ] || die "$page holds no index.html"
built=$SECONDS

need_packages chromium firefox-esr nodejs xvfb imagemagick emscripten

modules=$(web_node_modules)
installed=$SECONDS

scratch="$(mktemp -d /tmp/felidora-web-test.XXXXXX)"
trap 'stop_xvfb; stop_web_server; rm -rf "$scratch"' EXIT
mkdir -p "$scratch/site" "$scratch/home"

# The browsers write their profiles, caches and settings here, never into the
# player's own folders.
export HOME="$scratch/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" XDG_DATA_HOME="$HOME/.local/share"
export XDG_RUNTIME_DIR="$HOME/run"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

start_web_server "$scratch/site"
# room for a browser's own frame around the 800 x 600 canvas
start_xvfb 1280x1024

status=0
FELIDORA_WEB_NODE_MODULES="$modules" node "$ROOT/tests/web/web_test.mjs" \
  --page "$page" --site "$scratch/site" --url "http://127.0.0.1:$WEB_PORT" \
  --shots "$page/screenshots" --recording "$ROOT/tests/data/autopilot-win.rec" "${only[@]}" || status=1
echo "Browser set: built in $((built - started)) s, puppeteer-core ready in $((installed - built)) s," \
  "played in $((SECONDS - installed)) s; screenshots in $page/screenshots"
exit $status
