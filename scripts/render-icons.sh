#!/usr/bin/env bash
# Renders the hand-drawn icon packaging/icons/quimbrel.svg into the PNG sizes that
# are installed under share/icons/hicolor, and copies the 32-pixel one to
# resources/icons/, which the program embeds for its window and About box.
# Run it after changing the SVG and commit the PNGs (needs rsvg-convert from librsvg2-bin).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
icons="$here/packaging/icons"
sizes=(16 32 48 64 128 256)
window_icon_size=32

for size in "${sizes[@]}"; do
  rsvg-convert --width "$size" --height "$size" --format png \
    --output "$icons/quimbrel-$size.png" "$icons/quimbrel.svg"
done
cp "$icons/quimbrel-$window_icon_size.png" "$here/resources/icons/quimbrel.png"
