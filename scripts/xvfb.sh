# Sourced helpers: start and stop a private Xvfb on a free display.
# Usage: source scripts/xvfb.sh; start_xvfb; ...; stop_xvfb
#
# Xvfb picks the display itself (-displayfd): it takes the first number whose
# lock it can create and writes that number to the given descriptor once it
# accepts clients, so two scripts starting at the same moment never share one.

start_xvfb() {
  # -noreset: without it the server resets whenever its last client leaves,
  # and a test connecting during the reset finds no display
  local announce n=""
  announce="$(mktemp -u /tmp/felidora-xvfb.XXXXXX)"
  mkfifo "$announce" || return 1
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$announce" >/dev/null 2>&1 &
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
