#!/usr/bin/env bash
# Sets everything up, builds a release build and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
# The main window is not built yet: until it is, the command-line tool is the program.
exec build/release/apps/mvcrypt --help "$@"
