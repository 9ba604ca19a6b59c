#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal build and once
# with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh test
jobs=$(nproc)

cmake -S . -B build/debug -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZIR_TESTS=ON >/dev/null
cmake --build build/debug -j "$jobs"
(cd build/debug && ctest --output-on-failure -j "$jobs")

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZIR_TESTS=ON -DZIR_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$jobs"
(cd build/asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --output-on-failure -j "$jobs" -LE nosan)
