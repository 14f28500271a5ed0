#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The benchmark suite: the player beside a peer engine (ONScripter), measured the same way
# in the same run, and the micro-benchmarks of the hot paths. Prints one table.
#
#   bench/run.sh [--short] [--runs N] [--build DIR]
#
# --short: two runs of everything and shorter windows, for CI (checks that the suite runs).
# Needs: cmake, ninja, Google Benchmark (libbenchmark-dev), xvfb, libx11-dev, libxext-dev, onscripter,
# fonts-ipafont-gothic, imagemagick, time, python3. Figures on a shared machine are noisy:
# read the medians and the ratios, which come from interleaved runs of both engines.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build="$root/build-bench"
runs=7
idle_seconds=30
gap_loops=3
while [ $# -gt 0 ]; do
    case "$1" in
        --short) runs=2; idle_seconds=2; gap_loops=2; short=1 ;;
        --runs) runs=$2; shift ;;
        --build) build=$2; shift ;;
        *) echo "usage: bench/run.sh [--short] [--runs N] [--build DIR]" >&2; exit 2 ;;
    esac
    shift
done

# The peer, Google Benchmark and the rest come with the test packages.
"$root/scripts/setup.sh" --test

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRADEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target miradel miradel-check miradel_screen_poll miradel_micro_benchmarks >/dev/null

work=$(mktemp -d /tmp/miradel-bench.XXXXXX)
results="$work/results"
: >"$results"
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

poll="$build/bench/miradel_screen_poll"
game="$build/game"
audio_quiet=(SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null)

# Our own display, so that nothing else on the machine draws into the screenshots.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

# Waits (generously) until the condition command succeeds.
wait_for() {
    local limit=$1; shift
    for _ in $(seq $((limit * 20))); do "$@" && return 0; sleep 0.05; done
    return 1
}

# --- The peer's equivalent minimal game: a white window, the title picture, a few of the
# opening's Japanese lines in red, shown at once, a click wait, the same WAV looping.
peer="$work/peer"
mkdir -p "$peer"
cp "$game/img/ttl.jpg" "$game/bgm.wav" "$peer/"
ln -s /usr/share/fonts/truetype/fonts-japanese-gothic.ttf "$peer/default.ttf"
write_peer_script() { # $1: music file
    python3 - "$peer/0.txt" "$1" <<'PY'
import sys
script = f""";mode800
*define
game
*start
bg white,1
ld c,"ttl.jpg",1
bgm "{sys.argv[2]}"
!s0
#ff0000丘の上に、古い塔がひとつ立っている。
海辺の村でいちばん高い場所だ。
塔のてっぺんには、大きな織り機がある。@
ミオのおばあちゃんは「空織り」だった。\\
end
"""
open(sys.argv[1], 'wb').write(script.encode('cp932'))
PY
}
write_peer_script bgm.wav
ours_cmd=("$game/miradel")
peer_cmd=(/usr/games/onscripter -r "$peer")

# --- Start-up, CPU while waiting for a click, peak memory: one run of one engine.
measure_run() { # $1: ours|peer, then the command
    local engine=$1; shift
    local out="$work/poll.$engine" timefile="$work/time.$engine"
    rm -f "$timefile"
    env "${audio_quiet[@]}" "$poll" --timeout 60 --settle 1000 --pid-file "$work/pid" -- \
        /usr/bin/time -v -o "$timefile" "$@" >"$out" 2>/dev/null || { cat "$out" >&2; return 1; }
    local timer_pid game_pid
    timer_pid=$(cat "$work/pid")
    game_pid=$(pgrep -P "$timer_pid" | head -1 || true)
    [ -n "$game_pid" ] || { echo "bench: $engine ended before it waited for a click:" >&2; cat "$out" >&2; return 1; }
    awk -v e="$engine" '$1 == "first_text_ms" { print "startup_ms", e, $2 }' "$out" >>"$results"
    # Wake-ups per thread and CPU while the page waits for a click, the music playing.
    python3 "$here/scripts/wakeups.py" "$game_pid" "$idle_seconds" "$engine" >>"$results"
    # SDL catches SIGTERM for its own event queue; a kill ends both engines alike.
    kill -9 "$game_pid"
    wait_for 30 grep -q "Maximum resident" "$timefile"
    awk -v e="$engine" '/Maximum resident/ { print "peak_rss_mb", e, $NF / 1024 }' "$timefile" >>"$results"
}

for run in $(seq "$runs"); do
    # Alternate the order so that neither engine always runs on a warmer cache.
    if [ $((run % 2)) = 1 ]; then
        measure_run ours "${ours_cmd[@]}"; measure_run peer "${peer_cmd[@]}"
    else
        measure_run peer "${peer_cmd[@]}"; measure_run ours "${ours_cmd[@]}"
    fi
done

# --- Music loop gap, from what SDL's disk driver writes. A 3 s cut of bgm.wav keeps the
# runs short (our device buffer is fitted to the length, so the gap stays within 2 ms for
# any length). The same runs count the wake-ups with a restart every 3 s.
python3 - "$game/bgm.wav" "$work/short.wav" <<'PY'
import sys, wave
src = wave.open(sys.argv[1])
out = wave.open(sys.argv[2], 'wb')
out.setparams(src.getparams())
out.writeframes(src.readframes(3 * src.getframerate()))
PY
loopgame="$work/loopgame"
mkdir -p "$loopgame"
cp -r "$game/miradel" "$game/txt" "$game/img" "$loopgame/"
cp "$work/short.wav" "$loopgame/bgm.wav"
cp "$work/short.wav" "$peer/short.wav"
write_peer_script short.wav
raw_bytes_for_loops=$(( (gap_loops + 1) * 3 * 44100 * 4 + 44100 * 4 ))
raw_big_enough() { [ -f "$1" ] && [ "$(stat -c %s "$1")" -ge "$raw_bytes_for_loops" ]; }
loop_run() { # $1: engine, then the command; fails when the engine ended by itself
    local engine=$1; shift
    local raw="$work/$engine.raw" measured="$work/loop.$engine"
    rm -f "$raw"
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$raw" "$@" >/dev/null 2>&1 &
    local pid=$!
    wait_for 60 test -s "$raw" || true
    python3 "$here/scripts/wakeups.py" "$pid" $((3 * gap_loops)) "$engine" \
        | awk '$1 == "wakeups_s" { print "wakeups_loop_s", $2, $3 }' >"$measured"
    wait_for 120 raw_big_enough "$raw" || echo "bench: $engine wrote too little sound ($(stat -c %s "$raw" 2>/dev/null) bytes)" >&2
    if ! kill -9 "$pid" 2>/dev/null; then
        echo "bench: $engine had ended by itself" >&2
        wait "$pid" 2>/dev/null || true
        return 1
    fi
    wait "$pid" 2>/dev/null || true
    cat "$measured" >>"$results"
    python3 "$here/scripts/loop_gap.py" "$work/short.wav" "$raw" | awk -v e="$engine" \
        '{ print "loop_gap_ms", e, $2; if ($6 != "-") print "loop_stale", e, $6 }' >>"$results"
}
# Now and then an engine ends by itself at start (seen with the peer); such a run is made again.
loop_run_retried() {
    for _ in 1 2 3; do loop_run "$@" && return 0; done
    echo "bench: $1 ended by itself three times; no loop figures from this run" >&2
}
for run in $(seq "$runs"); do
    loop_run_retried ours "$loopgame/miradel"
    loop_run_retried peer "${peer_cmd[@]}"
done

# --- miradel-check on 1,000,000 scene lines: 25 scenes of 40,000 lines, pages of four lines
# of 20 "あ" (82 A0), a ">p", now and then a picture and a "--" run (as in tests/check).
checkgame="$work/checkgame"
mkdir -p "$checkgame/txt" "$checkgame/img"
python3 - "$checkgame" <<'PY'
import sys
root = sys.argv[1]
line = b"\x82\xa0" * 20
out = []
for n in range(40000):
    out.append(b">img 0" if n % 50 == 49 else b"--2" if n % 100 == 98 else b">p" if n % 5 == 4 else line)
data = b"\r\n".join(out) + b"\r\n"
scenes = ["opn", "not", "0", "1", "2", "3", "end0", "end1", "end2"] + [f"{d}{c}" for d in range(4) for c in range(4)]
for s in scenes:
    open(f"{root}/txt/{s}.dat", "wb").write(data)
PY
convert -size 64x48 xc:navy "$checkgame/img/ttl.jpg"
for name in 0 1 2 3 4 end0 end1 end2 0_ 1_ 2_ 3_ 4_; do cp "$checkgame/img/ttl.jpg" "$checkgame/img/$name.jpg"; done
for run in $(seq "$runs"); do
    start=$(date +%s%N)
    QT_QPA_PLATFORM=offscreen "$build/tools/check/miradel-check" "$checkgame" >/dev/null 2>&1 || true
    echo "check_1m_s ours $(( ($(date +%s%N) - start) / 1000 ))e-6" >>"$results"
done

# --- Micro-benchmarks: CPU time per iteration of each repetition.
min_time=0.5
[ -n "${short:-}" ] && min_time=0.05
QT_QPA_PLATFORM=offscreen "$build/bench/miradel_micro_benchmarks" --benchmark_repetitions="$runs" \
    --benchmark_min_time="$min_time" --benchmark_out="$work/micro.json" --benchmark_out_format=json >/dev/null 2>&1
python3 - "$work/micro.json" >>"$results" <<'PY'
import json, sys
names = {"TimSayTickWithBlink/640/480": ("tick_640_ms", 1e-6), "TimSayTickWithBlink/1920/1080": ("tick_1920_ms", 1e-6),
         "TimSayTickWithBlink/4000/3000": ("tick_4000_ms", 1e-6), "TextStepOnFullPage": ("text_step_us", 1e-3),
         "ReadScene1MB": ("scene_1mb_ms", 1e-6), "BgmTimStatusQuery": ("bgmtim_ns", 1)}
units = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type") != "iteration":
        continue
    key, scale = names.get(b["run_name"], (None, 0))
    if key:
        print(key, "ours", b["cpu_time"] * units[b["time_unit"]] * scale)
PY

echo "Miradel beside ONScripter $(dpkg-query -W -f '${Version}' onscripter), $runs runs, $(nproc) cores, Xvfb 1280x1024, load $(cut -d' ' -f1 /proc/loadavg)"
python3 "$here/scripts/table.py" "$results"
echo
echo "Wake-ups per second while waiting, by thread (median over the runs):"
python3 - "$results" <<'PY'
import statistics, sys
rates = {}
for line in open(sys.argv[1]):
    parts = line.split()
    if len(parts) == 4 and parts[0] == "wakeups_thread":
        rates.setdefault((parts[1], parts[2]), []).append(float(parts[3]))
for (engine, name), values in sorted(rates.items(), key=lambda item: (item[0][0] != "ours", -statistics.median(item[1]))):
    print(f"  {engine}: {name} {statistics.median(values):.1f}")
PY
