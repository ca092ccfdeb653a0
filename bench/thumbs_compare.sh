#!/usr/bin/env bash
# Times the thumbnail grid in the real window (offscreen) on a folder of 12-megapixel JPEGs,
# half of them carrying an EXIF thumbnail, beside vipsthumbnail making thumbnails of the same
# files with two processes, and prints the figures. Goals: the whole grid at size 80 within
# 1.0 times vipsthumbnail; the first screenful within 1 s.
# Usage: bench/thumbs_compare.sh [BUILD_DIR]   (default build/release; built if missing)
# Env: MV_BENCH_PICTURES (default 500), MV_BENCH_SIZE (default 80; a size the Thumbnail Size
# menu lacks takes the nearest it offers, as in the window), MV_BENCH_DIR (scratch).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
pictures=${MV_BENCH_PICTURES:-500}
size=${MV_BENCH_SIZE:-80}
for tool in cjpeg perl vipsthumbnail exiftool convert; do
  command -v "$tool" >/dev/null || {
    echo "needs $tool (Debian packages libjpeg-turbo-progs, libvips-tools, libimage-exiftool-perl, imagemagick)" >&2
    exit 1
  }
done
if [[ ! -x $build/bench/thumbs_bench ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMV_BUILD_TESTS=OFF -DMV_BUILD_BENCH=ON >/dev/null
  cmake --build "$build" --target thumbs_bench
fi
work=$(mktemp -d "${MV_BENCH_DIR:-$PWD/build}/thumbs.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/pictures" "$work/vips" "$work/cache" "$work/config"

# One 4000 x 3000 photo without a thumbnail and one with a 160 x 120 EXIF thumbnail, each
# copied to half the folder.
bash bench/make_photo.sh "$work/plain.jpg" 4000 3000
convert "$work/plain.jpg" -resize 160x120 "$work/small.jpg"
cp "$work/plain.jpg" "$work/exif.jpg"
exiftool -q -overwrite_original "-ThumbnailImage<=$work/small.jpg" "$work/exif.jpg"
for ((i = 0; i < pictures; i++)); do
  src=$work/plain.jpg
  ((i % 2)) && src=$work/exif.jpg
  cp "$src" "$work/pictures/$(printf 'photo_%04d.jpg' "$i")"
done
echo "test files: $pictures of 4000 x 3000, $(du -sh "$work/pictures" | cut -f1), half with an EXIF thumbnail"
cat "$work/pictures"/* > /dev/null # both sides read from memory

runs=3
vips_ms=$(for ((r = 0; r < runs; r++)); do
  rm -f "$work/vips"/*
  t0=$(date +%s%N)
  find "$work/pictures" -name '*.jpg' -print0 |
    xargs -0 -P2 -n 25 vipsthumbnail -s "$size" -o "$work/vips/%s.jpg"
  t1=$(date +%s%N)
  echo $(((t1 - t0) / 1000000))
done | sort -n | sed -n "$(((runs + 1) / 2))p")
echo "vipsthumbnail_whole_ms $vips_ms   (median of $runs, two processes)"

XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen \
  "$build/bench/thumbs_bench" "$work/pictures" "$size" | tee "$work/figures"
figure() { awk -v k="$1" '$1 == k { print $2 }' "$work/figures"; }
for run in empty_cache full_cache no_cache; do
  awk -v r="$run" -v o="$(figure "${run}_whole_grid_ms")" -v v="$vips_ms" \
    'BEGIN { printf "ratio whole grid (%s) / vipsthumbnail: %.2f   (goal <= 1.0)\n", r, o / v }'
done
for run in empty_cache full_cache no_cache; do
  [[ $(figure "${run}_picture_cells") == "$(figure files)" ]] ||
    echo "WARNING ($run): only $(figure "${run}_picture_cells") of $(figure files) cells show a thumbnail" >&2
done
awk -v f="$(figure empty_cache_first_screen_ms)" \
  'BEGIN { printf "first screenful, nothing cached: %d ms   (goal <= 1000)\n", f }'
