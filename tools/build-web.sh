#!/usr/bin/env bash
# Builds the browser edition (the engine as WebAssembly and its page) into build/web/site,
# installing Debian's emscripten first if it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh web
# emcc runs on Node.js and needs Debian's JavaScript modules, which Node does not look for.
export NODE_PATH=/usr/share/nodejs
# The page's editor component comes from the npm registry, pinned by web/package-lock.json.
(cd web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
emcmake cmake -S . -B build/web -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/web -j "$(nproc)"
echo "The browser edition is in $(pwd)/build/web/site"
