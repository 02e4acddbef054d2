#include "common/TestSupport.h"
#include "gfx/RecordingDevice.h"
#include "model/MeshModel.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using gfx::RecordingDevice;
namespace call = gfx::call;

std::unique_ptr<RecordingDevice> MakeDevice()
{
    auto created = RecordingDevice::Create();
    EXPECT_TRUE(created.ok());
    return std::move(created.device);
}

// n quads side by side, quad i in subset i.
std::shared_ptr<model::Mesh> Strip(std::uint32_t subsets)
{
    auto mesh = std::make_shared<model::Mesh>();
    for (std::uint32_t i = 0; i < subsets; ++i) {
        const float x = static_cast<float>(i);
        const auto base = static_cast<std::uint32_t>(mesh->positions.size());
        mesh->positions.insert(mesh->positions.end(), {{x, 0, 0}, {x, 1, 0}, {x + 1, 1, 0}, {x + 1, 0, 0}});
        mesh->normals.insert(mesh->normals.end(), 4, {0, 0, -1});
        mesh->indices.insert(mesh->indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
        mesh->attributes.insert(mesh->attributes.end(), {i, i});
    }
    return mesh;
}

std::vector<model::MeshMaterial> Materials(std::uint32_t n)
{
    std::vector<model::MeshMaterial> out(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        out[i].material.diffuse = {0.1f * static_cast<float>(i), 0.5f, 0.5f, 0.8f};
        out[i].material.power = static_cast<float>(i);
    }
    return out;
}

gfx::TextureHandle SomeTexture(RecordingDevice& d, const testsupport::TempDir& dir)
{
    testsupport::WriteBytes(dir.File("t.bmp"), "BM not really a picture");
    return d.LoadTexture(dir.File("t.bmp"));
}

TEST(DrawMesh, AllSubsetsInOrderEachWithItsMaterialAndTheAlphaFactor)
{
    auto d = MakeDevice();
    auto mesh = Strip(3);
    auto materials = Materials(3);
    model::DrawMesh(d.get(), mesh.get(), materials, 3, nullptr, model::kAllSubsets, false, false, 0.5f);

    auto draws = d->CallsOf<call::DrawSubset>();
    ASSERT_EQ(draws.size(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(draws[i].subset, i);
        EXPECT_EQ(draws[i].triangles, 2u);
        EXPECT_FLOAT_EQ(draws[i].state.material.diffuse.a, 0.4f);
        EXPECT_EQ(draws[i].state.material.diffuse.r, materials[i].material.diffuse.r);
        EXPECT_EQ(draws[i].state.material.power, materials[i].material.power);
    }

    d->ClearCalls();
    model::DrawMesh(d.get(), mesh.get(), materials, 3, nullptr, model::kAllSubsets, false, false, 1.0f);
    EXPECT_EQ(d->CallsOf<call::DrawSubset>().at(2).state.material, materials[2].material);
}

TEST(DrawMesh, OneSubsetDrawsOnlyThatSubsetWithItsOwnMaterial)
{
    auto d = MakeDevice();
    auto mesh = Strip(5);
    auto materials = Materials(5);
    model::DrawMesh(d.get(), mesh.get(), materials, 5, nullptr, 2, false, false, 1.0f);
    auto draws = d->CallsOf<call::DrawSubset>();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].subset, 2u);
    EXPECT_EQ(draws[0].state.material, materials[2].material);
}

TEST(DrawMesh, MinusOneFromAnIntMeansAllSubsets)
{
    auto d = MakeDevice();
    auto mesh = Strip(2);
    auto materials = Materials(2);
    const int route = -1;
    model::DrawMesh(d.get(), mesh.get(), materials, 2, nullptr, static_cast<std::uint32_t>(route), false,
                    false, 1);
    EXPECT_EQ(d->Count<call::DrawSubset>(), 2u);
}

TEST(DrawMesh, TheOneTextureIsBoundOnlyForMaterialsThatNameATexture)
{
    testsupport::TempDir dir;
    auto d = MakeDevice();
    auto texture = SomeTexture(*d, dir);
    ASSERT_NE(texture, nullptr);
    auto mesh = Strip(3);
    auto materials = Materials(3);
    materials[0].textureFile = "a.bmp";
    materials[2].textureFile = "other.bmp"; // a second file still gets the model's one texture
    model::DrawMesh(d.get(), mesh.get(), materials, 3, texture, model::kAllSubsets, false, false, 1.0f);
    auto draws = d->CallsOf<call::DrawSubset>();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].state.texture, texture);
    EXPECT_EQ(draws[1].state.texture, nullptr);
    EXPECT_EQ(draws[2].state.texture, texture);
}

TEST(DrawMesh, HighlightDrawsAWhiteWireFrameOnlyInMapEditingMode)
{
    auto d = MakeDevice();
    auto mesh = Strip(2);
    auto materials = Materials(2);
    model::DrawMesh(d.get(), mesh.get(), materials, 2, nullptr, model::kAllSubsets, true, false, 1.0f);
    EXPECT_EQ(d->Count<call::DrawSubset>(), 2u);
    EXPECT_EQ(d->Count<call::SetFillMode>(), 0u);

    d->ClearCalls();
    model::DrawMesh(d.get(), mesh.get(), materials, 2, nullptr, model::kAllSubsets, true, true, 0.5f);
    auto draws = d->CallsOf<call::DrawSubset>();
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[0].state.fill, gfx::FillMode::Solid);
    EXPECT_EQ(draws[1].subset, 0u);
    EXPECT_EQ(draws[1].state.fill, gfx::FillMode::Wireframe);
    EXPECT_EQ(draws[1].state.material.diffuse, (gfx::Color{1, 1, 1, 1}));
    // Only the diffuse colour changes for the wire frame.
    EXPECT_EQ(draws[1].state.material.power, materials[0].material.power);
    EXPECT_EQ(draws[2].state.fill, gfx::FillMode::Solid);
    EXPECT_EQ(draws[3].state.fill, gfx::FillMode::Wireframe);
    EXPECT_EQ(d->State().fill, gfx::FillMode::Solid);

    d->ClearCalls();
    model::DrawMesh(d.get(), mesh.get(), materials, 2, nullptr, model::kAllSubsets, false, true, 1.0f);
    EXPECT_EQ(d->Count<call::DrawSubset>(), 2u);
}

TEST(DrawMesh, SubsetWithoutASuppliedMaterialGetsOpaqueRedNotAReadPastTheArray)
{
    testsupport::TempDir dir;
    auto d = MakeDevice();
    auto texture = SomeTexture(*d, dir);
    auto mesh = Strip(6);
    // Exactly two materials on the heap, so that reading a third would be caught by the sanitizer.
    auto materials = std::make_unique<model::MeshMaterial[]>(2);
    materials[0].textureFile = "t.bmp";
    const std::span<const model::MeshMaterial> two(materials.get(), 2);

    d->SetTexture(texture);
    d->ClearCalls();
    model::DrawMesh(d.get(), mesh.get(), two, 6, nullptr, 5, false, false, 0.5f);
    auto draws = d->CallsOf<call::DrawSubset>();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].subset, 5u);
    EXPECT_EQ(draws[0].state.material, model::FallbackMaterial());
    EXPECT_EQ(draws[0].state.material.diffuse, (gfx::Color{1, 0, 0, 1}));
    EXPECT_EQ(d->Count<call::SetTexture>(), 0u); // the texture stage is left as it was

    // A guide mesh with more subsets than the visible materials: the rest fall back too.
    d->ClearCalls();
    model::DrawMesh(d.get(), mesh.get(), two, 4, nullptr, model::kAllSubsets, false, false, 1.0f);
    draws = d->CallsOf<call::DrawSubset>();
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[1].state.material, materials[1].material);
    EXPECT_EQ(draws[2].state.material, model::FallbackMaterial());
    EXPECT_EQ(draws[3].state.material, model::FallbackMaterial());
}

TEST(DrawMesh, NoMaterialsDrawSubsetZeroInOpaqueRedAndLeaveTheTexture)
{
    testsupport::TempDir dir;
    auto d = MakeDevice();
    auto texture = SomeTexture(*d, dir);
    d->SetTexture(texture);
    d->ClearCalls();
    auto mesh = Strip(3);
    model::DrawMesh(d.get(), mesh.get(), {}, 0, nullptr, model::kAllSubsets, true, true, 0.25f);
    auto draws = d->CallsOf<call::DrawSubset>();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].subset, 0u);
    EXPECT_EQ(draws[0].state.material, model::FallbackMaterial());
    EXPECT_EQ(draws[0].state.texture, texture);
    EXPECT_EQ(d->Count<call::SetTexture>(), 0u);
}

TEST(DrawMesh, NothingWithoutADeviceOrWithAnEmptyMesh)
{
    auto d = MakeDevice();
    auto materials = Materials(1);
    auto mesh = Strip(1);
    model::DrawMesh(nullptr, mesh.get(), materials, 1, nullptr, model::kAllSubsets, true, true, 1.0f);
    model::DrawMesh(d.get(), nullptr, materials, 1, nullptr, model::kAllSubsets, true, true, 1.0f);
    model::Mesh empty;
    model::DrawMesh(d.get(), &empty, materials, 1, nullptr, model::kAllSubsets, true, true, 1.0f);
    model::CMeshModel unloaded;
    model::DrawMesh(d.get(), unloaded, model::kAllSubsets, false, false, 1.0f);
    EXPECT_TRUE(d->Calls().empty());
}

TEST(DrawMesh, MeshIsUploadedOnceAndAgainForAChangedCopy)
{
    auto d = MakeDevice();
    auto mesh = Strip(2);
    auto materials = Materials(2);
    for (int i = 0; i < 3; ++i)
        model::DrawMesh(d.get(), mesh.get(), materials, 2, nullptr, model::kAllSubsets, false, false, 1.0f);
    EXPECT_EQ(d->Count<call::UploadMesh>(), 1u);

    model::Mesh copy = *mesh; // shares the buffer pointer, but not the data it was made from
    copy.positions.push_back({9, 9, 9});
    model::DrawMesh(d.get(), &copy, materials, 2, nullptr, model::kAllSubsets, false, false, 1.0f);
    EXPECT_EQ(d->Count<call::UploadMesh>(), 2u);
    EXPECT_NE(copy.gpu, mesh->gpu);

    auto other = MakeDevice();
    model::DrawMesh(other.get(), mesh.get(), materials, 2, nullptr, model::kAllSubsets, false, false, 1.0f);
    EXPECT_EQ(other->Count<call::UploadMesh>(), 1u);
    EXPECT_EQ(other->CallsOf<call::DrawSubset>().at(0).triangles, 2u);
}

// --- loading

constexpr const char* kQuadX = "xof 0303txt 0032\n"
                               "Mesh {\n"
                               " 4;\n"
                               " 0.0;0.0;0.0;,\n"
                               " 0.0;1.0;0.0;,\n"
                               " 1.0;1.0;0.0;,\n"
                               " 1.0;0.0;0.0;;\n"
                               " 2;\n"
                               " 3;0,1,2;,\n"
                               " 3;0,2,3;;\n"
                               " MeshMaterialList {\n"
                               "  2;\n"
                               "  2;\n"
                               "  0,\n"
                               "  1;;\n"
                               "  Material {\n"
                               "   1.0;0.0;0.0;1.0;;\n"
                               "   0.0;\n"
                               "   0.0;0.0;0.0;;\n"
                               "   0.0;0.0;0.0;;\n"
                               "   TextureFilename { \"C:\\\\models\\\\Tex.bmp\"; }\n"
                               "  }\n"
                               "  Material {\n"
                               "   0.0;1.0;0.0;1.0;;\n"
                               "   0.0;\n"
                               "   0.0;0.0;0.0;;\n"
                               "   0.0;0.0;0.0;;\n"
                               "  }\n"
                               " }\n"
                               " MeshVertexColors {\n"
                               "  4;\n"
                               "  0;1.0;1.0;1.0;1.0;,\n"
                               "  1;1.0;1.0;1.0;1.0;,\n"
                               "  2;1.0;1.0;1.0;1.0;,\n"
                               "  3;1.0;1.0;1.0;1.0;;\n"
                               " }\n"
                               "}\n";

struct ModelFolder {
    testsupport::TempDir dir;
    std::string base;

    explicit ModelFolder(const char* text = kQuadX, bool withTexture = true) : base(dir.File("quad"))
    {
        testsupport::WriteBytes(base + ".x", text);
        if (withTexture) testsupport::WriteBytes(dir.File("tex.bmp"), "BM pretend picture");
    }
};

TEST(LoadMesh, LoadsGeometryMaterialsTheOneTextureAndAddsNormals)
{
    ModelFolder folder;
    auto d = MakeDevice();
    model::CMeshModel m;
    auto status = model::LoadMesh(d.get(), folder.base, m);
    ASSERT_TRUE(status.ok()) << status.error();
    ASSERT_NE(m.mesh, nullptr);
    EXPECT_EQ(m.mesh->FaceCount(), 2u);
    EXPECT_EQ(m.materialCount, 2u);
    EXPECT_EQ(m.materials.size(), 2u);
    EXPECT_TRUE(m.mesh->HasNormals());
    EXPECT_TRUE(m.mesh->HasColors());
    ASSERT_NE(m.texture, nullptr);
    EXPECT_EQ(m.texture->Path(), folder.dir.File("tex.bmp")); // found ignoring the name's case
}

TEST(LoadMesh, WithoutMaterialsKeepsTheCountAndLooksUpNoTexture)
{
    ModelFolder folder;
    auto d = MakeDevice();
    model::CMeshModel m;
    model::MeshLoadOptions options;
    options.materials = false;
    ASSERT_TRUE(model::LoadMesh(d.get(), folder.base, m, options).ok());
    EXPECT_TRUE(m.materials.empty());
    EXPECT_EQ(m.materialCount, 2u);
    EXPECT_EQ(m.texture, nullptr);
    EXPECT_EQ(d->Count<call::LoadTexture>(), 0u);
}

TEST(LoadMesh, MissingTextureOrNoDeviceStillLoads)
{
    ModelFolder folder(kQuadX, false);
    auto d = MakeDevice();
    model::CMeshModel m;
    ASSERT_TRUE(model::LoadMesh(d.get(), folder.base, m).ok());
    EXPECT_EQ(m.texture, nullptr);

    ModelFolder textured;
    model::CMeshModel n;
    ASSERT_TRUE(model::LoadMesh(nullptr, textured.base, n).ok());
    EXPECT_EQ(n.texture, nullptr);
    EXPECT_EQ(n.materials.size(), 2u);
}

TEST(LoadMesh, MissingOrBrokenFileFailsWithAReasonAndAnEmptyModel)
{
    testsupport::TempDir dir;
    auto d = MakeDevice();
    model::CMeshModel m;
    m.materialCount = 7;
    auto status = model::LoadMesh(d.get(), dir.File("nothing"), m);
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.error().empty());
    EXPECT_TRUE(m.empty());
    EXPECT_EQ(m.materialCount, 0u);

    testsupport::WriteBytes(dir.File("broken.x"), "xof 0303txt 0032\nMesh { 4; 0.0;");
    EXPECT_FALSE(model::LoadMesh(d.get(), dir.File("broken"), m).ok());
    EXPECT_TRUE(m.empty());
}

TEST(LoadMesh, FailedNormalsKeepTheLoadedMeshRatherThanAnEmptyOne)
{
    ModelFolder folder;
    model::CMeshModel m;
    model::MeshLoadOptions options;
    options.computeNormals = [](model::Mesh&) { throw std::bad_alloc(); };
    auto status = model::LoadMesh(nullptr, folder.base, m, options);
    ASSERT_TRUE(status.ok());
    ASSERT_NE(m.mesh, nullptr);
    EXPECT_EQ(m.mesh->FaceCount(), 2u);
    EXPECT_FALSE(m.mesh->HasNormals());

    auto d = MakeDevice();
    model::DrawMesh(d.get(), m, model::kAllSubsets, false, false, 1.0f);
    EXPECT_EQ(d->CallsOf<call::DrawSubset>().at(0).triangles, 1u);
}

TEST(LoadMesh, RemovesVertexColoursFromTheFileFirstWhenAsked)
{
    ModelFolder folder;
    model::CMeshModel m;
    model::MeshLoadOptions options;
    options.removeVertexColours = true;
    ASSERT_TRUE(model::LoadMesh(nullptr, folder.base, m, options).ok());
    EXPECT_FALSE(m.mesh->HasColors());
    EXPECT_EQ(testsupport::ReadBytes(folder.base + ".x").find("MeshVertexColors"), std::string::npos);
}

} // namespace
