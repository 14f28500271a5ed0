#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Figures of the browser build, taken in headless Chromium from a local server:
  - the size of what a player downloads before the game (index.html, miradel.js, miradel.wasm),
    as served and gzip-compressed;
  - page load to the first line of "opn" on the page (the page's own performance mark
    "miradel-first-line", from the start of navigation), median of several loads;
  - while a page waits for a click: the page's timer callbacks a second and Chromium's own
    main-thread task time (CDP Performance.getMetrics TaskDuration), and the same while the
    text is being revealed.

  bench/web/measure_page.py [build/web] [--runs N]

Needs chromium, chromium-driver and python3-selenium (scripts/setup.sh --test)."""
import argparse
import functools
import gzip
import http.server
import os
import socketserver
import statistics
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

# Counts the page's timer callbacks: every one is a wake-up of the page's main thread.
COUNT_TIMERS = '''
window.__wakeUps = 0;
(function () {
  var wrap = function (original) {
    return function (callback, delay) {
      var rest = Array.prototype.slice.call(arguments, 2);
      return original.apply(window, [function () { window.__wakeUps++; return callback.apply(this, arguments); }, delay].concat(rest));
    };
  };
  window.setTimeout = wrap(window.setTimeout);
  window.setInterval = wrap(window.setInterval);
})();
'''


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(QuietHandler, directory=folder)
    server = socketserver.ThreadingTCPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def browser():
    options = Options()
    for argument in ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                     '--disable-background-networking', '--disable-component-update', '--disable-sync',
                     '--user-data-dir=' + tempfile.mkdtemp()]:
        options.add_argument(argument)
    options.binary_location = '/usr/bin/chromium'
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                           {'width': 1366, 'height': 768, 'deviceScaleFactor': 1, 'mobile': False})
    driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': COUNT_TIMERS})
    driver.execute_cdp_cmd('Performance.enable', {})
    return driver


def first_line_ms(driver, url):
    driver.get(url)
    WebDriverWait(driver, 30, poll_frequency=0.01).until(lambda d: d.execute_script(
        "return performance.getEntriesByName('miradel-first-line').length > 0"))
    return driver.execute_script("return performance.getEntriesByName('miradel-first-line')[0].startTime")


def task_seconds(driver):
    metrics = driver.execute_cdp_cmd('Performance.getMetrics', {})['metrics']
    return next(m['value'] for m in metrics if m['name'] == 'TaskDuration')


def idle_figures(driver, seconds):
    wake_ups = driver.execute_script('return window.__wakeUps')
    task = task_seconds(driver)
    started = time.monotonic()
    time.sleep(seconds)  # a measurement over wall time, not a wait for a state
    elapsed = time.monotonic() - started
    wake_ups = driver.execute_script('return window.__wakeUps') - wake_ups
    return wake_ups / elapsed, 100 * (task_seconds(driver) - task) / elapsed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('folder', nargs='?', default=os.path.join(os.path.dirname(__file__), '..', '..', 'build', 'web'))
    parser.add_argument('--runs', type=int, default=7)
    parser.add_argument('--seconds', type=float, default=5)
    arguments = parser.parse_args()

    sizes = {}
    for name in ['index.html', 'miradel.js', 'miradel.wasm']:
        with open(os.path.join(arguments.folder, name), 'rb') as file:
            data = file.read()
        sizes[name] = (len(data), len(gzip.compress(data, 9)))
    for name, (raw, packed) in sizes.items():
        print(f'{name:14} {raw / 1024:8.1f} KiB, gzip {packed / 1024:7.1f} KiB')
    print(f'{"together":14} {sum(s[0] for s in sizes.values()) / 1024:8.1f} KiB, '
          f'gzip {sum(s[1] for s in sizes.values()) / 1024:7.1f} KiB')

    server = serve(arguments.folder)
    url = f'http://127.0.0.1:{server.server_address[1]}/?seed=1'
    driver = browser()
    try:
        loads = [first_line_ms(driver, url) for _ in range(arguments.runs)]
        print(f'page load to first line of opn: median {statistics.median(loads):.1f} ms '
              f'[{min(loads):.1f}-{max(loads):.1f}] n={len(loads)}')
        # The opening's first page ends in "▼": the page waits for a click.
        first_line_ms(driver, url)
        WebDriverWait(driver, 30, poll_frequency=0.05).until(lambda d: d.execute_script(
            "return document.getElementById('message').innerText.indexOf('\u25bc') >= 0"))
        wake_ups, cpu = idle_figures(driver, arguments.seconds)
        print(f'waiting for a click: {wake_ups:.1f} timer wake-ups/s, main-thread tasks {cpu:.3f} % CPU')
        # A click reads on: the pacing timer ticks while the next page is revealed.
        driver.execute_script("document.getElementById('message').click()")
        wake_ups, cpu = idle_figures(driver, 0.5)
        print(f'revealing text:      {wake_ups:.1f} timer wake-ups/s, main-thread tasks {cpu:.3f} % CPU')
    finally:
        driver.quit()
        server.shutdown()


if __name__ == '__main__':
    main()
