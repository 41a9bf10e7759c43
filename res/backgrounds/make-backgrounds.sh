#!/usr/bin/env bash
# Makes the five page backgrounds: soft, seamlessly tiling paper grain in five tints.
# Run from this folder; needs ImageMagick. The numbers are the bitmap numbers pages ask for.
set -euo pipefail
make() {  # number, seed, dark colour, light colour
  convert -size 192x192 -seed "$2" xc: +noise Random -virtual-pixel tile \
    \( -clone 0 -blur 0x6 -auto-level \) \( -clone 0 -blur 0x1 -auto-level \) -delete 0 \
    -compose blend -define compose:args=70 -composite \
    -colorspace Gray -auto-level -level 20%,80% +level-colors "$3","$4" \
    -depth 8 -strip "$1.png"
}
make 192 11 '#ebe1cf' '#f6f0e3'   # default: warm paper
make 234 12 '#dcdbe0' '#eeedf1'   # Vessa: cool grey linen
make 235 13 '#f3e6b0' '#fcf5d6'   # Parchment: yellowed parchment
make 233 14 '#dfe0df' '#f1f1ef'   # Ostravel: fine grey paper
make 218 15 '#e9e3d8' '#f5f2ec'   # Sand Stone: pale sand
