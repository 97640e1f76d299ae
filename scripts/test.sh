#!/usr/bin/env bash
# Installs what is missing, builds every target (Linux and Windows) and runs every test:
# unit, x11, wayland (headless sway, weston and mutter), wine, and the Debian, Fedora and
# Arch packages built and checked.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset native "$@"
