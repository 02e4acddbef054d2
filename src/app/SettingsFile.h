// The settings file beside the executable: 18 keys in one section named after the
// executable, read once at start-up straight into the settings dialog's controls and the
// folders of the layout and the vehicles, and written once when the program closes. Two keys
// of our own follow them, the thresholds of the layout check; files without them read as
// before, and readers that do not know them pass them by.
#pragma once

#include "platform/Result.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace input {
class CInput;
}

namespace app {

class CLayoutCheck;
class CSetUp;
class LayoutPort;
class VehiclesPort;

class SettingsFile {
  public:
    // The keys in the order they are read and written.
    static constexpr std::array<std::string_view, 19> kKeys = {
        "Object",   "Background",     "Train",        "Plane",    "Helicopter",  "Car",
        "FileName", "CamLocateIndex", "CamViewIndex", "Kidou",    "PointSprite", "PointSpriteType",
        "Moji",     "Light",          "Line",         "Gensoku",  "Douki",       "DriveType",
        "RealTime"};
    // The layout check's thresholds: the steepest grade in percent and the least clearance.
    static constexpr std::array<std::string_view, 2> kThresholdKeys = {"CheckGrade", "CheckClearance"};
    // Values other than paths are read into a buffer of this many characters.
    static constexpr std::size_t kValueBuffer = 256;
    static constexpr std::string_view kDefaultMapFile = "RailData.txt";

    // path: the file; section: the executable's base name. input converts paths against the
    // executable's folder.
    SettingsFile(std::string path, std::string section, const input::CInput& input);

    // executableFolder (ending in '/') + name + ".ini".
    static std::string DefaultPath(std::string_view executableFolder, std::string_view executableName);

    const std::string& Path() const { return path_; }
    const std::string& Section() const { return section_; }

    // Defaults first, then every key present in the file. Indices outside their list and
    // check states a box does not have fall back to the key's default; the light slider keeps
    // itself in its range. "DriveType" acts as a click on its radio; the sliders' dependents
    // are refreshed at the end. The check's thresholds go into its window's boxes; one that is
    // missing or no positive number keeps its default.
    void Read(CSetUp& setUp, LayoutPort& layout, VehiclesPort& vehicles, CLayoutCheck& layoutCheck) const;

    // The 18 values and then the two thresholds, as they would be written.
    std::vector<std::pair<std::string, std::string>> Entries(const CSetUp& setUp, const LayoutPort& layout,
                                                             const VehiclesPort& vehicles,
                                                             const CLayoutCheck& layoutCheck) const;
    // Writes them in one safe replacement of the file, keeping its other lines.
    platform::Status Write(const CSetUp& setUp, const LayoutPort& layout, const VehiclesPort& vehicles,
                           const CLayoutCheck& layoutCheck) const;

  private:
    std::string path_;
    std::string section_;
    const input::CInput& input_;
};

} // namespace app
