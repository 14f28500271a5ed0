#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The code page 932 decoder tests, compiled with Emscripten and run in Node: the browser
# build's DecodeCp932 (the compiled table) must meet the same table and rules as the
# desktop's. GoogleTest is compiled from Debian's sources (googletest), once per build folder.
# Threads are on because one test decodes in a new thread.
#   tests/web/cp932_node.sh [build folder, default build/web-test]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build/web-test}
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
gtest=/usr/src/googletest/googletest
flags=(-std=c++20 -O1 -pthread)
mkdir -p "$out"

for unit in gtest-all gtest_main; do
  if [[ ! -f $out/$unit.o || $gtest/src/$unit.cc -nt $out/$unit.o ]]; then
    em++ "${flags[@]}" -I"$gtest/include" -I"$gtest" -c "$gtest/src/$unit.cc" -o "$out/$unit.o"
  fi
done

em++ "${flags[@]}" -Wall -Wextra -Werror -I"$gtest/include" -I"$root/src" \
  -DMIRADEL_TEST_DATA_DIR="\"$root/tests/data\"" \
  "$root/tests/platform/Cp932Test.cpp" \
  "$root/src/platform/Cp932.cpp" "$root/src/platform/Cp932Table.cpp" "$root/src/platform/Text.cpp" \
  "$out/gtest-all.o" "$out/gtest_main.o" \
  -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sPTHREAD_POOL_SIZE=2 -o "$out/cp932_test.js"

# This Emscripten's loader fetches the .wasm when fetch exists, as in Node 20, and fetch
# cannot read a file.
node --no-experimental-fetch "$out/cp932_test.js"
