# shellcheck shell=bash
# What the scripts share; each sources it first:
#   source "$(dirname "${BASH_SOURCE[0]}")/common.sh"      (bench/: .../../scripts/common.sh)
# It turns on strict mode, sets ROOT (the clone) and changes into it, sets JOBS
# and gives: need_packages, configure, build, cpp_folders, content_name,
# web_node_modules, start_web_server, stop_web_server, start_xvfb and stop_xvfb. It prints nothing on standard output.
# Sourced into an interactive shell (source scripts/common.sh && start_xvfb, a
# display for running tests by hand) it leaves the shell's options and folder
# alone.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [[ $- != *i* ]]; then
  set -euo pipefail
  cd "$ROOT"
fi

# One rule for parallel jobs everywhere: FELIDORA_JOBS, else every core.
JOBS="${FELIDORA_JOBS:-$(nproc)}"

# The header that names every content file and folder; CMake reads it too
# (content_name in CMakeLists.txt).
CONTENT_FILES_H="base/ContentFiles.h"

die() {
  echo "$(basename "$0"): $*" >&2
  exit 1
}

# Installs the Debian packages named that are missing; does nothing when all are
# there. Another apt or dpkg at work holds their lock: apt-get waits for it, up
# to APT_LOCK_TIMEOUT seconds (default 900), instead of failing.
need_packages() { # package...
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  # env carries DEBIAN_FRONTEND through sudo, which would otherwise drop it
  local as_root=(env DEBIAN_FRONTEND=noninteractive)
  if [ "$(id -u)" -ne 0 ]; then as_root=(sudo "${as_root[@]}"); fi
  local apt_get=(apt-get -o DPkg::Lock::Timeout="${APT_LOCK_TIMEOUT:-900}")
  "${as_root[@]}" "${apt_get[@]}" update -qq
  "${as_root[@]}" "${apt_get[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# configure BUILD_FOLDER [cmake options...]: a RelWithDebInfo build unless the
# options say otherwise; the environment's CC, CXX and launchers apply.
configure() {
  local folder=$1
  shift
  cmake -S "$ROOT" -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

# build BUILD_FOLDER [target...]: everything when no target is named.
build() {
  local folder=$1
  shift
  if [ $# -gt 0 ]; then
    cmake --build "$folder" -j"$JOBS" --target "$@"
  else
    cmake --build "$folder" -j"$JOBS"
  fi
}

# Every top-level folder that holds C++ sources (build folders and hidden ones
# aside), one a line: the format check covers them all, so a new folder cannot
# be left out of it.
cpp_folders() {
  (cd "$ROOT" && find . -mindepth 1 \( -path './build*' -o -path './.*' \) -prune -o -type f \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print) | cut -d/ -f2 | sort -u
}

# content_name kConstant: the name base/ContentFiles.h gives it, read as CMake
# reads it (one line of its own, constexpr const char* kName = "...";).
content_name() {
  local value
  value=$(sed -n "s/^constexpr const char\\* $1 = \"\\([^\"]*\\)\";\$/\\1/p" "$ROOT/$CONTENT_FILES_H")
  [ -n "$value" ] || die "$CONTENT_FILES_H names no $1 on a line of its own"
  echo "$value"
}

# web_node_modules: installs npm's puppeteer-core at the version
# tests/web/package-lock.json pins into a cache outside the clone, keyed by
# that lock and reused, whole or not at all (npm ci into a fresh folder, then
# renamed), and prints the folder. The browsers are Debian's: nothing else is
# downloaded.
web_node_modules() {
  local lock="$ROOT/tests/web/package-lock.json" modules partial
  modules="${XDG_CACHE_HOME:-$HOME/.cache}/felidora/web-test-node/$(sha256sum "$lock" | cut -c1-16)"
  if [ ! -f "$modules/COMPLETE" ]; then
    echo "Installing puppeteer-core into $modules" >&2
    partial="$modules.partial.$$"
    rm -rf "$partial"
    mkdir -p "$partial"
    cp "$ROOT/tests/web/package.json" "$lock" "$partial/"
    (cd "$partial" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error >&2) || return 1
    rm -rf "$modules"
    mv "$partial" "$modules"
    touch "$modules/COMPLETE"
  fi
  echo "$modules"
}

# start_web_server FOLDER; ...; stop_web_server: serves FOLDER on 127.0.0.1
# only, on a free port the server picks itself; WEB_PORT is set. Debian's
# python: the PATH's python3 may be a slow shim.
start_web_server() { # folder
  local out n
  out="$(mktemp /tmp/felidora-web-server.XXXXXX)"
  /usr/bin/python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$1" >"$out" 2>/dev/null &
  WEB_SERVER_PID=$!
  WEB_PORT=""
  for n in $(seq 100); do
    WEB_PORT=$(sed -n 's/^Serving HTTP on 127\.0\.0\.1 port \([0-9]*\) .*/\1/p' "$out")
    [ -n "$WEB_PORT" ] && break
    kill -0 "$WEB_SERVER_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$out"
  if [ -z "$WEB_PORT" ]; then
    echo "the web server did not start (after ${n} looks)" >&2
    stop_web_server
    return 1
  fi
}

stop_web_server() {
  if [ -n "${WEB_SERVER_PID:-}" ]; then
    kill "$WEB_SERVER_PID" 2>/dev/null || true
    wait "$WEB_SERVER_PID" 2>/dev/null || true
    WEB_SERVER_PID=""
  fi
}

# start_xvfb [WIDTHxHEIGHT]; ...; stop_xvfb: a private Xvfb on a free display,
# DISPLAY set; its screen is 800 x 600 (the game's window) unless named (a
# browser needs room for its own frame around the page).
# Xvfb picks the display itself (-displayfd): it takes the first number whose
# lock it can create and writes that number to the given descriptor once it
# accepts clients, so two scripts starting at the same moment never share one.
start_xvfb() {
  # -noreset: without it the server resets whenever its last client leaves,
  # and a test connecting during the reset finds no display
  local announce n=""
  announce="$(mktemp -u /tmp/felidora-xvfb.XXXXXX)"
  mkfifo "$announce" || return 1
  Xvfb -displayfd 3 -screen 0 "${1:-800x600}x24" -nolisten tcp -noreset 3>"$announce" >/dev/null 2>&1 &
  XVFB_PID=$!
  # returns at the announcement, or empty when the server exits before it
  read -r -t 30 n <"$announce" || true
  rm -f "$announce"
  if [ -z "$n" ]; then
    echo "Xvfb did not start" >&2
    stop_xvfb
    return 1
  fi
  export DISPLAY=":$n"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}
