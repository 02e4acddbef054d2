#!/usr/bin/env python3
"""Checks the include graph of src/ against the layer table in src/README.md.

    check-layers.py [SRC]      (SRC defaults to the src/ folder beside this script)

Fails (exit 1, one line per fault) when
  - a file includes a header of a layer that its own layer may not use: the layers named in its
    row's "May use" column and, through them, every layer those may use;
  - a file includes the header of an outside library that its own row does not name;
  - a layer's DEPS in its CMakeLists.txt differ from the layers its files include;
  - a folder of src/ holds code but has no row in the table, or a row names a layer below it.
Exit 2 when the table or a layer folder cannot be read.
"""

import pathlib
import re
import sys

# Headers of outside libraries, by how their include path starts, and the name the table gives
# each. Other angle-bracket headers count as the standard library or the system.
EXTERNAL_HEADERS = [
    ("wx/", "wxWidgets"),
    ("GL/", "OpenGL"),
    ("EGL/", "EGL"),
    ("stb_image", "stb_image"),
    ("stb/", "stb_image"),
    ("ft2build.h", "FreeType"),
    ("freetype/", "FreeType"),
    ("fontconfig/", "fontconfig"),
    ("iconv.h", "iconv"),
    ("curl/", "libcurl"),
    ("zlib.h", "zlib"),
    ("cairo", "cairo"),
    ("zip.h", "libzip"),
]

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
LIBRARY_CALL = re.compile(r"korvela_library\s*\((.*?)\)", re.S)


class Unreadable(Exception):
    pass


def read_table(readme):
    """The layer table: {folder: (layers it names, outside libraries it names)}, in table order."""
    try:
        lines = readme.read_text(encoding="utf-8").splitlines()
    except OSError as e:
        raise Unreadable(f"{readme}: {e.strerror}")
    rows = [[cell.strip() for cell in line.strip().strip("|").split("|")] for line in lines
            if line.lstrip().startswith("|")]
    header = next((r for r in rows if "Folder" in r and "May use" in r), None)
    if header is None:
        raise Unreadable(f"{readme}: no table with the columns Folder and May use")
    folder_col, use_col = header.index("Folder"), header.index("May use")
    table = {}
    for row in rows[rows.index(header) + 1:]:
        if len(row) <= max(folder_col, use_col) or set(row[folder_col]) <= set("-: "):
            continue
        folder = row[folder_col].strip("`").rstrip("/")
        uses = [u.strip().strip("`").rstrip("/") for u in row[use_col].split(",")]
        table[folder] = [u for u in uses if u and u != "—"]
    if not table:
        raise Unreadable(f"{readme}: the layer table has no rows")
    for folder, uses in table.items():
        table[folder] = ([u for u in uses if u in table], {u for u in uses if u not in table})
    return table


def allowed_layers(table):
    """Each layer with every layer it may use, directly or through another."""
    allowed = {}

    def reach(layer, seen):
        for used in table[layer][0]:
            if used not in seen:
                seen.add(used)
                reach(used, seen)
        return seen

    for layer in table:
        allowed[layer] = reach(layer, set())
    return allowed


def layer_of_header(path, layers):
    """The layer whose folder holds an include path ("gfx/gl/X.h" is gfx/gl, not gfx)."""
    best = None
    for layer in layers:
        if path.startswith(layer + "/") and (best is None or len(layer) > len(best)):
            best = layer
    return best


def external_of_header(path):
    for prefix, name in EXTERNAL_HEADERS:
        if path.startswith(prefix):
            return name
    return None


def library_call(cmake_file):
    """The NAME and DEPS of a folder's korvela_library call, or None when it has none."""
    if not cmake_file.is_file():
        return None
    match = LIBRARY_CALL.search(cmake_file.read_text(encoding="utf-8"))
    if not match:
        return None
    words = re.sub(r"#[^\n]*", "", match.group(1)).split()
    name, deps, key = None, [], None
    for word in words:
        if word in ("NAME", "DEPS", "LIBS"):
            key = word
        elif key == "NAME" and name is None:
            name = word
        elif key == "DEPS":
            deps.append(word)
    return name, deps


def target_of(layer, src):
    """The CMake target of a layer: the NAME its korvela_library call gives, otherwise korvela_
    and the folder ("gfx/gl" is korvela_gfx_gl)."""
    call = library_call(src / layer / "CMakeLists.txt")
    if call and call[0]:
        return call[0]
    return "korvela_" + layer.replace("/", "_")


def check(src):
    table = read_table(src / "README.md")
    allowed = allowed_layers(table)
    faults = []
    files = 0
    order = list(table)
    targets = {layer: target_of(layer, src) for layer in table if (src / layer).is_dir()}
    layers_by_target = {target: layer for layer, target in targets.items()}
    for layer, (uses, _) in table.items():
        for used in uses:
            if order.index(used) >= order.index(layer):
                faults.append(f"{src.name}/README.md: {layer}/ may use {used}/, which is not above it in the table")
    for folder in sorted(p for p in src.rglob("*") if p.is_dir()):
        layer = folder.relative_to(src).as_posix()
        has_code = any(f.suffix in (".h", ".cpp") for f in folder.iterdir())
        if has_code and layer not in table:
            faults.append(f"{folder.relative_to(src.parent)}/: holds code but has no row in the layer table")
    for layer, (_, externals) in table.items():
        folder = src / layer
        if not folder.is_dir():
            raise Unreadable(f"{folder}: the table names this layer but the folder is missing")
        included = {}  # layer -> first place that includes it
        for source in sorted(folder.iterdir()):
            if source.suffix not in (".h", ".cpp") or not source.is_file():
                continue
            files += 1
            where = source.relative_to(src.parent)
            for number, line in enumerate(source.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                bracket, path = match.groups()
                used = layer_of_header(path, table) if bracket == '"' else None
                if used is not None:
                    if used == layer:
                        continue
                    included.setdefault(used, f"{where}:{number}")
                    if used not in allowed[layer]:
                        faults.append(f'{where}:{number}: includes "{path}" of layer {used}/, '
                                      f"which {layer}/ may not use")
                    continue
                name = external_of_header(path)
                if name is not None and name not in externals:
                    faults.append(f"{where}:{number}: includes <{path}> of {name}, "
                                  f"which the table does not name for {layer}/")

        cmake_file = folder / "CMakeLists.txt"
        call = library_call(cmake_file)
        if call is None:
            continue  # not a korvela_library layer (the front end builds its own targets)
        deps = call[1]
        where = cmake_file.relative_to(src.parent)
        for dep in deps:
            if dep not in layers_by_target:
                faults.append(f"{where}: DEPS names {dep}, which is no layer of the table")
            elif layers_by_target[dep] not in included:
                faults.append(f"{where}: DEPS names {dep}, but no file of {layer}/ includes its headers")
        for used, first in sorted(included.items()):
            if targets[used] not in deps:
                faults.append(f"{where}: DEPS lacks {targets[used]}, which {first} includes")
    return files, faults


def main(argv):
    src = pathlib.Path(argv[1]) if len(argv) > 1 else pathlib.Path(__file__).resolve().parent.parent / "src"
    try:
        files, faults = check(src)
    except Unreadable as e:
        print(f"layer check: {e}", file=sys.stderr)
        return 2
    for fault in faults:
        print(fault, file=sys.stderr)
    if faults:
        print(f"layer check: {len(faults)} fault(s); the layers and what each may use are in {src / 'README.md'}",
              file=sys.stderr)
        return 1
    print(f"layer check: {files} files follow the layer table")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
