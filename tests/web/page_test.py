# SPDX-License-Identifier: MIT
"""The browser build in headless Chromium: the bundled game served over HTTP from 127.0.0.1
plays as on the desktop. Run by tests/web/run.sh:
    /usr/bin/python3 tests/web/page_test.py --web build/web [unittest options]
Needs chromium, chromium-driver and python3-selenium (scripts/setup.sh --test)."""

import argparse
import base64
import functools
import http.server
import json
import os
import shutil
import struct
import sys
import tempfile
import threading
import unittest
import zlib

from selenium import webdriver
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

WEB_DIR = None  # set from the command line
TIMEOUT = 60  # seconds: generous, for a loaded CI machine
CHOICE_CAPTIONS = ["白銀の雲", "黄金の月", "なにもない", "真珠色"]
FATAL_HEADING = "エラーが発生したため、終了します。\n\n"
PICTURE_MISSING = "画像ファイルが見つかりません"
MARK = "▼"

# The desktop's layout (app/Layout.h): the user scale over the inner area and each control's
# rect in it.
SCALE_LEFT, SCALE_TOP, SCALE_WIDTH, SCALE_HEIGHT = -0.1, -0.1, 3.2, 2.2
RECTS = {
    "message": (0, 0, 2, 2),
    "next-day": (0, 0, 0.5, 0.5),
    "day": (2, 1, 1, 0.5),
    "picture": (2, 0, 1, 1),
    "choice-0": (0, 0.0, 0.5, 0.3),
    "choice-1": (0, 0.3, 0.5, 0.3),
    "choice-2": (0, 0.6, 0.5, 0.3),
    "choice-3": (0, 0.9, 0.5, 0.3),
}


def f32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def round_half_away(value):
    return int(value + 0.5) if value >= 0 else -int(-value + 0.5)


def expected_rect(name, game_width, game_height):
    """A control's pixel rect inside the game area as the desktop computes it: the user scale's
    single-precision values, each edge rounded to a whole pixel."""
    left, top, width, height = (f32(v) for v in RECTS[name])
    scale_x = game_width / f32(SCALE_WIDTH)
    scale_y = game_height / f32(SCALE_HEIGHT)
    x0 = round_half_away(f32(left - f32(SCALE_LEFT)) * scale_x)
    y0 = round_half_away(f32(top - f32(SCALE_TOP)) * scale_y)
    x1 = round_half_away(f32(f32(left + width) - f32(SCALE_LEFT)) * scale_x)
    y1 = round_half_away(f32(f32(top + height) - f32(SCALE_TOP)) * scale_y)
    return (x0, y0, x1 - x0, y1 - y0)


def scene_lines(game_dir, name):
    with open(os.path.join(game_dir, "txt", name + ".dat"), "rb") as scene:
        return scene.read().decode("cp932").split("\r\n")[:-1]


def pages_of(lines):
    """The pages of a scene made only of text lines, exact ">p" lines, "--" runs and ">img"
    lines, each page as the message area shows it while it waits: an empty first line, then the
    page's lines, the last ending in the mark."""
    pages, page = [], []
    for line in lines:
        if line == ">p" or line.startswith("tugi"):
            pages.append(page)
            page = []
            if line.startswith("tugi"):
                return ["\n" + "\n".join(p) + MARK for p in pages]
        elif line.startswith("--") or line.startswith(">img"):
            continue
        else:
            assert not line.startswith(">"), "the model does not know the command " + line
            page.append(line)
    assert len(page) < 30, "the model does not break full pages"
    pages.append(page)
    return ["\n" + "\n".join(p) + MARK for p in pages]


def decode_png(data):
    """Width, height and rows of RGB(A) bytes of an 8-bit, non-interlaced PNG (what Chromium
    writes)."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    position, idat = 8, b""
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour_type in (2, 6) and interlace == 0
            channels = 3 if colour_type == 2 else 4
        elif kind == b"IDAT":
            idat += body
        position += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, row = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        if kind == 1:
            for i in range(channels, stride):
                row[i] = (row[i] + row[i - channels]) & 255
        elif kind == 2:
            row = bytearray((a + b) & 255 for a, b in zip(row, previous))
        elif kind == 3:
            for i in range(stride):
                left = row[i - channels] if i >= channels else 0
                row[i] = (row[i] + ((left + previous[i]) >> 1)) & 255
        elif kind == 4:
            for i in range(stride):
                a = row[i - channels] if i >= channels else 0
                b = previous[i]
                c = previous[i - channels] if i >= channels else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(row)
        previous = row
    return width, height, channels, rows


def pixels_in(image, rect):
    width, height, channels, rows = image
    x, y, w, h = rect
    for row in rows[max(0, y):min(height, y + h)]:
        for i in range(max(0, x), min(width, x + w)):
            yield tuple(row[i * channels:i * channels + 3])


class Server:
    """A static HTTP server on 127.0.0.1 and a free port, for one folder."""

    def __init__(self, root):
        handler = functools.partial(QuietHandler, directory=root)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


# The page's state in one look, for the tests and for failure messages.
STATE_SCRIPT = """
const shown = id => { const e = document.getElementById(id); return !!e && !e.hidden &&
    getComputedStyle(e).display !== 'none'; };
const text = id => { const e = document.getElementById(id); return e ? e.textContent : null; };
const ids = ['message', 'day', 'next-day', 'choice-0', 'choice-1', 'choice-2', 'choice-3', 'picture'];
return { scene: document.getElementById('game').getAttribute('data-scene'),
    message: text('message'), day: text('day'), fatal: shown('fatal') ? text('fatal') : null,
    shown: ids.filter(shown), captions: ids.slice(2, 7).map(text), soundNote: shown('sound-note') };
"""

# Clicks the message area until the scene or the offer changes or the game stops; returns the
# number of clicks. Synchronous: each click is handled before the next.
READ_ON_SCRIPT = """
const limit = arguments[0];
const game = document.getElementById('game'), message = document.getElementById('message');
const fatal = document.getElementById('fatal');
const scene = game.getAttribute('data-scene');
let clicks = 0;
while (clicks < limit && !message.hidden && fatal.hidden && game.getAttribute('data-scene') === scene) {
    message.click();
    clicks++;
}
return clicks;
"""


class PageTestCase(unittest.TestCase):
    """One browser per test. One temporary root is served: game/ (the web folder as built),
    without-ttl/ and without-1/ (copies without a picture), page-only/ (the page without a game)
    and picked/MyGame/ (a game folder to pick from the disk)."""

    root = None
    server = None

    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="miradel-web-test-")
        shutil.copytree(WEB_DIR, os.path.join(cls.root, "game"))
        # A folder on the player's disk, with the names in capitals as an archive from Windows
        # may have them, and a page served without a game.
        picked = os.path.join(cls.root, "picked", "MyGame")
        os.makedirs(picked)
        for part in ("txt", "img"):
            shutil.copytree(os.path.join(WEB_DIR, part), os.path.join(picked, part.upper()))
        shutil.copy(os.path.join(WEB_DIR, "bgm.wav"), os.path.join(picked, "BGM.WAV"))
        page_only = os.path.join(cls.root, "page-only")
        os.makedirs(page_only)
        for name in os.listdir(WEB_DIR):
            if os.path.isfile(os.path.join(WEB_DIR, name)) and name != "bgm.wav":
                shutil.copy(os.path.join(WEB_DIR, name), page_only)
        for picture in ("ttl", "1"):
            broken = os.path.join(cls.root, "without-" + picture)
            shutil.copytree(WEB_DIR, broken)
            os.remove(os.path.join(broken, "img", picture + ".jpg"))
        cls.server = Server(cls.root)

    @classmethod
    def tearDownClass(cls):
        cls.server.close()
        shutil.rmtree(cls.root, ignore_errors=True)

    def setUp(self):
        self.profile = tempfile.mkdtemp(prefix="miradel-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--user-data-dir=" + self.profile):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.console = []
        self.viewport(1366, 768)

    def tearDown(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)

    # --- helpers ---

    def viewport(self, width, height):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})

    def open(self, folder="game", query="seed=1"):
        self.driver.get(self.server.url + folder + "/index.html?" + query)

    def state(self):
        return self.driver.execute_script(STATE_SCRIPT)

    def describe(self):
        try:
            self.console += [entry["message"] for entry in self.driver.get_log("browser")]
        except Exception:  # the log is only for the report
            pass
        state = self.state()
        return ("\n  page state: %s\n  #fatal: %s\n  browser console:\n    %s" %
                (json.dumps({k: v for k, v in state.items() if k != "fatal"}, ensure_ascii=False),
                 state["fatal"], "\n    ".join(self.console[-30:]) or "(empty)"))

    def wait_for(self, what, condition, timeout=TIMEOUT):
        """Polls the page state until condition(state) holds; fails saying what was expected."""
        try:
            return WebDriverWait(self.driver, timeout, poll_frequency=0.05).until(
                lambda driver: condition(self.state()))
        except TimeoutException:
            self.fail("expected %s within %d s%s" % (what, timeout, self.describe()))

    def check(self, condition, what):
        if not condition:
            self.fail("expected " + what + self.describe())

    def click(self, element_id):
        self.driver.find_element(By.ID, element_id).click()

    def read_on(self, limit=500):
        """Reads the scene on show to its end with clicks; the scene or offer changes."""
        return self.driver.execute_script(READ_ON_SCRIPT, limit)

    def rect(self, element_id):
        r = self.driver.execute_script(
            "const r = document.getElementById(arguments[0]).getBoundingClientRect();"
            "return [r.x, r.y, r.width, r.height];", element_id)
        return tuple(r)

    def screenshot(self, clip):
        x, y, width, height = clip
        return decode_png(base64.b64decode(self.driver.execute_cdp_cmd("Page.captureScreenshot", {
            "format": "png", "clip": {"x": x, "y": y, "width": width, "height": height, "scale": 1}})["data"]))

    def start_game(self, folder="game"):
        self.open(folder)
        self.wait_for('the opening "opn" on show', lambda s: s["scene"] == "opn" and s["message"])

    def play_opening(self):
        self.start_game()
        self.read_on()
        self.wait_for("the next-day button after the opening",
                      lambda s: s["shown"] == ["day", "next-day", "picture"])


class Playing(PageTestCase):

    def test_opening_plays_page_by_page(self):
        pages = pages_of(scene_lines(WEB_DIR, "opn"))
        self.assertGreater(len(pages), 3)
        self.start_game()
        self.check(self.state()["day"] == "0", "day 0 during the opening")
        self.check(self.state()["soundNote"], "the note that sound starts at the first click")
        for number, page in enumerate(pages):
            # The ticks reveal the page to its mark and stop there.
            self.wait_for("page %d of the opening, ending in %s: %r" % (number + 1, MARK, page),
                          lambda s: s["message"] == page)
            if number == 0:
                # Nothing moves while the page waits, however many ticks pass.
                self.driver.execute_script(
                    "window.messageChanges = 0; new MutationObserver(() => window.messageChanges++)"
                    ".observe(document.getElementById('message'), {childList: true, characterData: true,"
                    " subtree: true});")
                # Five ticks of 100 ms at least.
                self.driver.execute_script("window.waitStart = performance.now();")
                self.wait_for("time to pass", lambda s: self.driver.execute_script(
                    "return performance.now() - window.waitStart > 500;"))
                self.check(self.driver.execute_script("return window.messageChanges") == 0,
                           "no change to a page that waits for a click")
            self.click("message")
            if number == 0:
                self.check(not self.state()["soundNote"], "the sound note gone after the first click")
            if number + 1 < len(pages):
                # The click, not a tick, begins the next page with its first line.
                first_line = pages[number + 1].split("\n")[1].rstrip(MARK)
                self.wait_for("the click to show the first line of page %d: %r" % (number + 2, first_line),
                              lambda s: s["message"].startswith("\n" + first_line))
        self.wait_for("the next-day button once the opening ended",
                      lambda s: s["shown"] == ["day", "next-day", "picture"] and s["captions"][0] == "次の日")
        self.check(self.state()["scene"] == "opn", "no other scene opened")

    def test_keys_read_on(self):
        pages = pages_of(scene_lines(WEB_DIR, "opn"))
        self.start_game()
        for number, (name, key) in enumerate((("Space", Keys.SPACE), ("Enter", Keys.ENTER), ("Down", Keys.ARROW_DOWN))):
            self.wait_for("page %d of the opening waiting" % (number + 1), lambda s: s["message"] == pages[number])
            ActionChains(self.driver).send_keys(key).perform()
            first_line = pages[number + 1].split("\n")[1].rstrip(MARK)
            self.wait_for("the key %s to begin page %d with %r" % (name, number + 2, first_line),
                          lambda s: s["message"].startswith("\n" + first_line))
        self.check(not self.state()["soundNote"], "the sound note gone after the first key press")

    def test_next_day_and_choices_open_their_scenes(self):
        self.play_opening()
        self.click("next-day")
        self.wait_for('day 1 and its scene "0"', lambda s: s["day"] == "1" and s["scene"] == "0"
                      and "message" in s["shown"] and "next-day" not in s["shown"])
        self.read_on()
        self.wait_for("the three regular choices after the day scene",
                      lambda s: s["shown"] == ["day", "choice-0", "choice-1", "choice-2", "picture"])
        self.check(self.state()["captions"][1:] == CHOICE_CAPTIONS, "the choices' captions %s" % CHOICE_CAPTIONS)
        # Each choice on day 1 opens "3" and its index (a low draw) or "0" and its index.
        self.click("choice-1")
        self.wait_for('the scene of choice 1 on day 1: "31" or "01"',
                      lambda s: s["scene"] in ("31", "01") and "message" in s["shown"])
        used = self.state()["scene"] == "31"
        self.check(not any(c in self.state()["shown"] for c in ("choice-0", "choice-1", "choice-2", "next-day")),
                   "no button while the scene plays")
        self.read_on()
        self.wait_for("the next-day button after the choice's scene", lambda s: "next-day" in s["shown"])
        self.click("next-day")
        # Day 2 belongs to choice 1: its scene is "1", or "not" once that choice is used up.
        expected = "not" if used else "1"
        self.wait_for('day 2 and the scene "%s"' % expected, lambda s: s["day"] == "2" and s["scene"] == expected)
        self.read_on()
        offered = ["choice-0", "choice-2"] if used else ["choice-0", "choice-1", "choice-2"]
        self.wait_for("the free choices %s" % offered,
                      lambda s: [c for c in s["shown"] if c.startswith("choice")] == offered)
        self.click("choice-2")
        self.wait_for('the scene of choice 2 on day 2: "32" or "12"', lambda s: s["scene"] in ("32", "12"))

    def test_ending_restarts_the_game(self):
        self.play_opening()
        last_choice = None
        for _ in range(200):
            state = self.state()
            if "next-day" in state["shown"]:
                self.click("next-day")
            else:
                regular = [c for c in ("choice-0", "choice-1", "choice-2") if c in state["shown"]]
                self.check(regular, "a regular choice offered before the ending")
                last_choice = regular[-1]
                self.click(last_choice)
            self.wait_for("a scene on show", lambda s: "message" in s["shown"])
            if self.state()["scene"].startswith("end"):
                break
            self.read_on()
            self.wait_for("the scene's end", lambda s: "message" not in s["shown"])
        # The ending is the one of the choice used up last: the one clicked last.
        self.check(last_choice is not None, "choices before the ending")
        ending = "end" + last_choice[-1]
        self.check(self.state()["scene"] == ending, 'the ending "%s" on show' % ending)
        # Its last page waits; the click after it restarts: day 0 and the opening.
        self.read_on()
        opening = pages_of(scene_lines(WEB_DIR, "opn"))[0].split("\n")[1]
        self.wait_for("a new game: the opening and day 0",
                      lambda s: s["scene"] == "opn" and s["day"] == "0" and s["message"].startswith("\n" + opening)
                      and s["shown"] == ["message", "day", "picture"])


class ReadingAids(PageTestCase):

    def test_ctrl_skips_to_the_next_day_button_without_pressing_it(self):
        self.start_game()
        ActionChains(self.driver).key_down(Keys.CONTROL).perform()
        self.wait_for("skip to reach the next-day button",
                      lambda s: s["shown"] == ["day", "next-day", "picture"])
        # Held on, skip waits at the button: the day does not move on.
        self.driver.execute_script("window.waitStart = performance.now();")
        self.wait_for("time to pass", lambda s: self.driver.execute_script(
            "return performance.now() - window.waitStart > 300;"))
        ActionChains(self.driver).key_up(Keys.CONTROL).perform()
        self.check(self.state()["day"] == "0" and self.state()["scene"] == "opn", "no button pressed by skip")

    def test_backlog_shows_earlier_lines_and_returns_to_the_page(self):
        pages = pages_of(scene_lines(WEB_DIR, "opn"))
        self.start_game()
        self.wait_for("the first page waiting", lambda s: s["message"] == pages[0])
        self.click("message")
        self.wait_for("the second page waiting", lambda s: s["message"] == pages[1])
        backlog = lambda: self.driver.execute_script(
            "const b = document.getElementById('backlog'); return b.hidden ? null : b.textContent;")
        ActionChains(self.driver).send_keys(Keys.PAGE_UP).perform()
        self.wait_for("PageUp to open the backlog with the first page's lines",
                      lambda s: backlog() is not None and pages[0].split("\n")[1].rstrip(MARK) in backlog())
        self.check(self.state()["message"] == pages[1], "the page unchanged under the backlog")
        ActionChains(self.driver).send_keys(Keys.ESCAPE).perform()
        self.wait_for("Escape to close the backlog", lambda s: backlog() is None)
        self.check(self.state()["message"] == pages[1], "the same page, still waiting, after the backlog")


class PickedFolder(PageTestCase):

    def test_game_from_a_folder_on_disk(self):
        # A page served without a game beside it; the player picks the game's folder.
        self.open("page-only")
        self.wait_for("the page waiting for a game", lambda s: s["scene"] is None or s["fatal"] is not None)
        picked = os.path.join(self.root, "picked", "MyGame")
        self.driver.find_element(By.ID, "open-folder").send_keys(picked)
        first_line = pages_of(scene_lines(WEB_DIR, "opn"))[0].split("\n")[1]
        self.wait_for('the picked game\'s opening "opn"', lambda s: s["fatal"] is None and s["scene"] == "opn"
                      and s["message"].startswith("\n" + first_line))
        self.read_on()
        self.wait_for("the next-day button after the opening", lambda s: s["shown"] == ["day", "next-day", "picture"])


class FatalErrors(PageTestCase):

    def check_stopped(self):
        before = self.state()
        self.driver.execute_script("document.getElementById('message').click();"
                                   "document.dispatchEvent(new KeyboardEvent('keydown', {key: ' ', code: 'Space'}));")
        after = self.state()
        self.check(after["message"] == before["message"] and after["scene"] == before["scene"]
                   and after["fatal"] == before["fatal"], "a stopped game after the fatal error")

    def test_missing_title_picture(self):
        self.open("without-ttl")
        expected = FATAL_HEADING + "img/ttl.jpg: " + PICTURE_MISSING + "\n\nゲームフォルダ: " + self.server.url + \
            "without-ttl/"
        self.wait_for("the fatal message %r" % expected, lambda s: s["fatal"] is not None)
        self.check(self.state()["fatal"] == expected, "the fatal message %r" % expected)
        self.check_stopped()

    def test_missing_picture_during_the_opening(self):
        self.open("without-1")
        self.wait_for('the opening "opn"', lambda s: s["scene"] == "opn")
        # The opening shows ">img 1" on its fifth page.
        self.read_on()
        # An error inside a scene names the scene's file and line, and quotes the line.
        line = scene_lines(WEB_DIR, "opn").index(">img 1") + 1
        expected = (FATAL_HEADING + "txt/opn.dat:%d: img/1.jpg: %s (「>img 1」)\n\nゲームフォルダ: %swithout-1/"
                    % (line, PICTURE_MISSING, self.server.url))
        self.wait_for("the fatal message %r" % expected, lambda s: s["fatal"] is not None)
        self.check(self.state()["fatal"] == expected, "the fatal message %r" % expected)
        self.check_stopped()


class Layout(PageTestCase):

    def check_font_sizes(self, base, where):
        """The desktop's font sizes in points: base for the message and the choices, twice that for
        the next-day button, four times for the day label."""
        for name, points in (("message", base), ("choice-0", base), ("next-day", 2 * base), ("day", 4 * base)):
            pixels = float(self.driver.execute_script(
                "return getComputedStyle(document.getElementById(arguments[0])).fontSize;", name).rstrip("px"))
            self.check(abs(pixels - points * 96 / 72) < 0.01,
                       "#%s in %g points (%.2f px) %s, not %.2f px" % (name, points, points * 96 / 72, where, pixels))

    def check_layout(self, viewport_width, viewport_height, game_width, game_height):
        self.viewport(viewport_width, viewport_height)
        self.play_opening()
        x, y, w, h = self.rect("game")
        where = "at a viewport of %dx%d" % (viewport_width, viewport_height)
        self.check((w, h) == (game_width, game_height),
                   "#game %dx%d %s, not %gx%g" % (game_width, game_height, where, w, h))
        self.check((x, y) == ((viewport_width - w) // 2, (viewport_height - h) // 2),
                   "#game centred %s, not at %g,%g" % (where, x, y))

        def check_control(name):
            got = self.rect(name)
            got = (got[0] - x, got[1] - y, got[2], got[3])
            want = expected_rect(name, w, h)
            self.check(got == want, "#%s at %s in #game %s, not %s" % (name, want, where, got))

        for name in ("next-day", "day", "picture"):
            check_control(name)
        self.click("next-day")
        self.wait_for("a day scene", lambda s: "message" in s["shown"])
        check_control("message")
        self.read_on()
        self.wait_for("the choices", lambda s: "choice-0" in s["shown"])
        for name in ("choice-0", "choice-1", "choice-2"):
            check_control(name)
        return where

    def test_game_area_at_768(self):
        where = self.check_layout(1366, 768, 614, 409)
        self.check_font_sizes(10, where)

    def test_game_area_at_1080(self):
        where = self.check_layout(1920, 1080, 864, 576)
        self.check_font_sizes(12, where)


class Screenshot(PageTestCase):

    def test_day_label_message_and_picture_are_painted(self):
        self.start_game()
        # The first page of the opening, waiting: red text on white.
        page = pages_of(scene_lines(WEB_DIR, "opn"))[0]
        self.wait_for("the first page of the opening", lambda s: s["message"] == page)
        game = self.rect("game")
        image = self.screenshot(game)

        def area(name):
            # Inside the control's edges, relative to the game area.
            left, top, width, height = self.rect(name)
            return (int(left - game[0]) + 1, int(top - game[1]) + 1, int(width) - 2, int(height) - 2)

        def red(p):
            return p[0] > 200 and p[1] < 80 and p[2] < 80

        def white(p):
            return min(p) > 225

        day = list(pixels_in(image, area("day")))
        self.check(sum(map(red, day)) > len(day) // 2, "the day label red (%d of %d pixels red)"
                   % (sum(map(red, day)), len(day)))
        self.check(sum(map(white, day)) > 20, 'the day label\'s white "0" (%d white pixels)' % sum(map(white, day)))
        message = list(pixels_in(image, area("message")))
        self.check(sum(map(red, message)) > 500, "red text in the message area (%d red pixels)"
                   % sum(map(red, message)))
        self.check(sum(map(white, message)) > len(message) // 2, "the message area white behind its text")
        picture = list(pixels_in(image, area("picture")))
        colours = len(set(picture))
        self.check(colours > 50 and sum(map(white, picture)) < len(picture) // 2,
                   "a picture in #picture (%d colours, %d white pixels of %d)"
                   % (colours, sum(map(white, picture)), len(picture)))


def main():
    global WEB_DIR
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--web", required=True, help="the browser build's folder (build/web)")
    arguments, rest = parser.parse_known_args()
    WEB_DIR = os.path.abspath(arguments.web)
    for needed in ("index.html", "miradel.js", "miradel.wasm", "txt/opn.dat", "img/ttl.jpg"):
        if not os.path.exists(os.path.join(WEB_DIR, needed)):
            sys.exit("%s has no %s: build it with scripts/web.sh" % (WEB_DIR, needed))
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
