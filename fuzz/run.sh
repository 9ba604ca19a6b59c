#!/bin/bash
# Builds the three libFuzzer harnesses with clang and runs each for SECONDS (default 60),
# side by side, from the committed seed corpus. New corpus units go to build/fuzz/corpus/,
# crashing inputs to build/fuzz/artifacts/; the summary line of each run (executions per
# second, coverage) is printed at the end. A crash, leak, sanitizer report, a unit slower
# than 1 s or a process over 1 GiB fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
tools/deps.sh fuzz
BUILD=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZIR_FUZZ=ON -DZIR_TESTS=OFF >/dev/null
cmake --build "$BUILD" --target compile_fuzzer run_fuzzer input_fuzzer
status=0
pids=()
for harness in compile run input; do
    mkdir -p "$BUILD/corpus/$harness" "$BUILD/artifacts/$harness"
    "$BUILD/fuzz/${harness}_fuzzer" "$BUILD/corpus/$harness" "fuzz/corpus/$harness" \
        -dict=fuzz/zirkula.dict -max_total_time="$SECONDS_EACH" -timeout=1 \
        -rss_limit_mb=1024 -max_len=8192 -print_final_stats=1 \
        -artifact_prefix="$BUILD/artifacts/$harness/" >"$BUILD/$harness.log" 2>&1 &
    pids+=($!)
done
for k in 0 1 2; do
    harness=$(echo compile run input | cut -d' ' -f$((k + 1)))
    if ! wait "${pids[$k]}"; then
        echo "$harness: FAILED (see $BUILD/$harness.log and $BUILD/artifacts/$harness/)"
        status=1
    fi
    grep -E "^#[0-9]+.*(DONE|pulse)|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)" \
        "$BUILD/$harness.log" | tail -4 | sed "s/^/$harness: /"
done
exit $status
