// Geometry of one loaded model: vertex streams, triangles, one attribute (subset) id per triangle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gfx/Material.h"
#include "math/Vector.h"

namespace gfx {
class MeshBuffer;  // the mesh's copy on a graphics device
}

namespace model {

// A material as the file names it: the device material and the texture file name exactly as
// stored in the file (no path handling), if the material has one.
struct MeshMaterial {
    gfx::Material material;
    std::optional<std::string> textureFile;
};

class MeshBvh;  // ray acceleration structure, built once per mesh on first use

struct Mesh {
    // One entry per vertex; normals, uvs and colours are either empty or the same length.
    std::vector<math::Vec3> positions;
    std::vector<math::Vec3> normals;
    std::vector<math::Vec2> uvs;
    std::vector<std::uint32_t> colors;  // ARGB, as the file's vertex colours convert
    // Three vertex indices per triangle, clockwise front faces (left-handed).
    std::vector<std::uint32_t> indices;
    // Subset id of each triangle.
    std::vector<std::uint32_t> attributes;

    bool empty() const { return indices.empty() || positions.empty(); }
    std::size_t VertexCount() const { return positions.size(); }
    std::size_t FaceCount() const { return indices.size() / 3; }
    bool HasNormals() const { return !normals.empty(); }
    bool HasColors() const { return !colors.empty(); }
    bool HasUvs() const { return !uvs.empty(); }

    // Filled lazily by the ray queries; shared so that copies of a mesh share it. Code that
    // changes positions or indices in place resets it. Not safe to fill from two threads.
    mutable std::shared_ptr<const MeshBvh> bvh;
    // Made by the first draw on a device and reused while the mesh stays as it was.
    mutable std::shared_ptr<gfx::MeshBuffer> gpu;
};

}  // namespace model
