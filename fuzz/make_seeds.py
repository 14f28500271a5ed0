#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the seed inputs of the player fuzz target.

Usage: make_seeds.py SCENE_DIR OUT_DIR

An input is the events, then each scene of SCENE_NAMES (the order of PlayerDrive.h), all
separated by the byte 0x1E. The seeds are the bundled game's scenes from SCENE_DIR with
several event patterns, and small hand-written games that reach each scene command.
"""
import os
import sys

SCENE_NAMES = ["opn", "not", "0", "1", "2", "3", "00", "01", "02", "03", "10", "11", "12",
               "13", "20", "21", "22", "23", "30", "31", "32", "33", "end0", "end1", "end2"]
SEPARATOR = b"\x1e"

# Each event byte picks one of the controls on offer, modulo their number: all zeros always
# clicks the message area first; the ramp and the prime steps mix clicks, ticks and buttons.
# The separator byte never stands among the events.
def events(values):
    return bytes(31 if value == SEPARATOR[0] else value for value in values)


EVENT_PATTERNS = {
    "clicks": bytes(1500),
    "ramp": events(i % 256 for i in range(3000)),
    "steps": events((i * 37 + 11) % 256 for i in range(3000)),
}


def join(events, scenes):
    return SEPARATOR.join([events] + [scenes.get(name, b"") for name in SCENE_NAMES])


def crlf(*lines):
    return b"".join(line.encode("cp932") + b"\r\n" for line in lines)


def hand_written_games():
    every = {name: crlf(name + "の場面", "tugi") for name in SCENE_NAMES}
    for name in ("end0", "end1", "end2"):
        every[name] = crlf("おしまい", ">end")
    yield "commands", dict(every, opn=crlf(
        "はじめ", "", "", ">img 0", ">p", "二ページ目", ">p x", "--2", "a", "b", ">ive 続き",
        ">img _", "--0", "tugi"))
    yield "loop", dict(every, **{"0": crlf("一日目", ">loop", "その後")})
    yield "runs", dict(every, opn=crlf("--5", "a", "--2", "b", "c", "d", "e", "f", "tugi", "g"))
    yield "restart", dict(every, opn=crlf("a", "--9", ">end"))
    yield "long_page", dict(every, opn=crlf(*[str(i) for i in range(70)]))
    yield "bad_bytes", dict(every, opn=b"\x81\r\n\x00\xff\xfe\r\x0a\n\x82\xa0" + b"\r\n")


def main():
    scene_dir, out_dir = sys.argv[1], sys.argv[2]
    os.makedirs(out_dir, exist_ok=True)
    game = {}
    for name in SCENE_NAMES:
        with open(os.path.join(scene_dir, name + ".dat"), "rb") as scene:
            game[name] = scene.read()
    for pattern, events in EVENT_PATTERNS.items():
        with open(os.path.join(out_dir, "game_" + pattern), "wb") as seed:
            seed.write(join(events, game))
    for label, scenes in hand_written_games():
        with open(os.path.join(out_dir, "hand_" + label), "wb") as seed:
            seed.write(join(EVENT_PATTERNS["steps"][:400], scenes))


if __name__ == "__main__":
    main()
