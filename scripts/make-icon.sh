#!/usr/bin/env bash
# Draws the Windows icon from resources/tavexdl.svg: one .ico with the sizes
# Windows asks for (16, 24 and 32 px for lists and title bars, 48 for the
# desktop, 256 for large views), each drawn from the SVG at its own size
# rather than scaled from another. The sizes up to 48 are 32-bit bitmaps
# with alpha; 256 is kept as PNG, as Windows Vista and later read it.
#   scripts/make-icon.sh [OUTPUT]      (default resources/win32/tavexdl.ico)
# The icon is committed, so that the build needs no image tools; run this
# again when the SVG changes (scripts/install-deps.sh icon brings the tools).
# The same SVG and the same tools give the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."
output=${1:-resources/win32/tavexdl.ico}
source=resources/tavexdl.svg

for tool in rsvg-convert icotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "make-icon.sh: $tool is missing (scripts/install-deps.sh icon)" >&2
    exit 2
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bitmaps=()
for size in 16 24 32 48; do
  rsvg-convert --width "$size" --height "$size" --format png -o "$work/$size.png" "$source"
  bitmaps+=("$work/$size.png")
done
rsvg-convert --width 256 --height 256 --format png -o "$work/256.png" "$source"

mkdir -p "$(dirname "$output")"
icotool --create --output="$work/icon.ico" "${bitmaps[@]}" --raw="$work/256.png"
mv "$work/icon.ico" "$output"
icotool --list "$output"
