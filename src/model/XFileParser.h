// The data objects of a .x file that make up its meshes, as the file states them, before they
// are turned into one drawable mesh.
#pragma once

#include "math/Matrix.h"
#include "math/Vector.h"
#include "model/Mesh.h"
#include "model/XTokenizer.h"
#include "platform/Result.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace model {

// One entry of a mesh's material list: a material written inside the list, or a reference by
// name to a material defined elsewhere in the file.
struct XMaterialEntry {
    std::optional<MeshMaterial> material;
    std::string reference;
};

// One Mesh object with the children we use.
struct XMeshData {
    std::vector<math::Vec3> positions;
    // Polygons back to back: faceSizes[i] corners each, their vertex indices in faceCorners.
    std::vector<std::uint32_t> faceSizes;
    std::vector<std::uint32_t> faceCorners;

    // MeshNormals: normals (normalised on reading) and one normal index per polygon corner.
    bool hasNormals = false;
    std::vector<math::Vec3> normals;
    std::vector<std::uint32_t> normalCorners;

    std::vector<math::Vec2> uvs;       // empty or one per vertex
    std::vector<std::uint32_t> colors; // empty or one per vertex (ARGB)

    // MeshMaterialList: the material of each polygon, and the materials in order.
    bool hasMaterialList = false;
    std::uint32_t materialCount = 0;
    std::vector<std::uint32_t> faceMaterials;
    std::vector<XMaterialEntry> materials;

    // Accumulated frame transform (row vectors: v · transform); identity when not transformed.
    bool transformed = false;
    math::Matrix transform;
};

struct XFileContent {
    std::vector<XMeshData> meshes; // in file order, frames walked depth first
    // Named materials anywhere in the file; the first of each name wins.
    std::map<std::string, MeshMaterial, std::less<>> namedMaterials;
};

// Limits on what a file may ask of the reader.
inline constexpr int kMaxFrameDepth = 64;

// Reads all objects of the file body. Fails, with the reason, on malformed data: counts that
// exceed the data, indices out of range, structure that does not close, frames nested too deep.
platform::Result<XFileContent> ParseXObjects(XTokenizer& tokens);

} // namespace model
