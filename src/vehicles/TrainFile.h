// Train files and car model files: the keys a train folder holds, read as the original profile
// reader reads them (Shift-JIS or UTF-8 text, one section named after the executable). A number
// that is no finite value ("nan", "inf", "1e999") counts as missing and gives the key's default.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Profile;
}

namespace vehicles {

// A train holds at most this many cars; car n's keys are numbered n + 1.
inline constexpr int kMaxCars = 16;

struct TrainCarEntry {
    std::string modelName; // "Teapot" names the built-in teapot
    float modelAngle = 0;  // radians
};

struct TrainFileValues {
    float verticalOffset = 0.0f; // "垂直方向オフセット"
    float carGap = 0.2f;         // "車両間距離"
    // Cars 1, 2, … up to the first model name "NULL" (or missing key), at most kMaxCars.
    std::vector<TrainCarEntry> cars;
};

struct CarModelValues {
    float seatY = 0.0f;      // "運転席座標y"
    float seatZ = 0.0f;      // "運転席座標z"
    float frontProbe = 1.0f; // "判定位置前方", held within ±10000
    float rearProbe = 1.0f;  // "判定位置後方", held within ±10000
};

// The train file at path (missing: all defaults, no cars).
TrainFileValues ReadTrainFile(const std::string& path, std::string_view section);
// The car model's .ini at path (missing: all defaults).
CarModelValues ReadCarModelIni(const std::string& path, std::string_view section);
// The same from a profile already loaded.
TrainFileValues ReadTrainFile(const platform::Profile& file, std::string_view section);
CarModelValues ReadCarModelIni(const platform::Profile& file, std::string_view section);

} // namespace vehicles
