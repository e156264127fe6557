#!/usr/bin/env bash
# Draws the About dialog's pictures with ImageMagick. The PNGs are committed;
# run this only to change them.
#   app-glyph.png  application glyph, 1254 x 1254 with alpha: a uses list in order
#   info-i.png     the About button's light-blue "i", 18 x 38 with alpha
set -euo pipefail
cd "$(dirname "$0")"

png_options=(-strip -define png:compression-level=9 -define png:compression-filter=5)

# Slate-blue tile; a lime keyword bar over four white unit bars, shortest first,
# closed by a lime full stop.
convert -size 1254x1254 xc:none \
  -fill '#483D8B' -draw 'roundrectangle 40,40 1213,1213 230,230' \
  -fill '#00FF00' -draw 'roundrectangle 230,250 560,350 50,50' \
  -fill '#FFFFFF' \
  -draw 'roundrectangle 360,430 720,530 50,50' \
  -draw 'roundrectangle 360,610 840,710 50,50' \
  -draw 'roundrectangle 360,790 960,890 50,50' \
  -draw 'roundrectangle 360,970 1020,1070 50,50' \
  -fill '#00FF00' -draw 'circle 1095,1020 1095,970' \
  "${png_options[@]}" PNG32:app-glyph.png

# Lower-case "i": a round dot over a stem with a foot.
convert -size 18x38 xc:none -fill '#87CEFA' \
  -draw 'circle 9,5 9,1' \
  -draw 'rectangle 6,12 11,33' \
  -draw 'rectangle 3,12 11,15' \
  -draw 'rectangle 3,33 14,37' \
  "${png_options[@]}" PNG32:info-i.png
