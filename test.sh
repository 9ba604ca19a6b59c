#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a normal build, then the
# browser edition in Chromium against the normal build, then once more with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh test
jobs=$(nproc)

cmake -S . -B build/debug -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZIR_TESTS=ON >/dev/null
cmake --build build/debug -j "$jobs"
(cd build/debug && ctest --output-on-failure -j "$jobs")

tools/build-web.sh >/dev/null
tools/deps.sh webtest
(cd tests/browser && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
node tests/browser/browser_test.mjs build/web/site build/debug/zirkula examples build/browser-test

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZIR_TESTS=ON -DZIR_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$jobs"
# Leaks inside the system libraries (tests/lsan.supp names them) are not Zirkula's.
(cd build/asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$PWD/../../tests/lsan.supp:print_suppressions=0" \
  ctest --output-on-failure -j "$jobs" -LE nosan)
