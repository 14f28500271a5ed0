#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up, builds and launches the bundled sample game.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target miradel
exec build/default/game/miradel
