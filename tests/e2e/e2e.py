#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end tests: the real `miradel` on an Xvfb screen, driven with xdotool and read
back from screenshots (ImageMagick's `import`). Standard library only.

Usage: e2e.py PROGRAM GAME_DIR CASE [--wm]
  PROGRAM   the built miradel executable
  GAME_DIR  the built game folder (txt/, img/, bgm.wav) that cases copy and break
  CASE      one of the names in CASES, or a group: normal, bad-content, ways-out, desktop
  --wm      run under a window manager (openbox) that frames the window, as on a desktop;
            the desktop cases start screens of their own, bare and managed

Every wait polls for what it expects with a generous limit; nothing sleeps a fixed time to
let the program catch up. Exit status 0: passed, 77: skipped, anything else: failed.
"""
import contextlib
import ctypes
import os
import random
import re
import shutil
import signal
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
    """Calls `test` until it returns something true, or fails after `limit` seconds."""
    deadline = time.monotonic() + limit
    while True:
        value = test()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(pause)


# --- the X server -------------------------------------------------------------------------

class Xvfb:
    """An Xvfb of our own on the first free display number, which it picks itself; with `wm`,
    openbox manages it, framing every window with a border and a title bar."""

    def __init__(self, size=SCREEN, wm=False):
        self.size, self.wm = size, wm
        self.process = self.manager = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            # -noreset: without it the server resets whenever its last client leaves, and a
            # program started during that reset cannot connect (seen on screens without openbox,
            # where each case's program is the only client).
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % self.size, "-nolisten", "tcp",
             "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise Failure("Xvfb did not start")
        self.display = ":" + number
        if self.wm:
            try:
                self.manage()
            except BaseException:
                self.__exit__()
                raise
        return self

    def manage(self):
        """Starts openbox on the screen and waits until it manages it; a start that fails is
        tried again, once."""
        if not shutil.which("openbox"):
            raise Skipped("openbox is not installed")
        env = dict(os.environ, DISPLAY=self.display)
        for attempt in (1, 2):
            errors = tempfile.TemporaryFile()
            self.manager = subprocess.Popen(["openbox", "--sm-disable"], env=env,
                                            stdout=subprocess.DEVNULL, stderr=errors)

            def managing():
                if self.manager.poll() is not None:
                    return "ended"
                found = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                                       capture_output=True, text=True, timeout=LIMIT)
                return "window id" in found.stdout
            if poll("openbox to manage the screen", managing) is True:
                return
            errors.seek(0)
            report = errors.read().decode("utf-8", "replace")
            print("  openbox ended with status %d: %s" % (self.manager.returncode, report.strip()), flush=True)
        raise Failure("openbox did not start")

    def __exit__(self, *_):
        for process in (self.manager, self.process):
            if process is None:
                continue
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()


class Screen:
    def __init__(self, display):
        self.display = display
        self.env = dict(os.environ, DISPLAY=display)
        self.env.pop("QT_QPA_PLATFORM", None)

    def run(self, *args):
        return subprocess.run(list(args), env=self.env, capture_output=True, text=True, timeout=LIMIT)

    def windows(self, name="^Miradel$"):
        found = self.run("xdotool", "search", "--onlyvisible", "--name", name)
        return [int(line) for line in found.stdout.split()]

    def geometry(self, window):
        shell = self.run("xdotool", "getwindowgeometry", "--shell", str(window)).stdout
        values = dict(line.split("=", 1) for line in shell.split() if "=" in line)
        if "WIDTH" not in values:
            raise Failure("the window %d is gone" % window)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def frame(self, window):
        """The window manager's frame around the window (left, right, top, bottom); none
        without a manager."""
        found = self.run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS").stdout
        numbers = [int(n) for n in re.findall(r"\d+", found.split("=", 1)[1])] if "=" in found else []
        return tuple(numbers) if len(numbers) == 4 else (0, 0, 0, 0)

    def outer_size(self, window):
        """The window's size with its frame and title bar."""
        _, _, width, height = self.geometry(window)
        left, right, top, bottom = self.frame(window)
        return width + left + right, height + top + bottom

    def state(self, window):
        """"Normal" or "Iconic" as the window manager keeps it, "" before it manages the window."""
        found = re.search(r"window state: (\w+)", self.run("xprop", "-id", str(window), "WM_STATE").stdout)
        return found.group(1) if found else ""

    def click(self, x, y):
        self.run("xdotool", "mousemove", str(int(x)), str(int(y)), "click", "1")

    def key(self, window, key):
        self.run("xdotool", "key", "--window", str(window), key)

    def press(self, window, *keys):
        """Real key presses (XTEST) into the window, after giving it the keyboard."""
        self.run("xdotool", "windowfocus", "--sync", str(window))
        self.run("xdotool", "key", "--delay", "50", *keys)

    def hold(self, window, key, down):
        self.run("xdotool", "windowfocus", "--sync", str(window))
        self.run("xdotool", "keydown" if down else "keyup", key)

    def wheel(self, x, y, away):
        """One notch of the wheel over (x, y): button 4 turns it away from the reader."""
        self.run("xdotool", "mousemove", str(int(x)), str(int(y)), "click", "4" if away else "5")

    def shot(self):
        """The whole screen as (width, height, rgb bytes)."""
        data = subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", "ppm:-"],
                              capture_output=True, timeout=LIMIT).stdout
        return Picture.from_ppm(data)

    def close(self, window):
        """Asks the window to close, as the close box of a window manager does."""
        x11 = ctypes.CDLL("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        connection = x11.XOpenDisplay(self.display.encode())
        if not connection:
            raise Failure("cannot open " + self.display)
        protocols = x11.XInternAtom(connection, b"WM_PROTOCOLS", 0)
        delete = x11.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
        # XClientMessageEvent on 64 bits: type, serial, send_event, display, window,
        # message_type, format, then five longs of data; padded to the size of XEvent.
        event = struct.pack("iLiPLLi4xlllll", 33, 0, 1, 0, window, protocols, 32, delete, 0, 0, 0, 0)
        buffer = ctypes.create_string_buffer(event.ljust(192, b"\0"))
        x11.XSendEvent(connection, window, 0, 0, buffer)
        x11.XFlush(connection)
        x11.XCloseDisplay(connection)


class Picture:
    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    @staticmethod
    def from_ppm(data):
        fields = []
        position = 0
        while len(fields) < 4:
            while data[position:position + 1].isspace():
                position += 1
            end = position
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[position:end])
            position = end
        position += 1
        if fields[0] != b"P6" or fields[3] != b"255":
            raise Failure("unexpected screenshot format")
        return Picture(int(fields[1]), int(fields[2]), data[position:])

    def region(self, left, top, right, bottom):
        for y in range(int(top), int(bottom)):
            row = y * self.width * 3
            for x in range(int(left), int(right)):
                at = row + x * 3
                yield self.pixels[at], self.pixels[at + 1], self.pixels[at + 2]

    def share(self, rect, test):
        pixels = list(self.region(*rect))
        return sum(1 for pixel in pixels if test(pixel)) / max(1, len(pixels))

    def mean(self, rect):
        pixels = list(self.region(*rect))
        return tuple(sum(pixel[i] for pixel in pixels) / max(1, len(pixels)) for i in range(3))


def is_red(pixel):
    return pixel[0] > 150 and pixel[1] < 110 and pixel[2] < 110


def is_white(pixel):
    return min(pixel) > 235


def is_dark(pixel):
    return max(pixel) < 120


# --- the program --------------------------------------------------------------------------

class Layout:
    """Rectangles of the window's controls in screen pixels: the inner area is a user scale
    of 3.2 x 2.2 units whose left and top edges are at -0.1."""

    def __init__(self, x, y, width, height):
        self.x, self.y, self.width, self.height = x, y, width, height

    def rect(self, left, top, width, height, inset=0.0):
        unit_x, unit_y = self.width / 3.2, self.height / 2.2
        x0 = self.x + (left + 0.1) * unit_x
        y0 = self.y + (top + 0.1) * unit_y
        dx, dy = width * unit_x * inset, height * unit_y * inset
        return x0 + dx, y0 + dy, x0 + width * unit_x - dx, y0 + height * unit_y - dy

    def point(self, left, top):
        rect = self.rect(left, top, 0, 0)
        return rect[0], rect[1]

    message = property(lambda self: self.rect(0, 0, 2, 2))
    below_button = property(lambda self: self.rect(0, 1, 2, 1, 0.01))
    next_day = property(lambda self: self.rect(0, 0, 0.5, 0.5, 0.05))
    day_label = property(lambda self: self.rect(2, 1, 1, 0.5, 0.08))
    picture = property(lambda self: self.rect(2, 0, 1, 1, 0.05))
    third_choice = property(lambda self: self.rect(0, 0.6, 0.5, 0.3, 0.05))


class Game:
    """A game folder of the test's own, with the program copied beside its content."""

    def __init__(self, program, game_dir, folder_name="game"):
        self.root = tempfile.mkdtemp(prefix="miradel-e2e-")
        self.folder = os.path.join(self.root, folder_name)
        os.makedirs(self.folder)
        for part in ("txt", "img"):
            shutil.copytree(os.path.join(game_dir, part), os.path.join(self.folder, part))
        shutil.copy(os.path.join(game_dir, "bgm.wav"), self.folder)
        shutil.copy(program, os.path.join(self.folder, "miradel"))

    def path(self, relative):
        return os.path.join(self.folder, relative)

    def write(self, relative, data):
        with open(self.path(relative), "wb") as file:
            file.write(data)

    def scene(self, name, *lines):
        self.write("txt/%s.dat" % name, b"".join(line.encode("cp932") + b"\r\n" for line in lines))

    def remove(self, relative):
        os.remove(self.path(relative))

    def tiny(self):
        """Every scene one line, the endings restarting: a whole game in a few clicks."""
        for name in ["opn", "not", "0", "1", "2", "3"] + ["%d%d" % (d, c) for d in range(4) for c in range(4)]:
            self.scene(name, name + "の場面")
        for ending in ("end0", "end1", "end2"):
            self.scene(ending, "おしまい", ">end")

    def cleanup(self):
        subprocess.run(["umount", "-l", self.folder], capture_output=True)
        shutil.rmtree(self.root, ignore_errors=True)


class Run:
    """One start of the program; the process is always gone when the run ends."""

    def __init__(self, screen, game, audio=None):
        self.screen = screen
        self.errors = tempfile.TemporaryFile()
        env = dict(screen.env, SDL_AUDIODRIVER=os.environ.get("SDL_AUDIODRIVER", "dummy"))
        env.update(audio or {})
        self.process = subprocess.Popen([game.path("miradel")], cwd=game.root, env=env,
                                        stdout=subprocess.DEVNULL, stderr=self.errors)
        self.layout = None

    def stderr(self):
        self.errors.seek(0)
        return self.errors.read().decode("utf-8", "replace")

    def window(self):
        def shown():
            if self.process.poll() is not None:
                raise Failure("miradel ended at start with status %d:\n%s" % (self.process.returncode, self.stderr()))
            windows = self.screen.windows()
            return windows[0] if windows else None
        window = poll("the window", shown)
        self.layout = Layout(*self.screen.geometry(window))
        return window

    def wait_exit(self, limit=30):
        poll("miradel to end", lambda: self.process.poll() is not None, limit)
        return self.process.returncode

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        report = SANITIZER_REPORT.search(self.stderr())
        if report:
            raise Failure("sanitizer report:\n" + self.stderr())

    def text_shown(self):
        return self.screen.shot().share(self.layout.message, is_red) > 0.0005

    def click_message(self):
        self.screen.click(*self.layout.point(1.5, 1.6))


@contextlib.contextmanager
def started(screen, program, game_dir, folder="game", prepare=None, text=True):
    """A game folder of the run's own, `prepare(game)` (which may return more environment)
    and one run of the program on it, its window found and, with `text`, red text in the
    message area. The process and the folder are gone afterwards."""
    game = Game(program, game_dir, folder)
    try:
        run = Run(screen, game, prepare(game) if prepare else None)
        try:
            window = run.window()
            if text:
                poll("red text in the message area", run.text_shown)
            yield game, run, window
        finally:
            run.end()
    finally:
        game.cleanup()


def expect_plays(screen, game, close=True):
    """The game starts and shows red text in the message area, and says nothing on stderr."""
    run = Run(screen, game)
    try:
        window = run.window()
        poll("red text in the message area", run.text_shown)
        if "miradel:" in run.stderr():
            raise Failure("unexpected report: " + run.stderr())
        if close:
            expect_clean_close(run, window)
        return run
    finally:
        run.end()


def expect_clean_close(run, window):
    run.screen.close(window)
    status = run.wait_exit()
    if status != 0:
        raise Failure("closing ended with status %d:\n%s" % (status, run.stderr()))


def expect_fatal(screen, game, pattern, play=None):
    """A clear report naming the file (and line) on stderr, the message box, status 1."""
    run = Run(screen, game)
    try:
        report = re.compile(r"^miradel: " + pattern, re.M)
        if play:
            run.window()
            deadline = time.monotonic() + LIMIT
            while not report.search(run.stderr()) and run.process.poll() is None:
                if time.monotonic() > deadline:
                    raise Failure("no report matching %r after playing" % pattern)
                play(run)
        poll("a report matching %r" % pattern,
             lambda: report.search(run.stderr()) or run.process.poll() is not None)
        if not report.search(run.stderr()):
            raise Failure("ended without a report matching %r:\n%s" % (pattern, run.stderr()))
        status = dismiss_report(run)
        if status != 1:
            raise Failure("status %d instead of 1:\n%s" % (status, run.stderr()))
    finally:
        run.end()


def dismiss_report(run):
    """Presses Return on the message box until the program ends; the box may not be mapped
    yet when the report is already on stderr. Returns the exit status."""
    def ended():
        if run.process.poll() is not None:
            return True
        for window in run.screen.windows():
            run.screen.key(window, "Return")
        return False
    poll("miradel to end after its report", ended, pause=0.2)
    return run.process.returncode


def play_everything(run):
    """One round of clicks on every place something can be on offer: the message area, the
    next-day button or first choice, the second and the third choice."""
    for point in ((1.5, 1.6), (0.25, 0.15), (0.25, 0.45), (0.25, 0.75)):
        if run.process.poll() is not None:
            return
        run.screen.click(*run.layout.point(*point))


# --- the cases ----------------------------------------------------------------------------

def normal_game(screen, program, game_dir):
    with started(screen, program, game_dir, text=False) as (game, run, window):
        layout = run.layout
        # The window's width, frame included, is four fifths of the screen height, its height two
        # thirds of that.
        outer = screen.outer_size(window)
        if outer != expected_outer(SCREEN):
            raise Failure("window %dx%d outside, expected %dx%d" % (outer + expected_outer(SCREEN)))
        shot = poll("red text in the message area", lambda: run.text_shown() and screen.shot())
        red = shot.share(layout.day_label, is_red)
        white = shot.share(layout.day_label, is_white)
        if red < 0.6 or white < 0.01:
            raise Failure("day label: %.2f red, %.2f white; expected white digits on red" % (red, white))
        expect_picture(shot, layout, game.path("img/ttl.jpg"))
        # Click through the opening until the next-day button stands alone.
        def next_day_shown():
            if next_day_offered(run):
                return True
            run.click_message()
            return False
        poll("the next-day button after the opening", next_day_shown, limit=120, pause=0.02)
        expect_clean_close(run, window)


def expected_outer(screen_size):
    """The window's outer size in whole pixels on a screen of `screen_size` with no panels:
    four fifths of the screen height wide, or the widest that fits; two thirds of that tall."""
    screen_width, screen_height = screen_size
    width = int(min(screen_height * 4 / 5, screen_width, screen_height * 3 / 2) + 0.5)
    return width, int(width * 2 / 3 + 0.5)


def expect_picture(shot, layout, path):
    """The picture area shows the picture: its mean colour is that of the file."""
    data = subprocess.run(["convert", path, "-resize", "1x1!", "-depth", "8", "ppm:-"],
                          capture_output=True, timeout=LIMIT).stdout
    expected = Picture.from_ppm(data).mean((0, 0, 1, 1))
    seen = shot.mean(layout.picture)
    if max(abs(a - b) for a, b in zip(expected, seen)) > 40:
        raise Failure("picture area mean %s, picture file mean %s" % (seen, expected))


def jpeg(game, relative, *convert_args):
    subprocess.run(["convert", game.path(relative)] + list(convert_args) + [game.path(relative)], check=True)


def case(name, prepare, expect, *args, folder="game"):
    def run_case(screen, program, game_dir):
        game = Game(program, game_dir, folder)
        try:
            prepare(game)
            expect(screen, game, *args)
        finally:
            game.cleanup()
    run_case.__name__ = name
    return run_case


def read_only(game):
    """The content on a read-only file system: a read-only bind mount of a copy (needs root)."""
    if os.geteuid() != 0:
        raise Skipped("needs root to mount")
    staging = game.folder + "-content"
    shutil.copytree(game.folder, staging)
    mounted = subprocess.run(["mount", "--bind", staging, game.folder], capture_output=True)
    remounted = subprocess.run(["mount", "-o", "remount,bind,ro", game.folder], capture_output=True)
    if mounted.returncode != 0 or remounted.returncode != 0:
        raise Skipped("cannot mount here: " + (mounted.stderr + remounted.stderr).decode().strip())


def plays_or_names(screen, game, pattern):
    """A picture the decoder may or may not make sense of: it shows, or the report names it."""
    run = Run(screen, game)
    try:
        report = re.compile(r"^miradel: " + pattern, re.M)
        run.window()
        outcome = poll("text or a report", lambda: report.search(run.stderr()) or run.text_shown())
        if outcome is True:
            print("  plays", flush=True)
            expect_clean_close(run, screen.windows()[0])
        else:
            print("  reported: " + outcome.group(0), flush=True)
            if dismiss_report(run) != 1:
                raise Failure("status %d instead of 1" % run.process.returncode)
    finally:
        run.end()


def close_at(state):
    def go(screen, program, game_dir):
        prepare = (lambda game: game.tiny()) if state == "choices" else None
        with started(screen, program, game_dir, prepare=prepare) as (_, run, window):
            if state == "page":
                # The opening's first page ends in a stop: wait until the text stands still.
                page_stopped(run)
            elif state == "choices":
                run.click_message()
                poll("the next-day button", lambda: screen.shot().share(run.layout.next_day, is_dark) > 0.005)
                screen.click(*run.layout.point(0.25, 0.25))
                poll("the day scene", run.text_shown)
                run.click_message()
                poll("the choices", lambda: choices_offered(run))
            expect_clean_close(run, window)
    go.__name__ = "close_" + state
    return go


def close_from_fatal_report(screen, program, game_dir):
    game = Game(program, game_dir)
    try:
        game.remove("txt/opn.dat")
        run = Run(screen, game)
        try:
            poll("the report", lambda: "miradel: txt/opn.dat" in run.stderr())
            poll("the message box", screen.windows)
            # Close whatever is on show until the program ends: the window list may be
            # taken while the box is still being mapped.
            def closed():
                for box in screen.windows():
                    screen.close(box)
                return run.process.poll() is not None
            poll("miradel to end", closed, pause=0.5)
            if run.wait_exit() != 1:
                raise Failure("status %d instead of 1" % run.process.returncode)
        finally:
            run.end()
    finally:
        game.cleanup()


def close_by_signal(screen, program, game_dir):
    """SIGTERM (a session's logout, an "end task") ends the program while its music plays."""
    with started(screen, program, game_dir) as (_, run, _):
        run.process.send_signal(signal.SIGTERM)
        status = run.wait_exit()
        if status != -signal.SIGTERM:
            raise Failure("SIGTERM ended the program with status %d" % status)


def close_while_sound_device_hangs(screen, program, game_dir):
    """Closing ends the program at once while the sound device's open hangs (a stalled sound
    server), through a stand-in SDL2_mixer whose Mix_OpenAudio never returns."""
    stand_in = os.environ.get("MIRADEL_HANGING_MIXER_DIR")
    if not stand_in:
        raise Skipped("no stand-in mixer library (MIRADEL_HANGING_MIXER_DIR)")
    paths = [stand_in] + [p for p in os.environ.get("LD_LIBRARY_PATH", "").split(":") if p]
    hanging = lambda game: {"LD_LIBRARY_PATH": ":".join(paths),
                            "MIRADEL_HANGING_MIXER_MARK": os.path.join(game.root, "device-open-hangs")}
    with started(screen, program, game_dir, prepare=hanging) as (game, run, window):
        poll("the device open to hang", lambda: os.path.exists(os.path.join(game.root, "device-open-hangs")))
        expect_clean_close(run, window)


# --- the player's keys: skip, backlog, full screen, arrows -------------------------------

def message_pixels(run):
    return run.screen.shot().region(*run.layout.message)


def page_stopped(run):
    """Waits until the message area stands still (a page waiting for a click) and returns
    its pixels."""
    last = [None]
    def still():
        now = list(message_pixels(run))
        same, last[0] = now == last[0], now
        return same and now
    return poll("the page to stop", still, pause=0.5)


def next_day_offered(run):
    shot = run.screen.shot()
    return shot.share(run.layout.below_button, is_red) == 0 and shot.share(run.layout.next_day, is_dark) > 0.005


def choices_offered(run):
    return run.screen.shot().share(run.layout.third_choice, is_dark) > 0.005


def skip_keys(screen, program, game_dir):
    """Ctrl held reads the opening through to the next-day button and presses nothing; S
    skips the day scene through to the choices and switches itself off there."""
    with started(screen, program, game_dir) as (_, run, window):
        screen.hold(window, "ctrl", True)
        try:
            poll("the next-day button after skipping", lambda: next_day_offered(run), limit=120)
        finally:
            screen.hold(window, "ctrl", False)
        screen.press(window, "Return")
        poll("the day scene", run.text_shown)
        screen.press(window, "s")
        poll("the choices after skipping", lambda: choices_offered(run), limit=120)
        # Nothing was pressed for the player: the choices stay on offer.
        shot = screen.shot()
        if shot.share(run.layout.below_button, is_red) != 0 or not choices_offered(run):
            raise Failure("skipping went past the choices")
        expect_clean_close(run, window)


def backlog_keys(screen, program, game_dir):
    """PageUp and the wheel show the pages read before; Escape, the wheel back past the
    newest line and a click return to the page exactly as it was."""
    with started(screen, program, game_dir) as (_, run, window):
        page_stopped(run)
        run.click_message()
        page = page_stopped(run)
        x, y = run.layout.point(1.0, 1.0)
        ways = [
            ("PageUp, Escape", lambda: screen.press(window, "Prior"), lambda: screen.press(window, "Escape")),
            ("wheel away, click", lambda: screen.wheel(x, y, True), lambda: screen.click(x, y)),
        ]
        for name, open_backlog, close_backlog in ways:
            open_backlog()
            poll("the backlog (%s)" % name, lambda: list(message_pixels(run)) != page)
            close_backlog()
            poll("the page as it was (%s)" % name, lambda: list(message_pixels(run)) == page)
        # Two notches back, then towards the reader until it closes by itself.
        screen.wheel(x, y, True)
        screen.wheel(x, y, True)
        poll("the backlog", lambda: list(message_pixels(run)) != page)
        def closed_by_wheel():
            screen.wheel(x, y, False)
            return list(message_pixels(run)) == page
        poll("the wheel to close the backlog", closed_by_wheel, pause=0.2)
        # It waited: still the same page, nothing read on behind it.
        if page_stopped(run) != page:
            raise Failure("the page moved on behind the backlog")
        expect_clean_close(run, window)


def full_screen_area(width, height):
    """The window's arithmetic over the largest 3:2 area of the screen, centred."""
    area_width = min(width, height * 3 // 2)
    area_height = round(area_width * 2 / 3)
    return (width - area_width) // 2, (height - area_height) // 2, area_width, area_height


def full_screen_keys(screen, program, game_dir):
    """F11 and Alt+Enter lay the game out over the screen, centred with white margins;
    F11 and Escape bring back the window at its size."""
    with started(screen, program, game_dir) as (game, run, window):
        windowed = screen.geometry(window)
        area = Layout(*full_screen_area(*SCREEN))
        for enter, leave in (("F11", "F11"), ("alt+Return", "Escape")):
            screen.press(window, enter)
            poll("full screen after " + enter, lambda: screen.geometry(window)[2:] == SCREEN)
            def laid_out():
                shot = screen.shot()
                return shot.share(area.day_label, is_red) > 0.6 and shot
            shot = poll("the day label in the full-screen layout", laid_out)
            margins = [(0, 0, SCREEN[0], area.y), (0, area.y + area.height, SCREEN[0], SCREEN[1])]
            for margin in margins:
                if margin[3] > margin[1] and shot.share(margin, is_white) < 0.99:
                    raise Failure("the margin %s is not white" % (margin,))
            expect_picture(shot, area, game.path("img/ttl.jpg"))
            screen.press(window, leave)
            poll("the window again after " + leave, lambda: screen.geometry(window)[2:] == windowed[2:])
        expect_clean_close(run, window)


def arrow_keys(screen, program, game_dir):
    """The whole road to a choice from the keyboard, the choice chosen with the arrows."""
    with started(screen, program, game_dir, prepare=lambda game: game.tiny()) as (_, run, window):
        screen.press(window, "Return")
        poll("the next-day button", lambda: next_day_offered(run))
        screen.press(window, "Return")
        poll("the day scene", run.text_shown)
        screen.press(window, "Return")
        poll("the choices", lambda: choices_offered(run))
        screen.press(window, "Down", "Up", "Down")
        if not choices_offered(run):
            raise Failure("an arrow key took a choice")
        screen.press(window, "Return")
        poll("the choice's scene", run.text_shown)
        expect_clean_close(run, window)


def wave_as_played(path, frames):
    """The first frames of a 16-bit PCM wave as the mixer writes them at full volume: stereo,
    a mono file's samples doubled into both channels."""
    with wave.open(path) as source:
        channels, width = source.getnchannels(), source.getsampwidth()
        if width != 2 or channels not in (1, 2):
            raise Failure("bgm.wav is not 16-bit mono or stereo PCM")
        samples = source.readframes(frames)
    if channels == 1:
        samples = b"".join(samples[i:i + 2] * 2 for i in range(0, len(samples) - 1, 2))
    return samples


def music_plays(screen, program, game_dir, folder="game"):
    """The real program plays bgm.wav: SDL's disk driver receives the file's own samples."""
    heard = []

    def disk_audio(game):
        samples = wave_as_played(game.path("bgm.wav"), 5 * 44100)
        start = next((i for i in range(0, len(samples), 4) if samples[i:i + 4] != b"\0\0\0\0"), None)
        if start is None:
            raise Failure("bgm.wav is silent")
        heard.append(samples[start:start + 8192])
        return {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": os.path.join(game.root, "sound.raw")}
    with started(screen, program, game_dir, folder, disk_audio) as (game, _, _):
        def played():
            output = os.path.join(game.root, "sound.raw")
            if not os.path.exists(output):
                return False
            with open(output, "rb") as file:
                return heard[0] in file.read()
        poll("the music's first sounds in the audio output", played)


def start_with_display(display, pattern):
    """Without a display to show on, the program says so in one line and ends with status 1."""
    def go(screen, program, game_dir):
        game = Game(program, game_dir)
        try:
            env = dict(screen.env, SDL_AUDIODRIVER="dummy")
            env.pop("DISPLAY", None)
            env.pop("WAYLAND_DISPLAY", None)
            if display:
                env["DISPLAY"] = display
            done = subprocess.run([game.path("miradel")], cwd=game.root, env=env, capture_output=True,
                                  text=True, timeout=LIMIT)
            lines = done.stderr.splitlines()
            if done.returncode != 1 or len(lines) != 1 or not re.match(pattern, lines[0]):
                raise Failure("status %d, stderr:\n%s" % (done.returncode, done.stderr))
        finally:
            game.cleanup()
    return go


def start_display_silent(screen, program, game_dir):
    """A display that takes the connection and never answers: the program gives up in one
    line within 10 seconds."""
    import socket
    number = 90 + os.getpid() % 100
    path = "/tmp/.X11-unix/X%d" % number
    if os.path.exists(path):
        raise Skipped("display :%d is taken" % number)
    os.makedirs("/tmp/.X11-unix", exist_ok=True)
    listener = socket.socket(socket.AF_UNIX)
    listener.bind(path)
    listener.listen(4)
    try:
        started = time.monotonic()
        start_with_display(":%d" % number, r"miradel: the game cannot open its window: .*did not answer")(
            screen, program, game_dir)
        if time.monotonic() - started > 15:
            raise Failure("took %.1f s to give up" % (time.monotonic() - started))
    finally:
        listener.close()
        os.remove(path)


def hostile_case(name, expect, *args):
    make = hostile.CASES[name][0]
    return case(name, lambda game: make(game.folder), expect, *args)


def no_japanese_font(screen, program, game_dir):
    """Without a font that has Japanese characters the game still plays, and says once on
    stderr which package brings one."""
    def no_fonts(game):
        config = os.path.join(game.root, "fonts.conf")
        with open(config, "w") as file:
            file.write('<?xml version="1.0"?><fontconfig><dir>%s</dir></fontconfig>\n' % game.root)
        return {"FONTCONFIG_FILE": config}
    with started(screen, program, game_dir, prepare=no_fonts, text=False) as (_, run, window):
        poll("the notice", lambda: "fonts-ipafont-gothic" in run.stderr())
        if run.stderr().count("fonts-ipafont-gothic") != 1:
            raise Failure("said more than once:\n" + run.stderr())
        expect_clean_close(run, window)


def missing(relative):
    return lambda game: game.remove(relative)


def scene_bytes(name, data):
    return lambda game: game.write("txt/%s.dat" % name, data)


# --- on a desktop: screens of their own, bare or framed by openbox --------------------------

def expect_outer(screen, window, size, when):
    outer = screen.outer_size(window)
    if outer != expected_outer(size):
        raise Failure("%s: window %dx%d outside (frame %s), expected %dx%d"
                      % ((when,) + outer + (screen.frame(window),) + expected_outer(size)))


def on_desktop(size, wm, play):
    """Runs `play(screen, run, window)` on a screen of `size` of its own, bare or managed."""
    def go(_screen, program, game_dir):
        game = Game(program, game_dir)
        try:
            game.tiny()
            with Xvfb(size, wm) as server:
                screen = Screen(server.display)
                run = Run(screen, game)
                try:
                    window = run.window()
                    play(screen, run, window, size)
                finally:
                    run.end()
        finally:
            game.cleanup()
    return go


def window_size(screen, run, window, size):
    """The outer size is the layout's from the first sight of the window on, through moving,
    minimising and restoring."""
    expect_outer(screen, window, size, "at first sight")
    poll("red text in the message area", run.text_shown)
    expect_outer(screen, window, size, "with the first text")
    if screen.frame(window) == (0, 0, 0, 0):
        expect_clean_close(run, window)
        return
    x, y, _, _ = screen.geometry(window)
    screen.run("xdotool", "windowmove", str(window), str(x // 2 + 7), str(y // 2 + 5))
    poll("the window to move", lambda: screen.geometry(window)[:2] != (x, y))
    expect_outer(screen, window, size, "after moving")
    screen.run("xdotool", "windowminimize", str(window))
    poll("the window to be minimised", lambda: screen.state(window) == "Iconic")
    screen.run("wmctrl", "-i", "-a", hex(window))
    poll("the window to be restored", lambda: screen.state(window) == "Normal" and window in screen.windows())
    # The restore lays the window out again: it must come out the same.
    poll("the laid-out size after restoring", lambda: run.process.poll() is not None
         or screen.outer_size(window) == expected_outer(size), limit=10)
    expect_outer(screen, window, size, "after restoring")
    run.layout = Layout(*screen.geometry(window))
    poll("red text after restoring", run.text_shown)
    # The window manager's own close action (its close button does the same).
    screen.run("wmctrl", "-i", "-c", hex(window))
    status = run.wait_exit()
    if status != 0:
        raise Failure("closing through the window manager ended with status %d:\n%s" % (status, run.stderr()))


def outside_resizes(screen, run, window, size):
    """Sizes forced from outside, in one dimension, in both, and a storm of 300: the program
    lives on and the window ends at its own size (a window manager refuses them itself)."""
    poll("red text in the message area", run.text_shown)
    _, _, width, height = screen.geometry(window)

    def back():
        if run.process.poll() is not None:
            raise Failure("miradel ended with status %d:\n%s" % (run.process.returncode, run.stderr()))
        return screen.geometry(window)[2:] == (width, height)
    for forced in ((width, 300), (width, height + 1), (300, height), (width - 1, height), (300, 200)):
        screen.run("xdotool", "windowsize", str(window), str(forced[0]), str(forced[1]))
        poll("the size to come back after %dx%d" % forced, back)
    sizes = random.Random(14)
    storm = ["xdotool"]
    for _ in range(300):
        storm += ["windowsize", str(window), str(sizes.randint(1, 1200)), str(sizes.randint(1, 900))]
    screen.run(*storm)
    poll("the size to come back after a storm of 300 sizes", back)
    expect_outer(screen, window, size, "after the resizes")
    expect_clean_close(run, window)


def keys_never_take_a_choice(screen, run, window, _size):
    """Real key presses: reading on with Space, held with auto-repeat or pressed afresh, and
    Enter, never take a choice; Down and then Enter take the first one."""
    layout = run.layout
    poll("red text in the message area", run.text_shown)
    screen.run("xdotool", "mousemove", "0", "0")

    def next_day_offered():
        shot = screen.shot()
        if shot.share(layout.below_button, is_red) == 0 and shot.share(layout.next_day, is_dark) > 0.005:
            return True
        screen.run("xdotool", "key", "space")
        return False
    poll("the next-day button, reading on with Space", next_day_offered, pause=0.2)
    screen.run("xdotool", "key", "space")
    poll("the day scene after Space on the next-day button", run.text_shown)

    def choices_shown(shot=None):
        shot = shot or screen.shot()
        return shot.share(layout.third_choice, is_dark) > 0.005 and shot.share(layout.below_button, is_red) == 0
    # Space held down reads the scene to its end and goes on repeating over the choices.
    screen.run("xdotool", "keydown", "space")
    try:
        poll("the choices, Space held", choices_shown)
        for _ in range(8):
            if not choices_shown():
                raise Failure("the auto-repeat of Space took a choice")
    finally:
        screen.run("xdotool", "keyup", "space")
    for key in ("space", "Return", "KP_Enter", "space"):
        screen.run("xdotool", "key", key)
    for _ in range(5):
        if not choices_shown():
            raise Failure("a reading key pressed afresh took a choice")
    screen.run("xdotool", "key", "Down")
    screen.run("xdotool", "key", "Return")
    poll("the choice's scene after Down and Enter", lambda: run.text_shown() and not choices_shown())
    expect_clean_close(run, window)


CASES = {
    "normal_game": normal_game,
    "music_plays": music_plays,
    # Missing content: fatal, naming the file.
    "missing_opn": case("missing_opn", missing("txt/opn.dat"), expect_fatal, r"txt/opn\.dat"),
    "missing_ttl": case("missing_ttl", missing("img/ttl.jpg"), expect_fatal, r"img/ttl\.jpg"),
    "missing_day_scene": case("missing_day_scene", missing("txt/0.dat"), expect_fatal, r"txt/0\.dat",
                              play_everything),
    "missing_choice_scene": case("missing_choice_scene",
                                 lambda g: (g.tiny(), g.remove("txt/00.dat"), g.remove("txt/30.dat")),
                                 expect_fatal, r"txt/[03]0\.dat", play_everything),
    "missing_ending": case("missing_ending",
                           lambda g: (g.tiny(), [g.remove("txt/end%d.dat" % i) for i in range(3)]),
                           expect_fatal, r"txt/end[012]\.dat", play_everything),
    "missing_blink_frame": case("missing_blink_frame", lambda g: (g.tiny(), g.remove("img/0_.jpg")),
                                expect_fatal, r"img/0_\.jpg", play_everything),
    "missing_img_picture": case("missing_img_picture", lambda g: g.scene("opn", "はじめ", ">img nothere", "つぎ"),
                                expect_fatal, r"txt/opn\.dat:2: .*img/nothere\.jpg"),
    "empty_scene": case("empty_scene", scene_bytes("opn", b""), expect_fatal, r"txt/opn\.dat"),
    # Broken pictures.
    "zero_byte_jpeg": case("zero_byte_jpeg", lambda g: g.write("img/ttl.jpg", b""), expect_fatal, r"img/ttl\.jpg"),
    "non_jpeg": case("non_jpeg", lambda g: g.write("img/ttl.jpg", b"this is not a picture\r\n"),
                     expect_fatal, r"img/ttl\.jpg"),
    "truncated_jpeg": case("truncated_jpeg",
                           lambda g: g.write("img/ttl.jpg", open(g.path("img/ttl.jpg"), "rb").read()[:300]),
                           plays_or_names, r"img/ttl\.jpg"),
    "cmyk_jpeg": case("cmyk_jpeg", lambda g: jpeg(g, "img/ttl.jpg", "-colorspace", "CMYK"), expect_plays),
    "progressive_jpeg": case("progressive_jpeg", lambda g: jpeg(g, "img/ttl.jpg", "-interlace", "JPEG"),
                             expect_plays),
    # Broken music: silence, and the game plays on.
    "missing_bgm": case("missing_bgm", missing("bgm.wav"), expect_plays),
    "empty_bgm": case("empty_bgm", lambda g: g.write("bgm.wav", b""), expect_plays),
    "truncated_bgm": case("truncated_bgm", lambda g: g.write("bgm.wav", open(g.path("bgm.wav"), "rb").read()[:100]),
                          expect_plays),
    "non_wav_bgm": case("non_wav_bgm", lambda g: g.write("bgm.wav", b"RIFX" + os.urandom(4000)), expect_plays),
    # Odd scene bytes play as text.
    "invalid_shift_jis": case("invalid_shift_jis", scene_bytes("opn", b"\x81\x20\xa0\xfd\xff abc\r\n\x82\r\n"),
                              expect_plays),
    "nul_bytes": case("nul_bytes", scene_bytes("opn", b"ab\x00cd\x00\r\n\x00\x00\x00\r\nend\r\n"), expect_plays),
    "ten_megabyte_line": case("ten_megabyte_line", scene_bytes("opn", b"\x82\xa0" * (5 * 1024 * 1024) + b"\r\n"),
                              expect_plays),
    "million_lines": case("million_lines", scene_bytes("opn", b"line\r\n" * 1000000), expect_plays),
    # Hostile and odd files: a named error or silent music, never a crash, a hang or gigabytes.
    **{name: hostile_case(name, expect_plays)
       for name in ("wav_zero_channels", "wav_ima_adpcm_1hz", "wav_sample_loop_bomb", "wav_pcm_1hz",
                    "png_as_jpeg", "gif_as_jpeg", "bmp_as_jpeg")},
    "jpeg_20000": hostile_case("jpeg_20000", expect_fatal, r"img/ttl\.jpg: .*20000 x 20000"),
    "jpeg_44000_progressive": hostile_case("jpeg_44000_progressive", expect_fatal, r"img/ttl\.jpg: .*44000 x 44000"),
    "jpeg_12_bit": hostile_case("jpeg_12_bit", expect_fatal, r"img/ttl\.jpg: cannot read the picture: 12-bit"),
    "jpeg_lossless": hostile_case("jpeg_lossless", expect_fatal, r"img/ttl\.jpg: cannot read the picture: lossless"),
    # Errors name the game folder searched, in the English line.
    "scene_fifo": hostile_case("scene_fifo", expect_fatal,
                               r"txt/opn\.dat.*: scene file not found \(game folder /.*/game/\)$"),
    "scene_dev_zero": hostile_case("scene_dev_zero", expect_fatal, r"txt/opn\.dat.*: scene file not found"),
    # The report quotes the start of a 2 MB line only.
    "scene_long_run_line": hostile_case("scene_long_run_line", expect_fatal, r"txt/opn\.dat:1: .{0,300}…」$"),
    "scene_nul_in_picture_name": hostile_case("scene_nul_in_picture_name", expect_fatal,
                                              r"txt/opn\.dat:2: a file name holds a NUL character: \"ttl␀\.png\""),
    "no_japanese_font": no_japanese_font,
    # Where the game lies.
    "folder_with_blanks_and_japanese": case("folder_with_blanks_and_japanese", lambda g: None, expect_plays,
                                            folder="空 織り の 塔 game"),
    "read_only_content": case("read_only_content", read_only, expect_plays),
    "cp932_folder": case("cp932_folder", lambda g: None, expect_plays, folder=hostile.CP932_FOLDER),
    "latin1_folder": case("latin1_folder", lambda g: None, expect_plays, folder=hostile.LATIN1_FOLDER),
    "music_plays_in_quoted_folder": lambda screen, program, game_dir: music_plays(screen, program, game_dir,
                                                                                  hostile.QUOTED_FOLDER),
    # Every way out.
    "close_mid_scene": close_at("scene"),
    "close_at_page_stop": close_at("page"),
    "close_during_choices": close_at("choices"),
    "close_from_fatal_report": close_from_fatal_report,
    "close_by_signal": close_by_signal,
    "close_while_sound_device_hangs": close_while_sound_device_hangs,
    "start_without_display": start_with_display(None, r"miradel: no display .*DISPLAY is not set"),
    "start_display_unreachable": start_with_display(":59999", r"miradel: .*could not connect to display :59999"),
    "start_display_silent": start_display_silent,
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
    program, game_dir, wanted = sys.argv[1], sys.argv[2], sys.argv[3]
    names = GROUPS.get(wanted, [wanted])
    failed, skipped = [], []
    server = Xvfb(wm="--wm" in sys.argv[4:])
    try:
        server.__enter__()
    except Skipped as reason:
        print("SKIP %s: %s" % (wanted, reason), flush=True)
        return SKIP
    try:
        screen = Screen(server.display)
        for name in names:
            started = time.monotonic()
            try:
                CASES[name](screen, program, game_dir)
                print("PASS %s (%.1fs)" % (name, time.monotonic() - started), flush=True)
            except Skipped as reason:
                skipped.append(name)
                print("SKIP %s: %s" % (name, reason), flush=True)
            except Exception as error:
                failed.append(name)
                print("FAIL %s: %s" % (name, error), flush=True)
    finally:
        server.__exit__()
    if failed:
        print("failed: " + " ".join(failed))
        return 1
    return SKIP if skipped and len(skipped) == len(names) else 0


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(2))
    sys.exit(main())
