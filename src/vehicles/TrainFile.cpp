#include "vehicles/TrainFile.h"

#include "math/NumberText.h"
#include "math/Numeric.h"
#include "math/ValueLimits.h"
#include "platform/Profile.h"

namespace vehicles {

namespace {

// The original reader's buffer.
constexpr std::size_t kBuffer = 256;
constexpr std::string_view kEndOfTrain = "NULL";

// atof of the value, or of defText when the key is missing; defValue stands in for a value that
// is no finite number. The result is kept within the range of its kind.
float ReadReal(const platform::Profile& file, std::string_view section, std::string_view key,
               std::string_view defText, float defValue, math::ValueKind kind)
{
    const float value = math::FiniteOr(math::ParseFloat(file.GetString(section, key, defText, kBuffer)), defValue);
    return math::ClampRead(value, kind, file.Path() + " " + std::string(key));
}


} // namespace

TrainFileValues ReadTrainFile(const std::string& path, std::string_view section)
{
    return ReadTrainFile(platform::Profile(path), section);
}

TrainFileValues ReadTrainFile(const platform::Profile& file, std::string_view section)
{
    TrainFileValues values;
    values.verticalOffset = ReadReal(file, section, "垂直方向オフセット", "0.0", 0.0f, math::ValueKind::Offset);
    values.carGap = ReadReal(file, section, "車両間距離", "0.2", 0.2f, math::ValueKind::Offset);
    for (int n = 1; n <= kMaxCars; ++n) {
        const std::string number = std::to_string(n);
        std::string name = file.GetString(section, number + "両目モデル名", kEndOfTrain, kBuffer);
        if (name == kEndOfTrain) break;
        const std::string angleText = file.GetString(section, number + "両目回転角度", "0.0", kBuffer);
        // The train file's own degree factor, in double as the original computed it.
        const double degrees = math::ClampRead(math::FiniteOr(math::ParseDouble(angleText), 0.0),
                                               math::ValueKind::Angle, file.Path() + " " + number + "両目回転角度");
        const float angle = math::FiniteOr(static_cast<float>(degrees * math::kTrainDegToRad), 0.0f);
        values.cars.push_back({std::move(name), angle});
    }
    return values;
}

CarModelValues ReadCarModelIni(const std::string& path, std::string_view section)
{
    return ReadCarModelIni(platform::Profile(path), section);
}

CarModelValues ReadCarModelIni(const platform::Profile& file, std::string_view section)
{
    using math::ValueKind;
    CarModelValues values;
    values.seatY = ReadReal(file, section, "運転席座標y", "0.0", 0.0f, ValueKind::Offset);
    values.seatZ = ReadReal(file, section, "運転席座標z", "0.0", 0.0f, ValueKind::Offset);
    values.frontProbe = ReadReal(file, section, "判定位置前方", "1.0", 1.0f, ValueKind::Probe);
    values.rearProbe = ReadReal(file, section, "判定位置後方", "1.0", 1.0f, ValueKind::Probe);
    return values;
}

} // namespace vehicles
