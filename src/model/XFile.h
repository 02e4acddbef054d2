// Reading DirectX .x model files (text, binary, compressed) into one mesh with its materials.
#pragma once

#include "model/Mesh.h"
#include "platform/Result.h"

#include <string>
#include <string_view>
#include <vector>

namespace model {

struct LoadedMesh {
    Mesh mesh;
    // One per subset, in subset order; never empty after a successful load.
    std::vector<MeshMaterial> materials;
    // False when the file lists no materials and materials holds the one default material.
    bool materialsFromFile = false;
    // True when the file gives normals (MeshNormals), so none need computing.
    bool normalsInFile = false;
};

// The material a file without a material list loads with: grey with diffuse alpha 0.
MeshMaterial DefaultXMaterial();

// The largest .x file we read; bigger ones are refused rather than read into memory.
inline constexpr std::size_t kMaxXFileSize = 256u << 20;

// Reads a .x file. All meshes in the file (top level and inside frames, depth first in file
// order) become one mesh: each mesh's vertices carried by its frames' transforms, its indices
// offset by the vertices before it and its subset ids by the materials before it. Faces of
// more than three corners become fans, vertices used with different normals are duplicated
// (the copies follow all original vertices, in order of first use). Faces keep file order.
// A malformed file fails with the reason; a file whose meshes have no faces gives an empty mesh.
// A path not found under its exact name is looked up ignoring letter case.
platform::Result<LoadedMesh> LoadXFile(const std::string& path);

// The same for the bytes of a file already in memory.
platform::Result<LoadedMesh> ParseXFile(std::string_view bytes);

} // namespace model
