#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The browser build's tests: the code page 932 decoder in Node, then the page in headless
# Chromium against a built web folder (scripts/web.sh makes build/web).
#   tests/web/run.sh [web folder, default build/web] [unittest options, e.g. Layout]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
web=${1:-$root/build/web}
shift || true

echo "-- code page 932 decoder in Node"
"$root/tests/web/cp932_node.sh" "$root/build/web-test"

echo "-- the page in headless Chromium ($web)"
# Debian's selenium is installed for the system's Python, which a pyenv python3 may hide.
/usr/bin/python3 "$root/tests/web/page_test.py" --web "$web" "$@"
