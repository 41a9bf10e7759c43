#!/usr/bin/env bash
# Draws the tool bar icons and the program icon (drawn at 4x and scaled down for smooth edges).
# Run from this folder; needs ImageMagick.
set -euo pipefail
draw() {  # name, size, drawing commands...
  local name=$1 size=$2; shift 2
  convert -size 96x96 xc:none -strokewidth 6 -stroke '#3b4a5a' "$@" -resize "${size}x${size}" -strip "$name.png"
}
draw open 24 -fill '#e8b84a' -draw "path 'M 8,22 L 36,22 L 42,30 L 88,30 L 88,80 L 8,80 Z'" \
  -fill '#f5d27a' -draw "path 'M 8,80 L 22,42 L 94,42 L 82,80 Z'"
draw back 24 -fill '#4a8fd8' -draw "path 'M 10,48 L 46,14 L 46,34 L 86,34 L 86,62 L 46,62 L 46,82 Z'"
draw forward 24 -fill '#4a8fd8' -draw "path 'M 86,48 L 50,14 L 50,34 L 10,34 L 10,62 L 50,62 L 50,82 Z'"
draw find 24 -strokewidth 10 -fill '#d8ecfa' -draw "circle 38,38 38,10" -draw "line 58,58 86,86"
draw bookmark 24 -fill '#d8464a' -draw "path 'M 24,8 L 72,8 L 72,88 L 48,66 L 24,88 Z'"
draw help 24 -fill '#4a8fd8' -draw "circle 48,48 48,6" \
  -stroke none -fill white -font DejaVu-Sans-Bold -pointsize 64 -gravity center -annotate +0+2 '?'
convert -size 192x192 xc:none -strokewidth 8 -stroke '#3b2a1a' \
  -fill '#8b3a2a' -draw "roundrectangle 30,18 162,174 10,10" \
  -fill '#f6f0e3' -stroke '#b9a88a' -strokewidth 4 -draw "rectangle 146,26 158,166" \
  -stroke '#e8c46a' -strokewidth 6 -fill none -draw "line 56,60 124,60" -draw "line 56,84 112,84" \
  -resize 64x64 -strip librovance.png
