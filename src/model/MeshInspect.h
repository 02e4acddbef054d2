// A one-line report on a .x file for asset authors and checks: does it load, what is in it.
#pragma once

#include <string>
#include <string_view>

namespace model {

struct MeshInspection {
    bool ok = false;
    std::string json; // one JSON object, no line end
};

// Loads path as the program would and reports, as a JSON object: "ok", "error" (only when not
// ok), "vertices", "faces" (triangles), "subsets" (distinct subset ids in use), "materials",
// "texture" (the file name the one-texture rule picks, or null), "normals_in_file", "box"
// ([minx, maxx, miny, maxy, minz, maxz]) and "sphere" ([cx, cy, cz, r]).
MeshInspection InspectMesh(const std::string& path);

// text as a JSON string literal, quotes included: control characters escaped, invalid UTF-8
// replaced by U+FFFD.
std::string JsonString(std::string_view text);

} // namespace model
