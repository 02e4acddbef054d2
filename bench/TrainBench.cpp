// One simulation pass of the trains at full scale: 2000 placed objects and six trains of 16
// cars, each car driven and settled onto the track under its probes (no drawing). Also the
// object lookup under a probe with the grid and with a walk over every object.
#include "../tests/layout/SurfaceTracks.h"
#include "ScratchFolder.h"
#include "gfx/RecordingDevice.h"
#include "input/CInput.h"
#include "layout/CLayout.h"
#include "layout/CLayoutSurface.h"
#include "platform/KeyState.h"
#include "vehicles/CTrain.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kSection = "korvela";
constexpr int kObjects = 2000;
constexpr int kTrains = 6;
constexpr int kCars = 16;
constexpr double kRadius = 60.0;
constexpr int kCurvePieces = 12;
constexpr double kCarLength = 4.0;
constexpr double kCarGap = 0.2;

using benchsupport::Write;

// A layout of six circles of curves, each with a train of 16 cars running round it, among
// scenery and other track up to 2000 placed objects over a square of 1200 units.
class TrainWorld {
  public:
    TrainWorld() : folder_("korvela-trainbench")
    {
        std::filesystem::create_directories(folder_ / "train");
        const std::string objects = folder_.string() + "/";
        auto writeTrack = [&](const std::string& name, const std::vector<tracks::Line>& routes) {
            const tracks::TypeFiles files = tracks::TrackType(routes);
            Write(folder_ / (name + ".ini"), tracks::IniText(kSection, files.routes));
            Write(folder_ / (name + ".x"), files.visible);
            Write(folder_ / (name + "_r.x"), files.guide);
        };
        writeTrack("curve", {tracks::CurveLine(kRadius, 360.0 / kCurvePieces)});
        writeTrack("straight", {tracks::StraightLine(20.0)});
        writeTrack("turnout", {tracks::StraightLine(20.0), tracks::CurveLine(60.0, 19.47)});
        Write(folder_ / "house.ini", tracks::IniText(kSection, 0));
        Write(folder_ / "house.x", tracks::BoxText(-4, 4, 0, 6, -5, 5));
        Write(folder_ / "platform.ini", tracks::IniText(kSection, 0));
        Write(folder_ / "platform.x", tracks::BoxText(-2, 2, 0, 1, -30, 30));

        device_ = std::move(gfx::RecordingDevice::Create().device);
        layout_.Catalogue().SetObjectFolder(objects);
        layout_.ScanObjectFolder(device_.get());

        const auto centre = [](int t) {
            return tracks::Point{-300.0 + 300.0 * (t % 3), 0.0, t < 3 ? -200.0 : 200.0};
        };
        const int curve = layout_.Catalogue().FindTypeByName("curve");
        for (int t = 0; t < kTrains; ++t) {
            for (int j = 0; j < kCurvePieces; ++j) {
                const double heading = 2 * tracks::kPi * j / kCurvePieces;
                Place(curve, centre(t).x - kRadius * std::cos(heading), 0,
                      centre(t).z + kRadius * std::sin(heading), 360.0 * j / kCurvePieces);
            }
        }
        // Everything else keeps clear of the circles' tracks, but stands inside them and close by.
        std::mt19937 random(1234);
        std::uniform_real_distribution<double> place(-600.0, 600.0);
        std::uniform_real_distribution<double> turn(0.0, 360.0);
        std::uniform_real_distribution<double> lift(-0.5, 4.0);
        const std::vector<int> scenery = {layout_.Catalogue().FindTypeByName("straight"),
                                          layout_.Catalogue().FindTypeByName("turnout"), layout_.Catalogue().FindTypeByName("house"),
                                          layout_.Catalogue().FindTypeByName("platform")};
        std::uniform_int_distribution<std::size_t> kind(0, scenery.size() - 1);
        while (layout_.Placed().Count() < kObjects) {
            const double x = place(random);
            const double z = place(random);
            bool clear = true;
            for (int t = 0; t < kTrains; ++t) {
                const double r = std::hypot(x - centre(t).x, z - centre(t).z);
                if (std::fabs(r - kRadius) < 40.0) clear = false;
            }
            if (clear) Place(scenery[kind(random)], x, lift(random), z, turn(random));
        }

        std::string trainFile = std::string("[") + kSection + "]\r\n車両間距離=0.2\r\n";
        for (int n = 1; n <= kCars; ++n)
            trainFile += std::to_string(n) + "両目モデル名=car\r\n";
        Write(folder_ / "train" / "long.txt", trainFile);
        Write(folder_ / "train" / "car.x",
              tracks::BoxText(-0.8, 0.8, 0, 1.5, -kCarLength / 2, kCarLength / 2));
        Write(folder_ / "train" / "car.ini",
              std::string("[") + kSection + "]\r\n判定位置前方=1.5\r\n判定位置後方=1.5\r\n");
        for (int t = 0; t < kTrains; ++t) {
            trains_.emplace_back(t + 1, kSection);
            vehicles::CTrain& train = trains_.back();
            train.SetFolder(objects + "train/");
            (void)train.LoadTrain(device_.get(), "long");
            // The cars stand round the circle one behind the other, facing along it.
            for (int i = 0; i < train.CarCount(); ++i) {
                const double heading = -i * (kCarLength + kCarGap) / kRadius;
                vehicles::TrainCar& car = train.MutableCar(i);
                car.position = {static_cast<float>(centre(t).x - kRadius * std::cos(heading)), 0.0f,
                                static_cast<float>(centre(t).z + kRadius * std::sin(heading))};
                car.yaw = static_cast<float>(heading);
            }
            train.SetSpeed(0.3f);
        }
        surface_.Refresh();
    }

    // One pass as the main loop and the frame run it, less the drawing.
    void Pass()
    {
        for (vehicles::CTrain& train : trains_) {
            train.DriveStep(input_, drive_);
            train.FollowTrack(surface_, follow_);
        }
    }

    layout::CLayoutSurface& Surface() { return surface_; }
    const std::vector<vehicles::CTrain>& Trains() const { return trains_; }
    int Objects() const { return layout_.Placed().Count(); }

  private:
    void Place(int type, double x, double y, double z, double angle)
    {
        (void)layout_.Placed().Append({.type = type,
                                          .x = static_cast<float>(x),
                                          .y = static_cast<float>(y),
                                          .z = static_cast<float>(z),
                                          .angle = static_cast<float>(angle)});
    }

    benchsupport::ScratchFolder folder_;
    std::unique_ptr<gfx::RecordingDevice> device_;
    layout::CLayout layout_{kSection};
    layout::CLayoutSurface surface_{layout_};
    std::vector<vehicles::CTrain> trains_;
    platform::KeyState keys_;
    input::CInput input_{keys_};
    vehicles::DriveControls drive_{.driveType = 0, .noDeceleration = true};
    vehicles::FollowControls follow_{};
};

TrainWorld& World()
{
    static TrainWorld world;
    return world;
}

void BM_TrainPass(benchmark::State& state)
{
    TrainWorld& world = World();
    const auto casts = world.Surface().RayCasts();
    for (auto _ : state)
        world.Pass();
    state.counters["objects"] = world.Objects();
    state.counters["cars"] = static_cast<double>(kTrains * kCars);
    state.counters["rays/pass"] =
        static_cast<double>(world.Surface().RayCasts() - casts) / static_cast<double>(state.iterations());
    int onTrack = 0;
    for (const vehicles::CTrain& train : world.Trains()) {
        for (const vehicles::TrainCar& car : train.Cars())
            onTrack += car.below >= 0 && car.belowRear >= 0 ? 1 : 0;
    }
    // Every car must still be on its circle, or the pass measured would be a cheaper one.
    state.counters["cars on track"] = onTrack;
}
BENCHMARK(BM_TrainPass)->Unit(benchmark::kMicrosecond);

// The object under a probe: 1000 probes spread over the layout and along the tracks.
std::vector<math::Vec3> Probes()
{
    std::vector<math::Vec3> probes;
    std::mt19937 random(77);
    std::uniform_real_distribution<float> place(-600.0f, 600.0f);
    for (int i = 0; i < 500; ++i)
        probes.push_back({place(random), 0.0f, place(random)});
    for (const vehicles::CTrain& train : World().Trains()) {
        for (const vehicles::TrainCar& car : train.Cars())
            probes.push_back(car.position);
    }
    return probes;
}

void BM_FindObjectBelowGrid(benchmark::State& state)
{
    const std::vector<math::Vec3> probes = Probes();
    layout::CLayoutSurface& surface = World().Surface();
    surface.Refresh();
    for (auto _ : state) {
        for (const math::Vec3& p : probes)
            benchmark::DoNotOptimize(surface.FindObjectBelow(p));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(probes.size()));
}
BENCHMARK(BM_FindObjectBelowGrid)->Unit(benchmark::kMicrosecond);

void BM_FindObjectBelowFullScan(benchmark::State& state)
{
    const std::vector<math::Vec3> probes = Probes();
    layout::CLayoutSurface& surface = World().Surface();
    for (auto _ : state) {
        for (const math::Vec3& p : probes)
            benchmark::DoNotOptimize(surface.FindObjectBelowFullScan(p));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(probes.size()));
}
BENCHMARK(BM_FindObjectBelowFullScan)->Unit(benchmark::kMicrosecond);

// Checking the grid against the objects when nothing moved: the cost every pass pays.
void BM_SurfaceRefresh(benchmark::State& state)
{
    layout::CLayoutSurface& surface = World().Surface();
    for (auto _ : state)
        surface.Refresh();
}
BENCHMARK(BM_SurfaceRefresh)->Unit(benchmark::kMicrosecond);

} // namespace
