// The train file and car model .ini readers on any bytes: every value they give is finite and
// within the range of its kind.
#include "FuzzSupport.h"
#include "math/ValueLimits.h"
#include "platform/Profile.h"
#include "vehicles/TrainFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

bool Within(float value, math::ValueKind kind)
{
    const math::ValueRange& range = math::RangeOf(kind);
    return std::isfinite(value) && value >= range.low && value <= range.high;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::QuietReaders();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using math::ValueKind;
    using fuzzsupport::Require;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const platform::Profile file = platform::Profile::FromBytes("fuzz.txt", bytes);

    const vehicles::TrainFileValues train = vehicles::ReadTrainFile(file, "korvela");
    Require(Within(train.verticalOffset, ValueKind::Offset) && Within(train.carGap, ValueKind::Offset));
    Require(train.cars.size() <= static_cast<std::size_t>(vehicles::kMaxCars));
    for (const vehicles::TrainCarEntry& car : train.cars)
        Require(std::isfinite(car.modelAngle));

    const vehicles::CarModelValues model = vehicles::ReadCarModelIni(file, "korvela");
    Require(Within(model.seatY, ValueKind::Offset) && Within(model.seatZ, ValueKind::Offset));
    Require(Within(model.frontProbe, ValueKind::Probe) && Within(model.rearProbe, ValueKind::Probe));
    return 0;
}
