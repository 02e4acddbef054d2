// The layout check of a full layout: 2000 placed track pieces (rings of curves and long lines
// of straights, with a few faults among them) checked for every kind of finding; and 2000
// copies of one piece stacked at one point, which must cost about what one piece does.
#include "../tests/layout/SurfaceTracks.h"
#include "ScratchFolder.h"
#include "gfx/RecordingDevice.h"
#include "layout/CLayout.h"
#include "layout/LayoutCheck.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr const char* kSection = "korvela";
constexpr double kRadius = 40.0;
constexpr double kCurveDegrees = 30.0;
constexpr int kRings = 40;
constexpr int kRows = 38;
constexpr int kPiecesPerRow = 40;
constexpr double kStraight = 20.0;

using benchsupport::Write;

class CheckWorld {
  public:
    enum class Shape { Layout, Stacked };
    explicit CheckWorld(Shape shape) : folder_("korvela-checkbench")
    {
        const double a = kCurveDegrees * tracks::kPi / 180.0;
        const double endX = kRadius - kRadius * std::cos(a), endZ = kRadius * std::sin(a);
        auto writeTrack = [&](const std::string& name, const tracks::Line& line, double x1, double z1) {
            const tracks::TypeFiles files = tracks::TrackType({line});
            std::string ini = tracks::IniText(kSection, files.routes);
            ini += "SnapX0=0\r\nSnapZ0=0\r\nSnapX1=" + tracks::Number(x1) +
                   "\r\nSnapZ1=" + tracks::Number(z1) + "\r\n";
            Write(folder_ / (name + ".ini"), ini);
            Write(folder_ / (name + ".x"), files.visible);
            Write(folder_ / (name + "_r.x"), files.guide);
        };
        writeTrack("curve", tracks::CurveLine(kRadius, kCurveDegrees), endX, endZ);
        writeTrack("straight", tracks::StraightLine(kStraight), 0, kStraight);

        device_ = std::move(gfx::RecordingDevice::Create().device);
        layout_.Catalogue().SetObjectFolder(folder_.string() + "/");
        layout_.ScanObjectFolder(device_.get());
        const int curve = layout_.Catalogue().FindTypeByName("curve");
        const int straight = layout_.Catalogue().FindTypeByName("straight");
        if (shape == Shape::Stacked) {
            for (int i = 0; i < 2000; ++i)
                Place(straight, 10.0, 10.0, 30.0);
            return;
        }

        // Rings in a row south of the lines; every tenth ring has one piece a little aside.
        for (int r = 0; r < kRings; ++r) {
            double x = r * 2.5 * kRadius, z = -200.0, heading = 0;
            for (int j = 0; j < 12; ++j) {
                const float aside = r % 10 == 0 && j == 3 ? 0.3f : 0.0f;
                Place(curve, x + aside, z, heading);
                const double h = heading * tracks::kPi / 180.0;
                x += endX * std::cos(h) + endZ * std::sin(h);
                z += -endX * std::sin(h) + endZ * std::cos(h);
                heading += kCurveDegrees;
            }
        }
        // Lines of straights running east, 10 units apart; one line crosses them all.
        for (int row = 0; row < kRows; ++row) {
            for (int j = 0; j < kPiecesPerRow; ++j) {
                if (row == 0 && j < kRows / 2) {
                    Place(straight, 410.0, kStraight * j - 5.0, 0); // north across the rows
                    continue;
                }
                Place(straight, j * kStraight, 10.0 * row, 90);
            }
        }
    }
    const layout::CLayout& Layout() const { return layout_; }

  private:
    void Place(int type, double x, double z, double angle)
    {
        (void)layout_.Placed().Append({.type = type,
                                          .x = static_cast<float>(x),
                                          .y = 0.0f,
                                          .z = static_cast<float>(z),
                                          .angle = static_cast<float>(angle)});
    }

    benchsupport::ScratchFolder folder_;
    std::unique_ptr<gfx::RecordingDevice> device_;
    layout::CLayout layout_{kSection};
};

void RunCheck(benchmark::State& state, CheckWorld::Shape shape)
{
    const CheckWorld world(shape);
    std::size_t findings = 0;
    for (auto _ : state) {
        const layout::LayoutCheckResult result = layout::CheckLayout(world.Layout());
        findings = result.findings.size();
        benchmark::DoNotOptimize(findings);
    }
    state.counters["objects"] = world.Layout().Placed().Count();
    state.counters["findings"] = static_cast<double>(findings);
}
void BM_CheckLayout2000(benchmark::State& state)
{
    RunCheck(state, CheckWorld::Shape::Layout);
}
BENCHMARK(BM_CheckLayout2000)->Unit(benchmark::kMillisecond);

void BM_CheckLayoutStacked2000(benchmark::State& state)
{
    RunCheck(state, CheckWorld::Shape::Stacked);
}
BENCHMARK(BM_CheckLayoutStacked2000)->Unit(benchmark::kMillisecond);

} // namespace
