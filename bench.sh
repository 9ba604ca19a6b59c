#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in Release and runs them all.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh bench
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZIR_BENCH=ON >/dev/null
cmake --build build/bench -j "$(nproc)"
for b in build/bench/bench/*_bench; do
  echo "== $(basename "$b")"
  "$b" "$@"
done
