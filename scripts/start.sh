#!/usr/bin/env bash
# Sets everything up, builds a release build and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
exec build/release/apps/mirravelnock "$@"
