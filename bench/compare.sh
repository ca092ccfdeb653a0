#!/usr/bin/env bash
# Times mvcrypt side by side with age + shred (the same work done with common tools) and with
# a plain cp as the floor, on one large file and on a folder of many small files.
# Usage: bench/compare.sh [BUILD_DIR]   (default build/release; built if missing)
# Env: MV_BENCH_SIZE_MIB (default 1024), MV_BENCH_FILES (default 10000), MV_BENCH_DIR (scratch).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
size_mib=${MV_BENCH_SIZE_MIB:-1024}
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

echo "== one file of $size_mib MiB"
mkdir "$work/big"
head -c $((size_mib * 1024 * 1024)) /dev/urandom > "$work/big/data.bin"
sync
read -r t_cp m_cp < <(measure cp "$work/big/data.bin" "$work/big/copy.bin"); rm -f "$work/big/copy.bin"; sync
read -r t_enc m_enc < <(measure "$mvcrypt" encrypt --key-file "$work/key" "$work/big/data.bin"); sync
read -r t_dec m_dec < <(measure "$mvcrypt" decrypt --key-file "$work/key" "$work/big/data_bin.mv\$"); sync
read -r t_aenc m_aenc < <(measure sh -c "age -r '$recipient' -o '$work/big/data.bin.age' '$work/big/data.bin' && shred -n 0 -z -u '$work/big/data.bin'"); sync
read -r t_adec m_adec < <(measure sh -c "age -d -i '$work/age-id' -o '$work/big/data.bin' '$work/big/data.bin.age' && shred -n 0 -z -u '$work/big/data.bin.age'"); sync
row "cp (floor)" "$t_cp" "$m_cp"
row "mvcrypt encrypt (wipe included)" "$t_enc" "$m_enc"
row "age -r + shred -n 0 -z -u" "$t_aenc" "$m_aenc"
row "mvcrypt decrypt (wipe included)" "$t_dec" "$m_dec"
row "age -d + shred -n 0 -z -u" "$t_adec" "$m_adec"
echo "ratio encrypt mvcrypt/age+shred: $(ratio "$t_enc" "$t_aenc")   (goal <= 1.0)"
echo "ratio decrypt mvcrypt/age+shred: $(ratio "$t_dec" "$t_adec")   (goal <= 1.0)"
echo "ratio encrypt mvcrypt/cp:        $(ratio "$t_enc" "$t_cp")"
rm -rf "$work/big"

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
