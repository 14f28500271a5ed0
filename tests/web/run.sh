#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The browser build's tests: the code page 932 decoder in Node, then the page in headless Chromium.
#   tests/web/run.sh [web folder made by scripts/web.sh, default build/web] [unittest options]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
web=${1:-$root/build/web}
shift || true
"$root/tests/web/cp932_node.sh" "$root/build/web-test"
# Debian's selenium is installed for the system's Python, which a pyenv python3 may hide.
/usr/bin/python3 "$root/tests/web/page_test.py" --web "$web" "$@"
