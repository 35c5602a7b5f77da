#!/usr/bin/env python3
"""Adds up how long the game thread waited, and where.

Reads `perf script -F tid,time,trace,ip,sym,dso` of sched:sched_switch events
with call chains (stamped with CLOCK_MONOTONIC, recorded on every processor)
from standard input. The game thread is the first to switch out under the
program's name (its other threads start later or are renamed). Each
time it is switched out while not runnable (it went to sleep: a futex, a
poll), the time until it is switched in again counts against the game's own
calls on its chain at that moment: the three innermost frames of the game's
binary, leaving out the drawing helpers that only pass a call on. Time it
was switched out while still runnable (another thread took its processor)
is reported apart.

Usage: off_cpu.py LOOP_START LOOP_END FRAMES PROGRAM < perf-script-output
"""
import collections
import re
import sys

from perf_chains import records

SWITCH = re.compile(r"prev_comm=(.*?) prev_pid=(\d+) .*?prev_state=(\S+) ==> next_comm=.*? next_pid=(\d+)")
HELPERS = ("SceneObject::drawMesh", "(anonymous namespace)::drawTiles", "drawTiles")


def switches(lines):
    """Yields (time, prev_comm, prev_tid, prev_state, next_tid, chain) per switch."""
    for head, chain in records(lines):
        time = re.match(r"\s*\d+\s+([\d.]+):", head)
        switch = SWITCH.search(head)
        if time and switch:
            yield (float(time.group(1)), switch.group(1), int(switch.group(2)), switch.group(3),
                   int(switch.group(4)), chain)


def our_calls(chain, binary):
    calls = [symbol.split("(")[0] for symbol, dso in chain
             if dso.endswith("/" + binary) and not symbol.startswith(HELPERS)]
    return " <- ".join(calls[:3]) or "(outside the game's code)"


def main():
    start, end, frames = float(sys.argv[1]), float(sys.argv[2]), max(int(sys.argv[3]), 1)
    binary = sys.argv[4]
    game = None
    asleep = None  # (since, where)
    waited = collections.Counter()
    times = collections.Counter()
    preempted = 0.0
    preempted_since = None
    for time, comm, prev, state, following, chain in switches(sys.stdin):
        if game is None and comm == binary[:15]:  # the kernel keeps 15 characters of a name
            game = prev
        if prev == game:
            if state.startswith("R"):
                preempted_since = time
            else:
                asleep = (time, our_calls(chain, binary))
        elif following == game:
            if asleep and start <= asleep[0] <= end:
                waited[asleep[1]] += time - asleep[0]
                times[asleep[1]] += 1
            if preempted_since is not None and start <= preempted_since <= end:
                preempted += time - preempted_since
            asleep, preempted_since = None, None

    total = sum(waited.values())
    frame_ms = (end - start) * 1000.0 / frames
    print("The game thread's waits (%d frames, %.1f ms of wall time per frame):" % (frames, frame_ms))
    print("  asleep           %7.2f ms per frame" % (total * 1000.0 / frames))
    print("  made to wait     %7.2f ms per frame (runnable, another thread on its processor)"
          % (preempted * 1000.0 / frames))
    print("  asleep in (the game's innermost calls; ms per frame, times per frame):")
    for where, seconds in waited.most_common(12):
        print("    %7.2f ms %6.1f  %s" % (seconds * 1000.0 / frames, times[where] / frames, where))


if __name__ == "__main__":
    main()
