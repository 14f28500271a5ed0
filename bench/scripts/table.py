#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Prints the benchmark table from the driver's results file: lines of
"figure engine value" (engine "ours" or "peer"); each figure's median and spread (min to
max over the runs), the peer's beside ours, and the ratio of the medians."""
import statistics
import sys

# figure: (label, unit, target text, test of ours against the peer's median)
FIGURES = {
    "startup_ms": ("start-up to first line of opn", "ms", "<= 0.5 x peer", lambda o, p: p is not None and o <= 0.5 * p),
    "tick_1920_ms": ("TimSay tick + blink, 1920x1080", "ms", "< 4 ms", lambda o, p: o < 4),
    "tick_640_ms": ("TimSay tick + blink, 640x480", "ms", "-", None),
    "tick_4000_ms": ("TimSay tick + blink, 4000x3000", "ms", "-", None),
    "text_step_us": ("text step on a full page", "us", "-", None),
    "scene_1mb_ms": ("read+decode 1 MB scene file", "ms", "-", None),
    "bgmtim_ns": ("BgmTim status query", "ns", "-", None),
    "wakeups_s": ("wake-ups/s waiting for a click", "", "<= 100", lambda o, p: o <= 100),
    "wakeups_loop_s": ("wake-ups/s, 3 s music looping", "", "<= 100", lambda o, p: o <= 100),
    "idle_cpu_pct": ("CPU waiting for a click", "%", "<= 1/3 x peer", lambda o, p: p is not None and o <= p / 3),
    "loop_gap_ms": ("music loop gap", "ms", "<= 7 ms, goal 3", lambda o, p: o <= 7),
    "loop_stale": ("stale samples in the gap", "", "0", lambda o, p: o == 0),
    "peak_rss_mb": ("peak resident memory", "MB", "<= peer", lambda o, p: p is not None and o <= p),
    "check_1m_s": ("miradel-check, 1,000,000 lines", "s", "< 1 s", lambda o, p: o < 1),
}


def main():
    values = {}
    for line in open(sys.argv[1]):
        parts = line.split()
        if len(parts) == 3:
            try:
                values.setdefault((parts[0], parts[1]), []).append(float(parts[2]))
            except ValueError:
                pass
    rows = [("figure", "ours: median [min-max] n", "peer: median [min-max] n", "ours/peer", "target", "met")]

    def cell(samples):
        if not samples:
            return "-"
        return f"{statistics.median(samples):.4g} [{min(samples):.4g}-{max(samples):.4g}] {len(samples)}"

    for key, (label, unit, target, test) in FIGURES.items():
        ours, peer = values.get((key, "ours")), values.get((key, "peer"))
        if not ours:
            continue
        mo = statistics.median(ours)
        mp = statistics.median(peer) if peer else None
        ratio = f"{mo / mp:.2f}" if mp else "-"
        met = "-" if test is None else ("yes" if test(mo, mp) else "NO")
        rows.append((f"{label} ({unit})" if unit else label, cell(ours), cell(peer), ratio, target, met))
    widths = [max(len(r[i]) for r in rows) for i in range(len(rows[0]))]
    for n, r in enumerate(rows):
        print("| " + " | ".join(c.ljust(w) for c, w in zip(r, widths)) + " |")
        if n == 0:
            print("|" + "|".join("-" * (w + 2) for w in widths) + "|")


if __name__ == "__main__":
    main()
