#!/usr/bin/env bash
# Builds the fuzz targets with clang (build/fuzz) and runs each in turn for SECONDS (default 60).
#   scripts/fuzz.sh [SECONDS] [TARGET...]     (targets: xfile profile map trainfile rtf actions package)
# Each target keeps its corpus in build/fuzz/corpus/<target>, seeded from fuzz/seeds/<target>,
# the inputs that once failed (tests/fuzz/<target>), the demo content of the test build when
# there is one, the golden runs' action scripts, and the shared .x test files when present. A
# failing input is written to build/fuzz/artifacts/<target>/; keep it under tests/fuzz/<target>/
# once fixed. The run fails when any target finds a crash, a hang, a leak or a sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
targets=(xfile profile map trainfile rtf actions package)
[ $# -gt 1 ] && targets=("${@:2}")
build=build/fuzz

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVELA_FUZZ=ON >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

testdata="${KORVELA_TESTDATA_DIR:-../shared/testdata}" # absent in CI: then only the other seeds
demo=build/test/src/front # the demo content the test build writes beside the program

# Copies files matching the patterns (case-insensitive) under the folders into the seed folder.
collect() {
  local into=$1; shift
  local folders=() patterns=()
  while [ "$1" != "--" ]; do folders+=("$1"); shift; done
  shift
  patterns=("$@")
  for folder in "${folders[@]}"; do
    [ -d "$folder" ] || continue
    for pattern in "${patterns[@]}"; do
      find "$folder" -maxdepth 3 -type f -iname "$pattern" -size -1024k -exec cp -t "$into" {} + 2>/dev/null || true
    done
  done
}

status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  seeds="$build/seeds/$target"
  artifacts="$build/artifacts/$target"
  mkdir -p "$corpus" "$seeds" "$artifacts"
  case "$target" in
    xfile)     collect "$seeds" "$demo" "$testdata" -- '*.x' ;;
    profile)   collect "$seeds" "$demo" -- '*.ini' ;;
    map)       collect "$seeds" "$demo" -- 'demo.txt' ;;
    trainfile) collect "$seeds" "$demo" -- '*.txt' '*.ini' ;;
    rtf)       collect "$seeds" assets -- '*.rtf' ;;
    actions)   collect "$seeds" tests/golden -- '*.actions' ;;
    package)   ;; # its seeds are small packages in fuzz/seeds/package
  esac
  extra=()
  [ -d "tests/fuzz/$target" ] && extra+=("tests/fuzz/$target")
  echo "== fuzz_$target for ${seconds}s"
  log="$build/fuzz_$target.log"
  if ! "$build/fuzz/fuzz_$target" "$corpus" "fuzz/seeds/$target" "$seeds" "${extra[@]}" \
      -dict="fuzz/dict/$target.dict" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=65536 -artifact_prefix="$artifacts/" -print_final_stats=1 >"$log" 2>&1; then
    echo "fuzz_$target FAILED; see $log and $artifacts/"
    tail -n 60 "$log"
    status=1
  else
    grep -E '^(#[0-9]+.*DONE|Done [0-9]+ runs|stat::number_of_executed_units|stat::peak_rss_mb|stat::new_units_added)' "$log" || tail -n 5 "$log"
  fi
done
exit $status
