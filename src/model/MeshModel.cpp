#include "model/MeshModel.h"

#include "model/MeshNormals.h"
#include "model/ModelTexture.h"
#include "model/VertexColourRemoval.h"
#include "model/XFile.h"
#include "platform/Paths.h"

#include <exception>

namespace model {

namespace {

gfx::MeshData ViewOf(const Mesh& mesh)
{
    gfx::MeshData data;
    data.positions = mesh.positions;
    data.normals = mesh.normals;
    data.uvs = mesh.uvs;
    data.colors = mesh.colors;
    data.indices = mesh.indices;
    data.attributes = mesh.attributes;
    return data;
}

// A copy of the mesh with normals, or nothing when computing them failed; the caller then keeps
// the mesh as loaded, which still draws (unlit parts dark) rather than losing the model.
std::shared_ptr<Mesh> WithNormals(const Mesh& mesh, const MeshLoadOptions& options)
{
    try {
        auto copy = std::make_shared<Mesh>(mesh);
        copy->bvh.reset();
        copy->gpu.reset();
        if (options.computeNormals)
            options.computeNormals(*copy);
        else
            ComputeNormals(*copy);
        if (copy->normals.size() != copy->positions.size()) return nullptr;
        return copy;
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace

platform::Status LoadMesh(gfx::Device* device, const std::string& basePath, CMeshModel& out,
                          const MeshLoadOptions& options)
{
    out.Clear();
    if (options.removeVertexColours) RemoveVertexColours(basePath); // a failure leaves the file as it was

    const std::string path = platform::FindFileNoCase(basePath + ".x").value_or(basePath + ".x");
    auto loaded = LoadXFile(path);
    if (!loaded) return platform::Fail(loaded.error());
    LoadedMesh& file = loaded.value();

    std::shared_ptr<Mesh> mesh;
    if (!file.normalsInFile && !file.mesh.HasNormals() && !file.mesh.positions.empty())
        mesh = WithNormals(file.mesh, options);
    if (!mesh) mesh = std::make_shared<Mesh>(std::move(file.mesh));

    out.materialCount = static_cast<std::uint32_t>(file.materials.size());
    if (options.materials) {
        if (options.texture && device)
            if (auto texturePath = FindModelTexture(basePath, file.materials))
                out.texture = device->LoadTexture(*texturePath);
        out.materials = std::move(file.materials);
    }
    out.mesh = std::move(mesh);
    return platform::Ok{};
}

gfx::Material FallbackMaterial()
{
    gfx::Material red;
    red.diffuse = {1.0f, 0.0f, 0.0f, 1.0f};
    return red;
}

const gfx::MeshBuffer* UploadedMesh(gfx::Device& device, const Mesh& mesh)
{
    const gfx::MeshData data = ViewOf(mesh);
    if (!mesh.gpu || mesh.gpu->DeviceId() != device.Id() || mesh.gpu->Signature() != gfx::SignatureOf(data))
        mesh.gpu = device.UploadMesh(data);
    return mesh.gpu.get();
}

void DrawMesh(gfx::Device* device, const Mesh* mesh, std::span<const MeshMaterial> materials,
              std::uint32_t materialCount, const gfx::TextureHandle& texture, std::uint32_t subset,
              bool highlight, bool mapEditing, float alpha)
{
    if (!device || !mesh || mesh->empty()) return;
    const gfx::MeshBuffer* buffer = UploadedMesh(*device, *mesh);
    if (!buffer) return;

    if (materialCount == 0) {
        device->SetMaterial(FallbackMaterial());
        device->DrawSubset(*buffer, 0);
        return;
    }

    const std::uint32_t first = subset == kAllSubsets ? 0 : subset;
    const std::uint32_t end = subset == kAllSubsets ? materialCount : subset + 1;
    for (std::uint32_t i = first; i < end; ++i) {
        gfx::Material material = FallbackMaterial();
        // Callers pass another mesh's materials (a guide mesh drawn with the visible mesh's), so the
        // index is checked against what was supplied, never read past it.
        if (i < materials.size()) {
            material = materials[i].material;
            material.diffuse.a *= alpha;
            device->SetTexture(materials[i].textureFile ? texture : nullptr);
        }
        device->SetMaterial(material);
        device->DrawSubset(*buffer, i);
        if (highlight && mapEditing) {
            material.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
            device->SetFillMode(gfx::FillMode::Wireframe);
            device->SetMaterial(material);
            device->DrawSubset(*buffer, i);
            device->SetFillMode(gfx::FillMode::Solid);
        }
    }
}

} // namespace model
