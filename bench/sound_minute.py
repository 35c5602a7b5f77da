#!/usr/bin/env python3
"""A played minute of the real game written to a WAV file by OpenAL Soft's
wave-file device, then its loudness second by second (measured with sox)
beside the keys pressed in that second.

Usage: bench/sound_minute.py BUILD_DIR [OUT.wav]   (needs Xvfb, xdotool, sox)

The file starts when the game opens its device (just before the first frame)
and ends when it closes it (after Escape); the key times are placed on the
file's clock from its end.
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import felidora_e2e as e2e  # noqa: E402

# (second of play, key, held seconds): taps, a held super shot, boost, brake,
# turns towards the enemies, then M twice.
SCRIPT = [(1, "space", 0), (2, "space", 0), (3, "space", 0), (5, "space", 3.5), (10, "s", 1.5), (14, "a", 1.5),
          (18, "Left", 4.0), (23, "space", 0), (24, "space", 0), (25, "space", 0), (27, "Down", 2.0),
          (30, "m", 0), (38, "space", 0), (40, "m", 0), (42, "space", 0), (43, "space", 0), (45, "Right", 5.0),
          (51, "space", 0), (52, "space", 0), (53, "space", 0), (55, "space", 0), (57, "space", 0)]
SECONDS = 60


def stats(path, start, length):
    run = subprocess.run(["sox", path, "-n", "trim", str(start), str(length), "stats"], capture_output=True, text=True)
    values = {}
    for line in run.stderr.splitlines():
        parts = line.split()
        if line.startswith("RMS lev dB"):
            values["rms"] = parts[3]
        elif line.startswith("Pk lev dB"):
            values["peak"] = parts[3]
    return values.get("rms", "?"), values.get("peak", "?")


def main():
    build = os.path.abspath(sys.argv[1])
    folder = tempfile.mkdtemp(prefix="felidora-minute-")
    path = sys.argv[2] if len(sys.argv) > 2 else os.path.join(folder, "minute.wav")
    env = e2e.wave_device(folder, os.path.abspath(path))
    pressed = []
    with e2e.Xvfb() as x:
        game = e2e.Game(x, build, os.path.join(build, "Felidora"), env)
        try:
            game.first_frame()
            start = time.monotonic()
            for second, key, held in SCRIPT:
                time.sleep(max(0.0, start + second - time.monotonic()))
                pressed.append((time.monotonic(), key, held))
                if held:
                    game.key_down(key)
                    time.sleep(held)
                    game.key_up(key)
                else:
                    game.key(key)
            time.sleep(max(0.0, start + SECONDS - time.monotonic()))
            game.key("Escape")
            code = game.wait(10)
            closed = time.monotonic()
        finally:
            game.kill()
    rate, channels, samples = e2e.read_wav16(path)
    duration = len(samples) / channels / rate
    opened = closed - duration
    print(f"{path}: {duration:.1f} s, exit status {code}, output {game.output()!r}")
    print("| second | RMS dB | peak dB | keys |")
    print("|---|---|---|---|")
    for s in range(int(duration)):
        keys = [f"{k}" + (f" (held {h:g} s)" if h else "") for t, k, h in pressed if s <= t - opened < s + 1]
        rms, peak = stats(path, s, 1)
        print(f"| {s} | {rms} | {peak} | {', '.join(keys)} |")


if __name__ == "__main__":
    main()
