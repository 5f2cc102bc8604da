#!/usr/bin/env bash
# Renders dist/icons/ventorix.svg into the PNG sizes of the hicolor theme and writes the Qt resource file that
# lists them. The PNGs are committed, so building and packaging need no SVG tool: rerun this after editing the
# SVG and commit what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
ventorix_install librsvg2-bin

icons=dist/icons
sizes=(16 24 32 48 64 128 256)
{
    echo '<!DOCTYPE RCC>'
    echo '<!-- Written by tools/render_icons.sh: the window icon, the same image as the installed one. -->'
    echo '<RCC version="1.0">'
    echo '    <qresource prefix="/icons">'
    for size in "${sizes[@]}"; do
        rsvg-convert --width "$size" --height "$size" --format png "$icons/ventorix.svg" --output "$icons/ventorix-$size.png"
        echo "        <file>ventorix-$size.png</file>"
    done
    echo '    </qresource>'
    echo '</RCC>'
} > "$icons/icons.qrc"
echo "Icônes écrites dans $icons : ${sizes[*]} pixels et icons.qrc"
