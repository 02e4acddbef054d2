#include "LayoutTestSupport.h"
#include "layout/LayoutRenderer.h"
#include "math/Matrix.h"
#include "math/Numeric.h"
#include "model/MeshModel.h"
#include "ui/DialogModel.h"
#include "ui/ObjectSelectTemplate.h"
#include "ui/SetUpTemplate.h"

#include <cmath>

namespace {

namespace su = ui::setup;
using gfx::RecordingDevice;
namespace call = gfx::call;

// Square layers from -1 to 1 in x and z, layer k at height k and in subset k, with one material
// per layer whose red channel names it (0.1 for layer 0, 0.2 for layer 1, ...). Written without
// a material list when materials is 0.
std::string LayersX(int layers, int materials)
{
    std::string t = "xof 0303txt 0032\nMesh {\n" + std::to_string(4 * layers) + ";\n";
    for (int k = 0; k < layers; ++k) {
        const std::string y = std::to_string(k) + ".0";
        t += "-1.0;" + y + ";-1.0;,\n-1.0;" + y + ";1.0;,\n1.0;" + y + ";1.0;,\n1.0;" + y + ";-1.0;" +
             (k + 1 < layers ? ",\n" : ";\n");
    }
    t += std::to_string(2 * layers) + ";\n";
    for (int k = 0; k < layers; ++k) {
        const int v = 4 * k;
        t += "3;" + std::to_string(v) + "," + std::to_string(v + 1) + "," + std::to_string(v + 2) + ";,\n";
        t += "3;" + std::to_string(v) + "," + std::to_string(v + 2) + "," + std::to_string(v + 3) + ";" +
             (k + 1 < layers ? ",\n" : ";\n");
    }
    if (materials > 0) {
        t += "MeshMaterialList {\n" + std::to_string(materials) + ";\n" + std::to_string(2 * layers) + ";\n";
        for (int f = 0; f < 2 * layers; ++f)
            t += std::to_string(std::min(f / 2, materials - 1)) + (f + 1 < 2 * layers ? ",\n" : ";;\n");
        for (int m = 0; m < materials; ++m)
            t += "Material {\n" + std::to_string(0.1 * (m + 1)) +
                 ";0.0;0.0;1.0;;\n0.0;\n0.0;0.0;0.0;;\n0.0;0.0;0.0;;\n}\n";
        t += "}\n";
    }
    t += "}\n";
    return t;
}

// A layout with a camera at the origin looking along +z, far plane 100000, on a recording device.
class LayoutRenderTest : public layouttest::LayoutTest {
  protected:
    LayoutRenderTest() : setUp(ui::SetUpTemplate())
    {
        device->SetTransform(gfx::TransformKind::View, math::LookAtLH({0, 0, 0}, {0, 0, 1}, {0, 1, 0}));
        device->SetTransform(gfx::TransformKind::Projection,
                             math::PerspectiveFovLH(0.785398f, 640.0f / 480.0f, 1.0f, 100000.0f));
    }

    // A type whose visible mesh has `materials` layers, each with its material, and whose guide
    // mesh has `guideLayers` route layers (none when 0).
    void WriteLayeredType(const std::string& name, const std::vector<std::string>& ini, int materials,
                          int guideLayers)
    {
        WriteType(name, ini, LayersX(materials, materials));
        if (guideLayers > 0) WriteFile(name + "_r.x", LayersX(guideLayers, guideLayers));
    }

    const gfx::MeshBuffer* VisibleBuffer(int type)
    {
        return model::UploadedMesh(*device, *layout.Catalogue().FindType(type)->visible.mesh);
    }
    const gfx::MeshBuffer* GuideBuffer(int type)
    {
        return model::UploadedMesh(*device, *layout.Catalogue().FindType(type)->guide.mesh);
    }

    std::vector<call::DrawSubset> Draws() const { return device->CallsOf<call::DrawSubset>(); }
    std::vector<call::DrawSubset> DrawsOf(const gfx::MeshBuffer* mesh) const
    {
        std::vector<call::DrawSubset> out;
        for (const call::DrawSubset& draw : Draws())
            if (draw.mesh == mesh) out.push_back(draw);
        return out;
    }
    static math::Vec3 WorldOrigin(const call::DrawSubset& draw)
    {
        const math::Matrix& world = draw.state.Transform(gfx::TransformKind::World);
        return {world.m[3][0], world.m[3][1], world.m[3][2]};
    }

    void Draw(int pass, bool mapEditing = false)
    {
        device->ClearCalls();
        layout::DrawPlacedObjects(device.get(), layout, pass, setUp, {0, 0, 0}, mapEditing, cache);
    }

    ui::DialogModel setUp;
    layout::PlacedDrawCache cache; // kept across draws, as the program keeps it
};

TEST_F(LayoutRenderTest, ObjectsBeyondTheCullingDistanceOrOutsideTheViewAreNotDrawn)
{
    WriteLayeredType("box", {}, 1, 0);
    Scan();
    // The right edge of the view at z = 2000; the box's sphere has radius √2.
    const float edgeX = 2000.0f * std::tan(0.785398f / 2) * 640.0f / 480.0f;
    const int near = Place(0, 0, 0, 5000);            // centre exactly at the default 5000
    Place(0, 0, 0, 5001);                             // one unit beyond
    Place(0, 0, 0, -2);                               // just behind the camera
    const int edge = Place(0, edgeX + 1.0f, 0, 2000); // centre outside, sphere across the edge
    Place(0, edgeX + 3.0f, 0, 2000);                  // sphere wholly outside
    ASSERT_EQ(setUp.Position(su::kCulling), 5000);

    const math::ViewVolume volume(device->State().viewport,
                                  device->State().Transform(gfx::TransformKind::Projection),
                                  device->State().Transform(gfx::TransformKind::View));
    EXPECT_EQ(layout::ObjectsInPass(layout, 0, volume, {0, 0, 0}, 5000), (std::vector<int>{near, edge}));

    Draw(0);
    const auto draws = DrawsOf(VisibleBuffer(0));
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(WorldOrigin(draws[0]), (math::Vec3{0, 0, 5000}));
    EXPECT_EQ(WorldOrigin(draws[1]), (math::Vec3{edgeX + 1.0f, 0, 2000}));

    // The culling slider is read at each call.
    setUp.SetPosition(su::kCulling, 6000);
    Draw(0);
    EXPECT_EQ(DrawsOf(VisibleBuffer(0)).size(), 3u);

    // An object moved after a frame is culled and drawn where it now is.
    layout.Selection().SetSelected(near, true);
    ASSERT_TRUE(layout.MoveSelectedBy(0, 0, 1500));
    Draw(0);
    const auto moved = DrawsOf(VisibleBuffer(0));
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(WorldOrigin(moved[0]), (math::Vec3{0, 0, 5001}));
    ASSERT_TRUE(layout.MoveSelectedBy(0, 0, -3000));
    Draw(0);
    ASSERT_EQ(DrawsOf(VisibleBuffer(0)).size(), 3u);
    EXPECT_EQ(WorldOrigin(DrawsOf(VisibleBuffer(0))[0]), (math::Vec3{0, 0, 3500}));
}

TEST_F(LayoutRenderTest, OpaqueTypesDrawInPassZeroAndTransparentOnesInPassOne)
{
    WriteLayeredType("a_solid", {}, 1, 0);
    WriteLayeredType("b_glass", {"透明=1"}, 1, 0);
    Scan();
    Place(0, 0, 0, 10);
    Place(1, 0, 0, 12);
    Place(0, 0, 0, 14);

    Draw(0);
    EXPECT_EQ(DrawsOf(VisibleBuffer(0)).size(), 2u);
    EXPECT_TRUE(DrawsOf(VisibleBuffer(1)).empty());
    Draw(1);
    EXPECT_TRUE(DrawsOf(VisibleBuffer(0)).empty());
    ASSERT_EQ(DrawsOf(VisibleBuffer(1)).size(), 1u);
    EXPECT_EQ(WorldOrigin(DrawsOf(VisibleBuffer(1))[0]), (math::Vec3{0, 0, 12}));
}

TEST_F(LayoutRenderTest, TheTrackBoxShowsNoGuidesAllGuidesOrOnlyTheTurnouts)
{
    WriteLayeredType("a_straight", {"ポイント=1"}, 1, 1);
    WriteLayeredType("b_turnout", {"ポイント=2"}, 2, 2);
    Scan();
    Place(0, 0, 0, 10);
    const int turnout = Place(1, 3, 0, 10);
    layout.Placed().SetRoute(turnout, 1);

    ASSERT_EQ(setUp.Check(su::kTrack), 0);
    Draw(0);
    EXPECT_TRUE(DrawsOf(GuideBuffer(0)).empty());
    EXPECT_TRUE(DrawsOf(GuideBuffer(1)).empty());

    setUp.SetCheck(su::kTrack, 1);
    Draw(0);
    EXPECT_EQ(DrawsOf(GuideBuffer(0)).size(), 1u);
    EXPECT_EQ(DrawsOf(GuideBuffer(1)).size(), 1u);
    // Guides come after every visible mesh of the pass.
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 5u);
    EXPECT_EQ(draws[3].mesh, GuideBuffer(0));
    EXPECT_EQ(draws[4].mesh, GuideBuffer(1));

    setUp.SetCheck(su::kTrack, 2);
    Draw(0);
    EXPECT_TRUE(DrawsOf(GuideBuffer(0)).empty());
    const auto guides = DrawsOf(GuideBuffer(1));
    ASSERT_EQ(guides.size(), 1u);
    EXPECT_EQ(guides[0].subset, 1u) << "only the current route's layer";
    // Coloured with the visible mesh's material of the route's index.
    EXPECT_FLOAT_EQ(guides[0].state.material.diffuse.r, 0.2f);
}

TEST_F(LayoutRenderTest, AGuideIsLoweredByItsRouteSoTheCurrentLayerLiesAtTrackLevel)
{
    WriteLayeredType("turnout", {"ポイント=2"}, 2, 2);
    Scan();
    const int index = Place(0, 4, 2, 10, 90);
    layout.Placed().SetRoute(index, 1);
    setUp.SetCheck(su::kTrack, 1);
    Draw(0);
    const auto guides = DrawsOf(GuideBuffer(0));
    ASSERT_EQ(guides.size(), 1u);
    EXPECT_EQ(WorldOrigin(guides[0]), (math::Vec3{4, 1, 10}));
    // Turned as the object is.
    const math::Matrix expected = math::RotationY(90 * math::kDegToRad) * math::Translation(4, 1, 10);
    EXPECT_EQ(guides[0].state.Transform(gfx::TransformKind::World), expected);
}

TEST_F(LayoutRenderTest, RoutesWithoutAGuideLayerOrAMaterialAreDrawnSafely)
{
    WriteLayeredType("a_turnout", {"ポイント=2"}, 2, 2);
    WriteLayeredType("b_onecolour", {"ポイント=2"}, 1, 2);
    Scan();
    const int negative = Place(0, 0, 0, 10);
    const int beyond = Place(0, 3, 0, 10);
    const int borrowed = Place(1, 6, 0, 10);
    layout.Placed().SetRoute(negative, -1);
    layout.Placed().SetRoute(beyond, 7);
    layout.Placed().SetRoute(borrowed, 1);
    setUp.SetCheck(su::kTrack, 1);
    Draw(0);
    EXPECT_TRUE(DrawsOf(GuideBuffer(0)).empty()) << "routes -1 and 7 name no layer of a two-layer guide";
    const auto guides = DrawsOf(GuideBuffer(1));
    ASSERT_EQ(guides.size(), 1u);
    EXPECT_EQ(guides[0].subset, 1u);
    // The visible mesh has one material: route 1 borrows it rather than reading past the table.
    EXPECT_FLOAT_EQ(guides[0].state.material.diffuse.r, 0.1f);
    EXPECT_FLOAT_EQ(guides[0].state.material.diffuse.a, 1.0f);
}

TEST_F(LayoutRenderTest, SelectedObjectsGetTheWireHighlightOnlyInMapEditing)
{
    WriteLayeredType("box", {}, 1, 0);
    Scan();
    Place(0, 0, 0, 10);
    const int picked = Place(0, 3, 0, 10);
    layout.Selection().SetSelected(picked, true);

    Draw(0, true);
    std::vector<call::DrawSubset> draws = Draws();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[2].state.fill, gfx::FillMode::Wireframe);
    EXPECT_EQ(WorldOrigin(draws[2]), (math::Vec3{3, 0, 10}));

    Draw(0, false);
    EXPECT_EQ(Draws().size(), 2u);
}

TEST_F(LayoutRenderTest, TheSlidersScaleTheAlphaOfObjectsAndBackground)
{
    WriteLayeredType("box", {"ポイント=1"}, 1, 1);
    WriteFile("sky.x", LayersX(1, 1));
    layout.Catalogue().SetBackgroundName("sky");
    Scan();
    Place(0, 0, 0, 10);
    setUp.SetCheck(su::kTrack, 1);
    setUp.SetPosition(su::kObjectAlpha, 50);
    setUp.SetPosition(su::kBackgroundAlpha, 25);

    Draw(0);
    for (const call::DrawSubset& draw : Draws())
        EXPECT_FLOAT_EQ(draw.state.material.diffuse.a, 0.5f);

    device->ClearCalls();
    device->SetTransform(gfx::TransformKind::World, math::Translation(1, 2, 3));
    layout::DrawBackground(device.get(), layout, setUp);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_FLOAT_EQ(draws[0].state.material.diffuse.a, 0.25f);
    EXPECT_EQ(draws[0].state.Transform(gfx::TransformKind::World), math::Identity());
}

TEST_F(LayoutRenderTest, ThePreviewShowsEveryRouteLayerTheGuideHasAtTrackLevel)
{
    WriteLayeredType("a_three", {"ポイント=3"}, 3, 3);
    WriteLayeredType("b_huge", {"ポイント=1000000"}, 1, 2);
    Scan();

    layout.SetCatalogueSelection(0);
    device->ClearCalls();
    layout::DrawPreview(device.get(), layout);
    EXPECT_EQ(DrawsOf(VisibleBuffer(0)).size(), 3u) << "every subset of the visible mesh";
    const auto three = DrawsOf(GuideBuffer(0));
    ASSERT_EQ(three.size(), 3u);
    for (std::uint32_t r = 0; r < 3; ++r) {
        EXPECT_EQ(three[r].subset, r);
        EXPECT_EQ(WorldOrigin(three[r]), (math::Vec3{0, -static_cast<float>(r), 0}));
    }

    // A route count far beyond the guide's layers draws only the layers there are.
    layout.SetCatalogueSelection(1);
    device->ClearCalls();
    layout::DrawPreview(device.get(), layout);
    EXPECT_EQ(DrawsOf(GuideBuffer(1)).size(), 2u);

    layout.SetCatalogueSelection(-1);
    device->ClearCalls();
    layout::DrawPreview(device.get(), layout);
    EXPECT_TRUE(Draws().empty());
}

TEST_F(LayoutRenderTest, TheLineOverlayDrawsGridAxesHeadingAndPickRay)
{
    layout.SetAeroplaneVector({0, 0, 10});
    Pick({{1, 2, 3}, {4, 5, 6}}, false);
    device->SetTransform(gfx::TransformKind::World, math::Translation(1, 1, 1));
    layout::DrawLineOverlay(device.get(), layout, {5, 6, 7});

    const auto lists = device->CallsOf<call::DrawLineList>();
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(lists[0].state.Transform(gfx::TransformKind::World), math::Identity());
    const auto& v = lists[0].vertices;
    ASSERT_EQ(v.size(), 2u * (41 + 41 + 3 + 2));
    EXPECT_EQ(v[0].position, (math::Vec3{-20, 0, -20}));
    EXPECT_EQ(v[1].position, (math::Vec3{20, 0, -20}));
    EXPECT_EQ(v[0].color, 0xFF808080u);
    EXPECT_EQ(v[82].position, (math::Vec3{-20, 0, -20}));
    EXPECT_EQ(v[83].position, (math::Vec3{-20, 0, 20}));
    EXPECT_EQ(v[164].color, 0xFFFF0000u);
    EXPECT_EQ(v[165].position, (math::Vec3{10, 0, 0}));
    EXPECT_EQ(v[166].position, (math::Vec3{0, -5, 0}));
    EXPECT_EQ(v[168].color, 0xFF0000FFu);
    // The aeroplane's heading: white at the aeroplane, red at its end.
    EXPECT_EQ(v[170].position, (math::Vec3{5, 6, 7}));
    EXPECT_EQ(v[170].color, 0xFFFFFFFFu);
    EXPECT_EQ(v[171].position, (math::Vec3{5, 6, 17}));
    EXPECT_EQ(v[171].color, 0xFFFF0000u);
    EXPECT_EQ(v[172].position, (math::Vec3{1, 2, 3}));
    EXPECT_EQ(v[173].position, (math::Vec3{4, 5, 6}));
    EXPECT_EQ(v[173].color, 0xFF00FFFFu);
}

} // namespace
