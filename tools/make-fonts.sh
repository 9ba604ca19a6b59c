#!/usr/bin/env bash
# Regenerates resources/fonts/*.zfn from DejaVu Sans. Run by hand after changing
# tools/fontgen; the output is committed, so the normal build needs no FreeType.
set -euo pipefail
cd "$(dirname "$0")/.."
need=(libfreetype-dev fonts-dejavu-core pkg-config g++)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then apt-get update -qq && apt-get install -y -qq "${missing[@]}" >/dev/null; fi
out=$(mktemp -d)
g++ -O2 -std=c++20 -Isrc $(pkg-config --cflags freetype2) tools/fontgen/fontgen.cpp src/platform/textcode.cpp \
  -o "$out/fontgen" \
  $(pkg-config --libs freetype2)
"$out/fontgen" /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf resources/fonts
cp /usr/share/doc/fonts-dejavu-core/copyright resources/fonts/LICENSE-DejaVu.txt
rm -rf "$out"
echo "resources/fonts regenerated"
