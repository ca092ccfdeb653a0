#!/usr/bin/env bash
# Times our JPEG decode (mvconvert --decode-only) against libjpeg-turbo's djpeg on the same
# 24-megapixel file, at full size and at 1/8, and prints the ratios (goal: ours <= 1.2x).
# Both sides use the fast integer DCT without fancy upsampling (our default options).
# Usage: bench/jpeg_compare.sh [build-folder] [runs]   (a Release build; default build-core-rel)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-core-rel}
runs=${2:-7}
mvconvert=$build/apps/mvconvert
for tool in cjpeg djpeg perl; do
  command -v "$tool" >/dev/null || { echo "jpeg_compare: $tool is missing (libjpeg-turbo-progs)" >&2; exit 1; }
done
[[ -x "$mvconvert" ]] || { echo "jpeg_compare: build $mvconvert first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bash bench/make_photo.sh "$work/photo.jpg"
echo "test file: $(stat -c %s "$work/photo.jpg") bytes, 6000 x 4000"

# Best time in milliseconds of "$@" over $runs runs: wall clock, or CPU (user + sys) with
# MEASURE=cpu, which is steadier on a busy machine.
best_ms() {
  local best=""
  for ((i = 0; i < runs; i++)); do
    local ms
    if [[ ${MEASURE:-wall} == cpu ]]; then
      /usr/bin/time -o "$work/cpu" -f "%U %S" "$@" > /dev/null 2>&1
      ms=$(awk '{ printf "%d", ($1 + $2) * 1000 }' "$work/cpu")
    else
      local t0 t1
      t0=$(date +%s%N)
      "$@" > /dev/null
      t1=$(date +%s%N)
      ms=$(( (t1 - t0) / 1000000 ))
    fi
    [[ -z "$best" || $ms -lt $best ]] && best=$ms
  done
  echo "$best"
}

compare() {
  local label=$1 ours=$2 theirs=$3
  awk -v l="$label" -v o="$ours" -v t="$theirs" \
    'BEGIN { printf "%-22s ours %5d ms   djpeg %5d ms   ratio %.2f\n", l, o, t, (t > 0 ? o / t : 0) }'
}

# Start-up alone (Qt's libraries load before anything is decoded): a 16 x 16 file.
printf 'P6\n16 16\n255\n%s' "$(head -c 768 /dev/zero | tr '\0' 'x')" > "$work/tiny.ppm"
cjpeg -outfile "$work/tiny.jpg" "$work/tiny.ppm"
start_ours=$(best_ms "$mvconvert" --decode-only "$work/tiny.jpg")
start_djpeg=$(best_ms djpeg -outfile /dev/null "$work/tiny.jpg")

full_ours=$(best_ms "$mvconvert" --decode-only "$work/photo.jpg")
full_djpeg=$(best_ms djpeg -dct fast -nosmooth -outfile /dev/null "$work/photo.jpg")
eighth_ours=$(best_ms "$mvconvert" --decode-only "$work/photo.jpg" 750x500)
eighth_djpeg=$(best_ms djpeg -dct fast -nosmooth -scale 1/8 -outfile /dev/null "$work/photo.jpg")
echo "measure: ${MEASURE:-wall}, best of $runs"
compare "start-up only" "$start_ours" "$start_djpeg"
compare "full" "$full_ours" "$full_djpeg"
compare "1/8 scale" "$eighth_ours" "$eighth_djpeg"
compare "full, start-up off" "$((full_ours - start_ours))" "$((full_djpeg - start_djpeg))"
compare "1/8, start-up off" "$((eighth_ours - start_ours))" "$((eighth_djpeg - start_djpeg))"
