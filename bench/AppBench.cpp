// What a user feels, on the demo content and on the largest layout the program takes (written
// by the demo generator's --max, as users get it): a simulation pass, a frame's composition on
// the recording device, an OpenGL frame off screen and the floor under it (clearing and drawing
// only the ground), map load and save, start-up to the first drawn frame, and the object
// dialog's list during a drag of 100 selected objects.
//
// Figures that are a part of a pass (simulation, composition, an OpenGL frame) are taken with
// manual timing from the application's own pass clock, so the iteration time is that part alone.
#include "ScratchFolder.h"
#include "app/AppLayout.h"
#include "app/CSimulatorApp.h"
#include "app/dialogs/CMainDlg.h"
#include "demo/ContentGenerator.h"
#include "demo/MaxLayout.h"
#include "gfx/RecordingDevice.h"
#include "input/DriveTypeKeys.h"
#include "layout/CLayout.h"
#include "layout/LayoutRenderer.h"
#include "layout/MapFile.h"
#include "layout/MapFileVehicles.h"
#include "layout/PartsList.h"
#include "layout/TrackShapes.h"
#include "operation/Operation.h"
#include "operation/TrackGraph.h"
#include "plan/PlanExport.h"
#include "platform/KeyState.h"
#include "platform/RecordingDialogService.h"
#include "ui/ObjectSelectTemplate.h"
#include "ui/SetUpTemplate.h"
#ifdef KORVELA_BENCH_GL
#include "gfx/gl/GlDevice.h"
#include "gfx/gl/ImageFile.h"
#endif

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time of the whole process, the rasteriser's threads included, in milliseconds: on a
// machine shared with other work this says what a frame costs better than the time it took.
double ProcessCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The generated content, once per process: the demo as the build writes it beside the program,
// and the maximum layout in a folder of its own (its catalogue is full).
struct ContentFolder {
    explicit ContentFolder(const std::string& name, bool maximum) : scratch(name)
    {
        demo::GeneratorOptions options;
        options.programFolder = Folder();
        options.maximum = maximum;
        const auto written = demo::GenerateContent(options);
        if (!written) throw std::runtime_error("the content could not be generated: " + written.error());
    }
    std::string Folder() const { return scratch.string() + "/"; }
    std::string Settings() const { return Folder() + "korvela.ini"; }
    benchsupport::ScratchFolder scratch;
};

class Content {
  public:
    static const Content& Get()
    {
        static const Content content;
        return content;
    }
    const ContentFolder& Demo() const { return demo_; }
    const ContentFolder& Max() const { return max_; }
    std::string DemoMap() const { return demo_.Folder() + std::string(demo::content::kDemoMap); }
    std::string MaxMap() const { return max_.Folder() + std::string(demo::maximum::kMap); }

  private:
    Content() : demo_("korvela-appbench-demo", false), max_("korvela-appbench-max", true) {}
    ContentFolder demo_;
    ContentFolder max_;
};

enum class Backend { Recording, OpenGL };

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

render::DeviceFactory FactoryFor(Backend backend)
{
#ifdef KORVELA_BENCH_GL
    if (backend == Backend::OpenGL) {
        return [](const gfx::DeviceOptions& options) {
            return gfx::Created<gfx::Device>(gfx::gl::GlDevice::CreateOffscreen(kWidth, kHeight, options));
        };
    }
#endif
    (void)backend;
    return [](const gfx::DeviceOptions& options) {
        gfx::RecordingDevice::Options recording;
        recording.device = options;
        recording.main = {kWidth, kHeight};
        auto created = gfx::RecordingDevice::Create(recording);
        return gfx::Created<gfx::Device>{std::move(created.device), std::move(created.error)};
    };
}

// The program started on a settings file, Start pressed, as a user finds it.
class Program {
  public:
    Program(const ContentFolder& content, const std::string& map, Backend backend)
    {
        app::AppEnvironment environment{.executableFolder = content.Folder(),
                                        .executableName = "korvela",
                                        .settingsFile = content.Settings(),
                                        .deviceFactory = FactoryFor(backend),
                                        .saveSettingsOnClose = false};
        app_ = std::make_unique<app::CSimulatorApp>(std::move(environment), dialogs_, keys_);
        app_->SetWindowMetrics(kWidth, kHeight + app::CMainDlg::kViewGap, 0, 0);
        app_->Startup();
        app_->LoadMapFile(map);
        app_->PressStart();
    }
    ~Program() { app_->OnClose(); }

    app::CSimulatorApp& App() { return *app_; }
    gfx::Device* Device() { return app_->Graphics().Device(); }
    bool Ready() { return Device() != nullptr && !app_->Layout().PlacedObjects().empty(); }

    // Every train's accelerate key held from now on.
    void DriveAllTrains()
    {
        for (int slot = 1; slot <= input::DriveTypeKeys::kSlotCount; ++slot)
            keys_.Press(input::DriveTypeKeys::Keys(input::DriveTypeKeys::DefaultRow(slot)).accelerate);
    }

    // One pass; the recording device forgets the frame, as a headless run does.
    void Pass()
    {
        app_->RunPass(true);
        if (auto* recording = dynamic_cast<gfx::RecordingDevice*>(Device())) recording->ClearCalls();
    }

  private:
    platform::RecordingDialogService dialogs_;
    platform::KeyState keys_;
    std::unique_ptr<app::CSimulatorApp> app_;
};

void Fail(benchmark::State& state, const char* why)
{
    state.SkipWithError(why);
    for (auto _ : state) {
    }
}

// (a) and (b): the simulation part and the drawing part of a pass on the recording device,
// the trains of the maximum layout driven all the while.
void PassPart(benchmark::State& state, const ContentFolder& content, const std::string& map, bool simulation)
{
    Program program(content, map, Backend::Recording);
    if (!program.Ready()) return Fail(state, "the program did not start with its layout");
    program.DriveAllTrains();
    for (int i = 0; i < 100; ++i)
        program.Pass();
    const app::PassTimes before = program.App().Times();
    for (auto _ : state) {
        const app::PassTimes& times = program.App().Times();
        const double from = simulation ? times.simulationMs : times.drawingMs;
        program.Pass();
        state.SetIterationTime(((simulation ? times.simulationMs : times.drawingMs) - from) / 1000.0);
    }
    const app::PassTimes& after = program.App().Times();
    const double passes = after.passes - before.passes;
    state.counters["sim_ms"] = (after.simulationMs - before.simulationMs) / passes;
    state.counters["draw_ms"] = (after.drawingMs - before.drawingMs) / passes;
    state.counters["objects"] = static_cast<double>(program.App().Layout().PlacedObjects().size());
}

void BM_MaxLayoutSimulationPass(benchmark::State& state)
{
    PassPart(state, Content::Get().Max(), Content::Get().MaxMap(), true);
}
BENCHMARK(BM_MaxLayoutSimulationPass)->UseManualTime()->Unit(benchmark::kMillisecond);

// (i) The largest layout's track graph built again, as after any edit: the route lines of every
// placed track object read and joined at their ends (target under 5 ms).
void BM_MaxLayoutTrackGraph(benchmark::State& state)
{
    Program program(Content::Get().Max(), Content::Get().MaxMap(), Backend::Recording);
    if (!program.Ready()) return Fail(state, "the program did not start with its layout");
    const layout::CLayout& layout = program.App().OwnLayout().Core();
    operation::TrackGraph graph;
    for (auto _ : state) {
        const layout::TrackShapes shapes(layout);
        graph.Build(operation::TrackGraph::LayoutLines(layout, shapes), layout.Placed().Count());
        benchmark::DoNotOptimize(graph.Lines().data());
    }
    state.counters["objects"] = static_cast<double>(layout.Placed().Count());
    state.counters["lines"] = static_cast<double>(graph.Lines().size());
}
BENCHMARK(BM_MaxLayoutTrackGraph)->Unit(benchmark::kMillisecond);

// (j) The simulation part of a pass on the largest layout with protection on and all six trains
// on autopilot (target under 0.30 ms).
void BM_MaxLayoutAutopilotPass(benchmark::State& state)
{
    Program program(Content::Get().Max(), Content::Get().MaxMap(), Backend::Recording);
    if (!program.Ready()) return Fail(state, "the program did not start with its layout");
    operation::OperationSettings settings;
    settings.protect = true;
    for (operation::SlotSettings& slot : settings.slots)
        slot.autopilot = true;
    program.App().ChangeOperation(settings);
    for (int i = 0; i < 100; ++i)
        program.Pass();
    const app::PassTimes before = program.App().Times();
    for (auto _ : state) {
        const double from = program.App().Times().simulationMs;
        program.Pass();
        state.SetIterationTime((program.App().Times().simulationMs - from) / 1000.0);
    }
    const app::PassTimes& after = program.App().Times();
    state.counters["sim_ms"] = (after.simulationMs - before.simulationMs) / (after.passes - before.passes);
    int running = 0;
    for (int slot = 1; slot <= operation::kSlots; ++slot)
        running += program.App().Operation().Status(slot).state == operation::TrainStateKind::Running;
    state.counters["running"] = running;
}
BENCHMARK(BM_MaxLayoutAutopilotPass)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_MaxLayoutFrameComposition(benchmark::State& state)
{
    PassPart(state, Content::Get().Max(), Content::Get().MaxMap(), false);
}
BENCHMARK(BM_MaxLayoutFrameComposition)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DemoFrameComposition(benchmark::State& state)
{
    PassPart(state, Content::Get().Demo(), Content::Get().DemoMap(), false);
}
BENCHMARK(BM_DemoFrameComposition)->UseManualTime()->Unit(benchmark::kMillisecond);

// (e): the maximum layout's map read and written, without loading any mesh.
// The maximum layout's map in a layout of its own, without meshes.
struct MaxMap {
    layout::CLayout map{"korvela"};
    layout::StoredMapVehicles vehicles;
    bool Load() { return layout::LoadMapFile(map, Content::Get().MaxMap(), vehicles, {}).Done(); }
};

void BM_MaxMapLoad(benchmark::State& state)
{
    Content::Get(); // generated before the clock runs
    MaxMap max;
    layout::CLayout& map = max.map;
    std::size_t objects = 0;
    for (auto _ : state) {
        if (!max.Load()) return Fail(state, "the map did not load");
        objects = static_cast<std::size_t>(map.Placed().Count());
    }
    state.counters["objects"] = static_cast<double>(objects);
    state.counters["types"] = map.Catalogue().TypeCount();
}
BENCHMARK(BM_MaxMapLoad)->Unit(benchmark::kMillisecond);

void BM_MaxMapSave(benchmark::State& state)
{
    MaxMap max;
    if (!max.Load()) return Fail(state, "the map did not load");
    layout::CLayout& map = max.map;
    const std::string path = Content::Get().Max().Folder() + "saved.txt";
    for (auto _ : state) {
        if (!layout::SaveMapFile(map, path, max.vehicles).Done())
            return Fail(state, "the map was not saved");
    }
    state.counters["objects"] = map.Placed().Count();
}
BENCHMARK(BM_MaxMapSave)->Unit(benchmark::kMillisecond);

// (g): the object dialog's list while 100 of the 2000 placed objects are dragged across: each
// step moves them and rewrites their rows.
void BM_DragHundredOfMaxLayout(benchmark::State& state)
{
    MaxMap max;
    if (!max.Load()) return Fail(state, "the map did not load");
    layout::CLayout& map = max.map;
    for (int index = 0; index < 100; ++index)
        map.Selection().SetSelected(index * 20, true);
    map.Selection().SetPrimary(0);
    map.Drag().BeginDrag();
    float shift = 0;
    for (auto _ : state) {
        shift = shift > 50 ? 0 : shift + 0.5f;
        const layout::PickRay ray{{shift, 100, 0}, {shift, -100, 0}};
        map.Drag().DragSelected(ray, {});
    }
    (void)map.Drag().EndDrag();
    state.counters["rows"] = map.ObjectDialog().List(ui::objsel::kPlacedList).RowCount();
    state.counters["selected"] = static_cast<double>(map.Selection().Selected().size());
}
BENCHMARK(BM_DragHundredOfMaxLayout)->Unit(benchmark::kMicrosecond);

// (h): the planning outputs of the largest layout: its parts list (the window refreshes it after
// every edit; under 5 ms) and its plan fitted to an A4 PDF with the parts-list page (under 1 s).
void BM_MaxLayoutPartsList(benchmark::State& state)
{
    Program program(Content::Get().Max(), Content::Get().MaxMap(), Backend::Recording);
    if (!program.Ready()) return Fail(state, "the program did not start with its layout");
    const layout::CLayout& map = program.App().OwnLayout().Core();
    std::size_t rows = 0;
    for (auto _ : state) {
        const layout::PartsList list = layout::MakePartsList(map);
        rows = list.rows.size();
        benchmark::DoNotOptimize(list.totalLength);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["objects"] = map.Placed().Count();
}
BENCHMARK(BM_MaxLayoutPartsList)->Unit(benchmark::kMillisecond);

void BM_MaxLayoutPlanExport(benchmark::State& state)
{
    Program program(Content::Get().Max(), Content::Get().MaxMap(), Backend::Recording);
    if (!program.Ready()) return Fail(state, "the program did not start with its layout");
    const std::string path = Content::Get().Max().Folder() + "plan.pdf";
    int pages = 0;
    for (auto _ : state) {
        const auto written = plan::ExportPlan(program.App().OwnLayout().Core(), path, {});
        if (!written) return Fail(state, "the plan could not be written");
        pages = written->pages;
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_MaxLayoutPlanExport)->Unit(benchmark::kMillisecond);

#ifdef KORVELA_BENCH_GL
// (d), the floor: clearing and drawing only the ground, on the device and in the view (its
// transforms and lights stay set on the device) of the frame before. Milliseconds.
double FloorFrame(gfx::Device& device, const layout::CLayout& layout, const ui::DialogModel& setUp)
{
    const auto start = Clock::now();
    device.BeginScene();
    device.Clear(gfx::Color{0, 0, 126.0f / 255.0f, 1}, 1.0f);
    layout::DrawBackground(&device, layout, setUp);
    device.EndScene();
    device.Present();
    device.Finish();
    return SecondsSince(start) * 1000.0;
}

// (c): one OpenGL frame off screen at 1280 × 720, its drawing and the wait until the
// rasteriser has finished it, in the default view (the helicopter looking at train 1); then
// the floor on the same device, so that the frame is also given as a ratio to it.
void GlFrame(benchmark::State& state, const char* name, const ContentFolder& content, const std::string& map,
             const std::function<void(app::CSimulatorApp&)>& chooseView = {})
{
    Program program(content, map, Backend::OpenGL);
    if (!program.Ready()) return Fail(state, "no off-screen OpenGL device or no layout");
    if (chooseView) chooseView(program.App());
    for (int i = 0; i < 3; ++i) {
        program.Pass();
        program.Device()->Finish();
    }
    double totalMs = 0;
    const double cpuFrom = ProcessCpuMs();
    for (auto _ : state) {
        const double from = program.App().Times().drawingMs;
        program.Pass();
        const auto wait = Clock::now();
        program.Device()->Finish();
        const double ms = program.App().Times().drawingMs - from + SecondsSince(wait) * 1000.0;
        totalMs += ms;
        state.SetIterationTime(ms / 1000.0);
    }
    // KORVELA_BENCH_PICTURES=FOLDER keeps the last frame of each, to see what was measured.
    if (const char* folder = std::getenv("KORVELA_BENCH_PICTURES")) {
        if (const std::optional<gfx::Image> picture = program.Device()->ReadPixels())
            gfx::gl::WritePngFile(*picture, std::string(folder) + "/" + name + ".png");
    }
    const double frameMs = totalMs / static_cast<double>(state.iterations());
    const double frameCpuMs = (ProcessCpuMs() - cpuFrom) / static_cast<double>(state.iterations());
    double floorMs = 0;
    constexpr int kFloorFrames = 10;
    const double floorCpuFrom = ProcessCpuMs();
    for (int i = 0; i < kFloorFrames; ++i)
        floorMs += FloorFrame(*program.Device(), program.App().OwnLayout().Core(), program.App().SetUp().Model());
    floorMs /= kFloorFrames;
    const double floorCpuMs = (ProcessCpuMs() - floorCpuFrom) / kFloorFrames;
    state.counters["fps"] = 1000.0 / frameMs;
    state.counters["floor_ms"] = floorMs;
    state.counters["x_floor"] = frameMs / floorMs;
    state.counters["cpu_ms"] = frameCpuMs;
    state.counters["floor_cpu_ms"] = floorCpuMs;
}

void BM_DemoGlFrame(benchmark::State& state)
{
    GlFrame(state, "demo", Content::Get().Demo(), Content::Get().DemoMap());
}
BENCHMARK(BM_DemoGlFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_MaxLayoutGlFrame(benchmark::State& state)
{
    GlFrame(state, "max", Content::Get().Max(), Content::Get().MaxMap());
}
BENCHMARK(BM_MaxLayoutGlFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

// The busiest view of the largest layout: the free camera high over the south edge looking at
// train 6 in the middle of the tiles, every object within the culling distance.
void BM_MaxLayoutGlFrameOverview(benchmark::State& state)
{
    GlFrame(state, "max_overview", Content::Get().Max(), Content::Get().MaxMap(), [](app::CSimulatorApp& app) {
        constexpr int kCameraPoint = 10, kTrainSix = 6;
        app.SetUp().SetByUser(ui::setup::kPositionList, kCameraPoint);
        app.SetUp().SetByUser(ui::setup::kViewPointList, kTrainSix);
        app.Camera().SetCameraPoint({1210, 700, -900});
    });
}
BENCHMARK(BM_MaxLayoutGlFrameOverview)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_GlFloor(benchmark::State& state)
{
    Program program(Content::Get().Demo(), Content::Get().DemoMap(), Backend::OpenGL);
    if (!program.Ready()) return Fail(state, "no off-screen OpenGL device or no layout");
    program.Pass();
    const double cpuFrom = ProcessCpuMs();
    for (auto _ : state)
        state.SetIterationTime(
            FloorFrame(*program.Device(), program.App().OwnLayout().Core(), program.App().SetUp().Model()) / 1000.0);
    state.counters["cpu_ms"] = (ProcessCpuMs() - cpuFrom) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GlFloor)->UseManualTime()->Unit(benchmark::kMillisecond);

// (f): start-up to the first drawn frame with the demo content: the program made, its
// settings, catalogue and map read, Start pressed and one pass drawn and finished.
void BM_DemoStartupToFirstFrame(benchmark::State& state)
{
    Content::Get();
    for (auto _ : state) {
        Program program(Content::Get().Demo(), Content::Get().DemoMap(), Backend::OpenGL);
        if (!program.Ready()) return Fail(state, "no off-screen OpenGL device or no layout");
        program.Pass();
        program.Device()->Finish();
    }
}
BENCHMARK(BM_DemoStartupToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);
#endif

} // namespace
