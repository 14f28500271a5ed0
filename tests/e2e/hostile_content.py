#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Content files as a hostile or careless author leaves them, made at test time from the
built game: each function breaks one file of a game folder. The end-to-end tests use them,
and bench/scripts/hostile.py measures the player and the checker on each of them.
"""
import os
import struct
import subprocess

# --- music --------------------------------------------------------------------------------


def chunk(tag, body):
    return tag + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")


def wave(fmt, data, *more):
    body = b"WAVE" + chunk(b"fmt ", fmt) + chunk(b"data", data) + b"".join(more)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def pcm_format(channels, rate, bits=16, block_align=None):
    align = channels * bits // 8 if block_align is None else block_align
    return struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits)


def sample_loops(declared, held):
    loops = b"".join(struct.pack("<IIIIII", i, 0, 0, 100, 0, 0) for i in range(held))
    return chunk(b"smpl", struct.pack("<IIIIIIIII", 0, 0, 22675, 60, 0, 0, 0, declared, 0) + loops)


def wav_zero_channels(folder):
    write(folder, "bgm.wav", wave(pcm_format(0, 44100, 16, 0), b"\0" * 44100))


def wav_ima_adpcm_1hz(folder):
    # IMA ADPCM, mono, 256-byte blocks of 505 samples, declaring a rate of 1 Hz.
    fmt = struct.pack("<HHIIHHHH", 0x11, 1, 1, 256, 256, 4, 2, 505)
    write(folder, "bgm.wav", wave(fmt, b"\0\0\0\0" + b"\x77" * 252 * 1 + b"\0\0\0\0" + b"\x77" * 252))


def wav_sample_loop_bomb(folder):
    write(folder, "bgm.wav", wave(pcm_format(1, 44100), b"\0\1" * 44100, sample_loops(100000, 1)))


def wav_pcm_1hz(folder):
    write(folder, "bgm.wav", wave(pcm_format(1, 1), b"\0\1" * (2 * 1024 * 1024)))


# --- pictures -----------------------------------------------------------------------------


def frame_at(data):
    for marker in (b"\xff\xc0", b"\xff\xc2"):
        at = data.find(marker)
        if at >= 0:
            return at
    raise ValueError("no frame header")


def patched_jpeg(folder, relative, width=None, height=None, full_colour=False, marker=None, precision=None):
    """The game's own picture with its frame header saying otherwise: the decoder must not
    allocate for what a few bytes claim."""
    data = bytearray(read(folder, relative))
    at = frame_at(data)
    if marker is not None:
        data[at + 1] = marker
    if precision is not None:
        data[at + 4] = precision
    if width is not None:
        data[at + 5:at + 9] = struct.pack(">HH", height, width)
    if full_colour:
        for component in range(data[at + 9]):
            data[at + 11 + 3 * component] = 0x11
    write(folder, relative, bytes(data))


def jpeg_huge(size, progressive=False):
    def make(folder):
        patched_jpeg(folder, "img/ttl.jpg", size, size, True, 0xC2 if progressive else None)
    return make


def jpeg_precision(bits):
    return lambda folder: patched_jpeg(folder, "img/ttl.jpg", precision=bits, marker=0xC1)


def jpeg_lossless(folder):
    patched_jpeg(folder, "img/ttl.jpg", marker=0xC3)


def other_format(kind):
    def make(folder):
        path = os.path.join(folder, "img/ttl.jpg")
        subprocess.run(["convert", path, "%s:%s" % (kind, path)], check=True)
    return make


# --- scenes -------------------------------------------------------------------------------


def scene_fifo(folder):
    os.remove(os.path.join(folder, "txt/opn.dat"))
    os.mkfifo(os.path.join(folder, "txt/opn.dat"))


def scene_dev_zero(folder):
    os.remove(os.path.join(folder, "txt/opn.dat"))
    os.symlink("/dev/zero", os.path.join(folder, "txt/opn.dat"))


def scene_long_run_line(folder):
    write(folder, "txt/opn.dat", b"--" + b"x" * (2 * 1024 * 1024) + b"\r\nline\r\n")


def scene_nul_in_picture_name(folder):
    write(folder, "txt/opn.dat", b"\x82\xa0\r\n>img ttl\0.png\r\n\x82\xa2\r\n")


# Folder names as archives leave them: "ゲーム" in code page 932 bytes, Latin-1 "café", and
# double quotes, as str with the bytes that are not UTF-8 escaped, as os functions take them.
CP932_FOLDER = b"\x83\x51\x81\x5b\x83\x80".decode("utf-8", "surrogateescape")
LATIN1_FOLDER = b"caf\xe9".decode("utf-8", "surrogateescape")
QUOTED_FOLDER = 'the "best" game'

# name: (make, what the player does: "plays" or "ends")
CASES = {
    "wav_zero_channels": (wav_zero_channels, "plays"),
    "wav_ima_adpcm_1hz": (wav_ima_adpcm_1hz, "plays"),
    "wav_sample_loop_bomb": (wav_sample_loop_bomb, "plays"),
    "wav_pcm_1hz": (wav_pcm_1hz, "plays"),
    "jpeg_20000": (jpeg_huge(20000), "ends"),
    "jpeg_40000": (jpeg_huge(40000), "ends"),
    "jpeg_44000_progressive": (jpeg_huge(44000, True), "ends"),
    "jpeg_12_bit": (jpeg_precision(12), "ends"),
    "jpeg_lossless": (jpeg_lossless, "ends"),
    "png_as_jpeg": (other_format("png"), "plays"),
    "gif_as_jpeg": (other_format("gif"), "plays"),
    "bmp_as_jpeg": (other_format("bmp"), "plays"),
    "scene_fifo": (scene_fifo, "ends"),
    "scene_dev_zero": (scene_dev_zero, "ends"),
    "scene_long_run_line": (scene_long_run_line, "ends"),
    "scene_nul_in_picture_name": (scene_nul_in_picture_name, "ends"),
}


def read(folder, relative):
    with open(os.path.join(folder, relative), "rb") as file:
        return file.read()


def write(folder, relative, data):
    with open(os.path.join(folder, relative), "wb") as file:
        file.write(data)
