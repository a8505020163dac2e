#!/bin/bash
# tools/make-icon.sh [OUT.ico]
#
# Gives the editor's icon (res/Tabrix.ico) every size Windows asks for, up to
# 256 px, so that it stays sharp at 100 %, 150 % and 200 % (the big icon is
# 32, 48 or 64 px there, the small one 16, 24 or 32). The 16, 32 and 48 px
# images of the icon are hand-made and kept as they are; the other sizes are
# drawn after them, each on its own pixel grid rather than scaled: a green
# disc with a dark rim, a leaf at its top right and the character 词 in white.
# Needs ImageMagick and the WenQuanYi Micro Hei font (tools/setup.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/res/Tabrix.ico}
source_ico=$root/res/Tabrix.ico
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pngs=()
# The hand-made sizes: the images of the current icon that are 16, 32, 48 px.
for s in 16 32 48; do
  index=$(identify -format '%w %p\n' "$source_ico" | awk -v s="$s" '$1 == s { print $2; exit }')
  [ -n "$index" ] || { echo "make-icon: $source_ico has no ${s} px image" >&2; exit 1; }
  convert "$source_ico[$index]" "PNG32:$work/$s.png"
done
for s in 16 20 24 32 40 48 64 96 128 256; do
  [ -f "$work/$s.png" ] && { pngs+=("$work/$s.png"); continue; }
  disc=$(awk -v s="$s" 'BEGIN { r = s * 0.46; c = s / 2
    printf "circle %.2f,%.2f %.2f,%.2f", c, c, c + r, c }')
  rim=$(awk -v s="$s" 'BEGIN { printf "%.2f", (s / 24 < 1) ? 1 : s / 24 }')
  leaf=$(awk -v s="$s" 'BEGIN {
    printf "ellipse %.2f,%.2f %.2f,%.2f 0,360", s * 0.70, s * 0.20, s * 0.20, s * 0.10 }')
  convert -size "${s}x${s}" xc:none -fill '#7CB342' -stroke '#33691E' -strokewidth "$rim" \
    -draw "$disc" -stroke none -fill '#2E7D32' -draw "$leaf" \
    -font "$font" -pointsize "$(awk -v s="$s" 'BEGIN { printf "%.2f", s * 0.56 }')" \
    -fill white -gravity center -annotate "+0+$(awk -v s="$s" 'BEGIN { printf "%d", s * 0.05 }')" "词" \
    "PNG32:$work/$s.png"
  pngs+=("$work/$s.png")
done
convert "${pngs[@]}" "$out"
echo "wrote $out"
