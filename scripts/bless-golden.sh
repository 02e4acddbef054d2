#!/usr/bin/env bash
# Re-records the golden runs (tests/golden/) after an intended change of behaviour and shows
# what changed; commit the new expectations with the change that explains them.
#   scripts/bless-golden.sh [NAME...]
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVELA_SANITIZE=ON -DKORVELA_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target korvela
bash tests/golden/run.sh "$build/src/front/korvela" --bless "$@"
