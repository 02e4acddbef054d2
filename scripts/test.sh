#!/usr/bin/env bash
# Builds everything and runs every test. The test build uses AddressSanitizer and
# UndefinedBehaviorSanitizer so that bad input caught only by a sanitizer still fails.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVELA_SANITIZE=ON -DKORVELA_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

# Mesa and GTK keep some allocations until exit; leaks there are not ours to fix.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"

# The core and its tests build without wxWidgets and OpenGL. Only the build is checked here (the
# tests ran above), without sanitizers or benchmarks to keep it short.
core=build/core
cmake -S . -B "$core" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVELA_GUI=OFF -DKORVELA_BENCH=OFF >/dev/null
cmake --build "$core" -j"$(nproc)" --target korvela_core_tests
