# Sourced helpers: start and stop a private Xvfb on a free display.
# Usage: source scripts/xvfb.sh; start_xvfb; ...; stop_xvfb

free_display() {
  local n
  for n in $(seq 90 190); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

start_xvfb() {
  # -noreset: without it the server resets whenever its last client leaves,
  # and a test connecting during the reset finds no display
  local n
  n=$(free_display) || { echo "no free X display" >&2; return 1; }
  Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  # the socket appears before the server accepts clients: ask it
  for _ in $(seq 1 100); do
    if [ -e "/tmp/.X11-unix/X$n" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}
