#!/usr/bin/env bash
# Builds the program and starts it on the bundled demo content.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKORVELA_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target korvela

# Without arguments the program opens the demo layout the build generated beside it.
if [ $# -eq 0 ]; then
  set -- "$build/src/front/objects/demo.txt"
fi
exec "$build/src/front/korvela" "$@"
