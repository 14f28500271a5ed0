# SPDX-License-Identifier: MIT
"""The browser build in headless Chromium, served from 127.0.0.1: the bundled game plays as on the
desktop. Needs chromium, chromium-driver and python3-selenium; run by tests/web/run.sh."""

import functools
import http.server
import os
import pathlib
import shutil
import sys
import tempfile
import threading
import unittest

from selenium import webdriver
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

TIMEOUT = 60  # seconds: generous, for a loaded CI machine
MARK = "▼"
NEXT_DAY_OFFER = ["day", "next-day", "picture"]
PICTURE_MISSING = "画像ファイルが見つかりません"
# The controls in the game area at 1920 x 1080 as the desktop places them (x, y, width, height).
RECTS_AT_1080 = {"next-day": (27, 26, 135, 131), "day": (567, 288, 270, 131), "picture": (567, 26, 270, 262),
                 "message": (27, 26, 540, 524), "choice-0": (27, 26, 135, 79), "choice-1": (27, 105, 135, 78),
                 "choice-2": (27, 183, 135, 79)}


def opening_lines():
    return pathlib.Path(WEB_DIR, "txt", "opn.dat").read_bytes().decode("cp932").split("\r\n")[:-1]


def opening_pages():
    """The opening's pages as the message area shows each while it waits (text, ">p", "--" and ">img")."""
    pages = [[]]
    for line in opening_lines():
        if line == ">p":
            pages.append([])
        elif not line.startswith(("--", ">img")):
            assert not line.startswith(">") and len(pages[-1]) < 29, line
            pages[-1].append(line)
    return ["\n" + "\n".join(page) + MARK for page in pages]


def first_line(page):
    return page.split("\n")[1].rstrip(MARK)


# The page's state in one look, for the tests and for failure messages.
STATE_SCRIPT = """
const shown = id => getComputedStyle(document.getElementById(id)).display !== 'none';
const text = id => document.getElementById(id).textContent;
const ids = ['message', 'day', 'next-day', 'choice-0', 'choice-1', 'choice-2', 'choice-3', 'picture'];
return {scene: document.getElementById('game').getAttribute('data-scene'), message: text('message'), day: text('day'),
    fatal: shown('fatal') ? text('fatal') : null, backlog: shown('backlog') ? text('backlog') : null,
    shown: ids.filter(shown), captions: ids.slice(2, 7).map(text), soundNote: shown('sound-note'),
    focus: document.activeElement.id};
"""

# Clicks the message area, each handled before the next, until the scene or the offer changes or the game stops.
READ_ON_SCRIPT = """
const game = document.getElementById('game'), message = document.getElementById('message');
const fatal = document.getElementById('fatal'), scene = game.dataset.scene;
for (let clicks = 0; clicks < 500 && !message.hidden && fatal.hidden && game.dataset.scene === scene; clicks++)
    message.click();
"""


class PageTest(unittest.TestCase):
    """One browser a test. Served: game/, without-<file>/, page-only/ (no game); picked/MyGame/ is
    a game on the disk, in capitals as from Windows."""

    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="miradel-web-test-")
        shutil.copytree(WEB_DIR, os.path.join(cls.root, "game"))
        for name, missing in ("without-ttl", "img/ttl.jpg"), ("without-1", "img/1.jpg"), ("without-opn", "txt/opn.dat"):
            shutil.copytree(WEB_DIR, os.path.join(cls.root, name))
            os.remove(os.path.join(cls.root, name, missing))
        without_game = shutil.ignore_patterns("txt", "img", "*.wav")
        shutil.copytree(WEB_DIR, os.path.join(cls.root, "page-only"), ignore=without_game)
        picked = os.path.join(cls.root, "picked", "MyGame")
        for part in ("txt", "img"):
            shutil.copytree(os.path.join(WEB_DIR, part), os.path.join(picked, part.upper()))
        shutil.copy(os.path.join(WEB_DIR, "bgm.wav"), os.path.join(picked, "BGM.WAV"))
        http.server.SimpleHTTPRequestHandler.log_message = lambda *args: None
        handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=cls.root)
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        cls.url = "http://127.0.0.1:%d/" % cls.server.server_address[1]
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.addClassCleanup(shutil.rmtree, cls.root, ignore_errors=True)
        cls.addClassCleanup(cls.server.shutdown)

    def setUp(self):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("headless", "no-sandbox", "disable-gpu", "no-first-run", "disable-background-networking"):
            options.add_argument("--" + flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.addCleanup(self.driver.quit)
        self.viewport(1366, 768)

    def viewport(self, width, height):
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                    {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})

    def state(self):
        return self.driver.execute_script(STATE_SCRIPT)

    def check(self, condition, what):
        if not condition:
            console = "\n    ".join(entry["message"] for entry in self.driver.get_log("browser")[-30:])
            self.fail("expected %s\n  page state: %r\n  browser console:\n    %s" % (what, self.state(), console))

    def wait_for(self, what, condition):
        try:
            WebDriverWait(self.driver, TIMEOUT, poll_frequency=0.05).until(lambda driver: condition(self.state()))
        except TimeoutException:
            self.check(False, "%s within %d s" % (what, TIMEOUT))

    def click(self, element_id):
        self.driver.find_element(By.ID, element_id).click()

    def press(self, key):
        ActionChains(self.driver).send_keys(key).perform()

    def read_on(self):
        self.driver.execute_script(READ_ON_SCRIPT)

    def rect(self, element_id):
        rect = self.driver.find_element(By.ID, element_id).rect
        return tuple(rect[name] for name in ("x", "y", "width", "height"))

    def start(self, folder="game"):
        self.driver.get(self.url + folder + "/index.html?seed=1")
        self.wait_for('the opening "opn" on show', lambda s: s["scene"] == "opn" and s["message"])

    def test_opening_plays_page_by_page_on_clicks_and_keys_and_keeps_a_backlog(self):
        pages = opening_pages()
        self.assertGreater(len(pages), 4)
        self.start()
        state = self.state()
        self.check((state["day"], state["soundNote"], state["focus"]) == ("0", True, "message"),
                   "day 0, the note on sound and the keyboard in the message area")
        keys = [None, Keys.SPACE, Keys.ENTER, Keys.ARROW_DOWN]  # None: a click
        for number, page in enumerate(pages):
            # The ticks reveal the page to its mark and stop there.
            self.wait_for("page %d of the opening: %r" % (number + 1, page), lambda s: s["message"] == page)
            if number == 1:
                self.press(Keys.PAGE_UP)
                self.wait_for("PageUp to open the backlog with page 1 over page 2",
                              lambda s: first_line(pages[0]) in (s["backlog"] or "") and s["message"] == page)
                self.press(Keys.ESCAPE)
                self.wait_for("Escape to close it over page 2", lambda s: s["backlog"] is None and s["message"] == page)
            key = keys[number % len(keys)]
            self.press(key) if key else self.click("message")
            self.check(not self.state()["soundNote"], "the note on sound gone after the first click")
            if number + 1 < len(pages):
                line = first_line(pages[number + 1])
                self.wait_for("%r to begin page %d with %r" % (key or "a click", number + 2, line),
                              lambda s: s["message"].startswith("\n" + line))
        self.wait_for("the next-day button once the opening ended",
                      lambda s: s["shown"] == NEXT_DAY_OFFER and s["captions"][0] == "次の日" and s["scene"] == "opn")

    def test_skip_stops_at_the_buttons_choices_open_their_scenes_and_the_ending_restarts(self):
        self.start()
        ActionChains(self.driver).key_down(Keys.CONTROL).perform()
        self.wait_for("Ctrl held to skip to the next-day button, which takes the keyboard",
                      lambda s: s["shown"] == NEXT_DAY_OFFER and s["focus"] == "next-day")
        self.driver.execute_async_script("setTimeout(arguments[0], 300);")  # skip frames pass
        ActionChains(self.driver).key_up(Keys.CONTROL).perform()
        self.check(self.state()["day"] == "0" and self.state()["scene"] == "opn", "no button pressed by skip")
        self.click("next-day")
        self.wait_for('day 1 and its scene "0"', lambda s: s["day"] == "1" and s["scene"] == "0"
                      and s["shown"] == ["message", "day", "picture"])
        self.read_on()
        captions = ["白銀の雲", "黄金の月", "なにもない", "真珠色"]
        self.wait_for("the three regular choices", lambda s: s["captions"][1:] == captions
                      and s["shown"] == ["day", "choice-0", "choice-1", "choice-2", "picture"])
        # The key that read the last line must not take a choice: the keyboard rests on the page.
        self.check(self.state()["focus"] == "", "no choice with the keyboard")
        self.press(Keys.ARROW_DOWN)
        self.wait_for("Down to move the keyboard onto the first choice", lambda s: s["focus"] == "choice-0")
        # On day 1 choice 1 opens "3" and its index (a low draw), else "0" and its index.
        last = "choice-1"
        self.click(last)
        self.wait_for('the scene "31" or "01" alone', lambda s: s["scene"] in ("31", "01")
                      and s["shown"] == ["message", "day", "picture"])
        for _ in range(200):
            if self.state()["scene"].startswith("end"):
                break
            self.read_on()
            shown = self.state()["shown"]
            regular = [c for c in ("choice-0", "choice-1", "choice-2") if c in shown]
            self.check("next-day" in shown or regular, "the next day or a regular choice before the ending")
            last = last if "next-day" in shown else regular[-1]
            self.click("next-day" if "next-day" in shown else last)
            self.wait_for("a scene on show", lambda s: "message" in s["shown"])
        # The ending is that of the choice used up (clicked) last; a click after it starts a new game.
        self.check(self.state()["scene"] == "end" + last[-1], 'the ending "end%s"' % last[-1])
        self.read_on()
        opening = "\n" + first_line(opening_pages()[0])
        self.wait_for("a new game", lambda s: s["scene"] == "opn" and s["day"] == "0"
                      and s["message"].startswith(opening) and s["shown"] == ["message", "day", "picture"])

    def test_game_from_a_folder_on_disk(self):
        self.driver.get(self.url + "page-only/index.html?seed=1")
        self.wait_for("the page to say it has no game", lambda s: s["fatal"] is not None)
        self.driver.find_element(By.ID, "open-folder").send_keys(os.path.join(self.root, "picked", "MyGame"))
        self.wait_for("the picked game's opening", lambda s: s["fatal"] is None and s["scene"] == "opn"
                      and s["message"].startswith("\n" + first_line(opening_pages()[0])))

    def test_a_missing_file_stops_the_game_with_the_desktops_message(self):
        line = opening_lines().index(">img 1") + 1
        for folder, error in (("without-ttl", "img/ttl.jpg: " + PICTURE_MISSING),
                              ("without-1", "txt/opn.dat:%d: img/1.jpg: %s (「>img 1」)" % (line, PICTURE_MISSING)),
                              ("without-opn", "txt/opn.dat: シナリオファイルが見つかりません")):
            with self.subTest(folder):
                expected = "エラーが発生したため、終了します。\n\n%s\n\nゲームフォルダ: %s%s/" % (error, self.url, folder)
                self.driver.get(self.url + folder + "/index.html?seed=1")
                self.wait_for("the opening or an error", lambda s: s["scene"] == "opn" or s["fatal"] is not None)
                self.read_on()
                self.wait_for("the fatal message %r" % expected, lambda s: s["fatal"] is not None)
                before = dict(self.state(), soundNote=None)
                self.check(before["fatal"] == expected, "the fatal message %r" % expected)
                self.driver.execute_script("document.getElementById('message').click(); document.dispatchEvent("
                                           "new KeyboardEvent('keydown', {key: ' ', code: 'Space'}));")
                self.check(dict(self.state(), soundNote=None) == before, "a stopped game")

    def test_page_laid_out_and_painted_as_the_desktops_window(self):
        self.start()
        painted = self.driver.execute_script("""
const colours = ['day', 'message', 'game'].map(id => getComputedStyle(document.getElementById(id)))
    .map(style => [style.color, style.backgroundColor]);
const canvas = document.getElementById('picture');
const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data, seen = new Set();
for (let i = 0; i < data.length; i += 4)
    seen.add(data[i] << 16 | data[i + 1] << 8 | data[i + 2]);
return [colours, seen.size];""")
        red, white = "rgb(255, 0, 0)", "rgb(255, 255, 255)"
        self.check(painted[0][0] == [white, red] and painted[0][1][0] == red and painted[0][2][1] == white
                   and painted[1] > 50, "a red day label, red text on white and a picture: %s" % painted)
        self.read_on()
        for width, height, game, base in ((1366, 768, (614, 409), 10), (500, 1080, (500, 333), 8),
                                          (1920, 1080, (864, 576), 12)):
            # The viewport's height plays the screen's; the game area is centred.
            self.viewport(width, height)
            want = ((width - game[0]) // 2, (height - game[1]) // 2) + game
            self.wait_for("#game at %s in %dx%d" % (want, width, height), lambda s: self.rect("game") == want)
            # Fonts in points: the base for the message and the choices, 2x the next-day button, 4x the day label.
            sizes = self.driver.execute_script("return ['message', 'choice-0', 'next-day', 'day'].map(id => "
                                               "parseFloat(getComputedStyle(document.getElementById(id)).fontSize));")
            self.check(all(abs(px - k * base * 96 / 72) < 0.01 for px, k in zip(sizes, (1, 1, 2, 4))),
                       "fonts of %g pt times 1, 1, 2 and 4 in %dx%d, not %s px" % (base, width, height, sizes))

        def check_controls(*names):
            got = {name: tuple(a - b for a, b in zip(self.rect(name), want[:2] + (0, 0))) for name in names}
            self.check(got == {name: RECTS_AT_1080[name] for name in names}, "the controls at 1080, not %s" % got)

        check_controls("next-day", "day", "picture")
        self.click("next-day")
        self.wait_for("a day scene", lambda s: "message" in s["shown"])
        check_controls("message")
        self.read_on()
        self.wait_for("the choices", lambda s: "choice-0" in s["shown"])
        check_controls("choice-0", "choice-1", "choice-2")


if __name__ == "__main__":
    WEB_DIR = os.path.abspath(sys.argv[1])  # the folder scripts/web.sh made
    if not os.path.exists(os.path.join(WEB_DIR, "miradel.wasm")):
        sys.exit("%s has no game page: build it with scripts/web.sh" % WEB_DIR)
    unittest.main(argv=sys.argv[:1] + sys.argv[2:], verbosity=2)
