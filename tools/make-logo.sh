#!/usr/bin/env bash
# Redraws resources/logo16.img and resources/appicon.img (with PNG copies to look at)
# using the program's own raster layer and fonts. Run by hand; the output is committed.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh build
cmake -S . -B build/tools -G Ninja -DCMAKE_BUILD_TYPE=Release -DZIR_TOOLS=ON >/dev/null
cmake --build build/tools --target logogen >/dev/null
build/tools/logogen resources
echo "resources/logo16.img and resources/appicon.img redrawn"
