#!/usr/bin/env bash
# Times the file list's listing of a large folder (read, match against All Supported Files and
# their encrypted names, natural sort: listing_bench) side by side with `ls -1` of the same
# folder in the same locale, and prints best and median of each and their ratio (goal <= 1.0).
# Runs alternate between the two so that both see the same cache and machine load. The ls time
# is the whole process, its start-up included (about a millisecond); the listing time is the
# work alone.
# Usage: bench/listing_compare.sh [BUILD_DIR] [RUNS]   (a Release build with MV_BUILD_BENCH=ON;
#        default build/hbrowserrel, 9 runs)
# Env: MV_BENCH_FILES (default 100000), MV_BENCH_DIR (where the scratch folder goes).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/hbrowserrel}
runs=${2:-9}
nfiles=${MV_BENCH_FILES:-100000}
bench=$build/bench/listing_bench
[[ -x $bench ]] || { echo "listing_compare: build $bench first (Release, -DMV_BUILD_BENCH=ON)" >&2; exit 1; }

work=$(mktemp -d "${MV_BENCH_DIR:-${TMPDIR:-/tmp}}/listing.XXXXXX")
trap 'rm -rf "$work"' EXIT
folder=$work/folder
mkdir "$folder"

# A camera folder grown over the years: camera names, names with numbers and spaces, encrypted
# copies, other documents and a few names beyond ASCII, in the shares below.
awk -v n="$nfiles" 'BEGIN {
  for (i = 0; i < n; i++) {
    k = i % 20
    if (k < 8)       printf "IMG_%05d.JPG\n", i
    else if (k < 10) printf "holiday %d.jpeg\n", i
    else if (k < 12) printf "IMG_%05d_JPG.mv$\n", i
    else if (k < 13) printf "scan%d.tif\n", i
    else if (k < 14) printf "Scan %d.PNG\n", i
    else if (k < 16) printf "notes%d.txt\n", i
    else if (k < 17) printf "report_%d_txt.mv$\n", i
    else if (k < 18) printf "song %d.mp3\n", i
    else if (k < 19) printf "Photo (%d).bmp\n", i
    else             printf "\303\251t\303\251 %d.gif\n", i
  }
}' | (cd "$folder" && xargs -d '\n' touch)
for d in 2019 2020 2021 Trips Scans; do mkdir "$folder/$d"; done
echo "folder: $(find "$folder" -mindepth 1 -maxdepth 1 -type f | wc -l) files; locale for collation: $(locale | sed -n 's/^LC_COLLATE=//p')"

now() { date +%s%N; }
ls -1 "$folder" >/dev/null
"$bench" "$folder" 1 >/dev/null
ls_times=()
list_times=()
for ((r = 0; r < runs; r++)); do
  t0=$(now); ls -1 "$folder" >/dev/null; t1=$(now)
  ls_times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e6 }')")
  read -r _ ms _ files _ < <("$bench" "$folder" 1)
  list_times+=("$ms")
done

# best and median of a list of milliseconds
stats() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { printf "%.1f %.1f\n", v[1], v[int((NR + 1) / 2)] }'; }
read -r ls_best ls_median < <(stats "${ls_times[@]}")
read -r list_best list_median < <(stats "${list_times[@]}")
printf '%-34s best %8.1f ms  median %8.1f ms\n' "ls -1 (whole process)" "$ls_best" "$ls_median"
printf '%-34s best %8.1f ms  median %8.1f ms  (%s files listed)\n' "listing (read, match, sort)" \
  "$list_best" "$list_median" "$files"
awk -v a="$list_best" -v b="$ls_best" -v c="$list_median" -v d="$ls_median" \
  'BEGIN { printf "ratio listing/ls: best %.2f  median %.2f   (goal <= 1.0)\n", a / b, c / d }'
