#!/usr/bin/env bash
# Times the program's start when its last folder holds 100,000 files: from the start of the
# process to the first paint of the window, and to the first paint of the file list showing
# them, side by side with `ls -1` of the same folder in the same run.
# Goals: the window is painted within 0.5 s; the list is on screen within 0.3 s more than ls.
# Usage: bench/startup_compare.sh [BUILD_DIR] [RUNS]   (default build/release, 5 runs)
# Runs under Xvfb (xvfb-run) unless DISPLAY is set.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
runs=${2:-5}
nfiles=${MV_BENCH_FILES:-100000}
prog=$build/apps/mirravelnock
[[ -x $prog ]] || { echo "startup_compare: build $prog first (cmake --preset release)" >&2; exit 1; }
if [[ -z ${DISPLAY:-} && -z ${MV_UNDER_XVFB:-} ]]; then
  MV_UNDER_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/startup.XXXXXX")
trap 'rm -rf "$work"' EXIT
folder=$work/folder
mkdir -p "$folder" "$work/home/run"
chmod 700 "$work/home/run"
awk -v n="$nfiles" 'BEGIN { for (i = 0; i < n; i++) {
  k = i % 10
  if (k < 6) printf "IMG_%05d.JPG\n", i; else if (k < 7) printf "IMG_%05d_JPG.mv$\n", i
  else if (k < 8) printf "notes %d.txt\n", i; else printf "scan%d.png\n", i } }' | (cd "$folder" && xargs -d '\n' touch)

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/home/run MV_TRACE_STARTUP=1
now() { date +%s%N; }

# One start in the folder stores it as "Last Dir"; the timed starts begin elsewhere and read it.
run_once() { # prints "painted listed" in ms after the start
  local log=$work/log t0 pid
  t0=$(now)
  (cd "${1:-$HOME}" && exec "$prog") 2>"$log" &
  pid=$!
  for _ in $(seq 200); do grep -q "trace: listed" "$log" && break; sleep 0.05; done
  kill -TERM "$pid"; wait "$pid" || true
  awk -v t0="$t0" '/trace: painted/ {p=($3-t0)/1e6} /trace: listed/ {l=($3-t0)/1e6} END {printf "%.0f %.0f\n", p, l}' "$log"
}
run_once "$folder" >/dev/null

printf '%-6s %12s %12s %10s\n' run painted_ms listed_ms ls_ms
for ((r = 1; r <= runs; r++)); do
  read -r painted listed < <(run_once)
  t0=$(now); ls -1 "$folder" >/dev/null; t1=$(now)
  printf '%-6s %12s %12s %10.0f\n' "$r" "$painted" "$listed" "$(((t1 - t0) / 1000000))"
done
