#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes docs/screenshot.png: the bundled game under a private Xvfb, a few clicks into the
# opening, the window cropped from the screen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --test
cmake --preset default >/dev/null
cmake --build --preset default --target miradel
game=build/default/game/miradel
output=${1:-docs/screenshot.png}
mkdir -p "$(dirname "$output")"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() { kill "${player:-}" "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$game" >/dev/null 2>&1 &
player=$!
window=""
for _ in $(seq 300); do
  window=$(xdotool search --name '^Miradel$' 2>/dev/null | head -n 1) && [[ -n "$window" ]] && break
  sleep 0.1
done
[[ -n "$window" ]] || { echo "the game window did not appear" >&2; exit 1; }
# Read a few pages in, so the picture, the day and some text are on show.
eval "$(xdotool getwindowgeometry --shell "$window")"
for _ in 1 2 3; do
  sleep 1.5
  xdotool mousemove --window "$window" $((WIDTH / 4)) $((HEIGHT / 2)) click 1
done
sleep 2
import -window "$window" "$output"
echo "wrote $output"
