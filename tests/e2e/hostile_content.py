#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Content as a hostile or careless author leaves it: one file of the built game broken (for e2e.py and bench)."""
import os
import pathlib
import struct
import subprocess


def write(folder, relative, data):
    pathlib.Path(folder, relative).write_bytes(data)


def chunk(tag, body):
    return tag + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")


def music(fmt, data, more=b""):
    """bgm.wav in `fmt`, a format chunk's body or (channels, rate, block alignment) of 16-bit PCM."""
    if isinstance(fmt, tuple):
        fmt = struct.pack("<HHIIHH", 1, fmt[0], fmt[1], fmt[1] * fmt[2], fmt[2], 16)
    wave = chunk(b"RIFF", b"WAVE" + chunk(b"fmt ", fmt) + chunk(b"data", data) + more)
    return lambda folder: write(folder, "bgm.wav", wave)


def picture(size=None, marker=None, precision=None):
    """The title picture with its frame header claiming otherwise: nothing may be allocated on that word."""
    def make(folder):
        data = bytearray(pathlib.Path(folder, "img/ttl.jpg").read_bytes())
        at = data.find(b"\xff\xc0")
        if marker:
            data[at + 1] = marker
        if precision:
            data[at + 4] = precision
        if size:
            data[at + 5:at + 9] = struct.pack(">HH", size, size)
            # Every component at full resolution: the most samples a frame of that size can claim.
            for component in range(data[at + 9]):
                data[at + 11 + 3 * component] = 0x11
        write(folder, "img/ttl.jpg", bytes(data))
    return make


def other_format(kind):
    return lambda f: subprocess.check_call(["convert", f + "/img/ttl.jpg", kind + ":" + f + "/img/ttl.jpg"])


def opening(make):
    def replace(folder):
        os.remove(folder + "/txt/opn.dat")
        make(folder + "/txt/opn.dat")
    return replace


# Folder names as archives leave them ("ゲーム" in code page 932, Latin-1 "café"), as os functions take them.
CP932_FOLDER = b"\x83\x51\x81\x5b\x83\x80".decode("utf-8", "surrogateescape")
LATIN1_FOLDER = b"caf\xe9".decode("utf-8", "surrogateescape")
QUOTED_FOLDER = 'the "best" game'

# IMA ADPCM, mono, two 256-byte blocks of 505 samples, declaring a rate of 1 Hz.
ADPCM_1HZ = struct.pack("<HHIIHHHH", 0x11, 1, 1, 256, 256, 4, 2, 505)
# A sampler chunk declaring 100000 loops and holding one.
LOOP_BOMB = chunk(b"smpl", struct.pack("<15I", 0, 0, 22675, 60, 0, 0, 0, 100000, 0, 0, 0, 0, 100, 0, 0))
TITLE_PICTURE = r"img/ttl\.jpg: "

# name: (make, None when the game plays on, else the start of the fatal report after "miradel: ")
CASES = {
    "wav_zero_channels": (music((0, 44100, 0), b"\0" * 44100), None),
    "wav_ima_adpcm_1hz": (music(ADPCM_1HZ, (b"\0\0\0\0" + b"\x77" * 252) * 2), None),
    "wav_sample_loop_bomb": (music((1, 44100, 2), b"\0\1" * 44100, LOOP_BOMB), None),
    "wav_pcm_1hz": (music((1, 1, 2), b"\0\1" * (2 * 1024 * 1024)), None),
    "jpeg_20000": (picture(20000), TITLE_PICTURE + ".*20000 x 20000"),
    "jpeg_40000": (picture(40000), TITLE_PICTURE + ".*40000 x 40000"),
    "jpeg_44000_progressive": (picture(44000, 0xC2), TITLE_PICTURE + ".*44000 x 44000"),
    "jpeg_12_bit": (picture(marker=0xC1, precision=12), TITLE_PICTURE + "cannot read the picture: 12-bit"),
    "jpeg_lossless": (picture(marker=0xC3), TITLE_PICTURE + "cannot read the picture: lossless"),
    "png_as_jpeg": (other_format("png"), None),
    "gif_as_jpeg": (other_format("gif"), None),
    "bmp_as_jpeg": (other_format("bmp"), None),
    # Errors name the game folder searched, in the English line.
    "scene_fifo": (opening(os.mkfifo), r"txt/opn\.dat.*: scene file not found \(game folder /.*/game/\)$"),
    "scene_dev_zero": (opening(lambda path: os.symlink("/dev/zero", path)), r"txt/opn\.dat.*: scene file not found"),
    # The report quotes the start of a 2 MB line only.
    "scene_long_run_line": (lambda f: write(f, "txt/opn.dat", b"--" + b"x" * (2 * 1024 * 1024) + b"\r\nline\r\n"),
                            r"txt/opn\.dat:1: .{0,300}…」$"),
    "scene_nul_in_picture_name": (lambda f: write(f, "txt/opn.dat", b"\x82\xa0\r\n>img ttl\0.png\r\n\x82\xa2\r\n"),
                                  r"txt/opn\.dat:2: a file name holds a NUL character: \"ttl␀\.png\""),
}
