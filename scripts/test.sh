#!/usr/bin/env bash
# Sets everything up, builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/check-format.sh
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan -j "$(nproc)"
scripts/fuzz.sh
