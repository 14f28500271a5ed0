#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The real `miradel` on an Xvfb screen of its own, driven with xdotool, read back from screenshots.

Usage: e2e.py PROGRAM GAME_DIR CASE|GROUP [--wm]   (--wm: openbox frames the window, as on a desktop)
Every wait polls for what it expects with a generous limit. Exit status 0: passed, 77: skipped.
"""
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

import hostile_content as hostile

SCREEN = (1280, 1024)
LIMIT = 60.0
SKIP = 77
SANITIZER_REPORT = re.compile(r"ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY: \w+Sanitizer")


class Failure(Exception):
    pass


class Skipped(Exception):
    pass


def poll(what, test, limit=LIMIT, pause=0.05):
    """`test()` until it returns something true; a test may act (click, press) and return None."""
    deadline = time.monotonic() + limit
    while True:
        value = test()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(pause)


def acting(done, act):
    """A test for `poll` that does `act()` (a click, a key) each time `done()` is not yet true."""
    def test():
        value = done()
        if not value:
            act()
        return value
    return test


def is_red(pixel):
    return pixel[0] > 150 and pixel[1] < 110 and pixel[2] < 110


def is_white(pixel):
    return min(pixel) > 235


def is_dark(pixel):
    return max(pixel) < 120


class Screen:
    """An Xvfb of its own on a free display number; with `wm`, openbox frames every window."""

    def __init__(self, size=SCREEN, wm=False):
        self.size, self.wm, self.processes = size, wm, []

    def __enter__(self):
        read_end, write_end = os.pipe()
        # -noreset: a program started while the server resets after its last client left cannot connect.
        self.processes.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % self.size, "-nolisten", "tcp",
             "-noreset"], pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            self.display = ":" + pipe.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("QT_QPA_PLATFORM", None)
        try:
            if self.display == ":":
                raise Failure("Xvfb did not start")
            if self.wm:
                self.manage()
        except BaseException:
            self.__exit__()
            raise
        return self

    def manage(self):
        # Under load openbox now and then ends at start without a word: it gets a second try.
        if not shutil.which("openbox"):
            raise Skipped("openbox is not installed")
        for _ in range(2):
            errors = tempfile.TemporaryFile()
            manager = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdout=subprocess.DEVNULL,
                                       stderr=errors)
            self.processes.insert(0, manager)
            poll("openbox to manage the screen", lambda: manager.poll() is not None
                 or "window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"))
            if manager.poll() is None:
                return
            errors.seek(0)
            print("  openbox ended with status %d: %s" % (manager.returncode, errors.read().decode()), flush=True)
        raise Failure("openbox did not start")

    def __exit__(self, *_):
        for process in self.processes:
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def run(self, *args):
        return subprocess.run([str(arg) for arg in args], env=self.env, capture_output=True, text=True,
                              timeout=LIMIT).stdout

    def xdo(self, *args):
        return self.run("xdotool", *args)

    def windows(self):
        return [int(line) for line in self.xdo("search", "--onlyvisible", "--name", "^Miradel$").split()]

    def geometry(self, window):
        shell = self.xdo("getwindowgeometry", "--shell", window).split()
        values = dict(line.split("=", 1) for line in shell if "=" in line)
        if "WIDTH" not in values:
            raise Failure("the window %d is gone" % window)
        return tuple(int(values[name]) for name in ("X", "Y", "WIDTH", "HEIGHT"))

    def outer_size(self, window):
        """The size with the window manager's frame and title bar, if any."""
        extents = self.run("xprop", "-id", window, "_NET_FRAME_EXTENTS").partition("=")[2]
        frame = [int(number) for number in re.findall(r"\d+", extents)] or [0, 0, 0, 0]
        _, _, width, height = self.geometry(window)
        return width + frame[0] + frame[1], height + frame[2] + frame[3]

    def state(self, window):
        """"Normal" or "Iconic" as the window manager keeps it."""
        found = re.search(r"window state: (\w+)", self.run("xprop", "-id", window, "WM_STATE"))
        return found and found.group(1)

    def click(self, x, y, button=1):
        self.xdo("mousemove", int(x), int(y), "click", button)

    def press(self, window, *keys):
        """Real key presses (XTEST) once the window has the keyboard."""
        self.xdo("windowfocus", "--sync", window)
        self.xdo("key", "--delay", 50, *keys)

    def shot(self):
        data = subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", "rgb:-"],
                              capture_output=True, timeout=LIMIT).stdout
        return Shot(self.size[0], data)

    def close(self, window):
        """WM_DELETE_WINDOW, as a window manager's close box sends it (xdotool can only destroy)."""
        x11 = ctypes.CDLL("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        connection = x11.XOpenDisplay(self.display.encode())
        if not connection:
            raise Failure("cannot open " + self.display)
        protocols, delete = (x11.XInternAtom(connection, name, 0) for name in (b"WM_PROTOCOLS", b"WM_DELETE_WINDOW"))
        # XClientMessageEvent on 64 bits: type, serial, send_event, display, window, message_type,
        # format, five longs of data; padded to the size of XEvent.
        event = struct.pack("iLiPLLi4xlllll", 33, 0, 1, 0, window, protocols, 32, delete, 0, 0, 0, 0)
        x11.XSendEvent(connection, window, 0, 0, ctypes.create_string_buffer(event.ljust(192, b"\0")))
        x11.XFlush(connection)
        x11.XCloseDisplay(connection)


class Shot:
    """A screenshot: rows of 8-bit RGB."""

    def __init__(self, width, data):
        self.width, self.data = width, data

    def pixels(self, rect):
        left, top, right, bottom = (int(value) for value in rect)
        found = []
        for y in range(top, bottom):
            row = self.data[(y * self.width + left) * 3:(y * self.width + right) * 3]
            found += zip(row[0::3], row[1::3], row[2::3])
        return found

    def share(self, rect, test):
        pixels = self.pixels(rect)
        return sum(1 for pixel in pixels if test(pixel)) / max(1, len(pixels))

    def mean(self, rect):
        pixels = self.pixels(rect)
        return [sum(pixel[i] for pixel in pixels) / max(1, len(pixels)) for i in range(3)]


class Layout:
    """The controls in screen pixels: the inner area is 3.2 x 2.2 units whose top left is at (-0.1, -0.1)."""

    def __init__(self, x, y, width, height):
        self.x, self.y, self.width, self.height = x, y, width, height

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


def expect_picture(shot, layout, path):
    """The picture area's mean colour is the picture file's."""
    expected = subprocess.run(["convert", path, "-resize", "1x1!", "-depth", "8", "rgb:-"], capture_output=True,
                              timeout=LIMIT).stdout
    seen = shot.mean(layout.picture)
    if max(abs(a - b) for a, b in zip(expected, seen)) > 40:
        raise Failure("picture area mean %s, picture file mean %s" % (seen, list(expected)))


class Game:
    """A game folder of the case's own, the program copied beside its content."""

    def __init__(self, program, game_dir):
        self.root = tempfile.mkdtemp(prefix="miradel-e2e-")
        self.folder = os.path.join(self.root, "game")
        for part in ("txt", "img"):
            shutil.copytree(os.path.join(game_dir, part), self.path(part))
        shutil.copy(os.path.join(game_dir, "bgm.wav"), self.folder)
        shutil.copy(program, self.path("miradel"))

    def __enter__(self):
        return self

    def __exit__(self, *_):
        subprocess.run(["umount", "-l", self.folder], capture_output=True)
        shutil.rmtree(self.root, ignore_errors=True)

    def path(self, relative):
        return os.path.join(self.folder, relative)

    def write(self, relative, data):
        hostile.write(self.folder, relative, data)

    def scene(self, name, *lines):
        self.write("txt/%s.dat" % name, b"".join(line.encode("cp932") + b"\r\n" for line in lines))

    def remove(self, *names):
        for name in names:
            os.remove(self.path(name))

    def tiny(self, *removed):
        """Every scene one line and the endings restarting, a whole game in a few clicks; less `removed`."""
        for name in ["opn", "not", "0", "1", "2", "3"] + ["%d%d" % (d, c) for d in range(4) for c in range(4)]:
            self.scene(name, name + "の場面")
        for ending in ("end0", "end1", "end2"):
            self.scene(ending, "おしまい", ">end")
        self.remove(*removed)

    def rename(self, name):
        os.rename(self.folder, os.path.join(self.root, name))
        self.folder = os.path.join(self.root, name)

    def run(self, screen, env=None):
        return Run(screen, [self.path("miradel")], self.root, env)


class Run:
    """One start of a program; `end()` makes sure it is gone and fails on a sanitizer report."""

    def __init__(self, screen, command, cwd, env=None):
        self.screen, self.errors, self.window = screen, tempfile.TemporaryFile(), None
        full = dict(screen.env, SDL_AUDIODRIVER=os.environ.get("SDL_AUDIODRIVER", "dummy"))
        full.update(env or {})
        self.process = subprocess.Popen(command, cwd=cwd, env=full, stdout=subprocess.DEVNULL, stderr=self.errors)

    def stderr(self):
        self.errors.seek(0)
        return self.errors.read().decode("utf-8", "replace")

    def find_window(self):
        def shown():
            if self.process.poll() is not None:
                raise Failure("miradel ended at start with status %d:\n%s" % (self.process.returncode, self.stderr()))
            return self.screen.windows()
        self.window = poll("the window", shown)[0]
        self.layout = Layout(*self.screen.geometry(self.window))
        return self.window

    def shows(self, what):
        """The screenshot if it shows "text" (red in the message area) or, with no red below the
        button, "next day" or "choices" on offer."""
        shot, layout = self.screen.shot(), self.layout
        if what == "text":
            return shot.share(layout.message, is_red) > 0.0005 and shot
        area = layout.next_day if what == "next day" else layout.third_choice
        return shot.share(layout.below_button, is_red) == 0 and shot.share(area, is_dark) > 0.005 and shot

    def click_message(self):
        self.screen.click(*self.layout.point(1.5, 1.6))

    def expect_end(self, status, what, limit=30):
        poll("miradel to end", lambda: self.process.poll() is not None, limit)
        if self.process.returncode != status:
            raise Failure("%s: status %d, not %d:\n%s" % (what, self.process.returncode, status, self.stderr()))

    def close(self):
        self.screen.close(self.window)
        self.expect_end(0, "closing")

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if SANITIZER_REPORT.search(self.stderr()):
            raise Failure("sanitizer report:\n" + self.stderr())


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


def expected_outer(screen_size):
    """The window's outer size on a screen with no panels: four fifths of the screen height wide,
    or the widest that fits; two thirds of that tall."""
    width = int(min(screen_size[1] * 4 / 5, screen_size[0], screen_size[1] * 3 / 2) + 0.5)
    return width, int(width * 2 / 3 + 0.5)


def expect_outer(screen, window, size, when):
    if screen.outer_size(window) != expected_outer(size):
        raise Failure("%s: window %s outside, expected %s" % (when, screen.outer_size(window), expected_outer(size)))


def normal_game(screen, game):
    """The window at the layout's size, white digits on the red day label, the title picture, and
    clicks through the opening up to the next-day button."""
    with started(game.run(screen), text=False) as run:
        expect_outer(screen, run.window, screen.size, "at first sight")
        shot = poll("red text in the message area", lambda: run.shows("text"))
        red, white = shot.share(run.layout.day_label, is_red), shot.share(run.layout.day_label, is_white)
        if red < 0.6 or white < 0.01:
            raise Failure("day label: %.2f red, %.2f white; expected white digits on red" % (red, white))
        expect_picture(shot, run.layout, game.path("img/ttl.jpg"))
        poll("the next-day button after the opening", acting(lambda: run.shows("next day"), run.click_message),
             limit=120, pause=0.02)
        run.close()


# --- content as authors leave it: the game plays on, or ends with a report naming the file ---

def expect(screen, game, report=None, how=""):
    """No `report`: red text, a clean close, and nothing said on stderr. Otherwise "miradel: <report>"
    on stderr and status 1 once the report's box is answered with Return (`how` "close": closed).
    `how` "play" clicks through the game until the report; "either" also accepts playing."""
    run = game.run(screen)
    try:
        pattern = re.compile("^miradel: " + (report or ""), re.M)
        plays = how == "either" or not report
        if plays or how == "play":
            run.find_window()

        def outcome():
            if pattern.search(run.stderr()):
                return "report"
            if run.process.poll() is not None:
                return "end"
            if how == "play":
                play_everything(run)
            elif plays:
                return run.shows("text") and "text"
        seen = poll("text or a report", outcome)
        if seen not in (("text", "report") if how == "either" else ("text",) if plays else ("report",)):
            raise Failure("%s, expected %s:\n%s" % (seen, "text" if plays else "a report", run.stderr()))
        if seen == "text":
            run.close()
            if pattern.search(run.stderr()):
                raise Failure("a report while playing:\n" + run.stderr())
            return
        answer = screen.close if how == "close" else lambda box: screen.xdo("key", "--window", box, "Return")

        def answered():
            # The box may not be mapped yet when the report is on stderr: answer whatever shows.
            for box in screen.windows():
                answer(box)
            return run.process.poll() is not None
        poll("miradel to end after its report", answered, pause=0.3)
        run.expect_end(1, "after the report")
    finally:
        run.end()


def play_everything(run):
    """One round of clicks on every place something can be on offer: the message area, the
    next-day button or first choice, the second and the third choice."""
    for point in ((1.5, 1.6), (0.25, 0.15), (0.25, 0.45), (0.25, 0.75)):
        if run.process.poll() is None:
            run.screen.click(*run.layout.point(*point))


def content(prepare, report=None, how=""):
    """A case: `prepare(game)` breaks the game folder, then `expect`."""
    return lambda screen, game: (prepare(game), expect(screen, game, report, how))


def removed(*names):
    return lambda game: game.remove(*names)


def written(relative, data):
    return lambda game: game.write(relative, data)


def cut(relative, size):
    return lambda game: game.write(relative, hostile.read(game.folder, relative)[:size])


def converted(relative, *args):
    return lambda game: subprocess.run(["convert", game.path(relative), *args, game.path(relative)], check=True)


def renamed(name):
    return lambda game: game.rename(name)


def read_only(game):
    """The content on a read-only file system: a read-only bind mount of a copy (needs root)."""
    if os.geteuid() != 0:
        raise Skipped("needs root to mount")
    shutil.copytree(game.folder, game.folder + "-content")
    for args in (["--bind", game.folder + "-content", game.folder], ["-o", "remount,bind,ro", game.folder]):
        mounted = subprocess.run(["mount"] + args, capture_output=True, text=True)
        if mounted.returncode != 0:
            raise Skipped("cannot mount here: " + mounted.stderr.strip())


def no_fonts(game):
    config = os.path.join(game.root, "fonts.conf")
    pathlib.Path(config).write_text('<?xml version="1.0"?><fontconfig><dir>%s</dir></fontconfig>\n' % game.root)
    return {"FONTCONFIG_FILE": config}


def no_japanese_font(screen, game):
    """Without a font that has Japanese characters the game plays, and says once on stderr which
    package brings one."""
    with started(game.run(screen, no_fonts(game)), text=False) as run:
        poll("the notice", lambda: "fonts-ipafont-gothic" in run.stderr())
        if run.stderr().count("fonts-ipafont-gothic") != 1:
            raise Failure("said more than once:\n" + run.stderr())
        run.close()


def music_plays(screen, game, folder=None):
    """SDL's disk driver receives bgm.wav's own first sounds: 16-bit, stereo, mono samples doubled."""
    if folder:
        game.rename(folder)
    with wave.open(game.path("bgm.wav")) as source:
        channels, samples = source.getnchannels(), source.readframes(5 * 44100)
    if channels == 1:
        samples = b"".join(samples[i:i + 2] * 2 for i in range(0, len(samples) - 1, 2))
    start = (len(samples) - len(samples.lstrip(b"\0"))) // 4 * 4
    heard = samples[start:start + 8192]
    if not heard:
        raise Failure("bgm.wav is silent")
    output = pathlib.Path(game.root, "sound.raw")
    with started(game.run(screen, {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": str(output)})):
        poll("the music's first sounds in the audio output", lambda: output.exists() and heard in output.read_bytes())


# --- ways out ----------------------------------------------------------------------------

def close_at(state):
    """Closing the window mid-scene, at a page stop or with choices on offer ends with status 0."""
    def go(screen, game):
        if state == "choices":
            game.tiny()
        with started(game.run(screen)) as run:
            if state == "page":
                page_stopped(run)
            elif state == "choices":
                run.click_message()
                poll("the next-day button", lambda: run.shows("next day"))
                screen.click(*run.layout.point(0.25, 0.25))
                poll("the day scene", lambda: run.shows("text"))
                run.click_message()
                poll("the choices", lambda: run.shows("choices"))
            run.close()
    return go


def close_by_signal(screen, game):
    """SIGTERM (a session's logout, an "end task") ends the program while its music plays."""
    with started(game.run(screen)) as run:
        run.process.send_signal(signal.SIGTERM)
        run.expect_end(-signal.SIGTERM, "SIGTERM")


def close_while_sound_device_hangs(screen, game):
    """Closing ends the program at once while a stand-in mixer's device open never returns."""
    stand_in = os.environ.get("MIRADEL_HANGING_MIXER_DIR")
    if not stand_in:
        raise Skipped("no stand-in mixer library (MIRADEL_HANGING_MIXER_DIR)")
    mark = os.path.join(game.root, "device-open-hangs")
    paths = ":".join(filter(None, [stand_in, os.environ.get("LD_LIBRARY_PATH")]))
    with started(game.run(screen, {"LD_LIBRARY_PATH": paths, "MIRADEL_HANGING_MIXER_MARK": mark})) as run:
        poll("the device open to hang", lambda: os.path.exists(mark))
        run.close()


@contextlib.contextmanager
def silent_display():
    """A display that takes the connection and never answers."""
    number = 90 + os.getpid() % 100
    path = "/tmp/.X11-unix/X%d" % number
    if os.path.exists(path):
        raise Skipped("display :%d is taken" % number)
    os.makedirs("/tmp/.X11-unix", exist_ok=True)
    with socket.socket(socket.AF_UNIX) as listener:
        listener.bind(path)
        listener.listen(4)
        try:
            yield ":%d" % number
        finally:
            os.remove(path)


def start_without(display, pattern):
    """Without a display to show on the program says so in one line and ends with status 1, a
    silent display given up on within 10 seconds."""
    def go(screen, game):
        env = {name: value for name, value in screen.env.items() if name not in ("DISPLAY", "WAYLAND_DISPLAY")}
        with silent_display() if display == "silent" else contextlib.nullcontext(display) as name:
            if name:
                env["DISPLAY"] = name
            began = time.monotonic()
            done = subprocess.run([game.path("miradel")], cwd=game.root, env=dict(env, SDL_AUDIODRIVER="dummy"),
                                  capture_output=True, text=True, timeout=LIMIT)
        lines = done.stderr.splitlines()
        if done.returncode != 1 or len(lines) != 1 or not re.match(pattern, lines[0]):
            raise Failure("status %d, stderr:\n%s" % (done.returncode, done.stderr))
        if time.monotonic() - began > 15:
            raise Failure("took %.1f s to give up" % (time.monotonic() - began))
    return go


# --- the player's keys -------------------------------------------------------------------

def message_pixels(run):
    return run.screen.shot().pixels(run.layout.message)


def page_stopped(run):
    """The message area's pixels once they stand still: a page waiting for a click."""
    last = [None]

    def still():
        now, before = message_pixels(run), last[0]
        last[0] = now
        return now == before and now
    return poll("the page to stop", still, pause=0.5)


def skip_keys(screen, game):
    """Ctrl held reads the opening to the next-day button and presses nothing; S skips the day
    scene to the choices and switches itself off there."""
    with started(game.run(screen)) as run:
        screen.xdo("windowfocus", "--sync", run.window)
        screen.xdo("keydown", "ctrl")
        try:
            poll("the next-day button after skipping", lambda: run.shows("next day"), limit=120)
        finally:
            screen.xdo("keyup", "ctrl")
        screen.press(run.window, "Return")
        poll("the day scene", lambda: run.shows("text"))
        screen.press(run.window, "s")
        poll("the choices after skipping", lambda: run.shows("choices"), limit=120)
        if not run.shows("choices"):
            raise Failure("skipping went past the choices")
        run.close()


def backlog_keys(screen, game):
    """PageUp and the wheel show the pages read before; Escape, a click and the wheel back past
    the newest line return to the page as it was, and nothing was read on behind it."""
    with started(game.run(screen)) as run:
        page_stopped(run)
        run.click_message()
        page = page_stopped(run)
        x, y = run.layout.point(1.0, 1.0)
        towards = acting(lambda: message_pixels(run) == page, lambda: screen.click(x, y, 5))
        for way, open_backlog, close_backlog in (
                ("PageUp, Escape", lambda: screen.press(run.window, "Prior"),
                 lambda: screen.press(run.window, "Escape")),
                ("wheel away, click", lambda: screen.click(x, y, 4), lambda: screen.click(x, y)),
                ("two notches away, back until it closes", lambda: [screen.click(x, y, 4) for _ in range(2)],
                 lambda: poll("the wheel to close the backlog", towards, pause=0.2))):
            open_backlog()
            poll("the backlog (%s)" % way, lambda: message_pixels(run) != page)
            close_backlog()
            poll("the page as it was (%s)" % way, lambda: message_pixels(run) == page)
        # It waited: still the same page, nothing read on behind it.
        if page_stopped(run) != page:
            raise Failure("the page moved on behind the backlog")
        run.close()


def full_screen_keys(screen, game):
    """F11 and Alt+Enter lay the game out over the largest 3:2 area of the screen, centred with
    white margins; F11 and Escape bring back the window at its size."""
    width, height = screen.size
    area_width = min(width, height * 3 // 2)
    area = Layout((width - area_width) // 2, (height - round(area_width * 2 / 3)) // 2, area_width,
                  round(area_width * 2 / 3))

    def laid_out():
        shot = screen.shot()
        return shot.share(area.day_label, is_red) > 0.6 and shot
    with started(game.run(screen)) as run:
        windowed = screen.geometry(run.window)[2:]
        for enter, leave in (("F11", "F11"), ("alt+Return", "Escape")):
            screen.press(run.window, enter)
            poll("full screen after " + enter, lambda: screen.geometry(run.window)[2:] == screen.size)
            shot = poll("the day label in the full-screen layout", laid_out)
            for margin in ((0, 0, width, area.y), (0, area.y + area.height, width, height)):
                if margin[3] > margin[1] and shot.share(margin, is_white) < 0.99:
                    raise Failure("the margin %s is not white" % (margin,))
            expect_picture(shot, area, game.path("img/ttl.jpg"))
            screen.press(run.window, leave)
            poll("the window again after " + leave, lambda: screen.geometry(run.window)[2:] == windowed)
        run.close()


def arrow_keys(screen, game):
    """The whole road to a choice from the keyboard, the choice chosen with the arrows."""
    game.tiny()
    with started(game.run(screen)) as run:
        for key, then in (("Return", "next day"), ("Return", "text"), ("Return", "choices")):
            screen.press(run.window, key)
            poll("the %s after %s" % (then, key), lambda: run.shows(then))
        screen.press(run.window, "Down", "Up", "Down")
        if not run.shows("choices"):
            raise Failure("an arrow key took a choice")
        screen.press(run.window, "Return")
        poll("the choice's scene", lambda: run.shows("text"))
        run.close()


# --- on a desktop: screens of their own, bare or framed by openbox ---------------------------

def on_desktop(size, wm, play):
    def go(_, game):
        game.tiny()
        with Screen(size, wm) as screen, started(game.run(screen), text=False) as run:
            play(screen, run, size)
    return go


def window_size(screen, run, size):
    """The outer size is the layout's from the first sight of the window on, through moving,
    minimising and restoring; the window manager's own close ends the program."""
    window = run.window
    expect_outer(screen, window, size, "at first sight")
    poll("red text in the message area", lambda: run.shows("text"))
    expect_outer(screen, window, size, "with the first text")
    if not screen.wm:
        return run.close()
    x, y, _, _ = screen.geometry(window)
    screen.xdo("windowmove", window, x // 2 + 7, y // 2 + 5)
    poll("the window to move", lambda: screen.geometry(window)[:2] != (x, y))
    expect_outer(screen, window, size, "after moving")
    screen.xdo("windowminimize", window)
    poll("the window to be minimised", lambda: screen.state(window) == "Iconic")
    screen.run("wmctrl", "-i", "-a", hex(window))
    poll("the window to be restored", lambda: screen.state(window) == "Normal" and window in screen.windows())
    # The restore lays the window out again: it must come out the same.
    poll("the laid-out size after restoring", lambda: run.process.poll() is not None
         or screen.outer_size(window) == expected_outer(size), limit=10)
    expect_outer(screen, window, size, "after restoring")
    run.layout = Layout(*screen.geometry(window))
    poll("red text after restoring", lambda: run.shows("text"))
    screen.run("wmctrl", "-i", "-c", hex(window))
    run.expect_end(0, "closing through the window manager")


def outside_resizes(screen, run, size):
    """Sizes forced from outside in one dimension, in both, and a storm of 300: the program lives
    on and the window ends at its own size (a window manager refuses them itself)."""
    poll("red text in the message area", lambda: run.shows("text"))
    own = screen.geometry(run.window)[2:]

    def back():
        if run.process.poll() is not None:
            raise Failure("miradel ended with status %d:\n%s" % (run.process.returncode, run.stderr()))
        return screen.geometry(run.window)[2:] == own
    for forced in ((own[0], 300), (own[0], own[1] + 1), (300, own[1]), (own[0] - 1, own[1]), (300, 200)):
        screen.xdo("windowsize", run.window, *forced)
        poll("the size to come back after %dx%d" % forced, back)
    sizes = random.Random(14)
    screen.xdo(*[arg for _ in range(300) for arg in ("windowsize", run.window, sizes.randint(1, 1200),
                                                     sizes.randint(1, 900))])
    poll("the size to come back after a storm of 300 sizes", back)
    expect_outer(screen, run.window, size, "after the resizes")
    run.close()


def keys_never_take_a_choice(screen, run, _):
    """Real key presses: Space, held with auto-repeat or pressed afresh, and Enter read on but
    never take a choice; Down and then Enter take the first one."""
    poll("red text in the message area", lambda: run.shows("text"))
    screen.xdo("mousemove", 0, 0)
    poll("the next-day button, reading on with Space",
         acting(lambda: run.shows("next day"), lambda: screen.xdo("key", "space")), pause=0.2)
    screen.xdo("key", "space")
    poll("the day scene after Space on the next-day button", lambda: run.shows("text"))
    # Space held down reads the scene to its end and goes on repeating over the choices.
    screen.xdo("keydown", "space")
    try:
        poll("the choices, Space held", lambda: run.shows("choices"))
        if not all(run.shows("choices") for _ in range(8)):
            raise Failure("the auto-repeat of Space took a choice")
    finally:
        screen.xdo("keyup", "space")
    screen.xdo("key", "space", "Return", "KP_Enter", "space")
    if not all(run.shows("choices") for _ in range(5)):
        raise Failure("a reading key pressed afresh took a choice")
    screen.xdo("key", "Down", "Return")
    poll("the choice's scene after Down and Enter", lambda: run.shows("text") and not run.shows("choices"))
    run.close()


CASES = {
    "normal_game": normal_game,
    "music_plays": music_plays,
    # Missing content: fatal, naming the file; deep in the game, found by clicking through it.
    "missing_opn": content(removed("txt/opn.dat"), r"txt/opn\.dat"),
    "missing_ttl": content(removed("img/ttl.jpg"), r"img/ttl\.jpg"),
    "missing_day_scene": content(removed("txt/0.dat"), r"txt/0\.dat", "play"),
    "missing_choice_scene": content(lambda g: g.tiny("txt/00.dat", "txt/30.dat"), r"txt/[03]0\.dat", "play"),
    "missing_ending": content(lambda g: g.tiny(*("txt/end%d.dat" % i for i in range(3))), r"txt/end[012]\.dat",
                              "play"),
    "missing_blink_frame": content(lambda g: g.tiny("img/0_.jpg"), r"img/0_\.jpg", "play"),
    "missing_img_picture": content(lambda g: g.scene("opn", "はじめ", ">img nothere", "つぎ"),
                                   r"txt/opn\.dat:2: .*img/nothere\.jpg"),
    "empty_scene": content(written("txt/opn.dat", b""), r"txt/opn\.dat"),
    # Broken pictures: a report naming the file, or the picture shown.
    "zero_byte_jpeg": content(written("img/ttl.jpg", b""), r"img/ttl\.jpg"),
    "non_jpeg": content(written("img/ttl.jpg", b"this is not a picture\r\n"), r"img/ttl\.jpg"),
    "truncated_jpeg": content(cut("img/ttl.jpg", 300), r"img/ttl\.jpg", "either"),
    "cmyk_jpeg": content(converted("img/ttl.jpg", "-colorspace", "CMYK")),
    "progressive_jpeg": content(converted("img/ttl.jpg", "-interlace", "JPEG")),
    # Broken music: silence, and the game plays on.
    "missing_bgm": content(removed("bgm.wav")),
    "empty_bgm": content(written("bgm.wav", b"")),
    "truncated_bgm": content(cut("bgm.wav", 100)),
    "non_wav_bgm": content(written("bgm.wav", b"RIFX" + os.urandom(4000))),
    # Odd scene bytes play as text.
    "invalid_shift_jis": content(written("txt/opn.dat", b"\x81\x20\xa0\xfd\xff abc\r\n\x82\r\n")),
    "nul_bytes": content(written("txt/opn.dat", b"ab\x00cd\x00\r\n\x00\x00\x00\r\nend\r\n")),
    "ten_megabyte_line": content(written("txt/opn.dat", b"\x82\xa0" * (5 * 1024 * 1024) + b"\r\n")),
    "million_lines": content(written("txt/opn.dat", b"line\r\n" * 1000000)),
    # Hostile files: a named error or silent music, never a crash, a hang or gigabytes.
    **{name: content(lambda g, make=make: make(g.folder), report) for name, (make, report) in hostile.CASES.items()},
    "no_japanese_font": no_japanese_font,
    # Where the game lies.
    "folder_with_blanks_and_japanese": content(renamed("空 織り の 塔 game")),
    "read_only_content": content(read_only),
    "cp932_folder": content(renamed(hostile.CP932_FOLDER)),
    "latin1_folder": content(renamed(hostile.LATIN1_FOLDER)),
    "music_plays_in_quoted_folder": lambda screen, game: music_plays(screen, game, hostile.QUOTED_FOLDER),
    # Every way out.
    "close_mid_scene": close_at("scene"),
    "close_at_page_stop": close_at("page"),
    "close_during_choices": close_at("choices"),
    "close_from_fatal_report": content(removed("txt/opn.dat"), r"txt/opn\.dat", "close"),
    "close_by_signal": close_by_signal,
    "close_while_sound_device_hangs": close_while_sound_device_hangs,
    "start_without_display": start_without(None, r"miradel: no display .*DISPLAY is not set"),
    "start_display_unreachable": start_without(":59999", r"miradel: .*could not connect to display :59999"),
    "start_display_silent": start_without("silent", r"miradel: the game cannot open its window: .*did not answer"),
    # The player's keys.
    "skip_keys": skip_keys,
    "backlog_keys": backlog_keys,
    "full_screen_keys": full_screen_keys,
    "arrow_keys": arrow_keys,
    # On a desktop: screens of their own, framed by openbox or bare.
    "window_size_768_framed": on_desktop((1024, 768), True, window_size),
    "window_size_1080_framed": on_desktop((1920, 1080), True, window_size),
    "window_size_portrait_framed": on_desktop((800, 1280), True, window_size),
    "window_size_768_bare": on_desktop((1024, 768), False, window_size),
    "window_size_portrait_bare": on_desktop((800, 1280), False, window_size),
    "outside_resizes_bare": on_desktop((1024, 768), False, outside_resizes),
    "outside_resizes_framed": on_desktop((1024, 768), True, outside_resizes),
    "keys_never_take_a_choice": on_desktop((1024, 768), True, keys_never_take_a_choice),
}

GROUPS = {
    "normal": ["normal_game", "music_plays"],
    "keys": [name for name in CASES if name.endswith("_keys")],
    "ways-out": [name for name in CASES if name.startswith(("close_", "start_"))],
    "desktop": [name for name in CASES if name.startswith(("window_size_", "outside_resizes_", "keys_"))],
}
GROUPS["bad-content"] = [name for name in CASES if not any(name in group for group in GROUPS.values())]


def main():
    program, game_dir, wanted = sys.argv[1:4]
    names = GROUPS.get(wanted, [wanted])
    failed, skipped = [], []
    try:
        with Screen(wm="--wm" in sys.argv[4:]) as screen:
            for name in names:
                began = time.monotonic()
                try:
                    with Game(program, game_dir) as game:
                        CASES[name](screen, game)
                    print("PASS %s (%.1fs)" % (name, time.monotonic() - began), flush=True)
                except Skipped as reason:
                    skipped.append(name)
                    print("SKIP %s: %s" % (name, reason), flush=True)
                except Exception as error:
                    failed.append(name)
                    print("FAIL %s: %s" % (name, error), flush=True)
    except Skipped as reason:
        print("SKIP %s: %s" % (wanted, reason), flush=True)
        return SKIP
    if failed:
        print("failed: " + " ".join(failed))
        return 1
    return SKIP if len(skipped) == len(names) else 0


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(2))
    sys.exit(main())
