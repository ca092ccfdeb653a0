#!/usr/bin/env bash
# Times mvcrypt side by side with age + shred (the same work done with common tools, with and
# without a sync of the new file) and with a plain cp as the floor, on one large file and on a
# folder of many small files.
# Usage: bench/compare.sh [BUILD_DIR]   (default build/release; built if missing)
# Env: MV_BENCH_SIZE_MIB (default 256), MV_BENCH_RUNS (default 5), MV_BENCH_FILES (default 10000), MV_BENCH_DIR (scratch).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
size_mib=${MV_BENCH_SIZE_MIB:-256}
runs=${MV_BENCH_RUNS:-5}
nfiles=${MV_BENCH_FILES:-10000}
for tool in age age-keygen shred /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool (Debian packages age, coreutils, time)" >&2; exit 1; }
done
if [[ ! -x $build/apps/mvcrypt ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMV_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" --target mvcrypt
fi
mvcrypt=$(realpath "$build/apps/mvcrypt")

work=$(mktemp -d "${MV_BENCH_DIR:-$PWD/build}/compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'benchmark key\n' > "$work/key"
age-keygen -o "$work/age-id" 2>/dev/null
recipient=$(age-keygen -y "$work/age-id")

# seconds and peak kilobytes of one command, as "S KB"
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
  cat "$work/time"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
row() { printf '%-34s %8.2f s %8d KiB peak\n' "$1" "$2" "$3"; }

# The engine on one file, median of $runs runs, each tool given the same freshly copied file.
# age + sync + shred is as safe as mvcrypt (the new file is on disk before the old one is
# wiped); age + shred without the sync leaves the new file unflushed, so it is the cheaper bar.
echo "== one file of $size_mib MiB, median of $runs"
mkdir "$work/big"
head -c $((size_mib * 1024 * 1024)) /dev/urandom > "$work/orig.bin"
fresh() { cp "$work/orig.bin" "$work/big/data.bin"; sync; }
declare -A secs peak
timed() { # name, command...
  local name=$1; shift
  read -r t m < <(measure "$@"); sync
  secs[$name]+="$t "; peak[$name]=$(( ${peak[$name]:-0} > m ? ${peak[$name]:-0} : m ))
}
in="$work/big/data.bin" enc="$work/big/data_bin.mv\$" age_out="$work/big/data.bin.age"
for ((i = 0; i < runs; i++)); do
  fresh; timed cp cp "$in" "$work/big/copy.bin"; rm -f "$work/big/copy.bin"
  timed mv_enc "$mvcrypt" encrypt --key-file "$work/key" "$in"
  timed mv_dec "$mvcrypt" decrypt --key-file "$work/key" "$enc"
  rm -f "$in"; fresh
  timed age_enc_sync sh -c "age -r '$recipient' -o '$age_out' '$in' && sync '$age_out' && shred -n 0 -z -u '$in'"
  timed age_dec_sync sh -c "age -d -i '$work/age-id' -o '$in' '$age_out' && sync '$in' && shred -n 0 -z -u '$age_out'"
  timed age_enc sh -c "age -r '$recipient' -o '$age_out' '$in' && shred -n 0 -z -u '$in'"
  timed age_dec sh -c "age -d -i '$work/age-id' -o '$in' '$age_out' && shred -n 0 -z -u '$age_out'"
  rm -f "$in"
done
median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
declare -A med
for k in "${!secs[@]}"; do med[$k]=$(median "${secs[$k]}"); done
row "cp (floor)" "${med[cp]}" "${peak[cp]}"
row "mvcrypt encrypt (durable, wiped)" "${med[mv_enc]}" "${peak[mv_enc]}"
row "age -r + sync + shred" "${med[age_enc_sync]}" "${peak[age_enc_sync]}"
row "age -r + shred (unflushed)" "${med[age_enc]}" "${peak[age_enc]}"
row "mvcrypt decrypt (durable, wiped)" "${med[mv_dec]}" "${peak[mv_dec]}"
row "age -d + sync + shred" "${med[age_dec_sync]}" "${peak[age_dec_sync]}"
row "age -d + shred (unflushed)" "${med[age_dec]}" "${peak[age_dec]}"
echo "ratio encrypt mvcrypt / synced pipeline:    $(ratio "${med[mv_enc]}" "${med[age_enc_sync]}")"
echo "ratio encrypt mvcrypt / unflushed pipeline: $(ratio "${med[mv_enc]}" "${med[age_enc]}")   (goal <= 1.0)"
echo "ratio decrypt mvcrypt / synced pipeline:    $(ratio "${med[mv_dec]}" "${med[age_dec_sync]}")"
echo "ratio decrypt mvcrypt / unflushed pipeline: $(ratio "${med[mv_dec]}" "${med[age_dec]}")   (goal <= 1.0)"
echo "peak memory mvcrypt: encrypt $((peak[mv_enc] / 1024)) MiB, decrypt $((peak[mv_dec] / 1024)) MiB   (goal < 100 MiB)"
rm -rf "$work/big" "$work/orig.bin"

if ((nfiles == 0)); then exit 0; fi
echo "== a folder of $nfiles files of 4 KiB"
mkdir -p "$work/many"
head -c $((nfiles * 4096)) /dev/urandom | split -b 4096 -a 5 -d - "$work/many/f"
sync
read -r t_cp m_cp < <(measure cp -r "$work/many" "$work/many-copy"); rm -rf "$work/many-copy"; sync
read -r t_enc m_enc < <(measure "$mvcrypt" encrypt -r --key-file "$work/key" "$work/many"); sync
read -r t_dec m_dec < <(measure "$mvcrypt" decrypt -r --key-file "$work/key" "$work/many"); sync
read -r t_aenc m_aenc < <(measure sh -c "for f in '$work'/many/*; do age -r '$recipient' -o \"\$f.age\" \"\$f\" && shred -n 0 -z -u \"\$f\" || exit 1; done"); sync
read -r t_adec m_adec < <(measure sh -c "for f in '$work'/many/*.age; do age -d -i '$work/age-id' -o \"\${f%.age}\" \"\$f\" && shred -n 0 -z -u \"\$f\" || exit 1; done"); sync
row "cp -r (floor)" "$t_cp" "$m_cp"
row "mvcrypt encrypt -r" "$t_enc" "$m_enc"
row "age -r + shred, per file" "$t_aenc" "$m_aenc"
row "mvcrypt decrypt -r" "$t_dec" "$m_dec"
row "age -d + shred, per file" "$t_adec" "$m_adec"
echo "ratio encrypt mvcrypt/age+shred: $(ratio "$t_enc" "$t_aenc")"
echo "ratio decrypt mvcrypt/age+shred: $(ratio "$t_dec" "$t_adec")"
