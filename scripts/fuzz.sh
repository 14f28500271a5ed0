#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the fuzz targets with clang-14 into build-fuzz and runs each for SECONDS (default
# 60), seeded with the bundled game and the test data. Fails if any target finds a crash, a
# broken invariant, a hang, a leak or a sanitizer report; the input is kept under
# build-fuzz/findings/ (replay: build-fuzz/fuzz/<target> <file>).
#   Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
jobs=${MIRADEL_FUZZ_BUILD_JOBS:-2}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMIRADEL_FUZZ=ON -DMIRADEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target miradel_line_reader_fuzz miradel_header_fuzz miradel_player_fuzz miradel_content

seeds=$build/fuzz-seeds
rm -rf "$seeds"
mkdir -p "$seeds/player" "$seeds/line_reader" "$seeds/header_fuzz" "$build/findings"
python3 "$root/fuzz/make_seeds.py" "$build/game/txt" "$seeds/player"
cp "$build"/game/txt/*.dat "$seeds/line_reader/"
cp "$root"/tests/data/cp932/*.txt "$seeds/line_reader/" 2>/dev/null || true
# Headers only: what follows the first scan or the data chunk's start is never read.
for picture in "$build"/game/img/*.jpg; do head -c 4096 "$picture" >"$seeds/header_fuzz/$(basename "$picture")"; done
head -c 4096 "$build/game/bgm.wav" >"$seeds/header_fuzz/bgm.wav"

# Fontconfig keeps a cache for the whole process on purpose; that is not ours to fix.
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:${LSAN_OPTIONS:-}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:abort_on_error=0"
export SDL_AUDIODRIVER=dummy

failed=0
run() {
    local target=$1 maxLen=$2
    shift 2
    local corpus=$build/fuzz-corpus/$target
    mkdir -p "$corpus"
    echo "== $target for ${seconds}s"
    # -timeout: a hang is a finding; -rss_limit_mb: so is eating memory.
    if ! "$build/fuzz/$target" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2560 -max_len="$maxLen" \
        -print_final_stats=1 -artifact_prefix="$build/findings/$target-" "$@" "$corpus" "$seeds/${target#miradel_}" \
        2>"$build/findings/$target.log"; then
        tail -n 60 "$build/findings/$target.log"
        echo "== $target: FINDING (input and log under $build/findings/)"
        failed=1
    else
        grep -E '^stat::number_of_executed_units|^Done|DONE' "$build/findings/$target.log" | tail -n 2 || true
    fi
}
mv "$seeds/line_reader" "$seeds/line_reader_fuzz"
mv "$seeds/player" "$seeds/player_fuzz"
run miradel_line_reader_fuzz 65536
run miradel_header_fuzz 8192
run miradel_player_fuzz 200000 -dict="$root/fuzz/player.dict"
exit "$failed"
