#!/usr/bin/env bash
# Builds the engine's fuzzer with clang in build-fuzz and runs it on one core
# for SECONDS (default 60). Inputs found so far stay in build-fuzz/corpus; a
# failing input is written to build-fuzz/ and the script exits non-zero.
# Usage: fuzz/run-fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVEL_FUZZ=ON -DQUORVEL_BUILD_UI=OFF -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_format_source -j 2

mkdir -p "$build/corpus"
"$build/bin/fuzz_format_source" -max_total_time="$seconds" -dict=fuzz/pascal.dict \
  -artifact_prefix="$build/" -print_final_stats=1 "$build/corpus" fuzz/seeds
