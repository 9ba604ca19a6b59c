#!/usr/bin/env bash
# Installs what is missing, builds in Release and runs zirkula with the given arguments.
# Without arguments it runs the bundled demonstration.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh build
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target zirkula_exe >/dev/null
if [ $# -eq 0 ]; then set -- examples/demo.zir; fi
exec build/release/zirkula "$@"
