#!/bin/sh
# Writes tests/spi_jpeg_samples.h: three small JPEG files made with ImageMagick,
# as byte arrays for the plug-in tests (run again only to change them).
#   16 x 16, top half red, bottom half blue, no chroma subsampling: baseline and
#   progressive; 8 x 8 solid grey 128, one channel; 64 x 64, left half red,
#   right half blue, stored as CMYK with Adobe's marker.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
out=$top/tests/spi_jpeg_samples.h
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 16x8 xc:'#FF0000' -size 16x8 xc:'#0000FF' -append -strip \
  -sampling-factor 1x1 -quality 95 -interlace none "$tmp/baseline.jpg"
convert -size 16x8 xc:'#FF0000' -size 16x8 xc:'#0000FF' -append -strip \
  -sampling-factor 1x1 -quality 95 -interlace Plane "$tmp/progressive.jpg"
convert -size 8x8 xc:'#808080' -colorspace Gray -strip -quality 95 "$tmp/grey.jpg"
convert -size 32x64 xc:'#FF0000' -size 32x64 xc:'#0000FF' +append -strip -colorspace CMYK \
  -quality 90 "$tmp/cmyk.jpg"

array() {  # name file
  echo "inline const unsigned char $1[] = {"
  od -An -v -tx1 "$2" | sed 's/ \([0-9a-f][0-9a-f]\)/0x\1, /g; s/^/   /; s/, *$/,/'
  echo "};"
}
{
  echo "// spi_jpeg_samples.h - written by scripts/spi-jpeg-samples.sh; do not edit."
  echo "// 16 x 16 JPEG pictures, top half red and bottom half blue (baseline and"
  echo "// progressive), an 8 x 8 grey (128) one-channel JPEG, and a 64 x 64 CMYK"
  echo "// JPEG, left half red, right half blue."
  echo "#pragma once"
  echo
  array JpegBaseline "$tmp/baseline.jpg"
  array JpegProgressive "$tmp/progressive.jpg"
  array JpegGrey "$tmp/grey.jpg"
  array JpegCmyk "$tmp/cmyk.jpg"
} >"$out"
echo "wrote $out"
