#!/usr/bin/env bash
# Renders the program's icon from its hand-drawn SVG into the PNG sizes the desktop's icon
# theme and the window use. Run after changing the SVG, and commit the PNGs.
# Needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../data/icons/hicolor"
svg=scalable/apps/mirravelnock.svg
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}/apps"
  rsvg-convert --width "$size" --height "$size" "$svg" --output "${size}x${size}/apps/mirravelnock.png"
done
