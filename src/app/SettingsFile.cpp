#include "app/SettingsFile.h"

#include "app/LayoutPort.h"
#include "app/VehiclesPort.h"
#include "app/dialogs/CLayoutCheck.h"
#include "app/dialogs/CSetUp.h"
#include "input/CInput.h"
#include "math/NumberText.h"
#include "platform/Profile.h"
#include "ui/SetUpTemplate.h"

#include <limits>
#include <optional>

namespace app {

namespace {

namespace su = ui::setup;

// Stands for a key the file lacks: a value read from a file never holds a line break.
constexpr std::string_view kAbsent = "\n";
// Paths are read whole: a cut path written back at close would lose the folder for good.
constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

struct CheckKey {
    std::string_view key;
    int id;
    int fallback;
};

// Check boxes in file order, with the state used when the key is missing or holds a state the
// box does not have.
constexpr std::array<CheckKey, 7> kCheckKeys = {{{"Kidou", su::kTrack, 1},
                                                 {"PointSprite", su::kSprites, 1},
                                                 {"Moji", su::kText, 1},
                                                 {"Line", su::kLines, 0},
                                                 {"Gensoku", su::kNoDeceleration, 1},
                                                 {"Douki", su::kSync, 1},
                                                 {"RealTime", su::kRealTime, 1}}};

class Reader {
  public:
    Reader(const std::string& path, const std::string& section) : profile_(path), section_(section) {}

    // The value as written, or nothing when the key is missing.
    std::optional<std::string> Path(std::string_view key) const
    {
        std::string value = profile_.GetString(section_, key, kAbsent, kUnlimited);
        if (value == kAbsent) return std::nullopt;
        return value;
    }

    int Number(std::string_view key, std::string_view fallback) const
    {
        return math::ParseInt(profile_.GetString(section_, key, fallback, SettingsFile::kValueBuffer));
    }
    // A missing key reads as 0.
    float Real(std::string_view key) const
    {
        return math::ParseFloat(profile_.GetString(section_, key, "", SettingsFile::kValueBuffer));
    }

  private:
    platform::Profile profile_;
    const std::string& section_;
};

void SetCheckOrDefault(ui::DialogModel& model, const CheckKey& check, int state)
{
    if (!model.SetCheck(check.id, state)) model.SetCheck(check.id, check.fallback);
}

} // namespace

SettingsFile::SettingsFile(std::string path, std::string section, const input::CInput& input)
    : path_(std::move(path)), section_(std::move(section)), input_(input)
{
}

std::string SettingsFile::DefaultPath(std::string_view executableFolder, std::string_view executableName)
{
    return std::string(executableFolder) + std::string(executableName) + ".ini";
}

void SettingsFile::Read(CSetUp& setUp, LayoutPort& layout, VehiclesPort& vehicles,
                        CLayoutCheck& layoutCheck) const
{
    const std::string& folder = input_.ExecutableFolder();
    layout.SetObjectFolder(folder);
    for (int slot = 1; slot <= 6; ++slot)
        vehicles.SetTrainFolder(slot, folder);
    for (const Vehicle vehicle : {Vehicle::Plane, Vehicle::Helicopter, Vehicle::Car})
        vehicles.SetVehicleFolder(vehicle, folder);
    layout.SetMapFilePath(folder + std::string(kDefaultMapFile));

    // Only text actually read is converted: a missing key keeps the default above.
    const Reader file(path_, section_);
    if (auto value = file.Path("Object")) layout.SetObjectFolder(input_.ToAbsoluteFolder(*value));
    if (auto value = file.Path("Background")) layout.SetBackgroundName(*value);
    if (auto value = file.Path("Train")) {
        const std::string train = input_.ToAbsoluteFolder(*value);
        for (int slot = 1; slot <= 6; ++slot)
            vehicles.SetTrainFolder(slot, train);
    }
    if (auto value = file.Path("Plane"))
        vehicles.SetVehicleFolder(Vehicle::Plane, input_.ToAbsoluteFolder(*value));
    if (auto value = file.Path("Helicopter"))
        vehicles.SetVehicleFolder(Vehicle::Helicopter, input_.ToAbsoluteFolder(*value));
    if (auto value = file.Path("Car"))
        vehicles.SetVehicleFolder(Vehicle::Car, input_.ToAbsoluteFolder(*value));
    if (auto value = file.Path("FileName")) layout.SetMapFilePath(input_.ToAbsolutePath(*value));

    ui::DialogModel& model = setUp.Model();
    model.SelectOrFirst(su::kPositionList, file.Number("CamLocateIndex", "0"));
    model.SelectOrFirst(su::kViewPointList, file.Number("CamViewIndex", "0"));

    // File order: Kidou, PointSprite, PointSpriteType, Moji, Light, Line, Gensoku, Douki.
    const auto check = [&](std::size_t index) {
        const CheckKey& key = kCheckKeys[index];
        SetCheckOrDefault(model, key, file.Number(key.key, std::to_string(key.fallback)));
    };
    check(0);
    check(1);
    model.SelectOrFirst(su::kSpriteStyle, file.Number("PointSpriteType", "0"));
    check(2);
    model.SetPosition(su::kLight, file.Number("Light", "100"));
    check(3);
    check(4);
    check(5);
    check(6);

    switch (file.Number("DriveType", "2")) {
    case 0:
        setUp.SelectDriveCamera();
        break;
    case 1:
        setUp.SelectDrivePlane();
        break;
    default:
        setUp.SelectDriveHelicopter();
        break;
    }
    setUp.OnHScroll();

    // The window takes 0, and anything else that is no positive number, for its default.
    layoutCheck.SetSettings({file.Real(kThresholdKeys[0]), file.Real(kThresholdKeys[1])});
}

std::vector<std::pair<std::string, std::string>> SettingsFile::Entries(const CSetUp& setUp,
                                                                       const LayoutPort& layout,
                                                                       const VehiclesPort& vehicles,
                                                                       const CLayoutCheck& layoutCheck) const
{
    const ui::DialogModel& model = setUp.Model();
    const auto number = [](int value) { return std::to_string(value); };
    int driveType = 0;
    if (model.IsChecked(su::kDriveHelicopter))
        driveType = 2;
    else if (model.IsChecked(su::kDrivePlane))
        driveType = 1;

    const std::string values[kKeys.size()] = {
        input_.ToRelativePath(layout.ObjectFolder()),
        layout.BackgroundName(),
        input_.ToRelativePath(vehicles.TrainFolder(1)),
        input_.ToRelativePath(vehicles.VehicleFolder(Vehicle::Plane)),
        input_.ToRelativePath(vehicles.VehicleFolder(Vehicle::Helicopter)),
        input_.ToRelativePath(vehicles.VehicleFolder(Vehicle::Car)),
        input_.ToRelativePath(layout.MapFilePath()),
        number(model.Selection(su::kPositionList)),
        number(model.Selection(su::kViewPointList)),
        number(model.Check(su::kTrack)),
        number(model.Check(su::kSprites)),
        number(model.Selection(su::kSpriteStyle)),
        number(model.Check(su::kText)),
        number(model.Position(su::kLight)),
        number(model.Check(su::kLines)),
        number(model.Check(su::kNoDeceleration)),
        number(model.Check(su::kSync)),
        number(driveType),
        number(model.Check(su::kRealTime)),
    };
    std::vector<std::pair<std::string, std::string>> entries;
    entries.reserve(kKeys.size() + kThresholdKeys.size());
    for (std::size_t i = 0; i < kKeys.size(); ++i)
        entries.emplace_back(std::string(kKeys[i]), values[i]);
    const layout::LayoutCheckSettings thresholds = layoutCheck.BoxSettings();
    entries.emplace_back(std::string(kThresholdKeys[0]), math::FormatShortest(thresholds.maxGradePercent));
    entries.emplace_back(std::string(kThresholdKeys[1]), math::FormatShortest(thresholds.minClearance));
    return entries;
}

platform::Status SettingsFile::Write(const CSetUp& setUp, const LayoutPort& layout,
                                     const VehiclesPort& vehicles, const CLayoutCheck& layoutCheck) const
{
    return platform::Profile::WriteStrings(path_, section_, Entries(setUp, layout, vehicles, layoutCheck));
}

} // namespace app
