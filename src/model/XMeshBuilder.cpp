// How a loaded .x file becomes one mesh: the rules the original loader follows for merging,
// normals, fans and materials.
#include "model/XMeshBuilder.h"

#include "math/Matrix.h"
#include "model/MeshNormals.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>

namespace model {
namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

bool IsFinite(math::Vec2 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y);
}

bool IsFinite(math::Vec3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool InRange(math::Vec3 v)
{
    const auto in = [](float c) { return std::fabs(c) <= kMaxMeshCoordinate; };
    return in(v.x) && in(v.y) && in(v.z);
}

// Why the values of one mesh object as read cannot be used; first is the number of the file's
// first vertex of this object (vertices are counted from 0 through the whole file).
std::optional<std::string> RefuseValues(const XMeshData& x, std::size_t first)
{
    if (x.transformed) {
        for (const auto& row : x.transform.m)
            for (float value : row)
                if (!std::isfinite(value)) return "non-finite frame transform";
    }
    for (std::size_t i = 0; i < x.positions.size(); ++i) {
        if (!IsFinite(x.positions[i])) return "non-finite vertex " + std::to_string(first + i);
        if (!InRange(x.positions[i])) return "vertex " + std::to_string(first + i) + " is out of range";
    }
    for (std::size_t i = 0; i < x.normals.size(); ++i)
        if (!IsFinite(x.normals[i])) return "non-finite normal " + std::to_string(i);
    for (std::size_t i = 0; i < x.uvs.size(); ++i)
        if (!IsFinite(x.uvs[i])) return "non-finite texture coordinate " + std::to_string(first + i);
    return std::nullopt;
}

// The same after the frame transform has been applied.
std::optional<std::string> RefuseTransformed(const Mesh& part, std::size_t first)
{
    for (std::size_t i = 0; i < part.positions.size(); ++i) {
        if (!IsFinite(part.positions[i]) || !InRange(part.positions[i]))
            return "vertex " + std::to_string(first + i) + " overflows its frame transform";
    }
    for (const math::Vec3& n : part.normals)
        if (!IsFinite(n)) return "a normal overflows its frame transform";
    return std::nullopt;
}

// Normals go through the inverse transpose so that scaled frames keep them perpendicular.
math::Matrix NormalMatrix(const math::Matrix& m)
{
    math::Matrix inverse;
    if (!math::Inverse(m, inverse)) return m;
    return math::Transpose(inverse);
}

// One mesh object as vertices and triangles. Material ids are the file's, plus materialBase;
// when useFaceMaterials is false every triangle gets materialBase.
Mesh BuildPart(XMeshData& x, std::uint32_t materialBase, bool useFaceMaterials)
{
    Mesh part;
    part.positions = std::move(x.positions);
    part.uvs = std::move(x.uvs);
    part.colors = std::move(x.colors);
    std::vector<std::uint32_t>& corners = x.faceCorners;

    if (x.hasNormals) {
        // Normals are per corner; the first corner to use a vertex gives it its normal, a later
        // corner with a different normal gets a copy of the vertex appended at the end (one
        // copy per distinct normal).
        const std::size_t original = part.positions.size();
        part.normals.assign(original, math::Vec3{});
        std::vector<bool> assigned(original, false);
        std::vector<std::uint32_t> nextCopy(original, kNone);
        for (std::size_t c = 0; c < corners.size(); ++c) {
            const std::uint32_t v = corners[c];
            const math::Vec3 n = x.normals[x.normalCorners[c]];
            if (!assigned[v]) {
                assigned[v] = true;
                part.normals[v] = n;
                continue;
            }
            std::uint32_t u = v;
            for (;;) {
                if (part.normals[u] == n) break;
                if (nextCopy[u] == kNone) {
                    const auto copy = static_cast<std::uint32_t>(part.positions.size());
                    part.positions.push_back(part.positions[v]);
                    part.normals.push_back(n);
                    if (!part.uvs.empty()) part.uvs.push_back(part.uvs[v]);
                    if (!part.colors.empty()) part.colors.push_back(part.colors[v]);
                    nextCopy[u] = copy;
                    nextCopy.push_back(kNone);
                    u = copy;
                    break;
                }
                u = nextCopy[u];
            }
            corners[c] = u;
        }
    }

    if (x.transformed) {
        for (math::Vec3& p : part.positions)
            p = math::TransformCoord(p, x.transform);
        const math::Matrix normalMatrix = NormalMatrix(x.transform);
        for (math::Vec3& n : part.normals)
            n = math::Normalize(math::TransformNormal(n, normalMatrix));
    }

    std::size_t triangles = 0;
    for (std::uint32_t size : x.faceSizes)
        triangles += size - 2;
    part.indices.reserve(triangles * 3);
    part.attributes.reserve(triangles);
    std::size_t first = 0;
    for (std::size_t f = 0; f < x.faceSizes.size(); ++f) {
        const std::uint32_t size = x.faceSizes[f];
        const std::uint32_t attribute = materialBase + (useFaceMaterials ? x.faceMaterials[f] : 0);
        for (std::uint32_t k = 1; k + 1 < size; ++k) {
            part.indices.push_back(corners[first]);
            part.indices.push_back(corners[first + k]);
            part.indices.push_back(corners[first + k + 1]);
            part.attributes.push_back(attribute);
        }
        first += size;
    }
    return part;
}

} // namespace

MeshMaterial DefaultXMaterial()
{
    MeshMaterial m;
    m.material.diffuse = {0.5f, 0.5f, 0.5f, 0.0f};
    m.material.specular = {0.5f, 0.5f, 0.5f, 0.0f};
    return m;
}

platform::Result<LoadedMesh> BuildLoadedMesh(XFileContent content)
{
    if (content.meshes.empty()) return platform::Fail("the file holds no mesh");

    bool anyMaterials = false, anyNormals = false, anyUvs = false, anyColors = false;
    for (const XMeshData& x : content.meshes) {
        anyMaterials = anyMaterials || (x.hasMaterialList && x.materialCount > 0);
        anyNormals = anyNormals || x.hasNormals;
        anyUvs = anyUvs || !x.uvs.empty();
        anyColors = anyColors || !x.colors.empty();
    }

    LoadedMesh out;
    out.materialsFromFile = anyMaterials;
    out.normalsInFile = anyNormals;
    Mesh& merged = out.mesh;
    std::size_t fileVertices = 0;
    for (std::size_t i = 0; i < content.meshes.size(); ++i) {
        XMeshData& x = content.meshes[i];
        const std::size_t first = fileVertices;
        fileVertices += x.positions.size();
        if (std::optional<std::string> why = RefuseValues(x, first)) return platform::Fail(std::move(*why));
        const auto materialBase = static_cast<std::uint32_t>(out.materials.size());
        const bool ownMaterials = x.hasMaterialList && x.materialCount > 0;
        if (ownMaterials) {
            if (x.materials.size() != x.materialCount) {
                return platform::Fail("mesh " + std::to_string(i + 1) + " declares " +
                                      std::to_string(x.materialCount) + " materials but lists " +
                                      std::to_string(x.materials.size()));
            }
            for (XMaterialEntry& entry : x.materials) {
                if (entry.material) {
                    out.materials.push_back(std::move(*entry.material));
                    continue;
                }
                const auto found = content.namedMaterials.find(entry.reference);
                if (found == content.namedMaterials.end()) {
                    return platform::Fail("material '" + entry.reference + "' is not defined");
                }
                out.materials.push_back(found->second);
            }
        } else if (anyMaterials) {
            // A mesh without materials in a file whose other meshes have them gets a default
            // material of its own, so its faces still belong to a subset that is drawn.
            out.materials.push_back(DefaultXMaterial());
        }

        Mesh part = BuildPart(x, anyMaterials ? materialBase : 0, ownMaterials);
        if (std::optional<std::string> why = RefuseTransformed(part, first)) return platform::Fail(std::move(*why));
        if (anyNormals && part.normals.empty()) ComputeNormals(part);

        const std::size_t base = merged.positions.size();
        if (base + part.positions.size() > std::numeric_limits<std::uint32_t>::max()) {
            return platform::Fail("the file has too many vertices");
        }
        const std::size_t count = part.positions.size();
        merged.positions.insert(merged.positions.end(), part.positions.begin(), part.positions.end());
        if (anyNormals) merged.normals.insert(merged.normals.end(), part.normals.begin(), part.normals.end());
        if (anyUvs) {
            if (part.uvs.empty()) part.uvs.assign(count, math::Vec2{});
            merged.uvs.insert(merged.uvs.end(), part.uvs.begin(), part.uvs.end());
        }
        if (anyColors) {
            if (part.colors.empty()) part.colors.assign(count, 0x00FFFFFFu);
            merged.colors.insert(merged.colors.end(), part.colors.begin(), part.colors.end());
        }
        merged.indices.reserve(merged.indices.size() + part.indices.size());
        for (std::uint32_t index : part.indices)
            merged.indices.push_back(static_cast<std::uint32_t>(index + base));
        merged.attributes.insert(merged.attributes.end(), part.attributes.begin(), part.attributes.end());
    }
    if (!anyMaterials) out.materials.push_back(DefaultXMaterial());
    return out;
}

} // namespace model
