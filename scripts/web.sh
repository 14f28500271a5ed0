#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the game for the browser into build/web/: index.html, miradel.js and miradel.wasm
# beside a copy of the bundled game (txt/, img/, bgm.wav), ready to serve as it is, e.g. with
#   python3 -m http.server --directory build/web
# The bundled game's content is made by the native tools, so the native build (the default
# preset, or the build folder named by MIRADEL_NATIVE_BUILD) makes it first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --web

native_build=${MIRADEL_NATIVE_BUILD:-build/default}
if [[ -z "${MIRADEL_NATIVE_BUILD:-}" ]]; then
  cmake --preset default >/dev/null
fi
cmake --build "$native_build" --target miradel_content

# The "web" preset: Emscripten's toolchain, -O2, and NODE_PATH for the optimizer of Debian's
# emcc, which runs on Debian's acorn.
cmake --preset web >/dev/null
cmake --build --preset web --target miradel

rm -rf build/web
mkdir -p build/web
cp build/web-build/src/web/index.html build/web-build/src/web/miradel.js build/web-build/src/web/miradel.wasm build/web/
cp -R "$native_build/game/txt" "$native_build/game/img" "$native_build/game/bgm.wav" build/web/
echo "build/web is ready: python3 -m http.server --bind 127.0.0.1 --directory build/web"
