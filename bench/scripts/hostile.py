#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Measures the player and the checker on every hostile content file of the end-to-end tests
(tests/e2e/hostile_content.py).

Usage: hostile.py PLAYER CHECKER GAME_DIR
  Prints, for every case, the peak resident memory and the time of the checker, and of the
  player (under the Xvfb of DISPLAY) until it ends or for 10 seconds.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
from hostile_content import CASES, CP932_FOLDER, LATIN1_FOLDER, QUOTED_FOLDER  # noqa: E402


# --- measuring ----------------------------------------------------------------------------


def peak_kb(pid):
    try:
        with open("/proc/%d/status" % pid) as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def measure(command, cwd, env, limit=10.0):
    """Runs `command` until it ends or for `limit` seconds: (peak RSS in MB, seconds until it
    ended or reported, status or None when still running, its first reports)."""
    errors = tempfile.TemporaryFile()
    started = time.monotonic()
    process = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL, stderr=errors)
    peak = 0
    reported = None
    while process.poll() is None and time.monotonic() - started < limit:
        peak = max(peak, peak_kb(process.pid))
        errors.seek(0)
        if reported is None and b"miradel: " in errors.read():
            reported = time.monotonic() - started
        time.sleep(0.02)
    elapsed = reported or time.monotonic() - started
    status = process.poll()
    if status is None:
        process.kill()
    process.wait()
    errors.seek(0)
    first = [line for line in errors.read().decode("utf-8", "replace").splitlines() if "miradel" in line][:2]
    return peak / 1024, elapsed, status, first


def main():
    player, checker, game_dir = sys.argv[1:4]
    for name, (make, _) in list(CASES.items()) + [(n, (None, "plays")) for n in ("cp932_folder", "latin1_folder", "quoted_folder")]:
        root = tempfile.mkdtemp(prefix="miradel-hostile-")
        folder_name = {"cp932_folder": CP932_FOLDER, "latin1_folder": LATIN1_FOLDER, "quoted_folder": QUOTED_FOLDER}.get(name, "game")
        folder = os.path.join(root, folder_name)
        shutil.copytree(game_dir, folder, symlinks=True, ignore=shutil.ignore_patterns("CMake*", "*.cmake", "miradel"))
        shutil.copy(player, os.path.join(folder, "miradel"))
        if make:
            make(folder)
        env = dict(os.environ, SDL_AUDIODRIVER="dummy")
        p_mb, p_s, p_status, p_err = measure([os.path.join(folder, "miradel")], root, env)
        c_mb, c_s, c_status, c_err = measure([checker, folder], root, dict(env, QT_QPA_PLATFORM="offscreen"), 60)
        print("%-26s player %6.1f MB %5.2f s %-7s | checker %6.1f MB %5.2f s status %s" % (
            name, p_mb, p_s, "running" if p_status is None else "exit %d" % p_status, c_mb, c_s, c_status))
        for line in p_err:
            print("    player:  " + line[:160])
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
