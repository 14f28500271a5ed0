#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The browser build's tests: the code page 932 decoder's tests built with Emscripten and run in Node
# (the browser's compiled table must meet the desktop's tests), then the page in headless Chromium.
#   tests/web/run.sh [web folder made by scripts/web.sh, default build/web] [unittest options]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
web=${1:-$root/build/web}
shift || true
out=$root/build/web-test gtest=/usr/src/googletest/googletest flags=(-std=c++20 -O1 -pthread)
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
mkdir -p "$out"
# GoogleTest from Debian's sources, built once; threads, as one test decodes in a new thread.
for unit in gtest-all gtest_main; do
  [[ $out/$unit.o -nt $gtest/src/$unit.cc ]] ||
    em++ "${flags[@]}" -I"$gtest/include" -I"$gtest" -c "$gtest/src/$unit.cc" -o "$out/$unit.o"
done
em++ "${flags[@]}" -Wall -Wextra -Werror -I"$gtest/include" -I"$root/src" -DMIRADEL_TEST_DATA_DIR="\"$root/tests/data\"" \
  "$root/tests/platform/Cp932Test.cpp" "$root/src/platform/Cp932.cpp" "$root/src/platform/Cp932Table.cpp" \
  "$root/src/platform/Text.cpp" "$out/gtest-all.o" "$out/gtest_main.o" \
  -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sPTHREAD_POOL_SIZE=2 -o "$out/cp932_test.js"
# Node 20 has fetch, which this Emscripten's loader prefers and which cannot read a file.
node --no-experimental-fetch "$out/cp932_test.js"
# Debian's selenium is installed for the system's Python, which a pyenv python3 may hide.
/usr/bin/python3 "$root/tests/web/page_test.py" "$web" "$@"
