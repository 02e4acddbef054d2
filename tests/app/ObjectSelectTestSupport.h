// Object folders written on the fly (box meshes with their .ini files), the object dialog over a
// real layout with a host that records what the dialog asks for, and the whole application
// over its own layout, the recording device and a scripted mouse.
#pragma once

#include "AppTestSupport.h"
#include "app/CSimulatorApp.h"
#include "app/MousePort.h"
#include "app/dialogs/CObjectSelect.h"
#include "app/dialogs/ObjectSelectHost.h"
#include "common/TestSupport.h"
#include "gfx/RecordingDevice.h"
#include "layout/CLayout.h"
#include "platform/RecordingDialogService.h"
#include "ui/ObjectSelectTemplate.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace objseltest {

namespace os = ui::objsel;

// An axis-aligned box from (x0, y0, z0) to (x1, y1, z1) as a text .x file with one material.
inline std::string BoxX(float x0, float x1, float y0, float y1, float z0, float z1)
{
    const auto n = [](float v) { return std::to_string(v); };
    std::string t = "xof 0303txt 0032\nMesh {\n8;\n";
    for (int i = 0; i < 8; ++i)
        t += n(i & 1 ? x1 : x0) + ";" + n(i & 2 ? y1 : y0) + ";" + n(i & 4 ? z1 : z0) +
             (i < 7 ? ";,\n" : ";;\n");
    const int faces[12][3] = {{0, 2, 3}, {0, 3, 1}, {4, 5, 7}, {4, 7, 6}, {0, 1, 5}, {0, 5, 4},
                              {2, 6, 7}, {2, 7, 3}, {0, 4, 6}, {0, 6, 2}, {1, 3, 7}, {1, 7, 5}};
    t += "12;\n";
    for (int f = 0; f < 12; ++f) {
        t += "3;" + std::to_string(faces[f][0]) + "," + std::to_string(faces[f][1]) + "," +
             std::to_string(faces[f][2]) + (f < 11 ? ";,\n" : ";;\n");
    }
    t += "MeshMaterialList {\n1;\n12;\n0,0,0,0,0,0,0,0,0,0,0,0;\n"
         "Material {\n0.8;0.8;0.8;1.0;;\n10.0;\n0.0;0.0;0.0;;\n0.0;0.0;0.0;;\n}\n}\n}\n";
    return t;
}

// Writes name.x (a box two units wide and one high, standing on the ground) and name.ini into
// folder; the .ini sections are named after the executable "korvela".
inline void WriteType(const std::filesystem::path& folder, const std::string& name,
                      const std::vector<std::string>& iniLines = {})
{
    std::string ini = "[korvela]\r\n";
    for (const std::string& line : iniLines)
        ini += line + "\r\n";
    testsupport::WriteBytes(folder / (name + ".ini"), ini);
    testsupport::WriteBytes(folder / (name + ".x"), BoxX(-1, 1, 0, 1, -1, 1));
}

// What the object dialog asked of the program around it.
class RecordingHost final : public app::ObjectSelectHost {
  public:
    layout::PickRay ViewCentreRay() const override { return ray; }
    void RefreshTurnoutControls() override { ++turnoutRefreshes; }
    bool MapCreationMode() const override { return mapCreation; }
    void FocusOnSelection() override { log.push_back("focus"); }
    void FollowSelection() override { log.push_back("follow"); }
    void RenderPreview() override { ++previews; }

    // Straight down through (x, z).
    static layout::PickRay Down(float x, float z) { return {{x, 100.0f, z}, {x, -100.0f, z}}; }

    layout::PickRay ray = Down(0, 0);
    bool mapCreation = false;
    int turnoutRefreshes = 0;
    int previews = 0;
    std::vector<std::string> log;
};

// The object dialog over a layout whose object folder holds the types given to Scan.
class ObjectDialogTest : public ::testing::Test {
  protected:
    ObjectDialogTest()
    {
        device = std::move(gfx::RecordingDevice::Create().device);
        layout.Catalogue().SetObjectFolder(dir.Path().string() + "/");
        layout.BindObjectDialog(dialog.Model());
        dialog.Bind(&layout, &host);
        dialog.Initialise();
    }

    void Scan(const std::vector<std::string>& types)
    {
        for (const std::string& name : types)
            WriteType(dir.Path(), name);
        layout.ScanObjectFolder(device.get());
    }

    // A placed object of type 0 at (x, 0, z), added as a map load adds it.
    int Add(float x, float z = 0, int type = 0)
    {
        const auto index = layout.Placed().Append({.type = type, .x = x, .y = 0, .z = z});
        EXPECT_TRUE(index.ok());
        return index.ok() ? *index : -1;
    }

    const ui::ListView& List() const { return dialog.Model().List(os::kPlacedList); }
    std::string Cell(int row, int column) const { return List().Cell(row, column); }
    std::string Heading(int column) const { return List().Column(column).heading; }

    testsupport::TempDir dir;
    std::unique_ptr<gfx::RecordingDevice> device;
    platform::RecordingDialogService dialogs;
    layout::CLayout layout{"korvela"};
    RecordingHost host;
    app::CObjectSelect dialog;
};

// Mouse movement the test hands out, one reading per pass.
class ScriptedMouse final : public app::MousePort {
  public:
    app::MouseMotion ReadMain() override
    {
        ++mainReads;
        return std::exchange(main, {});
    }
    app::MouseMotion ReadPreview() override
    {
        ++previewReads;
        return std::exchange(preview, {});
    }
    void Unacquire() override { ++unacquires; }

    app::MouseMotion main;
    app::MouseMotion preview;
    int mainReads = 0;
    int previewReads = 0;
    int unacquires = 0;
};

// The whole application over its own layout and the recording device, started, with the
// object folder "objects/" beside the executable holding the types given to Start.
class LayoutAppTest : public ::testing::Test {
  protected:
    LayoutAppTest()
    {
        std::filesystem::create_directories(dir.Path() / "bin");
        std::filesystem::create_directories(objects());
        app::AppEnvironment environment{.executableFolder = (dir.Path() / "bin").string() + "/",
                                        .executableName = "korvela",
                                        .deviceFactory = apptest::RecordingFactory(),
                                        .ports = {.mouse = &mouse}};
        app = std::make_unique<app::CSimulatorApp>(std::move(environment), dialogs, keys);
        app->SetWindowMetrics(640, 480, 24, 20);
    }

    std::filesystem::path objects() const { return dir.Path() / "objects"; }

    void Start(const std::vector<std::string>& types)
    {
        for (const std::string& name : types)
            WriteType(objects(), name);
        app->Startup();
        app->Layout().SetObjectFolder(objects().string() + "/");
        app->Layout().ScanObjectFolder();
    }

    layout::CLayout& Core() { return app->OwnLayout().Core(); }
    app::CObjectSelect& Dialog() { return app->ObjectSelect(); }
    gfx::RecordingDevice& Recorder()
    {
        return *dynamic_cast<gfx::RecordingDevice*>(app->Graphics().Device());
    }

    testsupport::TempDir dir;
    ScriptedMouse mouse;
    platform::RecordingDialogService dialogs;
    platform::KeyState keys;
    std::unique_ptr<app::CSimulatorApp> app;
};

} // namespace objseltest
