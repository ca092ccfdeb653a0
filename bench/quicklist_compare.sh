#!/usr/bin/env bash
# Times an entry of the Secured Access List being decrypted (its start) and encrypted again
# (its re-lock) by the list jobs (quicklist_bench), side by side with mvcrypt on the same files:
# 1,000 associated files of 100 KiB. Goal: the list jobs within 1.1 times mvcrypt.
# Usage: bench/quicklist_compare.sh [BUILD_DIR]   (a Release build with MV_BUILD_BENCH=ON)
# Env: MV_BENCH_FILES (default 1000), MV_BENCH_DIR (scratch).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
nfiles=${MV_BENCH_FILES:-1000}
jobs=$build/bench/quicklist_bench
mvcrypt=$build/apps/mvcrypt
for b in "$jobs" "$mvcrypt"; do
  [[ -x $b ]] || { echo "quicklist_compare: build $b first (Release, -DMV_BUILD_BENCH=ON)" >&2; exit 1; }
done
work=$(mktemp -d "${MV_BENCH_DIR:-$PWD/build}/quicklist.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'benchmark key\n' > "$work/key"

secs() { /usr/bin/time -f '%e' -o "$work/t" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }; cat "$work/t"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

mkdir "$work/a"
head -c $((nfiles * 102400)) /dev/urandom | split -b 102400 -a 4 -d --additional-suffix=.txt - "$work/a/f"
cp -r "$work/a" "$work/b"; sync
echo "== $nfiles files of 100 KiB"
t_cli_enc=$(secs "$mvcrypt" encrypt --key-file "$work/key" "$work/a"/*.txt); sync
t_job_enc=$(secs "$jobs" encrypt "$work/b" "$work/key"); sync
t_cli_dec=$(secs "$mvcrypt" decrypt --key-file "$work/key" "$work/a"/*.mv\$); sync
t_job_dec=$(secs "$jobs" decrypt "$work/b" "$work/key"); sync
printf 're-lock (encrypt): mvcrypt %6.2f s  list job %6.2f s  ratio %s\n' "$t_cli_enc" "$t_job_enc" "$(ratio "$t_job_enc" "$t_cli_enc")"
printf 'start (decrypt):   mvcrypt %6.2f s  list job %6.2f s  ratio %s\n' "$t_cli_dec" "$t_job_dec" "$(ratio "$t_job_dec" "$t_cli_dec")"
echo "(goal: ratio <= 1.1)"
