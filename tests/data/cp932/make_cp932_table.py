#!/usr/bin/env python3
# Writes cp932_table.txt, the decoder test's reference: every byte sequence of one or two
# bytes that Python's own cp932 codec (CPython's _codecs_jp, written apart from glibc's
# iconv) decodes to exactly one character, with that character's code point.
# Run from this folder: python3 make_cp932_table.py
lines = ["# Made by make_cp932_table.py with Python's cp932 codec: <bytes in hex> <code point in hex>"]
for first in range(256):
    for sequence in [bytes([first])] + [bytes([first, second]) for second in range(256)]:
        try:
            text = sequence.decode("cp932")
        except UnicodeDecodeError:
            continue
        if len(text) == 1:
            lines.append(f"{sequence.hex().upper()} {ord(text):04X}")
with open("cp932_table.txt", "w", newline="\n") as table:
    table.write("\n".join(lines) + "\n")
