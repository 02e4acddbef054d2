#!/usr/bin/env bash
# The layer check must catch what it is there for: each case breaks one rule in a copy of src/
# and expects the check to fail naming the place; the untouched copy must pass.
#   check-layers-test.sh PYTHON REPOSITORY
set -uo pipefail
python=$1
repo=$2
check="$repo/scripts/check-layers.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fresh() {
    rm -rf "$work/src"
    cp -r "$repo/src" "$work/src"
}

# expect STATUS TEXT CASE: the check on the copy exits with STATUS and says TEXT.
expect() {
    local status=$1 text=$2 name=$3 out rc
    out=$("$python" "$check" "$work/src" 2>&1)
    rc=$?
    if [ "$rc" -ne "$status" ] || ! grep -qF -- "$text" <<<"$out"; then
        echo "FAIL $name: wanted exit $status and \"$text\", got exit $rc:"
        echo "$out" | head -5
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

fresh
expect 0 "follow the layer table" "the tree as it is passes"

fresh
printf '#include "render/CGraphics.h"\n' >>"$work/src/model/MeshModel.cpp"
expect 1 'src/model/MeshModel.cpp:' "a core file including a higher layer fails"
expect 1 'includes "render/CGraphics.h" of layer render/, which model/ may not use' "the fault names header and layers"

fresh
printf '#include "gfx/gl/GlDevice.h"\n' >>"$work/src/layout/CLayout.h"
expect 1 'includes "gfx/gl/GlDevice.h" of layer gfx/gl/, which layout/ may not use' "the OpenGL backend is not part of gfx for the core"

fresh
printf '#include <wx/string.h>\n' >>"$work/src/app/script/JsonWriter.cpp"
expect 1 'includes <wx/string.h> of wxWidgets' "the GUI toolkit in the core fails"

# The application layer's three rooms: the dialogs never reach the application object, the
# application never reaches the scripted runs, and the script's DEPS name the application.
fresh
printf '#include "app/CSimulatorApp.h"\n' >>"$work/src/app/dialogs/CSetUp.cpp"
expect 1 'includes "app/CSimulatorApp.h" of layer app/, which app/dialogs/ may not use' "a dialog including the application fails"

fresh
printf '#include "app/script/RunReport.h"\n' >>"$work/src/app/AppScene.cpp"
expect 1 'includes "app/script/RunReport.h" of layer app/script/, which app/ may not use' "the application including the scripted runs fails"

fresh
sed -i 's/ DEPS korvela_app / DEPS /' "$work/src/app/script/CMakeLists.txt"
expect 1 "src/app/script/CMakeLists.txt: DEPS lacks korvela_app" "a layer's target is the NAME its CMakeLists.txt gives"

fresh
sed -i 's/korvela_library(NAME korvela_camera DEPS /&korvela_vehicles /' "$work/src/camera/CMakeLists.txt"
expect 1 "DEPS names korvela_vehicles, but no file of camera/ includes its headers" "a DEPS entry nothing includes fails"

fresh
sed -i 's/ korvela_platform)/)/' "$work/src/camera/CMakeLists.txt"
expect 1 "DEPS lacks korvela_platform" "an include missing from DEPS fails"

fresh
sed -i 's/^\(| `render\/` .*|\) camera, /\1 /' "$work/src/README.md"
expect 1 'includes "camera/CCamera.h" of layer camera/, which render/ may not use' "the table is the input: narrowing a row fails its includes"

fresh
sed -i '/^| `camera\/`/d' "$work/src/README.md"
expect 1 "src/camera/: holds code but has no row in the layer table" "a folder without a row fails"

fresh
sed -i 's/^\(| `model\/` .*|\) math, /\1 render, math, /' "$work/src/README.md"
expect 1 "model/ may use render/, which is not above it in the table" "a row may not name a layer below it"

fresh
rm "$work/src/README.md"
expect 2 "README.md" "a missing table is an error, not a pass"

[ "$failures" -eq 0 ] || { echo "$failures case(s) failed"; exit 1; }
