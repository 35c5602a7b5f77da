#!/usr/bin/env python3
"""End-to-end harness: runs the real Felidora under a private Xvfb, sends real
X key events with xdotool, takes screenshots with ImageMagick and checks the
program's output and exit status.

Usage: felidora_e2e.py --build BUILD_DIR CASE [CASE...]   (or --list)
Each case is a function below whose name starts with case_.
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

GL_ERROR = "Ein GL-Fehler ist aufgetreten!"

# Mesa's softpipe draws a frame in about 2 s where llvmpipe takes 70 ms: an
# Escape is seen only at the start of the frame after the one being drawn.
SOFTPIPE = os.environ.get("GALLIUM_DRIVER") == "softpipe"
ESCAPE_WITHIN = 10.0 if SOFTPIPE else 2.0

# How long the strict-GL case plays (FELIDORA_E2E_PLAY_SECONDS overrides).
PLAY_SECONDS = float(os.environ.get("FELIDORA_E2E_PLAY_SECONDS", "12"))


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Xvfb:
    """A private X server. It picks a free display itself (-displayfd), so
    cases started in parallel never share one."""

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24", "-nolisten", "tcp", "-noreset"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as announced:
            number = announced.readline().strip()  # written once the server accepts clients
        if not number:
            self.proc.kill()
            self.proc.wait()
            raise Failure("Xvfb did not start")
        self.number = int(number)
        self.env = dict(os.environ, DISPLAY=f":{self.number}")
        return self

    def __exit__(self, *exc):
        self.proc.terminate()
        try:
            self.proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


class Game:
    """One run of the real executable in a run folder, on an Xvfb display."""

    def __init__(self, xvfb, run_dir, executable, extra_env=None):
        self.xvfb = xvfb
        self.run_dir = run_dir
        self.output_path = os.path.join(tempfile.mkdtemp(prefix="felidora-e2e-"), "output.txt")
        self.output_file = open(self.output_path, "wb")
        self.started = time.monotonic()
        # no terminal on standard input: a fatal message must not wait for a key
        env = dict(xvfb.env, **(extra_env or {}))
        self.proc = subprocess.Popen([executable], cwd=run_dir, env=env, stdin=subprocess.DEVNULL,
                                     stdout=self.output_file, stderr=subprocess.STDOUT)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.xvfb.env, capture_output=True, text=True)

    def window(self, timeout=30.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            check(self.proc.poll() is None, f"game ended before its window appeared:\n{self.output()}")
            found = self.xdotool("search", "--name", "^Felidora$")
            if found.returncode == 0 and found.stdout.strip():
                return found.stdout.split()[0]
            time.sleep(0.1)
        raise Failure("no Felidora window")

    def first_frame(self, timeout=60.0):
        """Waits until the game has drawn its first frame: the window opens
        before the level is built, and the screen stays black until then."""
        self.window()
        probe = os.path.join(os.path.dirname(self.output_path), "probe.png")
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            check(self.proc.poll() is None, f"game ended before its first frame:\n{self.output()}")
            self.screenshot(probe)
            if image_stats(probe)[1] > 0.02:
                return
            time.sleep(0.25)
        raise Failure("no frame drawn")

    def key(self, *names):
        self.xdotool("key", *names)

    def key_down(self, *names):
        self.xdotool("keydown", *names)

    def key_up(self, *names):
        self.xdotool("keyup", *names)

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["import", "-window", "root", path], env=self.xvfb.env, check=True)
        return path

    def wait(self, timeout):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()

    def output(self):
        self.output_file.flush()
        with open(self.output_path, "rb") as f:
            return f.read().decode("utf-8", "replace")


class Harness:
    def __init__(self, build_dir):
        self.build_dir = os.path.abspath(build_dir)
        self.executable = os.path.join(self.build_dir, "Felidora")
        self.screenshots = os.path.join(self.build_dir, "screenshots")

    def run_folder_copy(self):
        """A private copy of the run folder that a case may damage."""
        target = tempfile.mkdtemp(prefix="felidora-run-")
        for name in ("Shader", "Modelle", "Bilder", "Videos"):
            source = os.path.join(self.build_dir, name)
            if os.path.isdir(source):
                shutil.copytree(source, os.path.join(target, name))
        return target


def expect_exit(game, status, within, what):
    code = game.wait(within)
    if code is None:
        game.kill()
        raise Failure(f"{what}: still running {within} s later\n{game.output()}")
    check(code == status, f"{what}: exit status {code}, expected {status}\n{game.output()}")


# --- cases -------------------------------------------------------------------

def case_escape_quits(h):
    """Left alone for 3 s, then Escape: exit 0 within 2 s, no GL error."""
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable)
        try:
            game.first_frame()
            time.sleep(3)
            check(game.proc.poll() is None, f"game ended on its own:\n{game.output()}")
            game.screenshot(os.path.join(h.screenshots, "escape-before.png"))
            game.key("Escape")
            expect_exit(game, 0, ESCAPE_WITHIN, "Escape")
        finally:
            game.kill()
        check(GL_ERROR not in game.output(), f"GL error reported:\n{game.output()}")


def play(game, seconds):
    """Turns, climbs, fires (taps and a held super shot), boosts, brakes and
    presses every function key, F3 and F9 twice so the picture ends as it
    began; then keeps turning until `seconds` have passed."""
    end = time.monotonic() + seconds

    def hold(key, how_long):
        game.key_down(key)
        time.sleep(how_long)
        game.key_up(key)

    hold("Left", 1.0)
    hold("Down", 0.8)  # Down climbs, away from the ground
    for key in ("space", "f", "space"):
        game.key(key)
        time.sleep(0.2)
    hold("space", 3.4)  # charged: a super shot on release
    hold("Right", 1.0)
    hold("s", 1.0)
    hold("a", 1.0)
    for key in ("F1", "F2", "F3", "F3", "F4", "F5", "F5", "F8", "F9", "F9", "F2", "F4", "F5", "F8"):
        game.key(key)
        time.sleep(0.3)
    turn = "Left"
    while time.monotonic() < end:
        hold(turn, min(1.0, max(0.0, end - time.monotonic())))
        game.key("space")
        turn = "Right" if turn == "Left" else "Left"


def case_gl_debug_play(h):
    """With FELIDORA_GL_DEBUG=1: a debug context, yet a round of play with
    every key prints nothing at all; Escape ends it with 0."""
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable, {"FELIDORA_GL_DEBUG": "1"})
        try:
            game.first_frame()
            play(game, PLAY_SECONDS)
            check(game.proc.poll() is None, f"game ended on its own:\n{game.output()}")
            game.key("Escape")
            expect_exit(game, 0, ESCAPE_WITHIN, "Escape")
        finally:
            game.kill()
        check(game.output() == "", f"output was {game.output()!r}")


def case_window_close(h):
    """The window system closes the window: exit status 0."""
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable)
        try:
            window = game.window()
            time.sleep(1)
            subprocess.run([os.path.join(h.build_dir, "tests", "WindowClose"), window], env=x.env, check=True)
            expect_exit(game, 0, 5.0, "window close")
        finally:
            game.kill()
        check(GL_ERROR not in game.output(), f"GL error reported:\n{game.output()}")


def case_missing_vertex_shader(h):
    """Without Shader/OurVertexShader.vert: exactly its message, status 255, no hang."""
    run = h.run_folder_copy()
    os.remove(os.path.join(run, "Shader", "OurVertexShader.vert"))
    with Xvfb() as x:
        game = Game(x, run, h.executable)
        try:
            expect_exit(game, 255, 20.0, "missing shader")
        finally:
            game.kill()
        expected = "Die Shader-Datei konnte nicht geoeffnet werden: Shader/OurVertexShader.vert\n"
        check(game.output() == expected, f"output was {game.output()!r}")


def case_broken_fragment_shader(h):
    """A syntax error: the compile message, then the driver's log line."""
    run = h.run_folder_copy()
    with open(os.path.join(run, "Shader", "ShadowMap.frag"), "a") as f:
        f.write("\nthis is not glsl\n")
    with Xvfb() as x:
        game = Game(x, run, h.executable)
        try:
            expect_exit(game, 255, 20.0, "broken shader")
        finally:
            game.kill()
        lines = game.output().split("\n")
        check(lines[0] == "Der Shader konnte nicht kompiliert werden.", f"output was {game.output()!r}")
        check(len(lines) >= 2 and "error" in lines[1].lower(), f"no driver log line in {game.output()!r}")


def image_stats(path, crop=None):
    """Mean and standard deviation of an image (or a crop WxH+X+Y of it), 0..1."""
    args = ["convert", path]
    if crop:
        args += ["-crop", crop, "+repage"]
    args += ["-colorspace", "RGB", "-format", "%[fx:mean] %[fx:standard_deviation]", "info:"]
    out = subprocess.run(args, capture_output=True, text=True, check=True).stdout.split()
    return float(out[0]), float(out[1])


def difference(a, b, crop=None):
    """Mean absolute difference of two screenshots (or of a crop), 0..1."""
    args = ["convert", a, b]
    if crop:
        args = ["convert", a, "-crop", crop, "+repage", b, "-crop", crop, "+repage"]
    args += ["-compose", "difference", "-composite", "-colorspace", "gray", "-format", "%[fx:mean]", "info:"]
    return float(subprocess.run(args, capture_output=True, text=True, check=True).stdout)


# The monitor sits at the lower left of the view; its screen shows the clip in
# the middle and the statistics row along its top edge.
MONITOR_SCREEN = "230x300+130+260"
MONITOR_CLIP = "150x110+150+355"
MONITOR_STATS_ROW = "230x40+130+285"


def case_world_on_screen(h):
    """After 3 s the picture shows the world and the monitor playing its clip."""
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable)
        try:
            game.first_frame()
            time.sleep(3)
            first = game.screenshot(os.path.join(h.screenshots, "start.png"))
            time.sleep(1)
            second = game.screenshot(os.path.join(h.screenshots, "start-1s-later.png"))
            game.key("Escape")
            expect_exit(game, 0, 5.0, "Escape")
        finally:
            game.kill()
        mean, spread = image_stats(first)
        check(spread > 0.08, f"the picture is nearly uniform (deviation {spread:.3f})")
        # the upper half is landscape and water, not the clear colour
        _, upper = image_stats(first, "800x250+0+0")
        check(upper > 0.05, f"no landscape in the upper half (deviation {upper:.3f})")
        _, screen = image_stats(first, MONITOR_SCREEN)
        check(screen > 0.08, f"the monitor's screen is blank (deviation {screen:.3f})")
        moved = difference(first, second, MONITOR_CLIP)
        check(moved > 0.01, f"the clip does not play ({moved:.4f})")
        check(GL_ERROR not in game.output(), f"GL error reported:\n{game.output()}")


def case_statistics_row(h):
    """F2 shows the statistics row on the monitor."""
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable)
        try:
            game.first_frame()
            time.sleep(3)
            before = game.screenshot(os.path.join(h.screenshots, "stats-off.png"))
            game.key("F2")
            time.sleep(1.5)
            after = game.screenshot(os.path.join(h.screenshots, "stats-on.png"))
            game.key("Escape")
            expect_exit(game, 0, 5.0, "Escape")
        finally:
            game.kill()
        changed = difference(before, after, MONITOR_STATS_ROW)
        check(changed > 0.02, f"the statistics row did not appear ({changed:.4f})")
        check(GL_ERROR not in game.output(), f"GL error reported:\n{game.output()}")


def case_tutorial_clip(h):
    """F1 replaces the cat clip with the tutorial."""
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable)
        try:
            game.first_frame()
            time.sleep(3)
            cat = game.screenshot(os.path.join(h.screenshots, "clip-default.png"))
            game.key("F1")
            time.sleep(2)
            tutorial = game.screenshot(os.path.join(h.screenshots, "clip-tutorial.png"))
            game.key("Escape")
            expect_exit(game, 0, 5.0, "Escape")
        finally:
            game.kill()
        cat_mean, _ = image_stats(cat, MONITOR_CLIP)
        tutorial_mean, _ = image_stats(tutorial, MONITOR_CLIP)
        changed = difference(cat, tutorial, MONITOR_CLIP)
        check(changed > 0.08, f"the clip did not change ({changed:.4f}, means {cat_mean:.3f} -> {tutorial_mean:.3f})")
        check(GL_ERROR not in game.output(), f"GL error reported:\n{game.output()}")


def case_crash_into_ground(h):
    """Steered into the ground the player loses; the game-over clip ends the game."""
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable)
        try:
            game.window()
            game.key_down("Up")  # Up descends
            code = game.wait(150.0)
            game.key_up("Up")
            if code is None:
                game.screenshot(os.path.join(h.screenshots, "crash-timeout.png"))
                game.kill()
                raise Failure(f"still running after 150 s:\n{game.output()}")
            check(code == 0, f"exit status {code}\n{game.output()}")
        finally:
            game.kill()
        check(GL_ERROR not in game.output(), f"GL error reported:\n{game.output()}")


def main():
    cases = {name[5:]: fn for name, fn in globals().items() if name.startswith("case_")}
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "..", "build"))
    parser.add_argument("--list", action="store_true")
    parser.add_argument("cases", nargs="*")
    args = parser.parse_args()
    if args.list:
        print("\n".join(cases))
        return 0
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
