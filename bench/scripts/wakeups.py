#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""What a process costs while it waits, over a window: the wake-ups of each of its threads
(context switches, voluntary and not, from /proc/PID/task/*/status) and the CPU time of all
of them (/proc/PID/task/*/schedstat, in nanoseconds: the clock ticks of /proc/PID/stat are
too coarse for a process that hardly runs).

Usage: wakeups.py PID SECONDS ENGINE
Prints "wakeups_s ENGINE per-second", "idle_cpu_pct ENGINE percent of one core" and, per
thread, "wakeups_thread ENGINE NAME per-second" (threads of the same name summed)."""
import os
import sys
import time


def snapshot(pid):
    counts = {}
    try:
        tids = os.listdir(f"/proc/{pid}/task")
    except FileNotFoundError:
        return counts
    for tid in tids:
        try:
            with open(f"/proc/{pid}/task/{tid}/comm") as comm:
                name = comm.read().strip().replace(" ", "_") or "?"
            switches = 0
            with open(f"/proc/{pid}/task/{tid}/status") as status:
                for line in status:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        switches += int(line.split()[1])
            with open(f"/proc/{pid}/task/{tid}/schedstat") as schedstat:
                nanoseconds = int(schedstat.read().split()[0])
            counts[tid] = (name, switches, nanoseconds)
        except (FileNotFoundError, ProcessLookupError):
            pass
    return counts


def main():
    pid, seconds, engine = sys.argv[1], float(sys.argv[2]), sys.argv[3]
    if not os.path.isdir(f"/proc/{pid}/task"):
        print(f"bench: {engine} (process {pid}) is not running", file=sys.stderr)
        return
    before = snapshot(pid)
    started = time.monotonic()
    time.sleep(seconds)
    after = snapshot(pid)
    elapsed = time.monotonic() - started
    per_name = {}
    cpu = 0
    for tid, (name, switches, nanoseconds) in after.items():
        _, switches_before, nanoseconds_before = before.get(tid, (name, 0, 0))
        per_name[name] = per_name.get(name, 0) + switches - switches_before
        cpu += nanoseconds - nanoseconds_before
    print(f"wakeups_s {engine} {sum(per_name.values()) / elapsed:.1f}")
    print(f"idle_cpu_pct {engine} {cpu / 1e9 / elapsed * 100:.3f}")
    for name, switches in sorted(per_name.items(), key=lambda item: -item[1]):
        print(f"wakeups_thread {engine} {name} {switches / elapsed:.1f}")


if __name__ == "__main__":
    main()
