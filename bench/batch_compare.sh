#!/usr/bin/env bash
# Times the window's encryption batch (batch_bench: the code path of "Encrypt..." and
# "Decrypt..." without the widgets) side by side with mvcrypt on the same work: a folder tree of
# many 4 KiB files and one large file. Goal: the batch within 1.1 times mvcrypt.
# Usage: bench/batch_compare.sh [BUILD_DIR]   (a Release build with MV_BUILD_BENCH=ON)
# Env: MV_BENCH_FILES (default 10000), MV_BENCH_SIZE_MIB (default 1024), MV_BENCH_DIR (scratch).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
nfiles=${MV_BENCH_FILES:-10000}
size_mib=${MV_BENCH_SIZE_MIB:-1024}
batch=$build/bench/batch_bench
mvcrypt=$build/apps/mvcrypt
for b in "$batch" "$mvcrypt"; do
  [[ -x $b ]] || { echo "batch_compare: build $b first (Release, -DMV_BUILD_BENCH=ON)" >&2; exit 1; }
done
work=$(mktemp -d "${MV_BENCH_DIR:-$PWD/build}/batch.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'benchmark key\n' > "$work/key"

secs() { /usr/bin/time -f '%e' -o "$work/t" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }; cat "$work/t"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

tree() { # a tree of $nfiles files of 4 KiB in 10 folders
  rm -rf "$1"; mkdir -p "$1"
  for d in $(seq 0 9); do mkdir "$1/d$d"; done
  head -c $((nfiles * 4096)) /dev/urandom | split -b 4096 -a 5 -d - "$1/f"
  local i=0; for f in "$1"/f*; do mv "$f" "$1/d$((i++ % 10))/"; done
}

echo "== $nfiles files of 4 KiB in 10 folders"
tree "$work/a"; cp -r "$work/a" "$work/b"; sync
t_cli_enc=$(secs "$mvcrypt" encrypt -r --key-file "$work/key" "$work/a"); sync
t_bat_enc=$(secs "$batch" encrypt "$work/b" "$work/key"); sync
t_cli_dec=$(secs "$mvcrypt" decrypt -r --key-file "$work/key" "$work/a"); sync
t_bat_dec=$(secs "$batch" decrypt "$work/b" "$work/key"); sync
printf 'encrypt: mvcrypt %6.2f s  batch %6.2f s  ratio %s\n' "$t_cli_enc" "$t_bat_enc" "$(ratio "$t_bat_enc" "$t_cli_enc")"
printf 'decrypt: mvcrypt %6.2f s  batch %6.2f s  ratio %s\n' "$t_cli_dec" "$t_bat_dec" "$(ratio "$t_bat_dec" "$t_cli_dec")"
rm -rf "$work/a" "$work/b"

echo "== one file of $size_mib MiB"
mkdir "$work/big"
head -c $((size_mib * 1024 * 1024)) /dev/urandom > "$work/big/data.bin"; sync
t_cli_enc=$(secs "$mvcrypt" encrypt --key-file "$work/key" "$work/big/data.bin"); sync
t_cli_dec=$(secs "$mvcrypt" decrypt --key-file "$work/key" "$work/big/data_bin.mv\$"); sync
t_bat_enc=$(secs "$batch" encrypt "$work/big" "$work/key"); sync
t_bat_dec=$(secs "$batch" decrypt "$work/big" "$work/key"); sync
printf 'encrypt: mvcrypt %6.2f s  batch %6.2f s  ratio %s\n' "$t_cli_enc" "$t_bat_enc" "$(ratio "$t_bat_enc" "$t_cli_enc")"
printf 'decrypt: mvcrypt %6.2f s  batch %6.2f s  ratio %s\n' "$t_cli_dec" "$t_bat_dec" "$(ratio "$t_bat_dec" "$t_cli_dec")"
echo "(goal: ratio <= 1.1)"
