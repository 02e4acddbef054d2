// Train files and car model .ini files from anywhere: every value that comes out is finite and
// within the range of its kind, whatever the file holds or whether it can be read at all.
#include "common/TestSupport.h"
#include "math/Numeric.h"
#include "math/ValueLimits.h"
#include "platform/TextFile.h"
#include "vehicles/TrainFile.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

using vehicles::CarModelValues;
using vehicles::TrainFileValues;

std::string Train(const std::string& lines)
{
    return "[korvela]\r\n" + lines;
}

TEST(TrainFileBadInput, ValuesAreDefaultsWhenUnreadableAndClampedWhenHuge)
{
    testsupport::TempDir dir;
    const std::string path = dir.File("train.txt");
    const struct {
        std::string label;
        std::function<void()> make;
        float offset, gap, angle, probe; // vertical offset, car gap, car 1 angle (radians), front probe
        std::size_t cars;
        bool clampedLine; // a line on standard error says a value was clamped
    } cases[] = {
        {"missing file", [] {}, 0.0f, 0.2f, 0.0f, 1.0f, 0, false},
        {"a folder", [&] { std::filesystem::create_directory(path); }, 0.0f, 0.2f, 0.0f, 1.0f, 0, false},
        {"over the size cap",
         [&] {
             testsupport::WriteBytes(path, Train("1両目モデル名=A\r\n") + std::string(platform::kMaxProfileBytes, ';'));
         },
         0.0f, 0.2f, 0.0f, 1.0f, 0, false},
        {"non-finite numbers",
         [&] {
             testsupport::WriteBytes(path, Train("垂直方向オフセット=nan\r\n車両間距離=inf\r\n1両目モデル名=A\r\n"
                                                 "1両目回転角度=-1e999\r\n判定位置前方=NAN\r\n"));
         },
         0.0f, 0.2f, 0.0f, 1.0f, 1, false},
        {"huge numbers",
         [&] {
             testsupport::WriteBytes(path, Train("垂直方向オフセット=1e30\r\n車両間距離=-3e38\r\n1両目モデル名=A\r\n"
                                                 "1両目回転角度=1e300\r\n判定位置前方=1e20\r\n"));
         },
         1e4f, -1e4f, static_cast<float>(1e6 * math::kTrainDegToRad), 1e4f, 1, true},
        {"more cars than a train holds",
         [&] {
             std::string lines;
             for (int n = 1; n <= 40; ++n)
                 lines += std::to_string(n) + "両目モデル名=A\r\n";
             testsupport::WriteBytes(path, Train(lines));
         },
         0.0f, 0.2f, 0.0f, 1.0f, static_cast<std::size_t>(vehicles::kMaxCars), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::filesystem::remove_all(path);
        c.make();
        testing::internal::CaptureStderr();
        const TrainFileValues train = vehicles::ReadTrainFile(path, "korvela");
        const CarModelValues car = vehicles::ReadCarModelIni(path, "korvela");
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(train.verticalOffset, c.offset);
        EXPECT_EQ(train.carGap, c.gap);
        ASSERT_EQ(train.cars.size(), c.cars);
        if (c.cars > 0) EXPECT_FLOAT_EQ(train.cars[0].modelAngle, c.angle);
        EXPECT_EQ(car.frontProbe, c.probe);
        EXPECT_EQ(car.rearProbe, 1.0f);
        EXPECT_EQ(!said.empty(), c.clampedLine) << said;
        if (c.clampedLine) EXPECT_NE(said.find(path + " 垂直方向オフセット"), std::string::npos) << said;
    }
}

} // namespace
