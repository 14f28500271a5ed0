#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The code page 932 decoder's tests compiled with Emscripten and run in Node: the browser build's
# compiled table must meet the desktop's tests. GoogleTest comes from Debian's sources, built once
# per folder; threads are on because one test decodes in a new thread.
#   tests/web/cp932_node.sh [build folder, default build/web-test]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build/web-test}
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
gtest=/usr/src/googletest/googletest
flags=(-std=c++20 -O1 -pthread)
mkdir -p "$out"
for unit in gtest-all gtest_main; do
  [[ $out/$unit.o -nt $gtest/src/$unit.cc ]] ||
    em++ "${flags[@]}" -I"$gtest/include" -I"$gtest" -c "$gtest/src/$unit.cc" -o "$out/$unit.o"
done
em++ "${flags[@]}" -Wall -Wextra -Werror -I"$gtest/include" -I"$root/src" \
  -DMIRADEL_TEST_DATA_DIR="\"$root/tests/data\"" \
  "$root/tests/platform/Cp932Test.cpp" "$root/src/platform/Cp932.cpp" "$root/src/platform/Cp932Table.cpp" \
  "$root/src/platform/Text.cpp" "$out/gtest-all.o" "$out/gtest_main.o" \
  -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sPTHREAD_POOL_SIZE=2 -o "$out/cp932_test.js"
# Node 20 has fetch, which this Emscripten's loader prefers and which cannot read a file.
node --no-experimental-fetch "$out/cp932_test.js"
