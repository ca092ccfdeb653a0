#!/usr/bin/env bash
# Sets everything up, builds a release build and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMV_BUILD_TESTS=OFF >/dev/null
cmake --build build/release
# The main window is not built yet: until it is, the command-line tool is the program.
exec build/release/apps/mvcrypt --help "$@"
