#!/usr/bin/env bash
# Renders dist/icons/ventorix.svg into the PNG sizes of the hicolor theme; the window embeds the 48-pixel one
# (src/gui/CMakeLists.txt). The PNGs are committed, so building and packaging need no SVG tool: rerun this
# after editing the SVG and commit what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
ventorix_install librsvg2-bin

icons=dist/icons
sizes=(16 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
    rsvg-convert --width "$size" --height "$size" --format png "$icons/ventorix.svg" --output "$icons/ventorix-$size.png"
done
echo "Icônes écrites dans $icons : ${sizes[*]} pixels"
