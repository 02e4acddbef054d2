// Small object folders for the layout tests: box meshes and stacked route layers written as
// text .x files, object .ini files, and a layout over a recording device.
#pragma once

#include "common/TestSupport.h"
#include "gfx/RecordingDevice.h"
#include "layout/CLayout.h"
#include "layout/MapFile.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace layouttest {

inline constexpr const char* kSection = "korvela";

inline std::string Num(float v)
{
    return std::to_string(v);
}

// An axis-aligned box (12 triangles, one subset) as a text .x file.
inline std::string BoxX(float minX, float maxX, float minY, float maxY, float minZ, float maxZ)
{
    std::string t = "xof 0303txt 0032\nMesh {\n8;\n";
    for (int i = 0; i < 8; ++i) {
        t += Num(i & 1 ? maxX : minX) + ";" + Num(i & 2 ? maxY : minY) + ";" + Num(i & 4 ? maxZ : minZ) +
             (i < 7 ? ";,\n" : ";;\n");
    }
    const int faces[12][3] = {{0, 2, 3}, {0, 3, 1}, {4, 5, 7}, {4, 7, 6}, {0, 1, 5}, {0, 5, 4},
                              {2, 6, 7}, {2, 7, 3}, {0, 4, 6}, {0, 6, 2}, {1, 3, 7}, {1, 7, 5}};
    t += "12;\n";
    for (int f = 0; f < 12; ++f) {
        t += "3;" + std::to_string(faces[f][0]) + "," + std::to_string(faces[f][1]) + "," +
             std::to_string(faces[f][2]) + (f < 11 ? ";,\n" : ";;\n");
    }
    t += "}\n";
    return t;
}

// A unit-ish box around the origin: x and z from -1 to 1, y from -0.5 to 0.5.
inline std::string UnitBoxX()
{
    return BoxX(-1, 1, -0.5f, 0.5f, -1, 1);
}

// An .ini in the test section with the given key lines ("ポイント=2").
inline std::string Ini(const std::vector<std::string>& lines)
{
    std::string t = std::string("[") + kSection + "]\r\n";
    for (const std::string& line : lines)
        t += line + "\r\n";
    return t;
}

// A layout over an object folder in a temporary directory.
class LayoutTest : public ::testing::Test {
  protected:
    LayoutTest()
    {
        auto created = gfx::RecordingDevice::Create();
        device = std::move(created.device);
        folder = dir.Path().string() + "/";
        layout.Catalogue().SetObjectFolder(folder);
    }

    void WriteFile(const std::string& name, const std::string& bytes) const
    {
        testsupport::WriteBytes(dir.Path() / name, bytes);
    }
    void WriteType(const std::string& name, const std::vector<std::string>& iniLines,
                   const std::string& mesh = UnitBoxX()) const
    {
        WriteFile(name + ".ini", Ini(iniLines));
        WriteFile(name + ".x", mesh);
    }
    platform::Status Scan() { return layout.ScanObjectFolder(device.get()); }

    int Place(int type, float x, float y, float z, float angle = 0, int key = layout::kNoKey)
    {
        auto index =
            layout.Placed().Append({.type = type, .x = x, .y = y, .z = z, .angle = angle, .key = key});
        EXPECT_TRUE(index.ok());
        return index.ok() ? *index : -1;
    }

    // A click on the layout: the nearest hit, then the selection follows it.
    float Pick(const layout::PickRay& ray, bool ctrl = false)
    {
        return layout.Drag().PickPlacedObject(ray, layout.FindPickHit(ray), ctrl);
    }

    // A ray straight down through (x, z).
    static layout::PickRay Down(float x, float z) { return {{x, 100.0f, z}, {x, -100.0f, z}}; }

    testsupport::TempDir dir;
    std::string folder;
    std::unique_ptr<gfx::RecordingDevice> device;
    layout::CLayout layout{kSection};
};

// What the map commands had to say, kept as the application would show it.
class MapMessageLog {
  protected:
    layout::MapOutcome Keep(layout::MapResult result)
    {
        shown.insert(shown.end(), result.messages.begin(), result.messages.end());
        return result.outcome;
    }
    std::vector<std::string> ShownTexts() const
    {
        std::vector<std::string> texts;
        for (const layout::MapMessage& message : shown)
            texts.push_back(message.text);
        return texts;
    }

    std::vector<layout::MapMessage> shown;
};

} // namespace layouttest
