#!/usr/bin/env bash
# Builds the program and starts it on the bundled demo content.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVELA_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target korvela

exec "$build/src/front/korvela" "$@"
