#include "layout/ObjectIni.h"

#include "math/NumberText.h"
#include "math/ValueLimits.h"
#include "platform/Profile.h"

#include <cmath>

namespace layout {

namespace {

// GetPrivateProfileString's buffer in the original reader.
constexpr std::size_t kIniBuffer = 32;
constexpr std::string_view kUnusedText = "10000.0";

} // namespace

ObjectIniValues ReadObjectIni(const std::string& path, std::string_view section)
{
    const platform::Profile ini(path);
    ObjectIniValues values;
    values.transparent = math::ParseInt(ini.GetString(section, "透明", "0", kIniBuffer));
    values.routeCount = math::ParseInt(ini.GetString(section, "ポイント", "0", kIniBuffer));

    // The list ends at the first coordinate that reads exactly "10000.0" (compared as text, so
    // "10000" is a real coordinate). A value that is no finite number ends it as well.
    for (int n = 0; n < kSnapPointCount; ++n) {
        const std::string number = std::to_string(n);
        const std::string xText = ini.GetString(section, "SnapX" + number, kUnusedText, kIniBuffer);
        if (xText == kUnusedText) break;
        const float x = math::ParseFloat(xText);
        if (!std::isfinite(x)) break;
        values.snaps[n].x = math::ClampRead(x, math::ValueKind::Offset, path + " SnapX" + number);
        const std::string zText = ini.GetString(section, "SnapZ" + number, kUnusedText, kIniBuffer);
        if (zText == kUnusedText) break;
        const float z = math::ParseFloat(zText);
        if (!std::isfinite(z)) break;
        values.snaps[n].z = math::ClampRead(z, math::ValueKind::Offset, path + " SnapZ" + number);
        values.snaps[n].distance =
            std::sqrt(values.snaps[n].x * values.snaps[n].x + 0.0f * 0.0f + values.snaps[n].z * values.snaps[n].z);
    }
    return values;
}

} // namespace layout
