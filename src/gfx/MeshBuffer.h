// Mesh geometry as the device takes it, and the device-side copy made from it once per mesh.
#pragma once

#include "math/Vector.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace gfx {

// Views of one mesh's streams. normals, uvs and colors are either empty or one per vertex;
// three indices per triangle; one subset id per triangle.
struct MeshData {
    std::span<const math::Vec3> positions;
    std::span<const math::Vec3> normals;
    std::span<const math::Vec2> uvs;
    std::span<const std::uint32_t> colors; // ARGB
    std::span<const std::uint32_t> indices;
    std::span<const std::uint32_t> attributes;
};

// The triangles of one subset after sorting: indices [first, first + count) of the sorted list.
struct SubsetRange {
    std::uint32_t subset = 0;
    std::size_t first = 0;
    std::size_t count = 0;
};

// Triangles regrouped so that each subset is one contiguous range, in subset order; within a
// subset the file's triangle order is kept.
struct SortedTriangles {
    std::vector<std::uint32_t> indices;
    std::vector<SubsetRange> ranges; // sorted by subset id, only subsets that have triangles
};

// Nothing when the data is inconsistent (an index at or past the vertex count, stream lengths
// that disagree), so a broken mesh can never make the device read past its buffers.
std::optional<SortedTriangles> SortBySubset(const MeshData& data);

// Each distinct vertex once (every stream equal, bit for bit), for a device to draw from: the
// triangles are the same, with fewer vertices to transform. Streams the mesh lacks stay empty.
struct WeldedVertices {
    std::vector<math::Vec3> positions;
    std::vector<math::Vec3> normals;
    std::vector<math::Vec2> uvs;
    std::vector<std::uint32_t> colors;
};
// Renumbers indices (valid for data's vertices, as SortBySubset leaves them) to the welded ones.
WeldedVertices WeldVertices(const MeshData& data, std::vector<std::uint32_t>& indices);

// What identifies the mesh a buffer was made from, to notice a copy or a changed mesh.
struct MeshSignature {
    const void* positions = nullptr;
    std::size_t vertexCount = 0;
    std::size_t indexCount = 0;
    bool normals = false;
    bool uvs = false;
    bool colors = false;
    friend bool operator==(const MeshSignature&, const MeshSignature&) = default;
};
MeshSignature SignatureOf(const MeshData& data);

class MeshBuffer {
  public:
    MeshBuffer(std::uint64_t deviceId, MeshSignature signature, std::vector<SubsetRange> ranges)
        : deviceId_(deviceId), signature_(signature), ranges_(std::move(ranges))
    {
    }
    virtual ~MeshBuffer() = default;
    MeshBuffer(const MeshBuffer&) = delete;
    MeshBuffer& operator=(const MeshBuffer&) = delete;

    std::uint64_t DeviceId() const { return deviceId_; }
    const MeshSignature& Signature() const { return signature_; }
    bool HasNormals() const { return signature_.normals; }
    bool HasUvs() const { return signature_.uvs; }
    bool HasColors() const { return signature_.colors; }
    // The range of a subset; an empty range for a subset the mesh does not have.
    SubsetRange Range(std::uint32_t subset) const;
    const std::vector<SubsetRange>& Ranges() const { return ranges_; }

  private:
    std::uint64_t deviceId_;
    MeshSignature signature_;
    std::vector<SubsetRange> ranges_;
};

} // namespace gfx
