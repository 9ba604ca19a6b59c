#!/usr/bin/env bash
# Installs what is missing, builds in Release and runs zirkula with the given arguments.
# Without arguments it runs the bundled demonstration: in a window where there is a
# display, else headless, with the finished picture written to demo.png beside the README.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh build
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target zirkula_exe >/dev/null
if [ $# -gt 0 ]; then exec build/release/zirkula "$@"; fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Running examples/demo.zir in a window."
  exec build/release/zirkula examples/demo.zir
fi
build/release/zirkula --headless --png demo.png examples/demo.zir </dev/null
echo "No display here: ran examples/demo.zir headless; the finished picture is $(pwd)/demo.png"
