#include "vehicles/TrainFile.h"

#include "math/NumberText.h"
#include "math/Numeric.h"
#include "platform/Profile.h"

#include <algorithm>
#include <iostream>

namespace vehicles {

namespace {

// The original reader's buffer.
constexpr std::size_t kBuffer = 256;
constexpr std::string_view kEndOfTrain = "NULL";

// atof of the value, or of defText when the key is missing; defValue stands in for a value that
// is no finite number.
float ReadReal(const platform::Profile& file, std::string_view section, std::string_view key,
               std::string_view defText, float defValue)
{
    return math::FiniteOr(math::ParseFloat(file.GetString(section, key, defText, kBuffer)), defValue);
}

// Probe distances beyond this make no sense for a car and overflow when added.
constexpr float kMaxProbeDistance = 10000.0f;

float ReadProbe(const platform::Profile& file, const std::string& path, std::string_view section,
                std::string_view key)
{
    const float value = ReadReal(file, section, key, "1.0", 1.0f);
    const float held = std::clamp(value, -kMaxProbeDistance, kMaxProbeDistance);
    if (held != value)
        std::cerr << "korvela: " << path << ": " << key << "=" << value << " held to " << held << "\n";
    return held;
}

} // namespace

TrainFileValues ReadTrainFile(const std::string& path, std::string_view section)
{
    const platform::Profile file(path);
    TrainFileValues values;
    values.verticalOffset = ReadReal(file, section, "垂直方向オフセット", "0.0", 0.0f);
    values.carGap = ReadReal(file, section, "車両間距離", "0.2", 0.2f);
    for (int n = 1; n <= kMaxCars; ++n) {
        const std::string number = std::to_string(n);
        std::string name = file.GetString(section, number + "両目モデル名", kEndOfTrain, kBuffer);
        if (name == kEndOfTrain) break;
        const std::string angleText = file.GetString(section, number + "両目回転角度", "0.0", kBuffer);
        // The train file's own degree factor, in double as the original computed it.
        const double degrees = math::FiniteOr(math::ParseDouble(angleText), 0.0);
        const float angle = math::FiniteOr(static_cast<float>(degrees * math::kTrainDegToRad), 0.0f);
        values.cars.push_back({std::move(name), angle});
    }
    return values;
}

CarModelValues ReadCarModelIni(const std::string& path, std::string_view section)
{
    const platform::Profile file(path);
    CarModelValues values;
    values.seatY = ReadReal(file, section, "運転席座標y", "0.0", 0.0f);
    values.seatZ = ReadReal(file, section, "運転席座標z", "0.0", 0.0f);
    values.frontProbe = ReadProbe(file, path, section, "判定位置前方");
    values.rearProbe = ReadProbe(file, path, section, "判定位置後方");
    return values;
}

} // namespace vehicles
