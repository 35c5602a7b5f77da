#!/usr/bin/env python3
"""Splits the frame loop's processor time between our code and GL.

Reads `perf script -F comm,tid,time,ip,sym,dso` from standard input (samples
with call chains, stamped with CLOCK_MONOTONIC) and keeps the samples taken
between the two loop times. A sample of the game's thread counts as GL and
driver when any frame of its chain lies in the GL libraries or the driver
(llvmpipe and the shader code it compiled, which perf names perf-PID.map);
every other sample counts as ours: the game, and what it calls itself
(FFmpeg, libc, libstdc++, the kernel on its behalf). Where a chain is cut
short, that errs towards ours.

It also names the largest leaf functions of the game thread's GL work and of
llvmpipe's rasterizer threads (the JIT-compiled shaders show as perf-PID.map
or [JIT] where perf has no names for them).

Usage: own_share.py LOOP_START LOOP_END FRAMES FREQUENCY < perf-script-output
"""
import collections
import re
import sys

from perf_chains import records

DRIVER = re.compile(r"swrast_dri|perf-\d+\.map|libgallium|libLLVM|\[JIT\]|libGLX|libglapi|libGLdispatch|libGL\.so|libEGL")


def samples(lines):
    """Yields (comm, tid, time, [(symbol, dso), ...]) per sample."""
    for head, chain in records(lines):
        match = re.match(r"(.+?)\s+(\d+)\s+([\d.]+):", head)
        if match:
            yield match.group(1), int(match.group(2)), float(match.group(3)), chain


def main():
    start, end, frames, frequency = float(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
    per_thread = collections.Counter()
    ours, driver = 0, 0
    our_symbols = collections.Counter()
    driver_symbols = collections.Counter()
    raster_symbols = collections.Counter()
    raster = 0
    game_tid = None
    for comm, tid, time, chain in samples(sys.stdin):
        if not start <= time <= end:
            continue
        per_thread[comm] += 1
        if not comm.startswith("llvmpipe") and game_tid is None:
            game_tid = tid
        leaf = "%s (%s)" % ((chain[0][0], chain[0][1].rsplit("/", 1)[-1]) if chain else ("?", "?"))
        if comm.startswith("llvmpipe"):
            raster += 1
            raster_symbols[leaf] += 1
        if tid != game_tid:
            continue
        if any(DRIVER.search(dso) for _, dso in chain):
            driver += 1
            driver_symbols[leaf] += 1
        else:
            ours += 1
            symbol, dso = chain[0] if chain else ("?", "?")
            our_symbols["%s (%s)" % (symbol, dso.rsplit("/", 1)[-1])] += 1

    loop_ms = (end - start) * 1000.0
    frame_ms = loop_ms / max(frames, 1)
    ours_ms = ours / frequency * 1000.0 / max(frames, 1)
    driver_ms = driver / frequency * 1000.0 / max(frames, 1)
    print("Processor time of the frame loop (%d frames, %.1f ms of wall time per frame):" % (frames, frame_ms))
    print("  game thread, our code        %7.2f ms per frame  %5.2f %% of the frame time" % (ours_ms, 100 * ours_ms / frame_ms))
    print("  game thread, GL and driver   %7.2f ms per frame  %5.2f %%" % (driver_ms, 100 * driver_ms / frame_ms))
    for comm, count in sorted(per_thread.items()):
        if comm.startswith("llvmpipe"):
            print("  driver thread %-14s %7.2f ms per frame" % (comm, count / frequency * 1000.0 / max(frames, 1)))
    print("  our code's largest entries (leaf function, share of our samples):")
    for name, count in our_symbols.most_common(8):
        print("    %5.1f %%  %s" % (100.0 * count / max(ours, 1), name))
    print("  GL and driver on the game thread, largest entries (leaf function, share of those samples):")
    for name, count in driver_symbols.most_common(10):
        print("    %5.1f %%  %s" % (100.0 * count / max(driver, 1), name))
    print("  llvmpipe's threads, largest entries (leaf function, share of their samples):")
    for name, count in raster_symbols.most_common(14):
        print("    %5.1f %%  %s" % (100.0 * count / max(raster, 1), name))


if __name__ == "__main__":
    main()
