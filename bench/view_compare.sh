#!/usr/bin/env bash
# Times the viewer in the real window (offscreen) on a folder of 24-megapixel JPEGs, beside
# libjpeg-turbo's djpeg decoding the same file to /dev/null, and prints the figures:
# selecting a picture until it is painted at Best Fit (goal: within 1.3 times djpeg, and
# within 1.1 times the same with the decoders in the program's own process, the "inprocess_"
# figures of the same run), the next picture once prepared (goal: 50 ms), holding the arrow
# key through the folder (goal: no freeze over 100 ms, the last picture within 0.5 s of the
# release), an encrypted picture (goal: the plain time plus one decryption; the second time
# without a key derivation) and scrolling at 500 %. Then a 64 x 64 PNG's round trip to a
# decoder helper beside decoding it in the process (goal: at most 2 ms more).
# Usage: bench/view_compare.sh [BUILD_DIR]   (default build/release; built if missing)
# Env: MV_BENCH_PICTURES (default 200), MV_BENCH_DIR (scratch).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
pictures=${MV_BENCH_PICTURES:-200}
for tool in cjpeg djpeg perl; do
  command -v "$tool" >/dev/null || { echo "needs $tool (Debian package libjpeg-turbo-progs)" >&2; exit 1; }
done
if [[ ! -x $build/bench/view_bench || ! -x $build/bench/decode_roundtrip_bench || ! -x $build/apps/mvcrypt ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMV_BUILD_TESTS=OFF -DMV_BUILD_BENCH=ON >/dev/null
  cmake --build "$build" --target view_bench decode_roundtrip_bench mvcrypt mvdecode
fi
work=$(mktemp -d "${MV_BENCH_DIR:-$PWD/build}/view.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/pictures" "$work/config"
bash bench/make_photo.sh "$work/photo.jpg"
for ((i = 0; i < pictures; i++)); do cp "$work/photo.jpg" "$work/pictures/$(printf 'photo_%03d.jpg' "$i")"; done
cp "$work/photo.jpg" "$work/pictures/secret.jpg"
printf 'bench key' > "$work/key"
"$build/apps/mvcrypt" encrypt --key-file "$work/key" "$work/pictures/secret.jpg" >/dev/null
sync

runs=5
djpeg_ms=$(for ((i = 0; i < runs; i++)); do
  t0=$(date +%s%N); djpeg -outfile /dev/null "$work/photo.jpg"; t1=$(date +%s%N)
  echo $(( (t1 - t0) / 1000000 ))
done | sort -n | sed -n "$(( (runs + 1) / 2 ))p")
echo "djpeg_full_decode_ms $djpeg_ms   (median of $runs)"

XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen "$build/bench/view_bench" "$work/pictures" \
  | tee "$work/figures"
QT_QPA_PLATFORM=offscreen "$build/bench/decode_roundtrip_bench" | tee -a "$work/figures"
figure() { awk -v k="$1" '$1 == k { print $2 }' "$work/figures"; }
awk -v o="$(figure select_until_painted_ms)" -v d="$djpeg_ms" \
  'BEGIN { printf "ratio select-until-painted / djpeg: %.2f   (goal <= 1.3)\n", o / d }'
awk -v o="$(figure select_until_painted_ms)" -v i="$(figure inprocess_select_until_painted_ms)" \
  'BEGIN { printf "ratio select-until-painted helpers / in process: %.2f   (goal <= 1.1)\n", o / i }'
awk -v o="$(figure png64_roundtrip_overhead_ms)" \
  'BEGIN { printf "64 x 64 PNG round trip beyond decoding: %.2f ms   (goal <= 2)\n", o }'
