#!/usr/bin/env bash
# Builds every decoder fuzz target with clang and libFuzzer and runs each for a few seconds,
# seeded with the small valid files of tests/imaging/corpus/<name>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${MV_FUZZ_SECONDS:-4}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
shopt -s nullglob
ran=0
for bin in build/fuzz/tests/imaging/fuzz/fuzz_*; do
  [[ -f "$bin" && -x "$bin" ]] || continue
  name=$(basename "$bin"); name=${name#fuzz_}
  seeds=tests/imaging/corpus/$name
  work=$(mktemp -d)
  [[ -d "$seeds" ]] && cp -r "$seeds"/. "$work"/
  echo "fuzz $name: ${seconds}s"
  "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=0 \
      -artifact_prefix="$work/" "$work" 2> "$work.log" || { tail -n 40 "$work.log"; echo "fuzz $name FAILED"; exit 1; }
  rm -rf "$work" "$work.log"
  ran=$((ran + 1))
done
echo "fuzz: $ran target(s) ran clean"
