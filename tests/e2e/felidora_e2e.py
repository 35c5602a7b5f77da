#!/usr/bin/env python3
"""End-to-end harness: runs the real Felidora under a private Xvfb, sends real
X key events with xdotool, takes screenshots with ImageMagick and checks the
program's output and exit status.

Usage: felidora_e2e.py --build BUILD_DIR CASE [CASE...]   (or --list)
Each case is a function below whose name starts with case_.

With --wine the build folder holds the Windows game (Felidora.exe and its
content, e.g. the unzipped package): every game is started with Wine, in its
own prefix (--wine names the prefix folder), headless and quiet.
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
LIVES_MESSAGE = "Fehler! Lebensanzahl hat einen ungueltigen Wert: "
NO_SOUND_DEVICE = "Kein Tonausgabegeraet gefunden: das Spiel bleibt stumm."
SOUND_DEVICE_LOST = "Das Tonausgabegeraet ist verloren gegangen: das Spiel spielt stumm weiter."

# Mesa's softpipe draws a frame in about 2 s where llvmpipe takes 70 ms: an
# Escape is seen only at the start of the frame after the one being drawn.
SOFTPIPE = os.environ.get("GALLIUM_DRIVER") == "softpipe"
ESCAPE_WITHIN = 10.0 if SOFTPIPE else 2.0
# The dive into the ground and the game-over clip, which shows one picture a
# frame: a few minutes at softpipe's pace.
CRASH_WITHIN = 780.0 if SOFTPIPE else 150.0

# How long the strict-GL case plays (FELIDORA_E2E_PLAY_SECONDS overrides).
PLAY_SECONDS = float(os.environ.get("FELIDORA_E2E_PLAY_SECONDS", "12"))


# Set by --wine: the environment every Windows game runs in.
WINE = None
WINE64 = "/usr/lib/wine/wine64"


def wine_environment(prefix):
    return {"WINEPREFIX": os.path.abspath(prefix), "WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}


def wine_settings_folder():
    """%APPDATA%\\Felidora of the prefix's user."""
    users = os.path.join(WINE["WINEPREFIX"], "drive_c", "users")
    user = next((u for u in sorted(os.listdir(users)) if u != "Public"), "root") if os.path.isdir(users) else "root"
    return os.path.join(users, user, "AppData", "Roaming", "Felidora")


def stop_wine():
    """Ends what is left of Wine in our prefix (its desktop process lives on
    for seconds after the game and would outlive the display)."""
    if WINE:
        env = dict(os.environ, **WINE)
        subprocess.run(["wineserver", "-k"], env=env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, stderr=subprocess.DEVNULL)


def prepare_wine_prefix():
    """A new prefix takes Wine about 18 s to lay out: done once before the
    cases, so none of them waits for it."""
    if os.path.exists(os.path.join(WINE["WINEPREFIX"], "system.reg")):
        return
    started = time.monotonic()
    with Xvfb() as x:
        subprocess.run([WINE64, "wineboot", "--init"], env=dict(x.env, **WINE), stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
    print(f"Wine prefix {WINE['WINEPREFIX']} made in {time.monotonic() - started:.1f} s")


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


class Xvfb:
    """A private X server. It picks a free display itself (-displayfd), so
    cases started in parallel never share one."""

    def __init__(self, size="800x600"):
        self.size = size

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{self.size}x24", "-nolisten", "tcp", "-noreset"],
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
        stop_wine()
        self.proc.terminate()
        try:
            self.proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


class Game:
    """One run of the real executable in a run folder, on an Xvfb display."""

    def __init__(self, xvfb, run_dir, executable, env=None):
        """run_dir is the working directory the game is started from; env adds
        to the display's environment. Sound goes to OpenAL Soft's silent null
        device unless env names another (a machine without a sound card would
        otherwise add its one line of output to every case)."""
        self.xvfb = xvfb
        self.run_dir = run_dir
        self.output_path = os.path.join(tempfile.mkdtemp(prefix="felidora-e2e-"), "output.txt")
        self.output_file = open(self.output_path, "wb")
        self.started = time.monotonic()
        command = [executable]
        env = dict(env or {})
        # the player's settings of every run start empty unless a case shares them
        self.config_dir = env.setdefault("XDG_CONFIG_HOME", tempfile.mkdtemp(prefix="felidora-config-"))
        if executable.endswith(".exe"):
            command = [WINE64, executable]
            env.update(WINE)
            if not env.pop("FELIDORA_E2E_KEEP_SETTINGS", None):
                shutil.rmtree(wine_settings_folder(), ignore_errors=True)
        # no terminal on standard input: a fatal message must not wait for a key
        self.proc = subprocess.Popen(command, cwd=run_dir, env={**xvfb.env, "ALSOFT_DRIVERS": "null", **env},
                                     stdin=subprocess.DEVNULL,
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
    def __init__(self, build_dir, cmake="cmake"):
        self.build_dir = os.path.abspath(build_dir)
        self.cmake = cmake
        self.executable = os.path.join(self.build_dir, "Felidora.exe" if WINE else "Felidora")
        self.executable_name = os.path.basename(self.executable)
        self.screenshots = os.path.join(self.build_dir, "screenshots")
        # where the plain cases start the game: the Windows game from another
        # folder, as a player's shortcut or command line would
        self.start_dir = tempfile.mkdtemp(prefix="felidora-cwd-") if WINE else self.build_dir

    def run_folder_copy(self):
        """A private copy of the run folder that a case may damage, with the
        executable: the game reads the content beside itself."""
        target = tempfile.mkdtemp(prefix="felidora-run-")
        shutil.copy2(self.executable, os.path.join(target, self.executable_name))
        for name in ("Shader", "Modelle", "Bilder", "Videos", "Klaenge"):
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
        game = Game(x, h.start_dir, h.executable)
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
        game = Game(x, run, os.path.join(run, h.executable_name))
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
        game = Game(x, run, os.path.join(run, h.executable_name))
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
        # each image cropped on its own: a -crop applies to every image read before it
        args = ["convert", "(", a, "-crop", crop, "+repage", ")", "(", b, "-crop", crop, "+repage", ")"]
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
        game = Game(x, h.start_dir, h.executable)
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
        # a playing clip changes about 0.015 of it in a second; a standing one 0
        check(moved > 0.005, f"the clip does not play ({moved:.4f})")
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
    """Steered into the ground the player loses; the game-over clip ends the
    game with exit status 0. Its one output is the lives message with -1: the
    player lying on the ground after the game is over loses nothing more, also
    when a frame is played in several steps."""
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable)
        try:
            game.window()
            game.key_down("Up")  # Up descends
            code = game.wait(CRASH_WITHIN)
            game.key_up("Up")
            if code is None:
                game.screenshot(os.path.join(h.screenshots, "crash-timeout.png"))
                game.kill()
                raise Failure(f"still running after {CRASH_WITHIN:.0f} s:\n{game.output()}")
            check(code == 0, f"exit status {code}\n{game.output()}")
        finally:
            game.kill()
        lines = game.output().splitlines()
        check(lines == [LIVES_MESSAGE + "-1"],
              f"expected the lives message once, with -1, and nothing more:\n{game.output()}")


def play_and_quit(game, seconds, shot=None, expected_output=""):
    """Waits for the first frame, lets the game run, optionally takes a
    screenshot, then Escape: exit status 0, no output but the expected, on
    standard output and standard error together (the sound libraries' own
    lines included)."""
    try:
        game.first_frame()
        time.sleep(seconds)
        check(game.proc.poll() is None, f"game ended on its own:\n{game.output()}")
        if shot:
            game.screenshot(shot)
        game.key("Escape")
        expect_exit(game, 0, 5.0, "Escape")
    finally:
        game.kill()
    check(game.output() == expected_output, f"unexpected output:\n{game.output()}")


def case_started_elsewhere(h):
    """Started from another working directory, the game finds its content
    beside itself; a relative recording path names a file in that folder, to
    record and to replay, and naming it twice is still refused."""
    folder = tempfile.mkdtemp(prefix="felidora-cwd-")
    with Xvfb() as x:
        play_and_quit(Game(x, folder, h.executable), 3)
        game = Game(x, folder, h.executable, {"FELIDORA_RECORD": "rel.rec"})
        try:
            game.first_frame()
            game.key("Escape")
            expect_exit(game, 0, 5.0, "Escape")
        finally:
            game.kill()
        recorded = game.output()
        check(not os.path.exists(os.path.join(h.build_dir, "rel.rec")), "the recording went beside the game")
        check(os.path.exists(os.path.join(folder, "rel.rec")), f"no recording in the start folder:\n{recorded}")
        check(recorded.startswith("Aufnahme: "), f"recording printed {recorded!r}")
        game = Game(x, folder, h.executable, {"FELIDORA_REPLAY": os.path.join(".", "rel.rec")})
        try:
            expect_exit(game, 0, 60.0, "replay")
        finally:
            game.kill()
        check(game.output() == "Wiedergabe: " + recorded[len("Aufnahme: "):],
              f"replay ended elsewhere:\n{recorded}{game.output()}")
    no_display = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    run = subprocess.run([h.executable], cwd=folder, stdin=subprocess.DEVNULL, capture_output=True, text=True,
                         env=dict(no_display, FELIDORA_RECORD="rel.rec", FELIDORA_REPLAY="./rel.rec"), timeout=30)
    check(run.returncode == 255 and run.stdout.startswith("Aufnahme und Wiedergabe nennen dieselbe Datei: "),
          f"exit status {run.returncode}, output {run.stdout!r}")


def case_scaled_to_screen(h):
    """A screen without an 800 x 600 mode: at 1920 x 1080 the frame fills a
    centred 1440 x 1080 area between plain black bars; at 1024 x 768 it fills
    the whole screen."""
    with Xvfb("1920x1080") as x:
        wide = os.path.join(h.screenshots, "scaled-1920x1080.png")
        play_and_quit(Game(x, h.build_dir, h.executable), 2, wide)
    for bar in ("240x1080+0+0", "240x1080+1680+0"):
        mean, spread = image_stats(wide, bar)
        check(mean < 0.01 and spread < 0.01, f"bar {bar} is not plain black (mean {mean:.3f}, deviation {spread:.3f})")
    # the frame's own edges: sky and landscape reach both sides of the area
    for edge in ("16x1080+240+0", "16x1080+1664+0"):
        mean, _ = image_stats(wide, edge)
        check(mean > 0.05, f"no picture at {edge} (mean {mean:.3f})")
    # before the scaling the lower right stayed the clear colour, a plain blue
    lower_right, spread = image_stats(wide, "600x400+1080+680")
    check(lower_right > 0.05 and spread > 0.01,
          f"the lower right shows no scene (mean {lower_right:.3f}, deviation {spread:.3f})")

    with Xvfb("1024x768") as x:
        full = os.path.join(h.screenshots, "scaled-1024x768.png")
        play_and_quit(Game(x, h.build_dir, h.executable), 2, full)
    for edge in ("8x768+0+0", "8x768+1016+0", "1024x8+0+0", "1024x8+0+760"):
        mean, _ = image_stats(full, edge)
        check(mean > 0.05, f"the picture does not reach {edge} (mean {mean:.3f})")


def case_installed(h):
    """cmake --install into a fresh prefix (its AppStream metadata valid);
    bin/felidora started from / plays."""
    prefix = tempfile.mkdtemp(prefix="felidora-prefix-")
    try:
        subprocess.run([h.cmake, "--install", h.build_dir, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        for path in ("bin/felidora", "share/applications/felidora.desktop",
                     "share/icons/hicolor/256x256/apps/felidora.png", "share/metainfo/felidora.metainfo.xml"):
            check(os.path.exists(os.path.join(prefix, path)), f"{path} not installed")
        valid = subprocess.run(["appstreamcli", "validate", "--no-net",
                                os.path.join(prefix, "share/metainfo/felidora.metainfo.xml")],
                               capture_output=True, text=True)
        check(valid.returncode == 0, f"the AppStream metadata is not valid:\n{valid.stdout}{valid.stderr}")
        with Xvfb() as x:
            play_and_quit(Game(x, "/", os.path.join(prefix, "bin", "felidora")), 3)
    finally:
        shutil.rmtree(prefix, ignore_errors=True)


def case_record_and_replay(h):
    """A session played through X key events is recorded; replayed twice, it
    ends each time with the recording's summary."""
    path = os.path.join(tempfile.mkdtemp(prefix="felidora-rec-"), "session.rec")
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable, {"FELIDORA_RECORD": path})
        try:
            game.first_frame()
            for key, held in (("Left", 1.0), ("Down", 0.6), ("space", 0.0), ("space", 3.4), ("s", 1.0),
                              ("Right", 0.7), ("a", 0.5)):
                game.key_down(key)
                time.sleep(held)
                game.key_up(key)
                time.sleep(0.2)
            game.key("F2")
            time.sleep(0.5)
            game.key("F4")
            time.sleep(0.5)
            game.key("Escape")
            expect_exit(game, 0, 5.0, "Escape")
        finally:
            game.kill()
    recorded = game.output()
    check(recorded.startswith("Aufnahme: ") and recorded.count("\n") == 1, f"recording printed {recorded!r}")
    frames = int(recorded.split()[1])
    check(frames > 10, f"only {frames} frames recorded")

    for _ in range(2):
        with Xvfb() as x:
            game = Game(x, h.build_dir, h.executable, {"FELIDORA_REPLAY": path})
            try:
                expect_exit(game, 0, 180.0, "replay")
            finally:
                game.kill()
        replayed = game.output()
        check(replayed == "Wiedergabe: " + recorded[len("Aufnahme: "):],
              f"replay ended elsewhere:\n{recorded}{replayed}")


def case_bad_replays(h):
    """A recording cut in the middle of a frame, one made for other content, a
    folder and a file no read succeeds on: the message and status 255 before
    any window is opened (there is no display at all)."""
    path = os.path.join(tempfile.mkdtemp(prefix="felidora-rec-"), "good.rec")
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable, {"FELIDORA_RECORD": path})
        try:
            game.first_frame()
            game.key("Escape")
            expect_exit(game, 0, 5.0, "Escape")
        finally:
            game.kill()
    with open(path, "rb") as f:
        good = f.read()
    cut = path.replace("good", "cut")
    with open(cut, "wb") as f:
        f.write(good[:20 + 10 + 3])
    other = path.replace("good", "other")
    with open(other, "wb") as f:
        f.write(good[:12] + bytes([good[12] ^ 0xFF]) + good[13:])

    no_display = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    for file, message in ((cut, "Die Aufnahme endet mitten in Bild 2"),
                          (other, "Die Aufnahme gehoert zu anderen Spieldateien"),
                          (os.path.dirname(path), "Die Aufnahme konnte nicht geoeffnet werden"),
                          ("/proc/self/mem", "Die Aufnahme konnte nicht geoeffnet werden")):
        run = subprocess.run([h.executable], env=dict(no_display, FELIDORA_REPLAY=file), stdin=subprocess.DEVNULL,
                             capture_output=True, text=True, timeout=30)
        check(run.returncode == 255, f"exit status {run.returncode} for {file}:\n{run.stdout}")
        check(run.stdout == f"{message}: {file}\n", f"output was {run.stdout!r}")


def wave_device(folder, file):
    """OpenAL Soft's wave-file backend writing 16-bit stereo to `file`, not
    dithered: silence is written as zeros."""
    conf = os.path.join(folder, "alsoft.conf")
    with open(conf, "w") as f:
        f.write(f"[general]\nchannels=stereo\nsample-type=int16\ndither=false\n[wave]\nfile={file}\n")
    return {"ALSOFT_DRIVERS": "wave", "ALSOFT_CONF": conf}


def read_wav16(path):
    """Rate, channels and samples of a 16-bit WAV file. OpenAL Soft writes
    WAVE_FORMAT_EXTENSIBLE, which Python's wave module refuses: the chunks are
    read here."""
    import array
    import struct
    with open(path, "rb") as f:
        data = f.read()
    check(data[:4] == b"RIFF" and data[8:12] == b"WAVE", f"{path}: not a WAV file")
    at, fmt, samples = 12, None, None
    while at + 8 <= len(data):
        name, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        body = data[at + 8:at + 8 + size]
        if name == b"fmt ":
            fmt = struct.unpack("<HHIIHH", body[:16])
        elif name == b"data":
            samples = array.array("h", body[:len(body) // 2 * 2])
        at += 8 + size + (size & 1)
    check(fmt is not None and samples is not None and fmt[5] == 16, f"{path}: no 16-bit samples")
    return fmt[2], fmt[1], samples


def block_peaks(path, seconds=0.05):
    """The loudest sample (0..1) of each block of the 16-bit WAV file, and the
    block length in seconds."""
    rate, channels, samples = read_wav16(path)
    step = int(rate * seconds) * channels
    return [max((abs(v) for v in samples[i:i + step]), default=0) / 32768.0
            for i in range(0, len(samples), step)], seconds


def case_sound_wave_file(h):
    """The real program with the wave-file device: five taps of the fire key a
    second apart are five bursts a second apart in the file; after M the file
    is silent to its end."""
    folder = tempfile.mkdtemp(prefix="felidora-sound-")
    path = os.path.join(folder, "out.wav")
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable, wave_device(folder, path))
        try:
            game.first_frame()
            time.sleep(1.0)
            for _ in range(5):
                game.key("space")
                time.sleep(1.0)
            game.key("m")
            muted = time.monotonic()
            time.sleep(3.0)
            game.key("space")
            time.sleep(1.0)
            game.key("Escape")
            expect_exit(game, 0, ESCAPE_WITHIN, "Escape")
            after_mute = time.monotonic() - muted
        finally:
            game.kill()
    check(game.output() == "", f"output was {game.output()!r}")
    peaks, block = block_peaks(path)
    loud = [i for i, p in enumerate(peaks) if p > 0.0]
    check(loud, "the file is silent throughout")
    # M ends every sound at once (a frame and the mixer's fade, < 0.2 s)
    silent_tail = (len(peaks) - 1 - loud[-1]) * block
    check(silent_tail >= after_mute - 0.5, f"only the last {silent_tail:.2f} s are silent, M came {after_mute:.2f} s before the end")
    # wind and far rotors stay below 0.1; each wool ball rises far above it
    level = sorted(peaks[:loud[-1] + 1])[len(peaks[:loud[-1] + 1]) // 2]
    bursts = []
    for i, p in enumerate(peaks[:loud[-1] + 1]):
        if p > max(0.15, 3 * level) and (not bursts or i * block - bursts[-1] > 0.4):
            bursts.append(i * block)
    gaps = [b - a for a, b in zip(bursts, bursts[1:])]
    check(len(bursts) >= 5 and sum(1 for g in gaps if 0.7 < g < 1.3) >= 4,
          f"bursts at {bursts} (median peak {level:.3f}): not five shots a second apart")


def case_no_audio_device(h):
    """No audio device at all: one line says so and nothing else is written,
    the game plays and Escape ends it with 0. OpenAL Soft is held to ALSA, and
    ALSA is given a configuration that names no device: so on any machine the
    device fails the way it does without a sound card, and both libraries
    have their error lines to write (the game quiets them)."""
    folder = tempfile.mkdtemp(prefix="felidora-sound-")
    alsa_conf = os.path.join(folder, "asound.conf")
    open(alsa_conf, "w").close()
    with Xvfb() as x:
        play_and_quit(Game(x, h.build_dir, h.executable,
                           {"ALSOFT_DRIVERS": "alsa", "ALSA_CONFIG_PATH": alsa_conf}), 3,
                      expected_output=NO_SOUND_DEVICE + "\n")


def case_audio_device_lost(h):
    """The device is lost in play (the wave device's file system is full): one
    line says so, the game plays on silently and Escape ends it with 0."""
    folder = tempfile.mkdtemp(prefix="felidora-sound-")
    with Xvfb() as x:
        play_and_quit(Game(x, h.build_dir, h.executable, wave_device(folder, "/dev/full")), 4,
                      expected_output=SOUND_DEVICE_LOST + "\n")
def content_fingerprint(folder):
    """The recording format's content fingerprint, computed here from its
    description (docs/recording.md): FNV-1a over every file of the four content
    folders, sorted by path, each as its path with "/", a zero byte, its bytes
    and its size."""
    names = []
    for top in ("Shader", "Modelle", "Bilder", "Videos"):
        for parent, _, files in os.walk(os.path.join(folder, top)):
            for name in files:
                names.append(os.path.relpath(os.path.join(parent, name), folder).replace(os.sep, "/"))
    value = 0xcbf29ce484222325

    def add(data):
        nonlocal value
        for byte in data:
            value = ((value ^ byte) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF

    for name in sorted(names, key=lambda n: n.encode()):
        with open(os.path.join(folder, name), "rb") as f:
            data = f.read()
        add(name.encode() + b"\0")
        add(data)
        add(len(data).to_bytes(8, "little"))
    return value


RECORDED_WIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "autopilot-win")


def case_recorded_win(h):
    """The autopilot's recorded win, replayed by the real program as
    docs/recording.md tells a player to (every 60th frame drawn), runs to the
    recording's last frame, ends with 0 and prints the summary the recording
    ended with. The file is handed over as it is stored: one made with other
    content is refused here as the game refuses it."""
    with open(RECORDED_WIN + ".rec", "rb") as f:
        data = f.read()
    with open(RECORDED_WIN + ".txt") as f:
        expected = f.read().strip()
    frames = (len(data) - 20) // 10
    stale = "the stored recording is stale: run scripts/restamp-recording.sh"
    check(int.from_bytes(data[12:20], "little") == content_fingerprint(h.build_dir),
          f"tests/data/autopilot-win.rec was recorded with other content; {stale}")
    with Xvfb() as x:
        game = Game(x, h.start_dir, h.executable,
                    {"FELIDORA_REPLAY": os.path.abspath(RECORDED_WIN + ".rec"), "FELIDORA_REPLAY_DRAW_EVERY": "60"})
        try:
            expect_exit(game, 0, 600.0, "replay")
        finally:
            game.kill()
    replayed = game.output()
    check(replayed.startswith("Wiedergabe: ") and replayed.count("\n") == 1, f"replay printed {replayed!r}")
    summary = replayed[len("Wiedergabe: "):].strip()
    check(int(summary.split()[0]) == frames, f"the replay ended before frame {frames}: {summary}")
    check(summary == expected, f"replayed {summary!r}, recorded {expected!r}: if the game's rules changed on "
          "purpose, record the win anew: scripts/restamp-recording.sh --record")


def recorded_frame_times(path):
    """The frame times of a recording (a 20-byte header, then 10 bytes a
    frame: a little-endian double and the keys)."""
    import struct
    with open(path, "rb") as f:
        data = f.read()
    return [struct.unpack_from("<d", data, at)[0] for at in range(20, len(data) - 9, 10)]


def window_geometry(game, window):
    found = game.xdotool("getwindowgeometry", "--shell", window)
    values = dict(line.split("=", 1) for line in found.stdout.split())
    return int(values["WIDTH"]), int(values["HEIGHT"]), int(values["X"]), int(values["Y"])


def case_pause_on_focus_loss(h):
    """In a recorded game another window takes the focus for 10 s: the game
    pauses (nothing on the screen moves); the game's window gets the focus
    back, still paused, and P resumes. P pauses again and Escape quits. The
    recording's frame times add up to the time played, not the time paused,
    and its replay ends with the recording's summary."""
    path = os.path.join(tempfile.mkdtemp(prefix="felidora-rec-"), "paused.rec")
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable, {"FELIDORA_RECORD": path})
        other = None
        try:
            window = game.window()
            game.first_frame()
            first = time.monotonic()
            game.key_down("Left")
            time.sleep(1.5)
            game.key_up("Left")
            game.key_down("Down")
            other = subprocess.Popen(["xmessage", "-title", "Andere", "another window"], env=x.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            deadline = time.monotonic() + 10.0
            found = None
            while time.monotonic() < deadline and not found:
                found = game.xdotool("search", "--name", "^Andere$").stdout.split()
                time.sleep(0.1)
            check(found, "the other window did not appear")
            game.xdotool("windowfocus", "--sync", found[0])
            left = time.monotonic()
            game.key_up("Down")
            time.sleep(5.0)
            a = game.screenshot(os.path.join(h.screenshots, "paused-a.png"))
            time.sleep(4.0)
            b = game.screenshot(os.path.join(h.screenshots, "paused-b.png"))
            check(difference(a, b) == 0.0, f"the paused picture moved ({difference(a, b):.4f})")
            time.sleep(1.0)
            game.xdotool("windowfocus", "--sync", window)
            time.sleep(1.0)
            c = game.screenshot(os.path.join(h.screenshots, "paused-c.png"))
            check(difference(b, c) == 0.0, "the focus came back and the game went on by itself")
            game.key("p")
            resumed = time.monotonic()
            game.key_down("Right")
            time.sleep(1.5)
            game.key_up("Right")
            game.key("p")
            paused = time.monotonic()
            time.sleep(1.0)
            check(game.proc.poll() is None, f"game ended on its own:\n{game.output()}")
            game.key("Escape")
            expect_exit(game, 0, 5.0, "Escape while paused")
        finally:
            if other:
                other.kill()
                other.wait()
            game.kill()
    recorded = game.output()
    check(recorded.startswith("Aufnahme: ") and recorded.count("\n") == 1, f"recording printed {recorded!r}")
    total = sum(recorded_frame_times(path))
    # played: from the start of the clock (before the first frame) to the focus
    # loss, and from P to P; a frame's time either side of each
    most = (left - game.started) + (paused - resumed) + 0.5
    least = (left - first) + (paused - resumed) - 0.5
    check(least <= total <= most, f"frame times add up to {total:.2f} s, played were {least:.2f} to {most:.2f} s")

    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable, {"FELIDORA_REPLAY": path})
        try:
            expect_exit(game, 0, 180.0, "replay")
        finally:
            game.kill()
    replayed = game.output()
    check(replayed == "Wiedergabe: " + recorded[len("Aufnahme: "):], f"replay ended elsewhere:\n{recorded}{replayed}")


def cpu_seconds(pid):
    """User and system time of the process, all its threads, in seconds."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def case_paused_picture_stands(h):
    """Paused with P, the game draws its picture once and then nothing for 10 s
    (every buffer swap counted by bench/libswap_stamp.so); P resumes drawing,
    Escape quits. Prints the paused game's share of a core."""
    stamp = os.path.join(h.build_dir, "bench", "libswap_stamp.so")
    check(os.path.exists(stamp), f"{stamp} is not built (cmake --build BUILD --target swap_stamp)")
    log = os.path.join(tempfile.mkdtemp(prefix="felidora-swaps-"), "swaps.txt")
    with Xvfb() as x:
        game = Game(x, h.build_dir, h.executable, {"LD_PRELOAD": stamp, "FELIDORA_SWAP_LOG": log})
        try:
            game.first_frame()
            time.sleep(1.0)
            game.key("p")
            time.sleep(1.5)
            paused, used = time.monotonic(), cpu_seconds(game.proc.pid)
            time.sleep(10.0)
            paused_for, used = time.monotonic() - paused, cpu_seconds(game.proc.pid) - used
            game.key("p")
            resumed = time.monotonic()
            time.sleep(2.0)
            game.key("Escape")
            expect_exit(game, 0, ESCAPE_WITHIN, "Escape")
        finally:
            game.kill()
    with open(log) as f:
        stamps = [float(line) for line in f]
    still = sum(1 for t in stamps if paused <= t <= paused + paused_for)
    after = sum(1 for t in stamps if t > resumed)
    print(f"  paused: {still} frames drawn in {paused_for:.1f} s, {used / paused_for:.3f} of a core; "
          f"{after} frames drawn in the 2 s after P")
    check(still == 0, f"the paused game drew {still} frames in {paused_for:.1f} s")
    check(after > 0, "nothing drawn after the pause ended")
    check(game.output() == "", f"output was {game.output()!r}")


def case_window_mode(h):
    """On a 1920 x 1080 screen F11 makes the game a window of 800 x 600 that
    shows the whole scene, aspect kept; Alt+Enter makes it full screen again,
    the frame scaled between black bars. The title stays."""
    with Xvfb("1920x1080") as x:
        game = Game(x, h.build_dir, h.executable)
        try:
            window = game.window()
            game.first_frame()
            game.key("F11")
            time.sleep(1.5)
            width, height, left, top = window_geometry(game, window)
            check((width, height) == (800, 600), f"the window is {width} x {height}")
            shot = game.screenshot(os.path.join(h.screenshots, "windowed-1920x1080.png"))
            mean, spread = image_stats(shot, f"800x600+{left}+{top}")
            check(mean > 0.05 and spread > 0.05, f"the window shows no scene (mean {mean:.3f}, deviation {spread:.3f})")
            for edge in (f"8x600+{left}+{top}", f"8x600+{left + 792}+{top}", f"800x8+{left}+{top}",
                         f"800x8+{left}+{top + 592}"):
                mean, _ = image_stats(shot, edge)
                check(mean > 0.05, f"the scene does not reach the window's edge {edge} (mean {mean:.3f})")
            outside, _ = image_stats(shot, f"{left}x1080+0+0" if left > 0 else "1x1+0+0")
            check(outside < 0.01, f"the screen beside the window is not empty (mean {outside:.3f})")
            check(game.xdotool("search", "--name", "^Felidora$").stdout.split() == [window], "the title changed")

            game.key("alt+Return")
            time.sleep(1.5)
            width, height, _, _ = window_geometry(game, window)
            check((width, height) == (1920, 1080), f"full screen again, the window is {width} x {height}")
            full = game.screenshot(os.path.join(h.screenshots, "fullscreen-again-1920x1080.png"))
            for bar in ("240x1080+0+0", "240x1080+1680+0"):
                mean, spread = image_stats(full, bar)
                check(mean < 0.01 and spread < 0.01, f"bar {bar} is not black (mean {mean:.3f})")
            mean, spread = image_stats(full, "1440x1080+240+0")
            check(mean > 0.05 and spread > 0.05, f"no scene between the bars (mean {mean:.3f})")
            game.key("Escape")
            expect_exit(game, 0, 5.0, "Escape")
        finally:
            game.kill()
    check(GL_ERROR not in game.output(), f"GL error reported:\n{game.output()}")


# --- the options screen and the player's settings ----------------------------

SETTINGS_FILE = os.path.join("felidora", "einstellungen.ini")
FIRE_KEYS = (1 << 4) | (1 << 5)  # GameKey Space and F in a recorded frame


def recorded_fire_frames(path):
    """How many frames of a recording hold a fire key."""
    import struct
    with open(path, "rb") as f:
        data = f.read()
    return sum(1 for at in range(28, len(data) - 1, 10) if struct.unpack_from("<H", data, at)[0] & FIRE_KEYS)


def taps(game, key, times, gap=0.6):
    for _ in range(times):
        game.key_down(key)
        time.sleep(0.15)
        game.key_up(key)
        time.sleep(gap)


def settings_path(config_dir):
    """The settings file of the runs with this XDG_CONFIG_HOME (on Windows:
    %APPDATA%\\Felidora of the prefix)."""
    if WINE:
        return os.path.join(wine_settings_folder(), "einstellungen.ini")
    return os.path.join(config_dir, SETTINGS_FILE)


def settings_line(config_dir, name):
    with open(settings_path(config_dir), encoding="utf-8") as f:
        for line in f:
            key, _, value = line.partition("=")
            if key.strip() == name:
                return value.strip()
    return None


def case_options_rebind_fire(h):
    """As a player would: F10 opens the options on the monitor, down to fire,
    Enter, K; boost then takes A from the brake (the conflict on screen);
    Escape leaves the screen, Escape quits. The file holds K. Started again
    with the same settings and recorded: K fires, Space does not."""
    config = tempfile.mkdtemp(prefix="felidora-config-")
    env = {"XDG_CONFIG_HOME": config}
    if WINE:
        shutil.rmtree(wine_settings_folder(), ignore_errors=True)
    with Xvfb() as x:
        game = Game(x, h.start_dir, h.executable, {**env, "FELIDORA_E2E_KEEP_SETTINGS": "1"})
        try:
            game.first_frame()
            time.sleep(1.0)
            game.key("F10")
            time.sleep(1.0)
            game.screenshot(os.path.join(h.screenshots, "options-open.png"))
            for key in ("Down", "Down", "Down", "Down", "Return"):
                game.key(key)
                time.sleep(0.3)
            game.screenshot(os.path.join(h.screenshots, "options-waiting.png"))
            game.key("k")
            time.sleep(0.5)
            game.screenshot(os.path.join(h.screenshots, "options-fire-k.png"))
            for key in ("Down", "Return", "a"):
                game.key(key)
                time.sleep(0.3)
            time.sleep(0.5)
            game.screenshot(os.path.join(h.screenshots, "options-conflict.png"))
            game.key("Escape")
            time.sleep(1.0)
            check(game.proc.poll() is None, f"Escape in the options screen ended the game:\n{game.output()}")
            game.screenshot(os.path.join(h.screenshots, "options-closed.png"))
            game.key("Escape")
            expect_exit(game, 0, ESCAPE_WITHIN, "Escape after the options screen")
        finally:
            game.kill()
    check(game.output() == "", f"output was {game.output()!r}")
    check(settings_line(config, "fire") == "K", f"fire = {settings_line(config, 'fire')!r} in the file")
    check(settings_line(config, "boost") == "A" and settings_line(config, "brake") == "",
          f"boost = {settings_line(config, 'boost')!r}, brake = {settings_line(config, 'brake')!r}")

    fired = {}
    recorded = ""
    for key in ("space", "k"):
        path = os.path.join(tempfile.mkdtemp(prefix="felidora-rec-"), "fire.rec")
        with Xvfb() as x:
            game = Game(x, h.start_dir, h.executable,
                        {**env, "FELIDORA_E2E_KEEP_SETTINGS": "1", "FELIDORA_RECORD": path})
            try:
                game.first_frame()
                taps(game, key, 4)
                game.key("Escape")
                expect_exit(game, 0, ESCAPE_WITHIN, "Escape")
            finally:
                game.kill()
        fired[key] = recorded_fire_frames(path)
        recorded = game.output()
    check(fired["space"] == 0 and fired["k"] > 0, f"frames of fire recorded: {fired}")

    # the game fired with K replays with the default controls to the same end
    with Xvfb() as x:
        game = Game(x, h.start_dir, h.executable, {"FELIDORA_REPLAY": path})
        try:
            expect_exit(game, 0, 120.0, "replay")
        finally:
            game.kill()
    check(recorded.startswith("Aufnahme: ") and game.output() == "Wiedergabe: " + recorded[len("Aufnahme: "):],
          f"replayed with the defaults:\n{recorded}{game.output()}")


def case_settings_damaged(h):
    """A settings file with garbage on every second line: the game starts,
    names each bad line once, the good lines count (fire on K), and the old
    bytes are kept as einstellungen.ini.defekt."""
    config = tempfile.mkdtemp(prefix="felidora-config-")
    folder = os.path.join(config, "felidora")
    os.makedirs(folder)
    damaged = (b"fire = K\n"
               b"fire = = ???\n"
               b"volume = 40\n"
               b"volume = 400\n"
               b"pad_fire = B\n"
               b"\x00\xff\xfe garbage \x07\n"
               b"mute = on\n"
               b"turn_left = NO_SUCH_KEY\n")
    with open(os.path.join(folder, "einstellungen.ini"), "wb") as f:
        f.write(damaged)
    with Xvfb() as x:
        game = Game(x, h.start_dir, h.executable, {"XDG_CONFIG_HOME": config})
        try:
            game.first_frame()
            time.sleep(1.0)
            game.key("Escape")
            expect_exit(game, 0, ESCAPE_WITHIN, "Escape")
        finally:
            game.kill()
    lines = game.output().splitlines()
    for number in (2, 4, 6, 8):
        named = [line for line in lines if f"Zeile {number} " in line]
        check(len(named) == 1, f"line {number} named {len(named)} times:\n{game.output()}")
    check(len(lines) == 5 and lines[-1].endswith("einstellungen.ini.defekt"),
          f"expected the 4 bad lines and where the old file is kept:\n{game.output()}")
    with open(os.path.join(folder, "einstellungen.ini.defekt"), "rb") as f:
        check(f.read() == damaged, "einstellungen.ini.defekt does not hold the old bytes")
    for name, value in (("fire", "K"), ("volume", "40"), ("pad_fire", "B"), ("mute", "on"), ("turn_left", "LEFT")):
        check(settings_line(config, name) == value, f"{name} = {settings_line(config, name)!r}, expected {value}")


def case_settings_unwritable(h):
    """Settings that cannot be written (their temporary file blocked: a root
    ignores a folder's permissions): M and F11 change them twice, one line is
    printed, the game plays on and the old file is whole."""
    config = tempfile.mkdtemp(prefix="felidora-config-")
    folder = os.path.join(config, "felidora")
    os.makedirs(os.path.join(folder, "einstellungen.ini.tmp"))
    open(os.path.join(folder, "einstellungen.ini.tmp", "in-the-way"), "wb").close()
    with open(os.path.join(folder, "einstellungen.ini"), "wb") as f:
        f.write(b"volume = 30\n")
    with Xvfb() as x:
        game = Game(x, h.start_dir, h.executable, {"XDG_CONFIG_HOME": config})
        try:
            game.first_frame()
            for key in ("m", "m", "F11", "F11"):
                game.key(key)
                time.sleep(0.8)
            check(game.proc.poll() is None, f"the game ended:\n{game.output()}")
            game.key("Escape")
            expect_exit(game, 0, ESCAPE_WITHIN, "Escape")
        finally:
            game.kill()
    lines = game.output().splitlines()
    check(len(lines) == 1 and "Einstellungen" in lines[0], f"expected one line:\n{game.output()}")
    with open(os.path.join(folder, "einstellungen.ini"), "rb") as f:
        check(f.read() == b"volume = 30\n", "the old settings file changed")


def main():
    global ESCAPE_WITHIN, WINE
    cases = {name[5:]: fn for name, fn in globals().items() if name.startswith("case_")}
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "..", "build"))
    parser.add_argument("--cmake", default="cmake")
    parser.add_argument("--wine", metavar="PREFIX", help="run the Windows game in BUILD with Wine, in this prefix")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("cases", nargs="*")
    args = parser.parse_args()
    if args.list:
        print("\n".join(cases))
        return 0
    if args.wine:
        WINE = wine_environment(args.wine)
        # Wine's window teardown alone takes about 2 s
        ESCAPE_WITHIN = max(ESCAPE_WITHIN, 10.0)
        prepare_wine_prefix()
    harness = Harness(args.build, args.cmake)
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
