// The generator's own building blocks against the program's conventions: piece geometry and
// turns agree with the magnet's, the .x writer's output reads back as written, faces keep the
// front they were given, and the key labels name the keys of the program's tables.
#include "demo/DemoLayout.h"
#include "demo/Geometry.h"
#include "demo/KeyLabels.h"
#include "demo/MeshBuilder.h"
#include "demo/TrackPieces.h"
#include "demo/XFileWriter.h"
#include "input/DriveTypeKeys.h"
#include "layout/ObjectType.h"
#include "layout/Snapping.h"
#include "layout/TurnoutKeys.h"
#include "model/XFile.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

using demo::Pose;
using demo::V3;

TEST(DemoGeometry, PiecesEndWhereTheirGeometrySaysExactly)
{
    const auto pieces = demo::TrackPieceSet();
    const double r80 = 80, a = demo::Radians(15);
    const Pose curve = demo::FindTrackPiece(pieces, "track_curve_r80_15").RouteEnd(0);
    EXPECT_NEAR(curve.x, r80 * (1 - std::cos(a)), 1e-9);
    EXPECT_NEAR(curve.z, r80 * std::sin(a), 1e-9);
    EXPECT_NEAR(curve.heading, a, 1e-12);
    // Turnout routes end parallel, a track spacing apart, on exact numbers.
    for (const char* name : {"track_turnout_left", "track_turnout_right", "track_turnout_3way"}) {
        const demo::TrackPiece& piece = demo::FindTrackPiece(pieces, name);
        std::set<double> sides;
        for (std::size_t k = 0; k < piece.routes.size(); ++k) {
            const Pose end = piece.RouteEnd(k);
            EXPECT_NEAR(end.z, demo::track::kTurnoutLength, 1e-9) << name;
            EXPECT_NEAR(end.heading, 0.0, 1e-12) << name;
            EXPECT_NEAR(std::abs(end.x), k == 0 ? 0.0 : demo::track::kTrackSpacing, 1e-9) << name;
            sides.insert(std::round(end.x));
        }
        EXPECT_EQ(sides.size(), piece.routes.size()) << name;
    }
    const demo::TrackPiece& slope = demo::FindTrackPiece(pieces, "track_slope_25");
    EXPECT_NEAR(slope.routes[0].HeightAt(slope.routes[0].Length()) - slope.routes[0].HeightAt(0),
                demo::track::kSlopeRise, 1e-12);
}

TEST(DemoGeometry, ComposeAndRelativeUndoEachOther)
{
    const Pose frame{12.5, -3.25, demo::Radians(255)};
    const Pose p{1.5, 7.0, demo::Radians(-15)};
    const Pose back = demo::Relative(frame, demo::Compose(frame, p));
    EXPECT_NEAR(back.x, p.x, 1e-12);
    EXPECT_NEAR(back.z, p.z, 1e-12);
    EXPECT_NEAR(back.heading, p.heading, 1e-12);
}

// The generator places pieces with the same turn the program's magnet uses for snap points, so
// the joints it lays are the joints the magnet finds.
TEST(DemoGeometry, SnapPointsTurnAsTheMagnetTurnsThem)
{
    for (const demo::TrackPiece& piece : demo::TrackPieceSet()) {
        layout::ObjectType type;
        for (std::size_t i = 0; i < piece.snaps.size(); ++i) {
            const auto& s = piece.snaps[i];
            type.snaps[i] = {static_cast<float>(s.x), static_cast<float>(std::hypot(s.x, s.z)),
                             static_cast<float>(s.z)};
        }
        for (const double angle : {0.0, 15.0, 90.0, 195.0, 270.0, 345.0}) {
            const demo::PlacedPiece placed{piece.name, 31.5, 0, -7.25, angle, 0, -1};
            const std::vector<V3> ours = demo::WorldSnapPoints(placed, piece.snaps);
            const std::vector<math::Vec3> magnet =
                layout::MagnetPoints(type, 31.5f, -7.25f, static_cast<float>(angle));
            ASSERT_EQ(ours.size(), magnet.size()) << piece.name;
            for (std::size_t i = 0; i < ours.size(); ++i) {
                EXPECT_NEAR(ours[i].x, magnet[i].x, 1e-4) << piece.name << " at " << angle;
                EXPECT_NEAR(ours[i].z, magnet[i].z, 1e-4) << piece.name << " at " << angle;
            }
        }
    }
}

TEST(DemoXFile, WrittenMeshReadsBackWithItsMaterialsNormalsAndTextureCoordinates)
{
    demo::MeshBuilder mesh;
    const int grass = mesh.Material({"Grass", {0.25f, 0.5f, 0.125f}, {}, "grass.png"});
    const int lamp = mesh.Material({"Lamp", {1, 0.5f, 0}, {1, 0.5f, 0}, {}});
    const V3 quad[] = {{0, 0, 0}, {0, 0, 2}, {3, 0, 2}, {3, 0, 0}};
    const demo::UV uvs[] = {{0, 0}, {0, 1}, {1.5, 1}, {1.5, 0}};
    mesh.Face(grass, quad, uvs);
    mesh.Face(lamp, {{0, 1, 0}, {0, 2, 0}, {1, 1, 0}});
    const auto loaded = model::ParseXFile(demo::XFileText(mesh, "Sample"));
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    const model::Mesh& m = loaded->mesh;
    ASSERT_EQ(m.FaceCount(), 3u); // the quad as two triangles
    EXPECT_EQ(m.attributes, (std::vector<std::uint32_t>{0, 0, 1}));
    ASSERT_EQ(loaded->materials.size(), 2u);
    EXPECT_EQ(loaded->materials[0].material.diffuse.g, 0.5f);
    EXPECT_EQ(loaded->materials[0].material.diffuse.a, 1.0f);
    EXPECT_EQ(loaded->materials[0].textureFile, "grass.png");
    EXPECT_EQ(loaded->materials[1].material.emissive.r, 1.0f);
    EXPECT_FALSE(loaded->materials[1].textureFile.has_value());
    ASSERT_TRUE(m.HasUvs());
    EXPECT_FLOAT_EQ(m.uvs[2].x, 1.5f);
    ASSERT_TRUE(m.HasNormals());
    EXPECT_FLOAT_EQ(m.normals[0].y, 1.0f); // the quad faces up
    EXPECT_FLOAT_EQ(m.normals[4].z, -1.0f);
}

TEST(DemoXFile, NumbersAlwaysReadAsReals)
{
    EXPECT_EQ(demo::XNumber(1), "1.0");
    EXPECT_EQ(demo::XNumber(-0.0000001), "0.0");
    EXPECT_EQ(demo::XNumber(12.3456789), "12.345679");
    EXPECT_EQ(demo::XNumber(1e7), "10000000.0");
    EXPECT_THROW(demo::XNumber(std::nan("")), std::logic_error);
}

// The area of a face's triangles along its front normal (negative for a back-facing one).
double FrontArea(const demo::MeshBuilder& mesh, std::size_t face, V3 front)
{
    const auto& f = mesh.Faces()[face].corners;
    const auto& v = mesh.Vertices();
    double area = 0;
    for (std::size_t i = 1; i + 1 < f.size(); ++i)
        area += demo::Dot(
                    demo::Cross(v[f[i]].position - v[f[0]].position, v[f[i + 1]].position - v[f[0]].position),
                    front) /
                2;
    return area;
}

TEST(DemoMeshBuilder, ConcavePolygonsAreCutIntoFrontFacingTriangles)
{
    demo::MeshBuilder mesh;
    // An L seen from +z, clockwise: its front faces -z.
    const std::vector<V3> l{{0, 0, 0}, {0, 3, 0}, {1, 3, 0}, {1, 1, 0}, {2, 1, 0}, {2, 0, 0}};
    mesh.Polygon(0, l);
    ASSERT_EQ(mesh.Faces().size(), 4u);
    double area = 0;
    for (std::size_t f = 0; f < mesh.Faces().size(); ++f) {
        EXPECT_GT(FrontArea(mesh, f, {0, 0, -1}), 0) << f;
        area += FrontArea(mesh, f, {0, 0, -1});
    }
    EXPECT_NEAR(area, 4.0, 1e-12);
}

TEST(DemoMeshBuilder, BoxFacesLookOutwards)
{
    demo::MeshBuilder mesh;
    demo::AddBox(mesh, 0, {-1, -2, -3}, {1, 2, 3});
    ASSERT_EQ(mesh.Faces().size(), 6u);
    for (std::size_t f = 0; f < 6; ++f) {
        V3 centre;
        for (const auto c : mesh.Faces()[f].corners)
            centre = centre + mesh.Vertices()[c].position * 0.25;
        EXPECT_GT(FrontArea(mesh, f, demo::Normalized(centre)), 0) << f;
    }
}

TEST(DemoMeshBuilder, OneMaterialNameStandsForOneLook)
{
    demo::MeshBuilder mesh;
    EXPECT_EQ(mesh.Material({"Red", {1, 0, 0}, {}, {}}), 0);
    EXPECT_EQ(mesh.Material({"Red", {1, 0, 0}, {}, {}}), 0);
    EXPECT_THROW(mesh.Material({"Red", {0.9f, 0, 0}, {}, {}}), std::logic_error);
}

// Every key a train can be driven with has a label in each style, the two kana styles show the
// same kana, and the turnout labels are those of the placed-object list.
TEST(DemoKeyLabelTexts, NameTheKeysOfTheProgramsTables)
{
    for (int style = 0; style < demo::kKeyLabelStyles; ++style) {
        const std::vector<demo::KeyLabel> labels = demo::KeyLabels(style);
        ASSERT_EQ(labels.size(), 42u);
        for (int row = 0; row < 10; ++row) {
            const input::DriveKeys keys = input::DriveTypeKeys::Keys(row);
            EXPECT_EQ(labels[static_cast<std::size_t>(row * 3)].text,
                      demo::KeyFaceText(keys.decelerate, style));
            EXPECT_EQ(labels[static_cast<std::size_t>(row * 3 + 1)].text,
                      demo::KeyFaceText(keys.accelerate, style));
            EXPECT_EQ(labels[static_cast<std::size_t>(row * 3 + 2)].text,
                      demo::KeyFaceText(keys.stop, style));
            for (const int vk : {keys.decelerate, keys.accelerate, keys.stop})
                EXPECT_FALSE(demo::KeyFaceText(vk, style).empty()) << vk;
        }
        for (int key = 0; key < 12; ++key)
            EXPECT_EQ(labels[static_cast<std::size_t>(30 + key)].text, layout::KeyLabel(style, key));
    }
    // Latin letters read as the key; kana are one character apart by exactly the kana block.
    EXPECT_EQ(demo::KeyFaceText('Q', 0), "Q");
    EXPECT_EQ(demo::KeyFaceText('Q', 1), "た");
    EXPECT_EQ(demo::KeyFaceText('Q', 2), "タ");
    EXPECT_EQ(demo::KeyFaceText(0xBF, 2), "メ"); // the slash key
}

} // namespace
