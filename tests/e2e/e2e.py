#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The real `miradel` on an Xvfb screen of its own, driven with xdotool, read back from screenshots.
Usage: e2e.py PROGRAM GAME_DIR CASE|GROUP [--wm: openbox frames the window]; exit status 77: skipped."""
import collections
import contextlib
import ctypes
import os
import pathlib
import random
import re
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import wave
from unittest import SkipTest as Skipped

import hostile_content as hostile

SCREEN = (1280, 1024)
LIMIT = 60.0
SKIP = 77
SCENES = "opn not 0 1 2 3 end0 end1 end2".split() + ["%d%d" % (d, c) for d in range(4) for c in range(4)]
SANITIZER_REPORT = re.compile(r"ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: \w+Sanitizer")
COLOURS = {"red": lambda p: p[0] > 150 and p[1] < 110 and p[2] < 110, "white": lambda p: min(p) > 235,
           "dark": lambda p: max(p) < 120}


def poll(what, test, limit=LIMIT, pause=0.05, act=None):
    """`test()` until it is true, with `act()` (a click, a key) after each time it is not."""
    deadline = time.monotonic() + limit
    while True:
        value = test()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        if act:
            act()
        time.sleep(pause)


@contextlib.contextmanager
def x_server(size=SCREEN, wm=False):
    read_end, write_end = os.pipe()
    # -noreset: a program started while the server resets after its last client left cannot connect.
    processes = [subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % size, "-nolisten",
                                   "tcp", "-noreset"], pass_fds=[write_end], stderr=subprocess.DEVNULL)]
    os.close(write_end)
    try:
        with os.fdopen(read_end) as pipe:
            screen = Screen(":" + pipe.readline().strip(), size, wm)
        if wm and not shutil.which("openbox"):
            raise Skipped("openbox is not installed")
        # Under load openbox now and then ends at start without a word: it gets a second try.
        for attempt in range(2 if wm else 0):
            processes.insert(0, subprocess.Popen(["openbox", "--sm-disable"], env=screen.env))
            poll("openbox to manage the screen", lambda: processes[0].poll() is not None
                 or "window id" in screen.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"))
            if processes[0].poll() is None:
                break
            assert not attempt, "openbox did not start"
        yield screen
    finally:
        for process in processes:
            process.terminate()
            process.wait(10)


class Screen:
    def __init__(self, display, size, wm):
        self.display, self.size, self.wm = display, size, wm
        self.env = {**{k: v for k, v in os.environ.items() if k != "QT_QPA_PLATFORM"}, "DISPLAY": display}

    def run(self, *args):
        return subprocess.run([str(arg) for arg in args], env=self.env, capture_output=True, text=True,
                              timeout=LIMIT).stdout

    def xdo(self, *args):
        return self.run("xdotool", *args)

    def windows(self):
        return [int(line) for line in self.xdo("search", "--onlyvisible", "--name", "^Miradel$").split()]

    def geometry(self, window):
        values = dict(re.findall(r"(\w+)=(\d+)", self.xdo("getwindowgeometry", "--shell", window)))
        if "WIDTH" not in values:
            raise AssertionError("the window %d is gone" % window)
        return tuple(int(values[name]) for name in ("X", "Y", "WIDTH", "HEIGHT"))

    def expect_outer(self, window, when):
        """On a screen without panels, frame included: 4/5 of the screen height wide or all that fits, 2/3 tall."""
        width = int(min(self.size[1] * 4 / 5, self.size[0], self.size[1] * 3 / 2) + 0.5)
        extents = self.run("xprop", "-id", window, "_NET_FRAME_EXTENTS").partition("=")[2]
        left, right, top, bottom = [int(number) for number in re.findall(r"\d+", extents)] or [0, 0, 0, 0]
        inner = self.geometry(window)[2:]
        outer = (inner[0] + left + right, inner[1] + top + bottom)
        expected = (width, int(width * 2 / 3 + 0.5))
        if outer != expected and when:
            raise AssertionError("%s: window %s outside, expected %s" % (when, outer, expected))
        return outer == expected

    def click(self, x, y, button=1):
        self.xdo("mousemove", int(x), int(y), "click", button)

    def shot(self):
        data = subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", "rgb:-"],
                              capture_output=True, timeout=LIMIT).stdout
        return Shot(self.size[0], data)

    def close(self, window):
        """WM_DELETE_WINDOW, as a window manager's close box sends it (xdotool can only destroy)."""
        x11 = ctypes.CDLL("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_char_p]
        connection = ctypes.c_void_p(x11.XOpenDisplay(self.display.encode()))
        protocols, delete = (x11.XInternAtom(connection, name, 0) for name in (b"WM_PROTOCOLS", b"WM_DELETE_WINDOW"))
        # XClientMessageEvent on 64 bits (type, serial, send_event, display, window, message_type, format, 5 longs).
        event = struct.pack("iLiPLLi4xlllll", 33, 0, 1, 0, window, protocols, 32, delete, 0, 0, 0, 0)
        x11.XSendEvent(connection, window, 0, 0, event.ljust(192, b"\0"))
        x11.XCloseDisplay(connection)


class Shot:
    def __init__(self, width, data):
        self.width, self.data = width, data

    def pixels(self, rect):
        left, top, right, bottom = (int(value) for value in rect)
        rows = (self.data[(y * self.width + left) * 3:(y * self.width + right) * 3] for y in range(top, bottom))
        return [pixel for row in rows for pixel in zip(row[0::3], row[1::3], row[2::3])]

    def share(self, rect, colour):
        pixels = self.pixels(rect)
        return sum(map(COLOURS[colour], pixels)) / max(1, len(pixels))

    def expect_picture(self, layout, path):
        pixels = self.pixels(layout.picture)
        seen = [sum(pixel[i] for pixel in pixels) / max(1, len(pixels)) for i in range(3)]
        expected = subprocess.run(["convert", path, "-resize", "1x1!", "-depth", "8", "rgb:-"], capture_output=True,
                                  timeout=LIMIT).stdout
        if max(abs(a - b) for a, b in zip(expected, seen)) > 40:
            raise AssertionError("picture area mean %s, picture file mean %s" % (seen, list(expected)))


class Layout(collections.namedtuple("Layout", "x y width height")):
    """The controls in screen pixels: the inner area is 3.2 x 2.2 units whose top left is at (-0.1, -0.1)."""

    def rect(self, left, top, width, height, inset=0.0):
        unit_x, unit_y = self.width / 3.2, self.height / 2.2
        x0, y0 = self.x + (left + 0.1) * unit_x, self.y + (top + 0.1) * unit_y
        dx, dy = width * unit_x * inset, height * unit_y * inset
        return x0 + dx, y0 + dy, x0 + width * unit_x - dx, y0 + height * unit_y - dy

    def point(self, left, top):
        return self.rect(left, top, 0, 0)[:2]

    message = property(lambda self: self.rect(0, 0, 2, 2))
    below_button = property(lambda self: self.rect(0, 1, 2, 1, 0.01))
    next_day = property(lambda self: self.rect(0, 0, 0.5, 0.5, 0.05))
    day_label = property(lambda self: self.rect(2, 1, 1, 0.5, 0.08))
    picture = property(lambda self: self.rect(2, 0, 1, 1, 0.05))
    third_choice = property(lambda self: self.rect(0, 0.6, 0.5, 0.3, 0.05))


class Game:
    """A game folder of the case's own, the program copied beside its content."""

    def __init__(self, program, game_dir):
        self.root, self.env = tempfile.mkdtemp(prefix="miradel-e2e-"), {}
        self.folder = os.path.join(self.root, "game")
        shutil.copytree(game_dir, self.folder, ignore=shutil.ignore_patterns("CMake*", "*.cmake", "miradel"))
        shutil.copy(program, self.path("miradel"))

    def remove(self):
        subprocess.run(["umount", "-l", self.folder], capture_output=True)
        shutil.rmtree(self.root, ignore_errors=True)

    def path(self, relative):
        return os.path.join(self.folder, relative)

    def write(self, relative, data):
        hostile.write(self.folder, relative, data)

    def scene(self, name, *lines):
        self.write("txt/%s.dat" % name, b"".join(line.encode("cp932") + b"\r\n" for line in lines))

    def tiny(self, *removed):
        """Every scene one line and the endings restarting, a whole game in a few clicks; less `removed`."""
        for name in SCENES:
            self.scene(name, name + "の場面", *[">end"][:name.startswith("end")])
        for name in removed:
            os.remove(self.path(name))

    def rename(self, name):
        os.rename(self.folder, os.path.join(self.root, name))
        self.folder = os.path.join(self.root, name)

    def run(self, screen):
        return Run(screen, [self.path("miradel")], self.root, self.env)


class Run:
    """One start of a program; `end()` makes sure it is gone and fails on a sanitizer report."""

    def __init__(self, screen, command, cwd, env=None):
        self.screen, self.errors, self.window = screen, tempfile.TemporaryFile(), None
        full = {**screen.env, "SDL_AUDIODRIVER": os.environ.get("SDL_AUDIODRIVER", "dummy"), **(env or {})}
        self.process = subprocess.Popen(command, cwd=cwd, env=full, stdout=subprocess.DEVNULL, stderr=self.errors)

    def stderr(self):
        self.errors.seek(0)
        return self.errors.read().decode("utf-8", "replace")

    def find_window(self):
        def shown():
            if self.process.poll() is not None:
                raise AssertionError("ended at start, status %d:\n%s" % (self.process.returncode, self.stderr()))
            return self.screen.windows()
        self.window = poll("the window", shown)[0]
        self.layout = Layout(*self.screen.geometry(self.window))

    def shows(self, what):
        """The screenshot if it shows "text" (red), "next day" or "choices" (dark there, no red below)."""
        shot, layout = self.screen.shot(), self.layout
        clear = shot.share(layout.below_button, "red") == 0
        choices = clear and shot.share(layout.third_choice, "dark") > 0.005
        if what == "text":
            return shot.share(layout.message, "red") > 0.0005 and not choices and shot
        return (choices if what == "choices" else clear and shot.share(layout.next_day, "dark") > 0.005) and shot

    def message(self):
        return self.screen.shot().pixels(self.layout.message)

    def click_message(self):
        self.screen.click(*self.layout.point(1.5, 1.6))

    def expect_end(self, status, what):
        poll("miradel to end", lambda: self.process.poll() is not None, 30)
        if self.process.returncode != status:
            raise AssertionError("%s: status %d, not %d:\n%s" % (what, self.process.returncode, status, self.stderr()))

    def close(self):
        self.screen.close(self.window)
        self.expect_end(0, "closing")

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if SANITIZER_REPORT.search(self.stderr()):
            raise AssertionError("sanitizer report:\n" + self.stderr())


@contextlib.contextmanager
def started(run, text=True):
    """`run` once its window is found and, with `text`, shows red text; the process is gone afterwards."""
    try:
        run.find_window()
        if text:
            poll("red text in the message area", lambda: run.shows("text"))
        yield run
    finally:
        run.end()


def plays(then=lambda run, game: None, prepare=lambda game: None, end=lambda run: run.close()):
    """`prepare(game)`; red text; `then(run, game)`; `end(run)` (closed with status 0); nothing reported."""
    def go(screen, game):
        prepare(game)
        with started(game.run(screen)) as run:
            then(run, game)
            end(run)
            if re.search("^miradel: ", run.stderr(), re.M):
                raise AssertionError("a report while playing:\n" + run.stderr())
    return go


def walk(run, *steps, limit=LIMIT):
    """Steps: xdotool words for the window, or a callable; then the state shown ("still choices": for 8 shots)."""
    for act, state in steps:
        if callable(act):
            act()
        elif act:
            run.screen.xdo("windowfocus", "--sync", run.window)
            run.screen.xdo(*act.split())
        if state == "still choices":
            if not all(run.shows("choices") for _ in range(8)):
                raise AssertionError("%r took a choice" % act)
        elif state:
            poll("the %s after %r" % (state, act), lambda: run.shows(state), limit)


def normal_game(run, game):
    """White digits on the red day label, the title picture, clicks up to the next day."""
    shot = run.screen.shot()
    red, white = shot.share(run.layout.day_label, "red"), shot.share(run.layout.day_label, "white")
    if red < 0.6 or white < 0.01:
        raise AssertionError("day label: %.2f red, %.2f white; expected white digits on red" % (red, white))
    shot.expect_picture(run.layout, game.path("img/ttl.jpg"))
    poll("the next-day button after the opening", lambda: run.shows("next day"), 120, 0.02, run.click_message)


def music_plays(screen, game, folder=None):
    """SDL's disk driver gets bgm.wav's own sounds (16-bit stereo), cut to half a second, and again after its end."""
    if folder:
        game.rename(folder)
    with wave.open(game.path("bgm.wav")) as source:
        params, samples = source.getparams(), source.readframes(22050)
    with wave.open(game.path("bgm.wav"), "wb") as cut:
        cut.setparams(params)
        cut.writeframes(samples)
    if params.nchannels == 1:
        samples = b"".join(samples[i:i + 2] * 2 for i in range(0, len(samples) - 1, 2))
    heard = samples.lstrip(b"\0")[:8192]
    output = pathlib.Path(game.root, "sound.raw")
    game.env = {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": str(output)}
    twice = lambda: heard and output.exists() and output.read_bytes().count(heard) > 1
    plays(lambda *_: poll("the music twice", twice))(screen, game)


def content(prepare, report=None, how=""):
    """No `report`: the game plays; else "miradel: <report>", then status 1 once its box is answered (`how`)."""
    if not report:
        return plays(prepare=prepare)

    def expect(screen, game):
        prepare(game)
        run = game.run(screen)
        try:
            pattern = re.compile("^miradel: " + report, re.M)
            if how in ("play", "either"):
                run.find_window()

            def outcome():
                if pattern.search(run.stderr()):
                    return "report"
                if run.process.poll() is not None:
                    raise AssertionError("ended without the report:\n" + run.stderr())
                if how == "play":
                    # Every place something can be on offer: the message area, the next-day button or a choice.
                    for point in ((1.5, 1.6), (0.25, 0.15), (0.25, 0.45), (0.25, 0.75)):
                        screen.click(*run.layout.point(*point))
                return how == "either" and run.shows("text") and "text"
            if poll("text or a report", outcome) == "text":
                return run.close()
            answer = screen.close if how == "close" else lambda box: screen.xdo("key", "--window", box, "Return")
            # The box may not be mapped yet when the report is on stderr: answer whatever shows.
            poll("miradel to end after its report", lambda: run.process.poll() is not None, pause=0.3,
                 act=lambda: [answer(box) for box in screen.windows()])
            run.expect_end(1, "after the report")
        finally:
            run.end()
    return expect


def read_only(game):
    """The content on a read-only bind mount of a copy (needs root)."""
    if os.geteuid() != 0:
        raise Skipped("needs root to mount")
    shutil.copytree(game.folder, game.folder + "-content")
    for args in (["--bind", game.folder + "-content", game.folder], ["-o", "remount,bind,ro", game.folder]):
        mounted = subprocess.run(["mount"] + args, capture_output=True, text=True)
        if mounted.returncode != 0:
            raise Skipped("cannot mount here: " + mounted.stderr.strip())


def no_japanese_font(screen, game):
    """Without a Japanese font the game plays, and says once which package brings one."""
    config = pathlib.Path(game.root, "fonts.conf")
    config.write_text('<?xml version="1.0"?><fontconfig><dir>%s</dir></fontconfig>\n' % game.root)
    game.env = {"FONTCONFIG_FILE": str(config)}
    with started(game.run(screen), text=False) as run:
        poll("the notice", lambda: "fonts-ipafont-gothic" in run.stderr())
        if run.stderr().count("fonts-ipafont-gothic") != 1:
            raise AssertionError("said more than once:\n" + run.stderr())
        run.close()


def hanging_device(game):
    """SDL's disk driver on a FIFO that nobody reads: the sound device's open never returns."""
    game.env = {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": os.path.join(game.root, "fifo")}
    os.mkfifo(game.env["SDL_DISKAUDIOFILE"])


def sigterm(run):
    """A logout's SIGTERM ends the program too."""
    run.process.send_signal(signal.SIGTERM)
    run.expect_end(-signal.SIGTERM, "SIGTERM")


def start_without(display, pattern):
    """No display, or a "silent" one that takes the connection and never answers: one line, status 1 within 15 s."""
    def go(screen, game):
        env = {name: value for name, value in screen.env.items() if name not in ("DISPLAY", "WAYLAND_DISPLAY")}
        with socket.create_server(("127.0.0.1", 0)) as silent:
            if display:
                port = silent.getsockname()[1]
                env["DISPLAY"] = "127.0.0.1:%d" % (port - 6000) if display == "silent" else display
            began = time.monotonic()
            done = subprocess.run([game.path("miradel")], cwd=game.root, env=dict(env, SDL_AUDIODRIVER="dummy"),
                                  capture_output=True, text=True, timeout=LIMIT)
        lines = done.stderr.splitlines()
        if done.returncode != 1 or len(lines) != 1 or not re.match(pattern, lines[0]) or time.monotonic() - began > 15:
            raise AssertionError("status %d in %.1f s:\n%s" % (done.returncode, time.monotonic() - began, done.stderr))
    return go


def page_stopped(run):
    """The message area's pixels once they stand still: a page waiting for a click."""
    last = [None]

    def still():
        now, before = run.message(), last[0]
        last[0] = now
        return now == before and now
    return poll("the page to stop", still, pause=0.5)


def skip_keys(run, _):
    """Ctrl held reads up to the next-day button, S up to the choices; neither takes what is offered."""
    try:
        walk(run, ("keydown ctrl", "next day"), limit=120)
    finally:
        run.screen.xdo("keyup", "ctrl")
    walk(run, ("key Return", "text"), ("key s", "choices"), (None, "still choices"), limit=120)


def backlog_keys(run, _):
    """PageUp and the wheel show pages read before; Escape, a click and the wheel return to the page as it was."""
    page_stopped(run)
    run.click_message()
    page = page_stopped(run)
    x, y = run.layout.point(1.0, 1.0)
    click = run.screen.click
    for way, open_backlog, close_backlog in (
            ("PageUp, Escape", "key Prior", "key Escape"),
            ("wheel away, click", lambda: click(x, y, 4), lambda: click(x, y)),
            ("two notches away, back until it closes", lambda: [click(x, y, 4) for _ in range(2)],
             lambda: poll("the wheel to close the backlog", lambda: run.message() == page, pause=0.2,
                          act=lambda: click(x, y, 5)))):
        walk(run, (open_backlog, None))
        poll("the backlog (%s)" % way, lambda: run.message() != page)
        walk(run, (close_backlog, None))
        poll("the page as it was (%s)" % way, lambda: run.message() == page)
    if page_stopped(run) != page:
        raise AssertionError("the page moved on behind the backlog")


def full_screen_keys(run, game):
    """F11 and Alt+Enter lay the game out centred in white over the screen; F11 and Escape bring the window back."""
    screen, (width, height) = run.screen, run.screen.size
    area_width, area_height = min(width, height * 3 // 2), round(min(width, height * 3 // 2) * 2 / 3)
    area = Layout((width - area_width) // 2, (height - area_height) // 2, area_width, area_height)
    windowed = screen.geometry(run.window)[2:]
    for enter, leave in (("F11", "F11"), ("alt+Return", "Escape")):
        walk(run, ("key " + enter, None))
        poll("full screen after " + enter, lambda: screen.geometry(run.window)[2:] == screen.size)
        shot = poll("the day label in the full-screen layout",
                    lambda: (lambda shot: shot.share(area.day_label, "red") > 0.6 and shot)(screen.shot()))
        for margin in ((0, 0, width, area.y), (0, area.y + area.height, width, height)):
            if margin[3] > margin[1] and shot.share(margin, "white") < 0.99:
                raise AssertionError("the margin %s is not white" % (margin,))
        shot.expect_picture(area, game.path("img/ttl.jpg"))
        walk(run, ("key " + leave, None))
        poll("the window again after " + leave, lambda: screen.geometry(run.window)[2:] == windowed)


def on_desktop(size, wm, play):
    """The window's outer size at first sight and with the first text, then `play`."""
    def go(_, game):
        game.tiny()
        with x_server(size, wm) as screen, started(game.run(screen), text=False) as run:
            screen.expect_outer(run.window, "at first sight")
            poll("red text in the message area", lambda: run.shows("text"))
            screen.expect_outer(run.window, "with the first text")
            play(screen, run)
    return go


def window_size(screen, run):
    """The outer size through moving, minimising and restoring; the window manager's close."""
    window = run.window
    if not screen.wm:
        return run.close()
    x, y, _, _ = screen.geometry(window)
    screen.xdo("windowmove", window, x // 2 + 7, y // 2 + 5)
    poll("the window to move", lambda: screen.geometry(window)[:2] != (x, y))
    screen.expect_outer(window, "after moving")
    screen.xdo("windowminimize", window)
    poll("the window to be minimised", lambda: "state: Iconic" in screen.run("xprop", "-id", window, "WM_STATE"))
    screen.run("wmctrl", "-i", "-a", hex(window))
    poll("the window to be restored", lambda: "state: Normal" in screen.run("xprop", "-id", window, "WM_STATE")
         and window in screen.windows())
    # The restore lays the window out again: it must come out the same.
    poll("the laid-out size after restoring", lambda: screen.expect_outer(window, None), 10)
    run.layout = Layout(*screen.geometry(window))
    poll("red text after restoring", lambda: run.shows("text"))
    screen.run("wmctrl", "-i", "-c", hex(window))
    run.expect_end(0, "closing through the window manager")


def outside_resizes(screen, run):
    """Sizes forced from outside, and a storm of 300: the window comes back to its own size (a manager refuses them)."""
    own = screen.geometry(run.window)[2:]
    back = lambda: screen.geometry(run.window)[2:] == own
    for forced in ((own[0], 300), (own[0], own[1] + 1), (300, own[1]), (own[0] - 1, own[1]), (300, 200)):
        screen.xdo("windowsize", run.window, *forced)
        poll("the size to come back after %dx%d" % forced, back)
    sizes = random.Random(14)
    screen.xdo(*[arg for _ in range(300) for arg in ("windowsize", run.window, sizes.randint(1, 1200),
                                                     sizes.randint(1, 900))])
    poll("the size to come back after a storm of 300 sizes", back)
    screen.expect_outer(run.window, "after the resizes")
    run.close()


def keys_never_take_a_choice(screen, run):
    """Space, held or pressed afresh, and Enter read on but never take a choice; Down and then Enter take one."""
    screen.xdo("mousemove", 0, 0)
    poll("the next-day button, reading on with Space", lambda: run.shows("next day"), pause=0.2,
         act=lambda: screen.xdo("key", "space"))
    # Space held down reads the scene to its end and goes on repeating over the choices.
    try:
        walk(run, ("key space", "text"), ("keydown space", "choices"), (None, "still choices"))
    finally:
        screen.xdo("keyup", "space")
    walk(run, ("key space Return KP_Enter space", "still choices"), ("key Down Return", "text"))
    run.close()


CASES = {
    "normal_game": plays(normal_game),
    "music_plays": music_plays,
    # Missing content: fatal, naming the file; deep in the game, found by clicking through it.
    "missing_opn": content(lambda g: os.remove(g.path("txt/opn.dat")), r"txt/opn\.dat"),
    "missing_ttl": content(lambda g: os.remove(g.path("img/ttl.jpg")), r"img/ttl\.jpg"),
    "missing_day_scene": content(lambda g: os.remove(g.path("txt/0.dat")), r"txt/0\.dat", "play"),
    "missing_choice_scene": content(lambda g: g.tiny("txt/00.dat", "txt/30.dat"), r"txt/[03]0\.dat", "play"),
    "missing_ending": content(lambda g: g.tiny(*("txt/end%d.dat" % i for i in range(3))), r"txt/end[012]\.dat", "play"),
    "missing_blink_frame": content(lambda g: g.tiny("img/0_.jpg"), r"img/0_\.jpg", "play"),
    "missing_img_picture": content(lambda g: g.scene("opn", "はじめ", ">img nothere", "つぎ"),
                                   r"txt/opn\.dat:2: .*img/nothere\.jpg"),
    "empty_scene": content(lambda g: g.write("txt/opn.dat", b""), r"txt/opn\.dat"),
    # Broken pictures: a report naming the file, or the picture shown.
    "zero_byte_jpeg": content(lambda g: g.write("img/ttl.jpg", b""), r"img/ttl\.jpg"),
    "non_jpeg": content(lambda g: g.write("img/ttl.jpg", b"this is not a picture\r\n"), r"img/ttl\.jpg"),
    "truncated_jpeg": content(lambda g: os.truncate(g.path("img/ttl.jpg"), 300), r"img/ttl\.jpg", "either"),
    "cmyk_jpeg": content(lambda g: subprocess.check_call(["mogrify", "-colorspace", "CMYK", g.path("img/ttl.jpg")])),
    "progressive_jpeg": content(lambda g: subprocess.check_call(["mogrify", "-interlace", "JPEG",
                                                                 g.path("img/ttl.jpg")])),
    # Broken music and odd scene bytes: the game plays on, silent or showing the bytes as text.
    "missing_bgm": content(lambda g: os.remove(g.path("bgm.wav"))),
    "empty_bgm": content(lambda g: g.write("bgm.wav", b"")),
    "truncated_bgm": content(lambda g: os.truncate(g.path("bgm.wav"), 100)),
    "non_wav_bgm": content(lambda g: g.write("bgm.wav", b"RIFX" + os.urandom(4000))),
    "invalid_shift_jis": content(lambda g: g.write("txt/opn.dat", b"\x81\x20\xa0\xfd\xff abc\r\n\x82\r\n")),
    "nul_bytes": content(lambda g: g.write("txt/opn.dat", b"ab\x00cd\x00\r\n\x00\x00\x00\r\nend\r\n")),
    "ten_megabyte_line": content(lambda g: g.write("txt/opn.dat", b"\x82\xa0" * (5 * 1024 * 1024) + b"\r\n")),
    "million_lines": content(lambda g: g.write("txt/opn.dat", b"line\r\n" * 1000000)),
    # Hostile files: a named error or silent music, never a crash, a hang or gigabytes.
    **{name: content(lambda g, make=make: make(g.folder), report) for name, (make, report) in hostile.CASES.items()},
    "no_japanese_font": no_japanese_font,
    # Where the game lies.
    "folder_with_blanks_and_japanese": content(lambda g: g.rename("空 織り の 塔 game")),
    "read_only_content": content(read_only),
    "cp932_folder": content(lambda g: g.rename(hostile.CP932_FOLDER)),
    "latin1_folder": content(lambda g: g.rename(hostile.LATIN1_FOLDER)),
    "music_plays_in_quoted_folder": lambda screen, game: music_plays(screen, game, hostile.QUOTED_FOLDER),
    # Every way out.
    "close_mid_scene": plays(),
    "close_at_page_stop": plays(lambda run, _: page_stopped(run)),
    "close_during_choices": plays(lambda run, _: walk(run, (run.click_message, "next day"), (lambda: run.screen.click(
        *run.layout.point(0.25, 0.25)), "text"), (run.click_message, "choices")), Game.tiny),
    "close_from_fatal_report": content(lambda g: os.remove(g.path("txt/opn.dat")), r"txt/opn\.dat", "close"),
    "close_by_signal": plays(end=sigterm),
    "close_while_sound_device_hangs": plays(lambda run, _: poll("the device open to hang", lambda: "wait_for_partner" in
                                            run.screen.run("sh", "-c", "cat /proc/%d/task/*/wchan" % run.process.pid)),
                                            hanging_device),
    "start_without_display": start_without(None, r"miradel: no display .*DISPLAY is not set"),
    "start_display_unreachable": start_without(":59999", r"miradel: .*could not connect to display :59999"),
    "start_display_silent": start_without("silent", r"miradel: the game cannot open its window: .*did not answer"),
    # The player's keys.
    "skip_keys": plays(skip_keys),
    "backlog_keys": plays(backlog_keys),
    "full_screen_keys": plays(full_screen_keys),
    # The whole road to a choice from the keyboard, the choice chosen with the arrows.
    "arrow_keys": plays(lambda run, _: walk(run, ("key Return", "next day"), ("key Return", "text"),
                                            ("key Return", "choices"), ("key Down Up Down", "still choices"),
                                            ("key Return", "text")), Game.tiny),
    # On a desktop: screens of their own, framed by openbox or bare.
    **{"window_size_%s_%s" % (name, "framed" if wm else "bare"): on_desktop(size, wm, window_size)
       for name, size in (("768", (1024, 768)), ("1080", (1920, 1080)), ("portrait", (800, 1280))) for wm in (1, 0)},
    **{"outside_resizes_" + ("framed" if wm else "bare"): on_desktop((1024, 768), wm, outside_resizes)
       for wm in (1, 0)},
    "keys_never_take_a_choice": on_desktop((1024, 768), True, keys_never_take_a_choice),
}
GROUPS = {"normal": ["normal_game", "music_plays"]}
GROUPS.update({group: [name for name in CASES if re.match(pattern, name)] for group, pattern in (
    ("keys", r".*_keys$"), ("ways-out", "close_|start_"), ("desktop", "window_size_|outside_resizes_|keys_"))})
GROUPS["bad-content"] = [name for name in CASES if not any(name in group for group in GROUPS.values())]


def main():
    program, game_dir, wanted = sys.argv[1:4]
    failed = []
    try:
        with x_server(wm="--wm" in sys.argv[4:]) as screen:
            for name in GROUPS.get(wanted, [wanted]):
                began = time.monotonic()
                game = Game(program, game_dir)
                try:
                    CASES[name](screen, game)
                    print("PASS %s (%.1fs)" % (name, time.monotonic() - began), flush=True)
                except Skipped as reason:
                    print("SKIP %s: %s" % (name, reason), flush=True)
                except Exception as error:
                    failed.append(name)
                    print("FAIL %s: %s" % (name, error), flush=True)
                finally:
                    game.remove()
    except Skipped as reason:
        print("SKIP %s: %s" % (wanted, reason), flush=True)
        return SKIP
    return 1 if failed else 0


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(2))
    sys.exit(main())
