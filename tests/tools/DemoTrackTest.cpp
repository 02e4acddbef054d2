// The demo track as trains meet it: the guide of every route of every piece is found by the
// sideways probes all along the route, the demo map's pieces join exactly, the trains stand on
// the track, and a train driven round the main line stays on it and throws the passing loop's
// exit turnout.
#include "DemoTestSupport.h"
#include "demo/DemoLayout.h"
#include "demo/RollingStock.h"
#include "demo/Scenery.h"
#include "demo/TrackPieces.h"
#include "gfx/RecordingDevice.h"
#include "layout/CLayout.h"
#include "layout/CLayoutSurface.h"
#include "layout/MapFile.h"
#include "layout/MapFileVehicles.h"
#include "layout/Snapping.h"
#include "model/MeshBounds.h"
#include "model/MeshIntersect.h"
#include "model/XFile.h"
#include "platform/RecordingDialogService.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>

namespace {

using demotest::Content;

math::Vec3 F3(demo::V3 v)
{
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

// --- every guide mesh, walked

struct PieceMeshes {
    model::LoadedMesh visible, guide;
};

PieceMeshes LoadPiece(const std::string& name)
{
    const std::string base = Content().root + std::string(demo::content::kObjectFolder) + name;
    auto visible = model::LoadXFile(base + ".x");
    auto guide = model::LoadXFile(base + "_r.x");
    EXPECT_TRUE(visible.ok() && guide.ok()) << name;
    return {visible.ok() ? *visible : model::LoadedMesh{}, guide.ok() ? *guide : model::LoadedMesh{}};
}

// Along every route of every piece, from end to end: the downward probe lands on the running
// surface, and horizontal rays at that surface + 0.5 + route, from 1.5 units to the right and
// to the left of the centre line, meet that route's subset of the guide on the centre line.
TEST(DemoGuides, EveryRouteIsFoundSidewaysAlongItsWholeLength)
{
    DEMO_REQUIRE_CONTENT();
    for (const demo::TrackPiece& piece : demo::TrackPieceSet()) {
        const PieceMeshes meshes = LoadPiece(piece.name);
        for (std::size_t k = 0; k < piece.routes.size(); ++k) {
            const demo::CentreLine& line = piece.routes[k];
            const double length = piece.RunningLength(k);
            // From a millimetre past one end to a millimetre short of the other: exactly at an
            // end the neighbouring piece takes over.
            const int steps = static_cast<int>(std::ceil(length / 0.25));
            for (int i = 0; i <= steps; ++i) {
                const double s = 0.001 + (length - 0.002) * i / steps;
                SCOPED_TRACE(piece.name + " route " + std::to_string(k) + " at " + std::to_string(s));
                const demo::Pose pose = line.At(s);
                const double expected = line.HeightAt(s);
                const model::MeshHit down =
                    model::Intersect(meshes.visible.mesh, F3(pose.Point(expected + 1)), {0, -1, 0});
                ASSERT_TRUE(down.hit);
                ASSERT_NEAR(down.nearest.dist, 1.0, 0.02);
                const double probe =
                    expected + 1 - down.nearest.dist + demo::track::kGuideAbove + static_cast<double>(k);
                for (const double side : {1.0, -1.0}) {
                    const math::Vec3 origin = F3(pose.At(side * demo::track::kGuideReach, 0, probe));
                    const math::Vec3 direction = F3(pose.At(-side, 0, 0) - pose.Point());
                    const model::MeshHit hit = model::Intersect(meshes.guide.mesh, origin, direction);
                    ASSERT_TRUE(hit.hit) << "from the " << (side > 0 ? "right" : "left");
                    EXPECT_NEAR(hit.nearest.dist, demo::track::kGuideReach, 0.02);
                    EXPECT_EQ(meshes.guide.mesh.attributes[hit.nearest.face], k);
                }
            }
        }
    }
}

// Where a turnout's routes leave it, each other route lies out of the sideways probe's reach,
// so that a train coming in on a branch the turnout is not set to finds no guide on the set
// route and throws the turnout to its own.
TEST(DemoGuides, TurnoutBranchesEndOutOfEachOthersReach)
{
    DEMO_REQUIRE_CONTENT();
    for (const demo::TrackPiece& piece : demo::TrackPieceSet()) {
        if (!piece.IsTurnout()) continue;
        const PieceMeshes meshes = LoadPiece(piece.name);
        for (std::size_t k = 0; k < piece.routes.size(); ++k) {
            const demo::Pose end = piece.routes[k].At(piece.routes[k].Length() - 1.0);
            for (std::size_t other = 0; other < piece.routes.size(); ++other) {
                if (other == k) continue;
                const double probe =
                    demo::track::kRunningHeight + demo::track::kGuideAbove + static_cast<double>(other);
                const math::Vec3 origin = F3(end.At(demo::track::kGuideReach, 0, probe));
                const model::MeshHit hit =
                    model::Intersect(meshes.guide.mesh, origin, F3(end.At(-1, 0, 0) - end.Point()));
                EXPECT_TRUE(!hit.hit || hit.nearest.dist > 2 * demo::track::kGuideReach)
                    << piece.name << " route " << k << " reaches route " << other;
            }
        }
    }
}

// --- the demo map, loaded as the program loads it

class DemoWorld {
  public:
    DemoWorld() : layout(demotest::kProgramSection)
    {
        device = std::move(gfx::RecordingDevice::Create().device);
        const std::string path = Content().root + std::string(demo::content::kDemoMap);
        const layout::MapResult result = layout::LoadMapFile(layout, path, vehicles, {.device = device.get()});
        outcome = result.outcome;
        messages = result.messages;
        surface = std::make_unique<layout::CLayoutSurface>(layout);
        surface->Refresh();
    }

    const layout::PlacedObject* Find(const std::string& type, int key = -2) const
    {
        for (const layout::PlacedObject& o : layout.Placed().All())
            if (layout.Catalogue().TypeName(o.type) == type && (key == -2 || o.key == key)) return &o;
        return nullptr;
    }

    std::vector<layout::MapMessage> messages;
    std::unique_ptr<gfx::Device> device;
    layout::CLayout layout;
    layout::StoredMapVehicles vehicles;
    layout::MapOutcome outcome = layout::MapOutcome::Failed;
    std::unique_ptr<layout::CLayoutSurface> surface;
};

TEST(DemoMap, LoadsCompleteWithoutAWord)
{
    DEMO_REQUIRE_CONTENT();
    DemoWorld world;
    ASSERT_EQ(world.outcome, layout::MapOutcome::Done);
    EXPECT_TRUE(world.messages.empty());
    EXPECT_GT(world.layout.Placed().Count(), 200);
    EXPECT_FALSE(world.layout.Catalogue().Background().empty());
    // Every placed object's type has its meshes.
    for (const layout::PlacedObject& o : world.layout.Placed().All()) {
        const layout::ObjectType* type = world.layout.Catalogue().FindType(o.type);
        ASSERT_NE(type, nullptr);
        EXPECT_FALSE(type->visible.empty()) << type->name;
        EXPECT_EQ(type->HasGuide(), type->routeCount > 0) << type->name;
    }
    // The passing loop: its entry turnout leads into the loop, its exit is set to the main track.
    const layout::PlacedObject* entry = world.Find("track_turnout_right", demo::kPassingLoopEntryKey);
    const layout::PlacedObject* exit = world.Find("track_turnout_left", demo::kPassingLoopExitKey);
    ASSERT_TRUE(entry && exit);
    EXPECT_EQ(entry->route, 1);
    EXPECT_EQ(exit->route, 0);
    EXPECT_EQ(world.vehicles.TrainChoice(1), "electric_4car");
    EXPECT_EQ(world.vehicles.TrainChoice(2), "diesel_2car");
    EXPECT_EQ(world.vehicles.TrainChoice(3), "freight");
    EXPECT_EQ(world.vehicles.VehicleChoice(layout::MapVehicle::Car), "hatchback");
}

// Pieces meet exactly: any two snap points of different objects either coincide to a
// thousandth or lie well apart, never a near miss.
TEST(DemoMap, JoinedPiecesMeetAtTheirSnapPoints)
{
    DEMO_REQUIRE_CONTENT();
    DemoWorld world;
    ASSERT_EQ(world.outcome, layout::MapOutcome::Done);
    std::vector<std::vector<math::Vec3>> points;
    for (const layout::PlacedObject& o : world.layout.Placed().All()) {
        const layout::ObjectType* type = world.layout.Catalogue().FindType(o.type);
        std::vector<math::Vec3> world_points;
        for (const layout::SnapPoint& s : type->snaps) {
            if (!s.Used()) break;
            const double a = o.angle * 0.017453292;
            world_points.push_back({static_cast<float>(o.x + s.x * std::cos(a) + s.z * std::sin(a)), 0,
                                    static_cast<float>(o.z - s.x * std::sin(a) + s.z * std::cos(a))});
        }
        points.push_back(std::move(world_points));
    }
    int joints = 0;
    double largest = 0;
    for (std::size_t a = 0; a < points.size(); ++a) {
        for (std::size_t b = a + 1; b < points.size(); ++b) {
            for (const math::Vec3& p : points[a]) {
                for (const math::Vec3& q : points[b]) {
                    const double d = std::hypot(p.x - q.x, p.z - q.z);
                    EXPECT_FALSE(d > 1e-3 && d < 0.5) << "objects " << a << " and " << b << " miss by " << d;
                    if (d <= 1e-3) {
                        ++joints;
                        largest = std::max(largest, d);
                    }
                }
            }
        }
    }
    // Main line, loop, siding, branch with its yard, road and platforms.
    EXPECT_GT(joints, 90);
    EXPECT_LT(largest, 1e-3);
}

// A train as the program moves one: every car probes in front of and behind itself, settles
// on the surface and moves sideways onto the guide.
struct Car {
    math::Vec3 position;
    float pitch = 0, yaw = 0;
};

class Train {
  public:
    Train(math::Vec3 lead, float yaw, const std::vector<float>& lengths, float gap, float probe)
        : probe_(probe)
    {
        float z = 0;
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            if (i > 0) z -= lengths[i - 1] / 2 + gap + lengths[i] / 2;
            cars_.push_back({{lead.x + z * std::sin(yaw), lead.y, lead.z + z * std::cos(yaw)}, 0, yaw});
        }
    }

    const std::vector<Car>& Cars() const { return cars_; }

    // One frame at speed: returns false when a probe found no object under it.
    bool Step(layout::CLayoutSurface& surface, float speed)
    {
        for (Car& car : cars_) {
            car.position.x += speed * std::cos(car.pitch) * std::sin(car.yaw);
            car.position.z += speed * std::cos(car.pitch) * std::cos(car.yaw);
        }
        bool onTrack = true;
        for (Car& car : cars_) {
            const math::Vec3 reach{probe_ * std::cos(car.pitch) * std::sin(car.yaw),
                                   probe_ * std::sin(car.pitch),
                                   probe_ * std::cos(car.pitch) * std::cos(car.yaw)};
            const math::Vec3 front = car.position + reach, rear = car.position - reach;
            const int below = surface.FindObjectBelow(front), behind = surface.FindObjectBelow(rear);
            onTrack = onTrack && below >= 0 && behind >= 0;
            const float hf = surface.HeightAt(below, front), hr = surface.HeightAt(behind, rear);
            car.position.y = (hf + hr) * 0.5f;
            car.pitch = std::atan2(hf - hr, 2 * probe_);
            const math::Vec3 up{0, 0.5f, 0};
            const math::Vec3 gf = surface.GuidePoint(below, car.position + reach + up, car.yaw);
            const math::Vec3 gr = surface.GuidePoint(behind, car.position - reach + up, car.yaw);
            car.position.x = (gf.x + gr.x) * 0.5f;
            car.position.z = (gf.z + gr.z) * 0.5f;
            car.yaw = std::atan2(gf.x - gr.x, gf.z - gr.z);
        }
        return onTrack;
    }

  private:
    float probe_;
    std::vector<Car> cars_;
};

// Lengths of a train file's cars as the program measures them (their models' bounds).
std::vector<float> CarLengths(const std::string& trainName)
{
    std::vector<float> lengths;
    for (const demo::TrainFile& train : demo::TrainFiles()) {
        if (train.name != trainName) continue;
        for (const auto& [model, angle] : train.cars) {
            const auto mesh =
                model::LoadXFile(Content().root + std::string(demo::content::kTrainFolder) + model + ".x");
            EXPECT_TRUE(mesh.ok()) << model;
            if (!mesh.ok()) continue;
            const model::MeshBox box = model::ComputeBox(mesh->mesh, static_cast<float>(angle * 0.017453292));
            lengths.push_back(box.maxZ - box.minZ);
        }
    }
    return lengths;
}

float ProbeOf(const std::string& trainName)
{
    for (const demo::TrainFile& train : demo::TrainFiles())
        if (train.name == trainName)
            for (const demo::CarModel& car : demo::CarModels())
                if (car.name == train.cars.front().first) return static_cast<float>(car.front);
    return 1.0f;
}

TEST(DemoMap, TrainsStandOnTheCentreLineOfTheirTrack)
{
    DEMO_REQUIRE_CONTENT();
    DemoWorld world;
    ASSERT_EQ(world.outcome, layout::MapOutcome::Done);
    for (int slot = 1; slot <= 3; ++slot) {
        const std::string name = world.vehicles.TrainChoice(slot);
        SCOPED_TRACE(name);
        const layout::TrainHomePose home = world.vehicles.TrainHome(slot);
        const float probe = ProbeOf(name);
        const Train train({home.x, home.y, home.z}, home.yaw, CarLengths(name), 0.2f, probe);
        for (const Car& car : train.Cars()) {
            for (const float reach : {probe, -probe}) {
                const math::Vec3 p{car.position.x + reach * std::sin(car.yaw), car.position.y,
                                   car.position.z + reach * std::cos(car.yaw)};
                const int below = world.surface->FindObjectBelow(p);
                ASSERT_GE(below, 0);
                EXPECT_NEAR(world.surface->HeightAt(below, p), demo::track::kRunningHeight, 0.01);
                const math::Vec3 g = world.surface->GuidePoint(below, p + math::Vec3{0, 0.5f, 0}, car.yaw);
                EXPECT_NEAR(g.x, p.x, 0.02);
                EXPECT_NEAR(g.z, p.z, 0.02);
            }
        }
    }
}

TEST(DemoMap, TheRoadCarStandsOnARoadAndTheAircraftFly)
{
    DEMO_REQUIRE_CONTENT();
    DemoWorld world;
    ASSERT_EQ(world.outcome, layout::MapOutcome::Done);
    const math::Vec3 car = world.vehicles.StartPosition(layout::MapVehicle::Car);
    const int below = world.surface->FindObjectBelow(car);
    ASSERT_GE(below, 0);
    EXPECT_EQ(world.layout.Catalogue().TypeName(world.layout.Placed().Find(below)->type), "road_straight_20");
    EXPECT_NEAR(world.surface->HeightAt(below, car), car.y, 1e-3);
    EXPECT_GT(world.vehicles.StartPosition(layout::MapVehicle::Plane).y, 20.0f);
    EXPECT_GT(world.vehicles.StartPosition(layout::MapVehicle::Helicopter).y, 20.0f);
}

// The road car's probe driven straight ahead from its start as the program moves it (the
// height of the surface found under the probe becomes the car's height each step): for 1000
// units it never leaves the road, climbs onto the bridge, passes over the farm road and comes
// back down to road level.
TEST(DemoMap, TheRoadCarDrivesStraightOnOverTheRoadBridge)
{
    DEMO_REQUIRE_CONTENT();
    DemoWorld world;
    ASSERT_EQ(world.outcome, layout::MapOutcome::Done);
    const float road = static_cast<float>(demo::track::kRoadHeight);
    const float deck = road + static_cast<float>(demo::scenery::kRoadBridgeRise);
    math::Vec3 car = world.vehicles.StartPosition(layout::MapVehicle::Car);
    const float start = car.z;
    float highest = car.y;
    bool passedOver = false;
    // Half a unit a step: finer than the car moves at speed, so no piece is stepped over.
    for (; car.z < start + 995.0f; car.z += 0.5f) {
        const int below = world.surface->FindObjectBelow(car);
        ASSERT_GE(below, 0) << "off the road at z " << car.z << " height " << car.y;
        const std::string type = world.layout.Catalogue().TypeName(world.layout.Placed().Find(below)->type);
        ASSERT_TRUE(type.starts_with("road_") || type == "track_level_crossing") << type << " at z " << car.z;
        car.y = world.surface->HeightAt(below, car);
        highest = std::max(highest, car.y);
        if (type == "road_bridge_22") {
            EXPECT_NEAR(car.y, deck, 1e-3);
            // Something to cross: a road at ground level under the deck.
            const math::Vec3 under{car.x, road, car.z};
            const int low = world.surface->FindObjectBelow(under);
            if (low >= 0 && world.layout.Catalogue().TypeName(world.layout.Placed().Find(low)->type) == "road_straight_20") {
                EXPECT_NEAR(world.surface->HeightAt(low, under), road, 1e-3);
                passedOver = true;
            }
        }
    }
    EXPECT_NEAR(highest, deck, 1e-3);
    EXPECT_TRUE(passedOver);
    EXPECT_NEAR(car.y, road, 1e-3);
}

// Train 1 at a steady 0.3 units a frame (60 km/h) for more than a lap: it never leaves the
// track, goes round both ends, passes the level crossing and under the bridge, enters the
// passing loop from the branch and throws the loop's exit turnout on its way out.
TEST(DemoMap, TrainOneRunsRoundTheMainLineAndThrowsTheLoopExit)
{
    DEMO_REQUIRE_CONTENT();
    DemoWorld world;
    ASSERT_EQ(world.outcome, layout::MapOutcome::Done);
    const layout::TrainHomePose home = world.vehicles.TrainHome(1);
    Train train({home.x, home.y, home.z}, home.yaw, CarLengths("electric_4car"), 0.2f,
                ProbeOf("electric_4car"));
    const float speed = 0.3f;
    const double lap = Content().report.mainLoopLength;
    ASSERT_GT(lap, 800.0);
    ASSERT_LT(lap, 1500.0);
    float east = -1e9f, west = 1e9f, north = -1e9f, south = 1e9f, lowest = 1e9f, highest = -1e9f;
    int frames = 0;
    for (double distance = 0; distance < lap + 150; distance += speed, ++frames) {
        ASSERT_TRUE(train.Step(*world.surface, speed)) << "off the track after " << distance << " units";
        const math::Vec3 lead = train.Cars().front().position;
        east = std::max(east, lead.x);
        west = std::min(west, lead.x);
        north = std::max(north, lead.z);
        south = std::min(south, lead.z);
        lowest = std::min(lowest, lead.y);
        highest = std::max(highest, lead.y);
    }
    EXPECT_GT(east, 395.0f);
    EXPECT_LT(west, -75.0f);
    EXPECT_GT(north, 159.0f);
    EXPECT_LT(south, -3.5f); // through the loop track
    EXPECT_NEAR(lowest, demo::track::kRunningHeight, 0.02);
    EXPECT_NEAR(highest, demo::track::kRunningHeight, 0.02);
    EXPECT_GE(world.surface->ThrownTurnouts(), 1);
    EXPECT_EQ(world.Find("track_turnout_left", demo::kPassingLoopExitKey)->route, 1);
    EXPECT_EQ(world.Find("track_turnout_right", demo::kPassingLoopEntryKey)->route, 1);
    // Round again and into the loop track, heading east.
    const Car& lead = train.Cars().front();
    EXPECT_NEAR(lead.position.z, -demo::track::kTrackSpacing, 0.05f);
    EXPECT_NEAR(std::sin(lead.yaw), 1.0f, 1e-3f);
}

// The other two trains driven forward from their homes for a lap stay on the running lines
// too: neither starts facing a buffer stop.
TEST(DemoMap, TrainsTwoAndThreeRunOnForALapFromTheirHomes)
{
    DEMO_REQUIRE_CONTENT();
    DemoWorld world;
    ASSERT_EQ(world.outcome, layout::MapOutcome::Done);
    for (int slot = 2; slot <= 3; ++slot) {
        const std::string name = world.vehicles.TrainChoice(slot);
        SCOPED_TRACE(name);
        const layout::TrainHomePose home = world.vehicles.TrainHome(slot);
        Train train({home.x, home.y, home.z}, home.yaw, CarLengths(name), 0.2f, ProbeOf(name));
        const float speed = 0.3f;
        for (double distance = 0; distance < Content().report.mainLoopLength + 150; distance += speed)
            ASSERT_TRUE(train.Step(*world.surface, speed)) << "off the track after " << distance << " units";
    }
}

// A car sent down the branch climbs the embankment, crosses the bridge at its full height,
// comes down again and runs into the yard.
TEST(DemoMap, TheBranchClimbsOverTheMainLineAndComesDownIntoTheYard)
{
    DEMO_REQUIRE_CONTENT();
    DemoWorld world;
    ASSERT_EQ(world.outcome, layout::MapOutcome::Done);
    const layout::PlacedObject* bridge = world.Find("track_bridge_22");
    ASSERT_NE(bridge, nullptr);
    // At the foot of the straight embankment, where the climbing curve brought the branch,
    // heading south.
    const float curveTop = static_cast<float>(demo::track::kCurveSlopes * demo::track::kCurveSlopeRise);
    Train car({bridge->x, curveTop + demo::track::kRunningHeight, 114}, 3.14159265f, {20.0f}, 0.2f, 7.0f);
    float highest = 0;
    for (int frame = 0; frame < 1600 && car.Cars().front().position.z > -190; ++frame) {
        ASSERT_TRUE(car.Step(*world.surface, 0.3f)) << "off the track at z " << car.Cars().front().position.z;
        highest = std::max(highest, car.Cars().front().position.y);
    }
    const Car& end = car.Cars().front();
    EXPECT_LT(end.position.z, -190.0f);
    EXPECT_NEAR(highest, demo::track::kBridgeRise + demo::track::kRunningHeight, 0.02);
    EXPECT_NEAR(end.position.y, demo::track::kRunningHeight, 0.02);
    EXPECT_NEAR(end.position.x, bridge->x, 0.05); // straight through the yard's three-way piece
}

} // namespace
