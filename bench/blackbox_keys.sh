# shellcheck shell=bash
# The X key scripts that play the whole game in the black-box benchmarks
# (bench/blackbox_ab.sh, bench/fight_memory.sh), by the clock. Each plays from
# the game's start for a given number of seconds and then lets go of every
# key, so that every run of a script ends at the same moment whatever the
# frame rate.
#
#   flight: turning both ways, climbing and descending, a shot now and then;
#   fight:  as a player fights: turn and dive towards the enemies, then fire
#           every half second while turning, with five seconds of climbing in
#           the middle, and a super shot (the fire key held three seconds)
#           before turning back and diving again.

# One round of the flight.
flight_round() {
  xdotool keydown Left sleep 1.5 keyup Left key space sleep 0.3 \
    keydown Down sleep 1.0 keyup Down key space sleep 0.3 \
    keydown Right sleep 1.5 keyup Right key f sleep 0.3 \
    keydown Up sleep 0.8 keyup Up sleep 0.3
}

# n shots, one every half second.
fire_every_half_second() { # n
  local i
  for ((i = 0; i < $1; ++i)); do
    xdotool key space sleep 0.5
  done
}

# One round of the fight: 16 s of fire (turning left at first, climbing in
# the middle 5 s, turning right at the end), a 3.2 s super shot, then back down.
fight_round() {
  xdotool keydown Left
  fire_every_half_second 3
  xdotool keyup Left
  fire_every_half_second 8
  xdotool keydown Down
  fire_every_half_second 10
  xdotool keyup Down
  fire_every_half_second 8
  xdotool keydown Right
  fire_every_half_second 3
  xdotool keyup Right
  xdotool keydown space sleep 3.2 keyup space
  xdotool keydown Right sleep 1.0 keyup Right keydown Up sleep 1.5 keyup Up
}

fight_keys() {
  xdotool keydown Right sleep 1.5 keyup Right keydown Up sleep 2.0 keyup Up
  while true; do fight_round; done
}

flight_keys() {
  while true; do flight_round; done
}

# play_keys SCRIPT SECONDS: waits 1.5 s for the window, plays the script until
# SECONDS have passed since the call, then lets go of every key.
play_keys() { # flight|fight seconds
  local script=$1 seconds=$2
  sleep 1.5
  # in a process group of its own, so that ending it ends the xdotool at work
  export -f flight_round fire_every_half_second fight_round fight_keys flight_keys
  setsid bash -c "${script}_keys" 2>/dev/null &
  local keys=$!
  sleep "$(awk -v s="$seconds" 'BEGIN{print s - 1.5}')"
  kill -- "-$keys" 2>/dev/null || true
  wait "$keys" 2>/dev/null || true
  xdotool keyup space keyup f keyup Left keyup Right keyup Up keyup Down 2>/dev/null || true
}
