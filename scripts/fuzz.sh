#!/usr/bin/env bash
# Builds every fuzz target with clang and libFuzzer and runs each for a few seconds: the
# decoders' (tests/imaging/fuzz, seeded from tests/imaging/corpus/<name>/) and the program's own
# readers of untrusted bytes (tests/fuzz, seeded from tests/fuzz/corpus/<name>/).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${MV_FUZZ_SECONDS:-4}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
shopt -s nullglob
ran=0
for pair in tests/imaging/fuzz:tests/imaging/corpus tests/fuzz:tests/fuzz/corpus; do
  for bin in build/fuzz/"${pair%%:*}"/fuzz_*; do
    [[ -f "$bin" && -x "$bin" ]] || continue
    name=$(basename "$bin"); name=${name#fuzz_}
    seeds=${pair#*:}/$name
    work=$(mktemp -d)
    [[ -d "$seeds" ]] && cp -r "$seeds"/. "$work"/
    echo "fuzz $name: ${seconds}s"
    "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=0 \
        -artifact_prefix="$work/" "$work" 2> "$work.log" || { tail -n 40 "$work.log"; echo "fuzz $name FAILED"; exit 1; }
    rm -rf "$work" "$work.log"
    ran=$((ran + 1))
  done
done
echo "fuzz: $ran target(s) ran clean"
