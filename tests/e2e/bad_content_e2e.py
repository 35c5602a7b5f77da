#!/usr/bin/env python3
"""End-to-end cases on damaged content: the real Felidora started in a copy of
its run folder in which one file is damaged. The game either plays on as
designed or stops with its message and status 255; it never hangs.

Usage: bad_content_e2e.py --build BUILD_DIR CASE [CASE...]   (or --list)
--wine PREFIX runs the Windows game in BUILD_DIR with Wine (see felidora_e2e.py).
"""
import argparse
import contextlib
import os
import random
import shutil
import struct
import sys
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import felidora_e2e  # noqa: E402
from felidora_e2e import Failure, Game, GL_ERROR, Harness, Xvfb, check, expect_exit  # noqa: E402


def truncate(path):
    with open(path, "rb") as f:
        data = f.read()
    with open(path, "wb") as f:
        f.write(data[:len(data) // 2])


def random_bytes(path, seed):
    size = os.path.getsize(path)
    with open(path, "wb") as f:
        f.write(random.Random(seed).randbytes(size))


def solid_png(path, width, height, rgba):
    """A valid RGBA PNG of one colour."""
    row = b"\x00" + bytes(rgba) * width

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(row * height)))
        f.write(chunk(b"IEND", b""))


@contextlib.contextmanager
def run_folder(h):
    """A private copy of the run folder, removed afterwards."""
    run = h.run_folder_copy()
    try:
        yield run
    finally:
        shutil.rmtree(run, ignore_errors=True)


def start_game(x, run, h, extra_env=None):
    """The game in the run folder. In a sanitizer build FELIDORA_GAME_PRELOAD
    names what the game alone must preload; Xvfb, xdotool and ImageMagick run
    without it."""
    env = dict(extra_env or {})
    preload = os.environ.get("FELIDORA_GAME_PRELOAD")
    if preload:
        env["LD_PRELOAD"] = preload
    return Game(x, run, os.path.join(run, h.executable_name), env)


def play_then_escape(h, run, seconds=3.0, until=None, extra_env=None):
    """Starts the game in the run folder, lets it play for some seconds (and
    then until its output satisfies `until`), presses Escape; returns its
    output. Exit status 0 and no GL error are required."""
    with Xvfb() as x:
        game = start_game(x, run, h, extra_env)
        try:
            game.window()
            time.sleep(seconds)
            deadline = time.monotonic() + 60.0
            while until and not until(game.output()) and time.monotonic() < deadline:
                check(game.proc.poll() is None, f"game ended on its own:\n{game.output()}")
                time.sleep(0.2)
            check(game.proc.poll() is None, f"game ended on its own:\n{game.output()}")
            game.key("Escape")
            # generous: a sanitizer build on a busy machine takes seconds per frame and to exit
            expect_exit(game, 0, 30.0, "Escape")
        finally:
            game.kill()
    output = game.output()
    check(GL_ERROR not in output, f"GL error reported:\n{output}")
    return output


def stop_with_status_255(h, run, within=30.0):
    """Starts the game in the run folder and waits for it to stop with -1."""
    with Xvfb() as x:
        game = start_game(x, run, h)
        try:
            expect_exit(game, 255, within, "damaged content")
        finally:
            game.kill()
    return game.output()


# --- cases -------------------------------------------------------------------

def case_truncated_landscape(h):
    """The landscape cut in half: the importer's message, the game flies on
    over no ground, Escape ends it with 0. With FELIDORA_GL_DEBUG=1 the driver
    and the program checks find nothing to say either: without the landscape
    the lit program's samplers still read units of their own."""
    with run_folder(h) as run:
        truncate(os.path.join(run, "Modelle", "UmgebungGross.dae"))
        output = play_then_escape(h, run, extra_env={"FELIDORA_GL_DEBUG": "1"})
    check(output == "Unable to read file, malformed XML\n", f"output was {output!r}")


def case_random_default_clip(h):
    """Random bytes for the default clip: its message once per frame, as the
    game retries it, and the game plays on."""
    message = "could not open Videos/Katzenvideo.mpg"
    with run_folder(h) as run:
        random_bytes(os.path.join(run, "Videos", "Katzenvideo.mpg"), 8)
        output = play_then_escape(h, run, until=lambda text: text.splitlines().count(message) >= 5)
    repeats = output.splitlines().count(message)
    check(repeats >= 5, f"{message!r} came only {repeats} times:\n{output[:2000]}")
    check(all(line == message for line in output.splitlines()), f"other output:\n{output[:2000]}")


def case_empty_monitor_model(h):
    """An empty Monitor.dae brings no screen light: the importer's message,
    then the game's, and status 255."""
    with run_folder(h) as run:
        open(os.path.join(run, "Modelle", "Monitor.dae"), "wb").close()
        output = stop_with_status_255(h, run)
    expected = "Unable to read file, malformed XML\nDas Monitor-Modell enthaelt kein Licht!\n"
    check(output == expected, f"output was {output!r}")


def case_wrong_size_status_image(h):
    """The health image shown at the start replaced by a 64 x 64 PNG: the
    element is skipped, the game plays on and says nothing."""
    with run_folder(h) as run:
        solid_png(os.path.join(run, "Bilder", "WuerfelGross6.png"), 64, 64, (1, 254, 3, 255))
        output = play_then_escape(h, run)
    check(output == "", f"output was {output!r}")


def case_random_bytes_shader(h):
    """Random bytes for the lit fragment stage: the compile message and the
    driver's log, status 255."""
    with run_folder(h) as run:
        random_bytes(os.path.join(run, "Shader", "OurFragmentShader.frag"), 8)
        output = stop_with_status_255(h, run)
    lines = output.split("\n")
    check(lines[0] == "Der Shader konnte nicht kompiliert werden.", f"output was {output!r}")
    check(len(lines) >= 2 and "error" in lines[1].lower(), f"no driver log line in {output!r}")


def main():
    cases = {name[5:]: fn for name, fn in globals().items() if name.startswith("case_")}
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "..", "build"))
    parser.add_argument("--wine", metavar="PREFIX", help="run the Windows game in BUILD with Wine, in this prefix")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("cases", nargs="*")
    args = parser.parse_args()
    if args.list:
        print("\n".join(cases))
        return 0
    if args.wine:
        felidora_e2e.WINE = felidora_e2e.wine_environment(args.wine)
        felidora_e2e.prepare_wine_prefix()
    harness = Harness(args.build)
    failed = 0
    for name in args.cases or cases:
        start = time.monotonic()
        try:
            cases[name](harness)
            print(f"PASS {name} ({time.monotonic() - start:.1f} s)")
        except Failure as failure:
            failed += 1
            print(f"FAIL {name}: {failure}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
