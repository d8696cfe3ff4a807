#!/usr/bin/env bash
# Writes the benchmark's large PNG images into the folder given (once; an
# image already there is kept): a photo-like RGBA image, a palette image
# and an interlaced RGB image, 2000 x 2000 each, all 8-bit, without the
# ancillary chunks (gamma, colour space) that would ask for extra work.
set -euo pipefail
out=${1:?output folder}
mkdir -p "$out"
plain="-define png:exclude-chunk=all -depth 8"

photo() {
  convert -seed 7 -size 2000x2000 plasma:fractal -blur 0x2 \
    -attenuate 0.4 +noise Gaussian "$@"
}

if [ ! -f "$out/photo_rgba.png" ]; then
  photo \( -size 2000x2000 radial-gradient:white-black \) \
    -alpha off -compose CopyOpacity -composite $plain "PNG32:$out/photo_rgba.png.tmp"
  mv "$out/photo_rgba.png.tmp" "$out/photo_rgba.png"
fi
if [ ! -f "$out/palette.png" ]; then
  photo -colors 256 $plain "PNG8:$out/palette.png.tmp"
  mv "$out/palette.png.tmp" "$out/palette.png"
fi
if [ ! -f "$out/interlaced.png" ]; then
  photo -interlace PNG $plain "PNG24:$out/interlaced.png.tmp"
  mv "$out/interlaced.png.tmp" "$out/interlaced.png"
fi
