#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Finds the silence between the end of a WAV and its restart in what SDL's "disk" audio
driver wrote (raw signed 16-bit little-endian stereo at the WAV's own rate).

usage: loop_gap.py WAV RAW -> prints "gap_ms <median> loops <n> stale <samples>"

Each play of the WAV is found as an exact copy of its samples (mono doubled to stereo, no
resampling, full volume). The gap is the distance from the end of one copy to the start of
the next; a non-zero sample inside a gap is stale sound left from before the restart."""
import statistics
import sys
import wave


def stereo_bytes(path):
    with wave.open(path) as w:
        assert w.getsampwidth() == 2 and w.getnchannels() in (1, 2)
        frames = w.readframes(w.getnframes())
        if w.getnchannels() == 2:
            return frames, w.getframerate()
        out = bytearray(len(frames) * 2)
        out[0::4] = frames[0::2]
        out[1::4] = frames[1::2]
        out[2::4] = frames[0::2]
        out[3::4] = frames[1::2]
        return bytes(out), w.getframerate()


def quiet_runs(data):
    """Lengths in frames of the runs of near-silent frames (every channel within 2)."""
    runs, run = [], 0
    for i in range(0, len(data) - 3, 4):
        left = int.from_bytes(data[i:i + 2], 'little', signed=True)
        right = int.from_bytes(data[i + 2:i + 4], 'little', signed=True)
        if abs(left) <= 2 and abs(right) <= 2:
            run += 1
        else:
            runs.append(run)
            run = 0
    runs.append(run)
    return runs


def silence_method(song, raw, rate):
    """For an engine that changes the samples (volume, conversion), so that no exact copy
    is found: the longest quiet stretch of the output beyond what the WAV itself holds,
    its end and its start joined as a seamless loop would join them."""
    song_runs = quiet_runs(song)
    own = max(max(song_runs[1:-1], default=0), song_runs[0] + song_runs[-1])
    out_runs = quiet_runs(raw)[1:-1]
    if not out_runs:
        print("gap_ms none loops 0 stale 0")
        return 1
    loops = int(len(raw) / len(song))
    gap = max(0, max(out_runs) - own) / rate * 1000
    print(f"gap_ms {gap:.2f} loops {loops} stale -")
    return 0


def main():
    song, rate = stereo_bytes(sys.argv[1])
    raw = open(sys.argv[2], 'rb').read()
    # A distinctive stretch: the first 1024 frames after the opening silence.
    lead = next((i for i in range(0, len(song), 4) if song[i:i + 4] != b'\0\0\0\0'), 0)
    probe = song[lead:lead + 4096]
    starts = []
    at = raw.find(probe)
    while at >= 0:
        start = at - lead
        if start >= 0 and start % 4 == 0:
            starts.append(start)
        at = raw.find(probe, at + len(song) // 2)
    gaps, stale = [], 0
    for first, second in zip(starts, starts[1:]):
        end = first + len(song)
        gap = raw[end:second]
        stale += sum(1 for i in range(0, len(gap), 2) if gap[i:i + 2] != b'\0\0')
        gaps.append((second - end) / 4 / rate * 1000)
    if not gaps:
        return silence_method(song, raw, rate)
    print(f"gap_ms {statistics.median(gaps):.2f} loops {len(starts)} stale {stale}")
    return 0


if __name__ == '__main__':
    sys.exit(main())
