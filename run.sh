#!/usr/bin/env bash
# Installs what is missing, builds in Release and runs zirkula with the given arguments.
# Without arguments it runs the bundled demonstration: in a window where there is a
# display, else headless, with the finished picture written to demo.png beside the README.
#   ./run.sh --web [--no-serve]   builds the browser edition into build/web/site and serves
#                                 it on 127.0.0.1 (with --no-serve only builds it)
set -euo pipefail
cd "$(dirname "$0")"
if [ "${1:-}" = --web ]; then
  tools/build-web.sh
  [ "${2:-}" = --no-serve ] && exit 0
  port=${ZIR_WEB_PORT:-8080}
  echo "Zirkula im Browser: http://127.0.0.1:$port/ (Strg+C beendet den Server)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web/site
fi
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
