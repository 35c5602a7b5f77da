#!/usr/bin/env python3
"""Adds up how long the game thread and llvmpipe's rasterizer threads ran
together, from `perf script -F tid,cpu,time,event,trace` of
sched:sched_switch recorded on every processor (CLOCK_MONOTONIC stamps).

A thread runs from a switch to it until the switch away from it. The game
thread is the first to switch out under the program's name; the rasterizers
are named llvmpipe-N. Each stretch of time between two switches counts for
one state: the game thread running or not, and 0, 1 or 2 (or more)
rasterizers running.

Usage: overlap.py LOOP_START LOOP_END FRAMES PROGRAM < perf-script-output
"""
import collections
import re
import sys

HEAD = re.compile(r"\s*\d+\s+\[\d+\]\s+([\d.]+):\s+(\S+):\s*(.*)")
SWITCH = re.compile(r"prev_comm=(.*?) prev_pid=(\d+) .*?==> next_comm=(.*?) next_pid=(\d+)")


def main():
    start, end, frames = float(sys.argv[1]), float(sys.argv[2]), max(int(sys.argv[3]), 1)
    program = sys.argv[4][:15]  # the kernel keeps 15 characters of a name
    game = None
    running = set()
    rasterizers = set()
    last = None
    spent = collections.Counter()
    for line in sys.stdin:
        head = HEAD.match(line)
        if not head or not head.group(2).startswith("sched:sched_switch"):
            continue
        switch = SWITCH.search(head.group(3))
        if not switch:
            continue
        time = float(head.group(1))
        if last is not None and time > start and last < end:
            state = (game in running, min(len(running & rasterizers), 2))
            spent[state] += min(time, end) - max(last, start)
        last = time
        prev_comm, prev, next_comm, following = switch.group(1), int(switch.group(2)), switch.group(3), int(
            switch.group(4))
        if game is None and prev_comm == program:
            game = prev
        for comm, tid in ((prev_comm, prev), (next_comm, following)):
            if comm.startswith("llvmpipe"):
                rasterizers.add(tid)
        running.discard(prev)
        if following:
            running.add(following)

    frame_ms = (end - start) * 1000.0 / frames
    print("Who ran when (%d frames, %.1f ms of wall time per frame), ms per frame:" % (frames, frame_ms))
    names = {0: "no rasterizer", 1: "one rasterizer", 2: "two rasterizers"}
    for game_runs in (True, False):
        for count in (0, 1, 2):
            print("  game thread %-8s %-16s %7.2f" % ("running," if game_runs else "waiting,", names[count],
                                                     spent[(game_runs, count)] * 1000.0 / frames))


if __name__ == "__main__":
    main()
