# Sourced by the headless script tests, with the korvela executable as their first argument:
# the program and its demo content copied into a folder of their own ($tmp/bin, the copy's
# executable $bin), removed at the end; fail ends the test with its message.
set -u
exe=$1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

from=$(dirname "$exe")
mkdir -p "$tmp/bin"
cp -r "$exe" "$from/objects" "$from/trains" "$from/plane" "$from/helicopter" "$from/car" "$from/korvela.ini" "$tmp/bin/"
bin=$tmp/bin/korvela
