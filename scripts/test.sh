#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up, builds and runs every test: a check that the code is formatted, the normal build
# with warnings as errors, the same tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the browser build in Node and headless Chromium, the fuzzers for
# a bounded time and the benchmarks' short mode. Needs no display: the tests that want one
# start their own Xvfb, and Chromium runs headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --test
jobs=$(nproc)

echo "== formatting"
scripts/format.sh --check

echo "== build and test (warnings are errors)"
cmake --preset ci >/dev/null
cmake --build --preset ci -j "$jobs"
ctest --preset ci -j "$jobs"

echo "== browser build and tests"
# The bundled game's content comes from the native build just made.
MIRADEL_NATIVE_BUILD=build/ci scripts/web.sh
tests/web/run.sh build/web

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --preset asan -j "$jobs" -LE no-sanitizer

if [[ -x scripts/fuzz.sh ]]; then
  echo "== fuzz"
  scripts/fuzz.sh "${MIRADEL_FUZZ_SECONDS:-120}"
fi
echo "== benchmarks, short mode: the suite runs (its figures are not checked here)"
bench/run.sh --short

echo "== all tests passed"
