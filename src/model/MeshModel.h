// One loaded .x model (geometry, materials, the one texture) and the operations that load and
// draw it. The operations keep no state of their own; the caller owns the CMeshModel.
#pragma once

#include "gfx/Device.h"
#include "gfx/Texture.h"
#include "model/Mesh.h"
#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace model {

struct CMeshModel {
    std::shared_ptr<const Mesh> mesh;    // empty when nothing is loaded
    std::vector<MeshMaterial> materials; // empty when loaded without materials
    std::uint32_t materialCount = 0;     // the file's count, also when materials were not asked for
    gfx::TextureHandle texture;          // the model's single texture, or none

    bool empty() const { return mesh == nullptr; }
    void Clear() { *this = CMeshModel{}; }
};

struct MeshLoadOptions {
    // Without materials no texture is looked up either.
    bool materials = true;
    bool texture = true;
    // Strip the file's vertex-colour blocks on disk before loading (the settings dialog's
    // "頂点カラーの削除" box, read by the caller).
    bool removeVertexColours = false;
    // How normals are added to a mesh whose file has none; ComputeNormals unless a test swaps it.
    // It may throw; the mesh then keeps no computed normals.
    std::function<void(Mesh&)> computeNormals;
};

// Loads basePath + ".x" (the exact name, else the same name in another letter case) into out,
// which is cleared first. The texture is made through device; without a device, or when the file
// is missing or unreadable, the model simply has none. Fails, with the reason and out left empty,
// only when the mesh file cannot be loaded.
platform::Status LoadMesh(gfx::Device* device, const std::string& basePath, CMeshModel& out,
                          const MeshLoadOptions& options = {});

// subset value for drawing every subset (the original's -1).
inline constexpr std::uint32_t kAllSubsets = 0xFFFFFFFFu;

// The material drawn where there is none: all zero but an opaque red diffuse colour.
gfx::Material FallbackMaterial();

// Draws subsets 0 to materialCount - 1 (subset = kAllSubsets) or the one subset given. Subset i
// takes material i with its diffuse alpha times alpha, and the texture when that material names
// a texture file, otherwise no texture. A subset without a material among those supplied gets
// the opaque red fallback and leaves the texture as it was; so does subset 0 when materialCount
// is 0. With highlight in map-editing mode each subset is drawn again as a white wire frame.
// Nothing happens without a device or with an empty mesh.
void DrawMesh(gfx::Device* device, const Mesh* mesh, std::span<const MeshMaterial> materials,
              std::uint32_t materialCount, const gfx::TextureHandle& texture, std::uint32_t subset,
              bool highlight, bool mapEditing, float alpha);
inline void DrawMesh(gfx::Device* device, const CMeshModel& model, std::uint32_t subset, bool highlight,
                     bool mapEditing, float alpha)
{
    DrawMesh(device, model.mesh.get(), model.materials, model.materialCount, model.texture, subset, highlight,
             mapEditing, alpha);
}

// The mesh's buffer on device, uploaded on first use and again when the mesh changed; none when
// the mesh's data is inconsistent.
const gfx::MeshBuffer* UploadedMesh(gfx::Device& device, const Mesh& mesh);

} // namespace model
