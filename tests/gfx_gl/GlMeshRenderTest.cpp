#include "GlTestSupport.h"
#include "common/TestSupport.h"
#include "math/Matrix.h"
#include "model/MeshModel.h"

#include <gtest/gtest.h>

namespace {

using gltest::GlDeviceTest;
using gltest::Near;

gfx::Material White()
{
    gfx::Material m;
    m.diffuse = {1, 1, 1, 1};
    return m;
}

std::vector<model::MeshMaterial> OneMaterial(gfx::Material material, bool textured = false)
{
    std::vector<model::MeshMaterial> out(1);
    out[0].material = material;
    if (textured) out[0].textureFile = "picture.bmp";
    return out;
}

using MeshRender = GlDeviceTest;

TEST_F(MeshRender, LitTexturedSquareShowsTheTextureTimesTheLight)
{
    testsupport::TempDir dir;
    // Quadrants: red top-left, green top-right, blue bottom-left, grey bottom-right.
    gltest::WriteBmp(dir.File("picture.bmp"), 2, 2, {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {100, 100, 100}});
    auto texture = device_->LoadTexture(dir.File("picture.bmp"));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->Width(), 2);

    BeginFrame();
    gltest::LightFromCamera(*device_, 0.5f);
    const model::Mesh square = gltest::Square(5, 2);
    model::DrawMesh(device_.get(), &square, OneMaterial(White(), true), 1, texture, model::kAllSubsets, false,
                    false, 1.0f);
    const gfx::Image image = Read();
    // The square covers pixels 20 to 43; texture (0, 0) is its top-left corner.
    EXPECT_TRUE(Near(image.At(24, 24), 100, 0, 0));
    EXPECT_TRUE(Near(image.At(40, 24), 0, 100, 0));
    EXPECT_TRUE(Near(image.At(24, 40), 0, 0, 100));
    EXPECT_TRUE(Near(image.At(40, 40), 50, 50, 50));
    EXPECT_TRUE(Near(image.At(5, 5), 0, 0, 0));
}

TEST_F(MeshRender, LightingFollowsTheFixedFunctionRules)
{
    BeginFrame();
    gfx::Light light;
    light.diffuse = {1, 1, 1, 1};
    light.specular = {1, 1, 1, 1};
    light.ambient = {1, 1, 1, 1};
    light.direction = {0, 0, 1};
    device_->SetLight(0, light);
    device_->LightEnable(0, true);
    gfx::Material m;
    m.diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    m.ambient = {0.2f, 0.2f, 0.2f, 1}; // lit by the light's ambient only: the global ambient is 0
    m.specular = {1, 1, 1, 1};         // no specular without SpecularEnable
    m.power = 4;
    const model::Mesh square = gltest::Square(5, 2);
    model::DrawMesh(device_.get(), &square, OneMaterial(m), 1, nullptr, model::kAllSubsets, false, false,
                    1.0f);
    EXPECT_TRUE(Near(Read().At(32, 28), 179, 115, 255));

    // A light from behind leaves the front dark; emissive colour still shows.
    BeginFrame();
    gfx::Light back;
    back.diffuse = {1, 1, 1, 1};
    back.direction = {0, 0, -1};
    device_->SetLight(0, back);
    m.ambient = {};
    m.emissive = {0, 0.2f, 0, 0};
    model::DrawMesh(device_.get(), &square, OneMaterial(m), 1, nullptr, model::kAllSubsets, false, false,
                    1.0f);
    EXPECT_TRUE(Near(Read().At(32, 28), 0, 51, 0));

    // With SpecularEnable the highlight of a light from the eye saturates the colour.
    BeginFrame();
    device_->SetLight(0, light);
    device_->SetRenderState(gfx::RenderState::SpecularEnable, true);
    model::DrawMesh(device_.get(), &square, OneMaterial(m), 1, nullptr, model::kAllSubsets, false, false,
                    1.0f);
    EXPECT_TRUE(Near(Read().At(32, 32), 255, 255, 255, 8));
}

TEST_F(MeshRender, NoMaterialsDrawOpaqueRed)
{
    BeginFrame();
    gltest::LightFromCamera(*device_, 1.0f);
    const model::Mesh square = gltest::Square(5, 2);
    model::DrawMesh(device_.get(), &square, {}, 0, nullptr, model::kAllSubsets, false, false, 0.5f);
    EXPECT_TRUE(Near(Read().At(32, 28), 255, 0, 0));
}

TEST_F(MeshRender, MeshWithoutNormalsLitShowsOnlyItsEmissiveColour)
{
    BeginFrame();
    gltest::LightFromCamera(*device_, 1.0f);
    const model::Mesh square = gltest::Square(5, 2, false);
    gfx::Material m = White();
    m.emissive = {0.4f, 0, 0, 0};
    model::DrawMesh(device_.get(), &square, OneMaterial(m), 1, nullptr, model::kAllSubsets, false, false,
                    1.0f);
    EXPECT_TRUE(Near(Read().At(32, 28), 102, 0, 0));
}

TEST_F(MeshRender, VertexColoursAreTheDiffuseColourOnlyForMeshesThatHaveThem)
{
    BeginFrame();
    gltest::LightFromCamera(*device_, 1.0f);
    model::Mesh coloured = gltest::Square(5, 2);
    coloured.colors.assign(4, 0xFF00FF00);
    gfx::Material red;
    red.diffuse = {1, 0, 0, 1};
    model::DrawMesh(device_.get(), &coloured, OneMaterial(red), 1, nullptr, model::kAllSubsets, false, false,
                    1.0f);
    EXPECT_TRUE(Near(Read().At(32, 28), 0, 255, 0));

    // The next mesh without colours takes its material again, not the last vertex colour.
    BeginFrame();
    gfx::Material blue;
    blue.diffuse = {0, 0, 1, 1};
    const model::Mesh plain = gltest::Square(5, 2);
    model::DrawMesh(device_.get(), &plain, OneMaterial(blue), 1, nullptr, model::kAllSubsets, false, false,
                    1.0f);
    EXPECT_TRUE(Near(Read().At(32, 28), 0, 0, 255));
}

// A mesh stays bound across its subsets; whatever comes between two meshes (another mesh, an
// upload, a line list) must leave each drawn with its own arrays.
TEST_F(MeshRender, MeshesDrawnInTurnInOneFrameKeepTheirOwnArrays)
{
    BeginFrame();
    gltest::LightFromCamera(*device_, 1.0f);
    model::Mesh coloured = gltest::Square(5, 1);
    coloured.colors.assign(4, 0xFF00FF00);
    const model::Mesh plain = gltest::Square(5, 1);
    gfx::Material blue;
    blue.diffuse = {0, 0, 1, 1};
    const auto draw = [&](const model::Mesh& mesh, float x) {
        device_->SetTransform(gfx::TransformKind::World, math::Translation(x, 0, 0));
        model::DrawMesh(device_.get(), &mesh, OneMaterial(blue), 1, nullptr, model::kAllSubsets, false, false,
                        1.0f);
    };
    draw(coloured, -2.5f);
    draw(plain, 2.5f); // uploaded between two draws of the frame
    const gfx::ColoredVertex line[] = {{{-3, -3, 5}, 0xFFFF0000}, {{-3, -2.9f, 5}, 0xFFFF0000}};
    device_->DrawLineList(line);
    draw(coloured, 0);
    const gfx::Image image = Read();
    EXPECT_TRUE(Near(image.At(17, 32), 0, 255, 0));
    EXPECT_TRUE(Near(image.At(47, 32), 0, 0, 255));
    EXPECT_TRUE(Near(image.At(32, 32), 0, 255, 0));
}

TEST_F(MeshRender, WireframeDrawsOnlyTheEdges)
{
    BeginFrame();
    device_->SetRenderState(gfx::RenderState::Lighting, false); // unlit vertices without colour are white
    const model::Mesh square = gltest::Square(5, 2);
    model::DrawMesh(device_.get(), &square, OneMaterial(White()), 1, nullptr, model::kAllSubsets, false,
                    false, 1.0f);
    const gfx::Image solid = Read();
    EXPECT_TRUE(Near(solid.At(25, 25), 255, 255, 255));

    BeginFrame();
    device_->SetFillMode(gfx::FillMode::Wireframe);
    model::DrawMesh(device_.get(), &square, OneMaterial(White()), 1, nullptr, model::kAllSubsets, false,
                    false, 1.0f);
    const gfx::Image wire = Read();
    EXPECT_TRUE(Near(wire.At(25, 25), 0, 0, 0));
    EXPECT_GT(gltest::Lit(wire), 40);
    EXPECT_LT(gltest::Lit(wire), gltest::Lit(solid) / 3);
}

TEST_F(MeshRender, HighlightInMapEditingModeAddsAWhiteWireOverTheFaces)
{
    BeginFrame();
    gltest::LightFromCamera(*device_, 1.0f);
    gfx::Material blue;
    blue.diffuse = {0, 0, 1, 1};
    const model::Mesh square = gltest::Square(5, 2);
    model::DrawMesh(device_.get(), &square, OneMaterial(blue), 1, nullptr, model::kAllSubsets, true, true,
                    1.0f);
    const gfx::Image image = Read();
    EXPECT_TRUE(Near(image.At(25, 25), 0, 0, 255));
    int white = 0;
    for (int i = 0; i < 64 * 64; ++i)
        white += Near(image.At(i % 64, i / 64), 255, 255, 255) ? 1 : 0;
    EXPECT_GT(white, 40);
}

TEST_F(MeshRender, DepthRunsFromTheNearPlaneAndNearerThingsHideFartherOnes)
{
    gfx::Material green, red;
    green.diffuse = {0, 1, 0, 1};
    red.diffuse = {1, 0, 0, 1};
    BeginFrame();
    gltest::LightFromCamera(*device_, 1.0f);
    const model::Mesh nearSquare = gltest::Square(3, 1);
    const model::Mesh farSquare = gltest::Square(6, 4);
    model::DrawMesh(device_.get(), &nearSquare, OneMaterial(green), 1, nullptr, model::kAllSubsets, false,
                    false, 1);
    model::DrawMesh(device_.get(), &farSquare, OneMaterial(red), 1, nullptr, model::kAllSubsets, false, false,
                    1);
    gfx::Image image = Read();
    EXPECT_TRUE(Near(image.At(32, 32), 0, 255, 0));
    EXPECT_TRUE(Near(image.At(12, 32), 255, 0, 0));

    // In front of the near plane (depth below 0) nothing is drawn; just behind it is.
    BeginFrame();
    const model::Mesh tooNear = gltest::Square(0.9f, 0.2f);
    model::DrawMesh(device_.get(), &tooNear, OneMaterial(green), 1, nullptr, model::kAllSubsets, false, false,
                    1);
    EXPECT_EQ(gltest::Lit(Read()), 0);
    const model::Mesh justInside = gltest::Square(1.1f, 0.2f);
    model::DrawMesh(device_.get(), &justInside, OneMaterial(green), 1, nullptr, model::kAllSubsets, false,
                    false, 1);
    EXPECT_GT(gltest::Lit(Read()), 0);
}

TEST_F(MeshRender, FlatShadingTakesTheFirstVertexColour)
{
    BeginFrame();
    device_->SetRenderState(gfx::RenderState::Lighting, false);
    device_->SetShadeMode(gfx::ShadeMode::Flat);
    model::Mesh square = gltest::Square(5, 2);
    square.colors = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    square.indices = {1, 2, 0, 3, 0, 2}; // triangle 0 starts at the green corner, 1 at the white one
    model::DrawMesh(device_.get(), &square, OneMaterial(White()), 1, nullptr, model::kAllSubsets, false,
                    false, 1);
    const gfx::Image image = Read();
    EXPECT_TRUE(Near(image.At(23, 23), 0, 255, 0));
    EXPECT_TRUE(Near(image.At(41, 41), 255, 255, 255));
}

TEST_F(MeshRender, ClearTouchesOnlyTheViewport)
{
    ASSERT_TRUE(device_->Clear({1, 0, 0, 1}, 1.0f));
    math::Viewport vp;
    vp.x = 10;
    vp.y = 5;
    vp.width = 20;
    vp.height = 10;
    ASSERT_TRUE(device_->SetViewport(vp));
    ASSERT_TRUE(device_->Clear({0, 1, 0, 1}, 1.0f));
    const gfx::Image image = Read();
    EXPECT_TRUE(Near(image.At(10, 5), 0, 255, 0));
    EXPECT_TRUE(Near(image.At(29, 14), 0, 255, 0));
    EXPECT_TRUE(Near(image.At(30, 14), 255, 0, 0));
    EXPECT_TRUE(Near(image.At(10, 4), 255, 0, 0));
}

} // namespace
