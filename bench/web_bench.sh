#!/usr/bin/env bash
# Builds the browser edition and the benchmarks (Release) and measures the browser edition
# against its goals in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh bench
tools/deps.sh webtest
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZIR_BENCH=ON >/dev/null
cmake --build build/bench -j "$(nproc)" --target zirkula_exe frame_bench
tools/build-web.sh >/dev/null
(cd tests/browser && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
scripts=build/bench/frame-scripts
mkdir -p "$scripts"
build/bench/bench/frame_bench --write-scripts "$scripts"
node bench/web_bench.mjs build/web/site build/bench/zirkula "$scripts" examples
