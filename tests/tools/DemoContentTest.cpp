// The generated demo content as the program will read it: every model loads with its own
// materials and faces outwards, every .ini reads back, the key labels are there in three
// styles, and a second run keeps the user's settings and map.
#include "DemoTestSupport.h"
#include "demo/RollingStock.h"
#include "demo/TrackPieces.h"
#include "layout/ObjectIni.h"
#include "model/MeshBounds.h"
#include "model/MeshInspect.h"
#include "model/MeshIntersect.h"
#include "model/ModelTexture.h"
#include "model/XFile.h"
#include "platform/Profile.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

using demotest::Content;
using demotest::FilesWithExtension;
using demotest::kProgramSection;

bool IsGuide(const std::filesystem::path& path)
{
    const std::string stem = path.stem().string();
    return stem.size() > 2 && stem.substr(stem.size() - 2) == "_r";
}

TEST(DemoModels, EveryModelLoadsWithItsOwnOpaqueMaterialsAndNormals)
{
    DEMO_REQUIRE_CONTENT();
    const auto models = FilesWithExtension(".x");
    ASSERT_GE(models.size(), 40u);
    for (const auto& path : models) {
        SCOPED_TRACE(path.string());
        const model::MeshInspection inspection = model::InspectMesh(path.string());
        EXPECT_TRUE(inspection.ok) << inspection.json;
        const auto loaded = model::LoadXFile(path.string());
        ASSERT_TRUE(loaded.ok()) << loaded.error();
        EXPECT_FALSE(loaded->mesh.empty());
        EXPECT_TRUE(loaded->materialsFromFile);
        EXPECT_TRUE(loaded->normalsInFile);
        for (const model::MeshMaterial& m : loaded->materials)
            EXPECT_EQ(m.material.diffuse.a, 1.0f);
        // Every subset in use has a material.
        for (const std::uint32_t id : loaded->mesh.attributes)
            ASSERT_LT(id, loaded->materials.size());
        // A named texture is found beside the model.
        const std::string base = path.parent_path().string() + "/" + path.stem().string();
        const bool textured =
            std::any_of(loaded->materials.begin(), loaded->materials.end(),
                        [](const model::MeshMaterial& m) { return m.textureFile.has_value(); });
        if (textured) {
            EXPECT_TRUE(model::FindModelTexture(base, loaded->materials).has_value());
        }
    }
}

// Rays from all round and above aim at the model: the first face each one meets must show its
// front to it, or the program (which culls counter-clockwise faces) would show a hole there.
TEST(DemoModels, OutsidesFaceOutwards)
{
    DEMO_REQUIRE_CONTENT();
    for (const auto& path : FilesWithExtension(".x")) {
        if (IsGuide(path) || path.stem() == "ground") continue;
        SCOPED_TRACE(path.string());
        const auto loaded = model::LoadXFile(path.string());
        ASSERT_TRUE(loaded.ok());
        const model::Mesh& mesh = loaded->mesh;
        const model::MeshSphere sphere = model::ComputeSphere(mesh);
        const model::MeshBox box = model::ComputeBox(mesh);
        const math::Vec3 middle{(box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2,
                                (box.minZ + box.maxZ) / 2};
        int hits = 0, wrong = 0;
        for (int e = 0; e < 6; ++e) {
            for (int a = 0; a < 24; ++a) {
                const double elevation = (8 + 15 * e) * 3.14159265 / 180,
                             azimuth = (a * 15 + e * 7) * 3.14159265 / 180;
                const math::Vec3 towards{static_cast<float>(-std::cos(elevation) * std::sin(azimuth)),
                                         static_cast<float>(-std::sin(elevation)),
                                         static_cast<float>(-std::cos(elevation) * std::cos(azimuth))};
                // Aim at points spread over the box, not only its middle.
                const float fx = ((a * 7 + e * 3) % 5 - 2) / 5.0f, fz = ((a * 3 + e) % 5 - 2) / 5.0f;
                const math::Vec3 target{middle.x + fx * (box.maxX - box.minX), middle.y,
                                        middle.z + fz * (box.maxZ - box.minZ)};
                const math::Vec3 origin = target - towards * (2 * sphere.radius + 1);
                std::vector<model::RayHit> all;
                const model::MeshHit hit = model::Intersect(mesh, origin, towards, &all);
                if (!hit.hit) continue;
                ++hits;
                bool front = false;
                for (const model::RayHit& h : all) {
                    if (h.dist > hit.nearest.dist + 1e-3f) continue;
                    const std::uint32_t* f = &mesh.indices[h.face * 3];
                    const math::Vec3 p0 = mesh.positions[f[0]], p1 = mesh.positions[f[1]],
                                     p2 = mesh.positions[f[2]];
                    const math::Vec3 normal = math::Cross(p1 - p0, p2 - p0);
                    if (math::Dot(normal, towards) <= 0) front = true;
                }
                if (!front) ++wrong;
            }
        }
        EXPECT_GT(hits, 20);
        EXPECT_EQ(wrong, 0) << "rays that met the back of a face first";
    }
}

TEST(DemoObjects, EveryObjectIniReadsBackWithRoutesSnapPointsAndAModel)
{
    DEMO_REQUIRE_CONTENT();
    const std::string folder = Content().root + std::string(demo::content::kObjectFolder);
    const std::vector<demo::TrackPiece> pieces = demo::TrackPieceSet();
    int objects = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".ini") continue;
        ++objects;
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        ASSERT_TRUE(std::filesystem::exists(folder + name + ".x"));
        const layout::ObjectIniValues ini = layout::ReadObjectIni(entry.path().string(), kProgramSection);
        EXPECT_EQ(ini.transparent, 0);
        const auto piece =
            std::find_if(pieces.begin(), pieces.end(), [&](const auto& p) { return p.name == name; });
        if (piece == pieces.end()) {
            // Scenery: no routes and no guide.
            EXPECT_EQ(ini.routeCount, 0);
            EXPECT_FALSE(std::filesystem::exists(folder + name + "_r.x"));
            continue;
        }
        EXPECT_EQ(ini.routeCount, static_cast<int>(piece->routes.size()));
        ASSERT_TRUE(ini.snaps[0].Used());
        // One snap point at the start and one at the open end of every route.
        int used = 0;
        while (used < 10 && ini.snaps[used].Used())
            ++used;
        EXPECT_EQ(used, static_cast<int>(piece->snaps.size()));
        for (std::size_t k = 0; k < piece->routes.size() && piece->extra != demo::TrackExtra::BufferStop;
             ++k) {
            const demo::Pose end = piece->RouteEnd(k);
            EXPECT_NEAR(ini.snaps[k + 1].x, end.x, 1e-4);
            EXPECT_NEAR(ini.snaps[k + 1].z, end.z, 1e-4);
        }
        const auto visible = model::LoadXFile(folder + name + ".x");
        const auto guide = model::LoadXFile(folder + name + "_r.x");
        ASSERT_TRUE(visible.ok() && guide.ok());
        // The route display needs a visible material per route; the guide has a subset per route.
        EXPECT_GE(visible->materials.size(), piece->routes.size());
        EXPECT_EQ(guide->materials.size(), piece->routes.size());
        const std::set<std::uint32_t> subsets(guide->mesh.attributes.begin(), guide->mesh.attributes.end());
        EXPECT_EQ(subsets.size(), piece->routes.size());
    }
    EXPECT_EQ(objects, static_cast<int>(pieces.size()) + 11);
    // The background has no .ini, so it is no object, but it is there with its texture.
    EXPECT_TRUE(std::filesystem::exists(folder + "ground.x"));
    EXPECT_TRUE(std::filesystem::exists(folder + "ground.png"));
}

float ReadFloat(const platform::Profile& ini, const std::string& key)
{
    return std::stof(ini.GetString(kProgramSection, key, "NaN", 256));
}

TEST(DemoTrains, TrainFilesNameCarsThatLoadWithSeatsAndProbes)
{
    DEMO_REQUIRE_CONTENT();
    const std::string folder = Content().root + std::string(demo::content::kTrainFolder);
    int trains = 0;
    bool teapot = false;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".txt") continue;
        ++trains;
        SCOPED_TRACE(entry.path().filename().string());
        const platform::Profile train(entry.path().string());
        EXPECT_TRUE(std::isfinite(ReadFloat(train, "車両間距離")));
        EXPECT_TRUE(std::isfinite(ReadFloat(train, "垂直方向オフセット")));
        int cars = 0;
        for (int n = 1; n <= 16; ++n) {
            const std::string model =
                train.GetString(kProgramSection, std::to_string(n) + "両目モデル名", "NULL", 256);
            if (model == "NULL") break;
            ++cars;
            const platform::Profile ini(folder + model + ".ini");
            ASSERT_TRUE(ini.Exists()) << model;
            EXPECT_GT(ReadFloat(ini, "判定位置前方"), 0.5f);
            EXPECT_GT(ReadFloat(ini, "判定位置後方"), 0.5f);
            if (n == 1) {
                EXPECT_GT(ReadFloat(ini, "運転席座標z"), 0.5f);
            }
            if (model == demo::kTeapotModel) {
                teapot = true;
            } else {
                EXPECT_TRUE(std::filesystem::exists(folder + model + ".x")) << model;
            }
        }
        EXPECT_GE(cars, 2);
    }
    EXPECT_GE(trains, 3);
    EXPECT_TRUE(teapot);
}

TEST(DemoVehicles, EachVehicleFolderHoldsAModelWithItsIni)
{
    DEMO_REQUIRE_CONTENT();
    const std::pair<std::string_view, std::string_view> folders[] = {
        {demo::content::kCarFolder, "後輪位置"},
        {demo::content::kPlaneFolder, "操縦席z"},
        {demo::content::kHelicopterFolder, "操縦席y"}};
    for (const auto& [folder, key] : folders) {
        SCOPED_TRACE(std::string(folder));
        int models = 0;
        for (const auto& entry : std::filesystem::directory_iterator(Content().root + std::string(folder))) {
            if (entry.path().extension() != ".ini") continue;
            ++models;
            const platform::Profile ini(entry.path().string());
            EXPECT_FLOAT_EQ(ReadFloat(ini, "拡大率"), 1.0f);
            EXPECT_TRUE(std::isfinite(ReadFloat(ini, std::string(key))));
            std::filesystem::path mesh = entry.path();
            EXPECT_TRUE(std::filesystem::exists(mesh.replace_extension(".x")));
        }
        EXPECT_EQ(models, 1);
    }
}

// Width, height and bits per pixel of a Windows bitmap, or zeros.
struct BmpInfo {
    int width = 0, height = 0, bits = 0;
};

BmpInfo ReadBmpInfo(const std::string& bytes)
{
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0) return {};
    const auto u = [&](std::size_t at, int n) {
        std::uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
        return static_cast<int>(v);
    };
    return {u(18, 4), u(22, 4), u(28, 2)};
}

TEST(DemoKeyLabels, ThreeStylesOfEveryLabelWithDifferentLettering)
{
    DEMO_REQUIRE_CONTENT();
    std::vector<std::string> names;
    for (const char* role : {"B", "F", "S", "P"})
        for (int k = 0; k < 10; ++k)
            names.push_back(role + std::to_string(k) + ".bmp");
    names.push_back("PA.bmp");
    names.push_back("PB.bmp");
    for (const std::string& name : names) {
        std::set<std::string> styles;
        for (int style = 0; style < 3; ++style) {
            const std::string path = Content().root + "res/SP" + std::to_string(style) + "/" + name;
            SCOPED_TRACE(path);
            ASSERT_TRUE(std::filesystem::exists(path));
            const std::string bytes = testsupport::ReadBytes(path);
            const BmpInfo info = ReadBmpInfo(bytes);
            EXPECT_EQ(info.width, 64);
            EXPECT_EQ(info.height, 64);
            EXPECT_EQ(info.bits, 24);
            // Lettering: dark pixels in the middle of the key cap.
            int dark = 0;
            for (int y = 16; y < 48; ++y)
                for (int x = 16; x < 48; ++x)
                    if (static_cast<unsigned char>(bytes[54 + (y * 64 + x) * 3]) < 80) ++dark;
            EXPECT_GT(dark, 3);
            styles.insert(bytes);
        }
        // Each style draws its own character.
        EXPECT_EQ(styles.size(), 3u) << name;
    }
}

TEST(DemoSettings, SettingsFilePointsAtTheBundledContent)
{
    DEMO_REQUIRE_CONTENT();
    const platform::Profile settings(Content().root + "korvela.ini");
    ASSERT_TRUE(settings.Exists());
    const auto folder = [&](const char* key) {
        return std::filesystem::path(Content().root + settings.GetString(kProgramSection, key, "", 256));
    };
    EXPECT_TRUE(std::filesystem::exists(folder("Object") / "track_straight_25.ini"));
    EXPECT_TRUE(std::filesystem::exists(folder("Train") / "electric_4car.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder("Car") / "hatchback.x"));
    EXPECT_TRUE(std::filesystem::exists(folder("Plane") / "propplane.x"));
    EXPECT_TRUE(std::filesystem::exists(folder("Helicopter") / "helicopter.x"));
    EXPECT_TRUE(std::filesystem::exists(folder("FileName")));
    const std::string background = settings.GetString(kProgramSection, "Background", "", 256);
    EXPECT_TRUE(std::filesystem::exists(folder("Object") / (background + ".x")));
}

TEST(DemoGenerator, ARerunKeepsTheUsersSettingsAndMapButRenewsTheModels)
{
    testsupport::TempDir dir;
    const std::string root = dir.Path().string() + "/";
    ASSERT_TRUE(demo::GenerateContent({root, "korvela"}).ok());
    testsupport::WriteBytes(dir.Path() / "korvela.ini", "[korvela]\r\nLight=40\r\n");
    testsupport::WriteBytes(dir.Path() / "objects" / "demo.txt", "KORVELA Map Data\r\n");
    testsupport::WriteBytes(dir.Path() / "objects" / "track_straight_25.x", "broken");
    const auto again = demo::GenerateContent({root, "korvela"});
    ASSERT_TRUE(again.ok()) << again.error();
    EXPECT_EQ(testsupport::ReadBytes(dir.Path() / "korvela.ini"), "[korvela]\r\nLight=40\r\n");
    EXPECT_EQ(testsupport::ReadBytes(dir.Path() / "objects" / "demo.txt"), "KORVELA Map Data\r\n");
    EXPECT_EQ(again->kept.size(), 2u);
    EXPECT_TRUE(model::LoadXFile(root + "objects/track_straight_25.x").ok());
}

} // namespace
