#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building, playing and testing Miradel need, if any is
# missing: --test adds what the tests need, --web what the browser build needs. Safe to run
# again: it does nothing when everything is there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libsdl2-mixer-dev libxcb1-dev
  fonts-ipafont-gothic
)
# The browser build: Debian's Emscripten, whose optimizer needs Debian's acorn.
web_packages=(emscripten node-acorn nodejs)
if [[ "${1:-}" == "--web" ]]; then
  packages+=("${web_packages[@]}")
fi
if [[ "${1:-}" == "--test" ]]; then
  packages+=("${web_packages[@]}")
  packages+=(
    googletest libgtest-dev libbenchmark-dev
    xvfb xdotool imagemagick x11-utils python3 openbox wmctrl
    clang-14 libclang-rt-14-dev clang-format-14
    graphviz
    desktop-file-utils appstream lintian dpkg-dev
    onscripter libx11-dev libxext-dev time procps
    chromium chromium-driver python3-selenium
  )
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[[ $(id -u) -ne 0 ]] && as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
