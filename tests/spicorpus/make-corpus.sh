#!/usr/bin/env bash
# make-corpus.sh SRC OUT - the picture corpus of the plug-in agreement test:
#   - the test pictures inside the unpacked source packages under SRC: libpng's
#     PNG suite and test images, libjpeg-turbo's test images, giflib's pictures;
#   - pictures made here with ImageMagick from libjpeg-turbo's test photo: every
#     Netpbm kind (plain and binary, 16-bit), TGA in all four origins, PSD, JPEG
#     in the common variants (CMYK among them);
#   - variants made by editing bytes (damaged-bytes.py): JPEGs with stray bytes,
#     a damaged EXIF block or a bad marker length, a GIF without a global colour
#     table, a GIF whose frame leaves part of the screen uncovered.
# File names carry where they came from (png-, jpeg-, gif-, made-).
set -euo pipefail
src=$1
mkdir -p "$2"
out=$(cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

take() {  # prefix, folder, find name patterns...
  local prefix=$1 dir=$2
  shift 2
  find "$dir" -type f \( "$@" \) -not -path '*/debian/*' | sort | while read -r f; do
    local rel=${f#"$dir"/}
    cp "$f" "$out/$prefix-${rel//\//_}"
  done
}
take png "$src/libpng" -iname '*.png' -o -iname '*.jpg'
take jpeg "$src/libjpeg-turbo" -iname '*.jpg' -o -iname '*.png' -o -iname '*.ppm' -o -iname '*.gif'
take gif "$src/giflib" -iname '*.gif'

photo="$src/libjpeg-turbo/testimages/testorig.ppm"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert "$photo" -resize 160x120 "$tmp/base.png"
convert "$tmp/base.png" -alpha set -channel A -fx 'i/w' +channel "$tmp/alpha.png"
m() { convert "$@"; }
cd "$out"
# Netpbm: plain (text) and binary, bitmap, grey and colour, 8 and 16 bits.
m "$tmp/base.png" -monochrome -compress none made-plain.pbm
m "$tmp/base.png" -monochrome made-binary.pbm
m "$tmp/base.png" -colorspace gray -compress none made-plain.pgm
m "$tmp/base.png" -colorspace gray made-binary.pgm
m "$tmp/base.png" -colorspace gray -depth 16 made-binary16.pgm
m "$tmp/base.png" -colorspace gray -depth 16 -compress none made-plain16.pgm
m "$tmp/base.png" -colorspace gray -depth 10 made-binary10.pgm
m "$tmp/base.png" -compress none made-plain.ppm
m "$tmp/base.png" made-binary.ppm
m "$tmp/base.png" -depth 16 made-binary16.ppm
m "$tmp/base.png" -depth 16 -compress none made-plain16.ppm
# TGA in every origin, raw and run-length; grey; with alpha.
for o in TopLeft TopRight BottomLeft BottomRight; do
  m "$tmp/base.png" -orient "$o" "made-$o.tga"
  m "$tmp/base.png" -orient "$o" -compress RLE "made-$o-rle.tga"
done
m "$tmp/base.png" -colorspace gray made-grey.tga
m "$tmp/alpha.png" made-alpha.tga
# PSD: colour, grey, indexed, CMYK, 16-bit, raw, with alpha.
m "$tmp/base.png" made-colour.psd
m "$tmp/base.png" -compress none made-colour-raw.psd
m "$tmp/base.png" -colorspace gray made-grey.psd
m "$tmp/base.png" -colors 64 -type Palette made-indexed.psd
m "$tmp/base.png" -colorspace CMYK made-cmyk.psd
m "$tmp/base.png" -depth 16 made-colour16.psd
m "$tmp/alpha.png" made-alpha.psd
# JPEG variants.
m "$photo" -quality 90 -sampling-factor 2x2 made-420.jpg
m "$photo" -quality 90 -sampling-factor 2x1 made-422.jpg
m "$photo" -quality 95 -sampling-factor 1x1 made-444.jpg
m "$photo" -quality 75 -interlace Plane made-progressive.jpg
m "$photo" -colorspace gray -quality 90 made-grey.jpg
m "$photo" -colorspace CMYK -quality 95 made-cmyk.jpg
m "$photo" -quality 90 -define jpeg:restart-interval=2 made-restart.jpg
m "$photo" -quality 50 -define jpeg:optimize-coding=true made-optimised.jpg
m "$tmp/base.png" -resize 101x67! -quality 90 made-oddsize.jpg
# GIF: a frame placed inside a larger screen; interlaced.
m -size 60x40 xc:red -fill blue -draw 'circle 30,20 30,5' -page 100x80+20+10 made-offset.gif
m "$tmp/base.png" -interlace GIF made-interlaced.gif
m "$tmp/base.png" -transparent '#FFFFFF' made-transparent.gif
# Byte edits.
/usr/bin/python3 "$here/damaged-bytes.py" "$out"
