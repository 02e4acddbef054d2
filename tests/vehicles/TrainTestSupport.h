// Train folders for the train tests: box-shaped car models with their .ini, train files in
// Shift-JIS like those written on Windows, a train slot, and the keys that drive it; over a
// layout of generated track pieces.
#pragma once

#include "input/CInput.h"
#include "layout/SurfaceTestSupport.h"
#include "platform/KeyState.h"
#include "platform/TextFile.h"
#include "vehicles/CTrain.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace traintest {

using layouttest::kSection;

// A car body: 1.6 wide, 1.5 high, length long, origin on the floor in the middle.
inline std::string CarBody(double length)
{
    return tracks::BoxText(-0.8, 0.8, 0.0, 1.5, -length / 2, length / 2);
}

// A profile in the test section, in code page 932 as the original's files are.
inline std::string SjisIni(const std::vector<std::string>& lines)
{
    std::string text = std::string("[") + kSection + "]\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return platform::EncodeText(text, platform::TextEncoding::Cp932);
}

class TrainTest : public surfacetest::SurfaceTest {
  protected:
    TrainTest()
    {
        std::filesystem::create_directories(dir.Path() / "train");
        trainFolder = folder + "train/";
        train.SetFolder(trainFolder);
    }

    // A car model: name.x and name.ini in the train folder.
    void WriteCar(const std::string& name, double length, const std::vector<std::string>& iniLines = {}) const
    {
        testsupport::WriteBytes(dir.Path() / "train" / (name + ".x"), CarBody(length));
        testsupport::WriteBytes(dir.Path() / "train" / (name + ".ini"), SjisIni(iniLines));
    }
    void WriteTrainFile(const std::string& name, const std::vector<std::string>& lines) const
    {
        testsupport::WriteBytes(dir.Path() / "train" / (name + ".txt"), SjisIni(lines));
    }
    // A train of count cars of the model, with the given gap.
    void WriteConsist(const std::string& name, const std::string& model, int count,
                      const std::string& gap = "0.2")
    {
        std::vector<std::string> lines = {"車両間距離=" + gap};
        for (int n = 1; n <= count; ++n)
            lines.push_back(std::to_string(n) + "両目モデル名=" + model);
        WriteTrainFile(name, lines);
    }
    void Load(const std::string& name)
    {
        const platform::Status loaded = train.LoadTrain(device.get(), name);
        ASSERT_TRUE(loaded) << loaded.error();
    }

    // One pass as the main loop runs it with no edit tool: DriveStep, then the track following
    // of the per-car pass.
    void Pass(const vehicles::FollowControls& follow = {})
    {
        train.DriveStep(input, drive);
        train.FollowTrack(surface, follow);
    }

    std::string trainFolder;
    platform::KeyState keys;
    input::CInput input{keys};
    vehicles::DriveControls drive;
    vehicles::CTrain train{1, kSection};
};

} // namespace traintest
