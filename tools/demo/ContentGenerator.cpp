#include "demo/ContentGenerator.h"

#include "demo/DemoLayout.h"
#include "demo/Images.h"
#include "demo/KeyLabels.h"
#include "demo/MaxLayout.h"
#include "demo/RollingStock.h"
#include "demo/Scenery.h"
#include "demo/TrackPieces.h"
#include "demo/Vehicles.h"
#include "demo/XFileWriter.h"
#include "layout/CLayout.h"
#include "layout/MapFile.h"
#include "layout/MapFileVehicles.h"
#include "operation/OperationFile.h"
#include "platform/Profile.h"
#include "platform/SafeFile.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace demo {

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// A value for an .ini file: fixed point, trailing zeros dropped.
std::string IniNumber(double value)
{
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    std::string text(buffer, error == std::errc{} ? end : buffer);
    while (text.size() > 1 && text.back() == '0' && text[text.size() - 2] != '.')
        text.pop_back();
    return text == "-0.0" ? "0.0" : text;
}

class Writer {
  public:
    Writer(std::string root, GeneratorReport& report) : root_(std::move(root)), report_(report) {}

    const std::string& Root() const { return root_; }
    bool Exists(std::string_view relative) const
    {
        return std::filesystem::exists(root_ + std::string(relative));
    }

    platform::Status Write(const std::string& relative, std::string_view bytes)
    {
        const std::string path = root_ + relative;
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
        if (error) return platform::Fail("cannot create the folder for " + path + ": " + error.message());
        const platform::Status written = platform::ReplaceFile(path, bytes);
        if (!written) return platform::Fail(path + ": " + written.error());
        report_.written.push_back(relative);
        return platform::Ok{};
    }

    // A profile file of one section, in code page 932 as the program's own files are.
    platform::Status WriteIni(const std::string& relative, const Entries& entries)
    {
        const std::string path = root_ + relative;
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
        if (error) return platform::Fail("cannot create the folder for " + path + ": " + error.message());
        platform::Profile profile = platform::Profile::FromBytes(path, "");
        for (const auto& [key, value] : entries) {
            const platform::Status set = profile.SetString(kSection, key, value);
            if (!set) return platform::Fail(path + ": " + set.error());
        }
        const platform::Status saved = profile.Save();
        if (!saved) return platform::Fail(path + ": " + saved.error());
        report_.written.push_back(relative);
        return platform::Ok{};
    }

    // Another name for a file already written.
    platform::Status Copy(const std::string& from, const std::string& to)
    {
        std::ifstream in(root_ + from, std::ios::binary);
        if (!in) return platform::Fail("cannot read " + root_ + from);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return Write(to, bytes);
    }

    platform::Status WriteModel(const std::string& relative, const MeshBuilder& mesh,
                                const std::string& meshName)
    {
        return Write(relative, XFileText(mesh, meshName));
    }

  private:
    std::string root_;
    GeneratorReport& report_;
};

// A mesh's name in the .x file: the model name made into an identifier.
std::string MeshName(const std::string& model)
{
    std::string name;
    for (const char c : model)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

Entries ObjectIni(int routes, const std::vector<SnapDef>& snaps)
{
    Entries entries{{"透明", "0"}, {"ポイント", std::to_string(routes)}};
    for (std::size_t i = 0; i < snaps.size(); ++i) {
        entries.push_back({"SnapX" + std::to_string(i), IniNumber(snaps[i].x)});
        entries.push_back({"SnapZ" + std::to_string(i), IniNumber(snaps[i].z)});
    }
    return entries;
}

#define DEMO_TRY(expression)                                                                                 \
    do {                                                                                                     \
        const platform::Status status_ = (expression);                                                       \
        if (!status_) return platform::Fail(status_.error());                                                \
    } while (false)

platform::Status WriteObjects(Writer& out, const std::vector<TrackPiece>& pieces,
                              const std::vector<SceneryModel>& scenery, const MeshBuilder& ground)
{
    const std::string folder(content::kObjectFolder);
    for (const TrackPiece& piece : pieces) {
        const TrackModels models = BuildTrackModels(piece);
        DEMO_TRY(out.WriteModel(folder + piece.name + ".x", models.visible, MeshName(piece.name)));
        DEMO_TRY(out.WriteModel(folder + piece.name + "_r.x", models.guide, MeshName(piece.name) + "_r"));
        DEMO_TRY(out.WriteIni(folder + piece.name + ".ini",
                              ObjectIni(static_cast<int>(piece.routes.size()), piece.snaps)));
    }
    for (const SceneryModel& model : scenery) {
        DEMO_TRY(out.WriteModel(folder + model.name + ".x", model.mesh, MeshName(model.name)));
        DEMO_TRY(out.WriteIni(folder + model.name + ".ini", ObjectIni(0, model.snaps)));
    }
    // The background has no .ini, so that it is not listed as an object.
    DEMO_TRY(out.WriteModel(folder + std::string(content::kBackground) + ".x", ground, "ground"));
    DEMO_TRY(out.Write(folder + std::string(content::kGroundTexture), PngBytes(GrassTexture(256))));
    return platform::Ok{};
}

platform::Status WriteTrains(Writer& out, const std::vector<TrainFile>& trains)
{
    const std::string folder(content::kTrainFolder);
    auto carIni = [](const CarModel& car) {
        return Entries{{"運転席座標y", IniNumber(car.seatY)},
                       {"運転席座標z", IniNumber(car.seatZ)},
                       {"判定位置前方", IniNumber(car.front)},
                       {"判定位置後方", IniNumber(car.rear)}};
    };
    for (const CarModel& car : CarModels()) {
        DEMO_TRY(out.WriteModel(folder + car.name + ".x", car.mesh, MeshName(car.name)));
        DEMO_TRY(out.WriteIni(folder + car.name + ".ini", carIni(car)));
    }
    // The teapot is built in: only its .ini is needed.
    DEMO_TRY(out.WriteIni(folder + kTeapotModel + ".ini", carIni(TeapotSettings())));
    for (const TrainFile& train : trains) {
        Entries entries{{"垂直方向オフセット", IniNumber(train.verticalOffset)},
                        {"車両間距離", IniNumber(train.carGap)}};
        for (std::size_t i = 0; i < train.cars.size(); ++i) {
            const std::string n = std::to_string(i + 1);
            entries.push_back({n + "両目モデル名", train.cars[i].first});
            entries.push_back({n + "両目回転角度", IniNumber(train.cars[i].second)});
        }
        DEMO_TRY(out.WriteIni(folder + train.name + ".txt", entries));
    }
    return platform::Ok{};
}

platform::Status WriteVehicles(Writer& out)
{
    for (const VehicleModel& vehicle : VehicleModels()) {
        const std::string base = vehicle.folder + "/" + vehicle.name;
        DEMO_TRY(out.WriteModel(base + ".x", vehicle.mesh, MeshName(vehicle.name)));
        DEMO_TRY(out.WriteIni(base + ".ini", vehicle.ini));
    }
    return platform::Ok{};
}

platform::Status WriteKeyLabels(Writer& out, GeneratorReport& report)
{
    platform::Result<LabelPainter> painter = LabelPainter::Create();
    if (!painter) return platform::Fail(painter.error());
    report.fontFile = painter->FontFile();
    for (int style = 0; style < kKeyLabelStyles; ++style) {
        for (const KeyLabel& label : KeyLabels(style)) {
            const platform::Result<Picture> picture = painter->Paint(label);
            if (!picture) return platform::Fail(picture.error());
            DEMO_TRY(out.Write(std::string(content::kLabelFolder) + "SP" + std::to_string(style) + "/" +
                                   label.file,
                               BmpBytes(*picture)));
        }
    }
    return platform::Ok{};
}

// `folder` is "./" (the program folder) or the absolute path of the content's folder.
platform::Status WriteSettings(Writer& out, const std::string& file, const std::string& folder,
                               std::string_view map)
{
    const Entries entries{{"Object", folder + std::string(content::kObjectFolder)},
                          {"Background", std::string(content::kBackground)},
                          {"Train", folder + std::string(content::kTrainFolder)},
                          {"Plane", folder + std::string(content::kPlaneFolder)},
                          {"Helicopter", folder + std::string(content::kHelicopterFolder)},
                          {"Car", folder + std::string(content::kCarFolder)},
                          {"FileName", folder + std::string(map)},
                          // The camera looks from the helicopter at train 1.
                          {"CamLocateIndex", "8"},
                          {"CamViewIndex", "1"},
                          // Route display of turnouts only.
                          {"Kidou", "2"},
                          {"PointSprite", "1"},
                          {"PointSpriteType", "0"},
                          {"Moji", "1"},
                          {"Light", "100"},
                          {"Line", "0"},
                          {"Gensoku", "1"},
                          {"Douki", "1"},
                          {"DriveType", "2"}};
    return out.WriteIni(file, entries);
}

// The demo in service: protection on; trains 1 and 2 on autopilot at 60 km/h, each stopping at
// the station for 20 seconds on every lap; the freight (train 3) on autopilot at 30 km/h as a
// shuttle between the loop track's ends, marked as termini of 10 seconds, so that it never
// leaves the loop for the main line.
operation::OperationSettings DemoOperation(const DemoLayout& demo, const layout::PlacedObjects& placed)
{
    operation::OperationSettings settings;
    if (demo.station.empty()) return settings;
    settings.protect = true;
    const layout::ObjectId station = placed.IdOf(demo.station.front());
    for (const int slot : {0, 1}) settings.slots[static_cast<std::size_t>(slot)] = {.autopilot = true, .itinerary = {station}};
    settings.slots[2] = {.autopilot = true, .cruiseKmh = 30, .shuttle = true, .itinerary = {}};
    for (const int index : demo.station) settings.stops[placed.IdOf(index)] = 20;
    for (const std::vector<int>* end : {&demo.loopWest, &demo.loopEast}) {
        for (const int index : *end) {
            settings.stops[placed.IdOf(index)] = 10;
            settings.termini.insert(placed.IdOf(index));
        }
    }
    return settings;
}

platform::Status WriteMap(Writer& out, const DemoLayout& demo, std::string_view file)
{
    // The map is written the way the program saves one, from a layout over the object folder
    // just written (names only: no meshes are needed for that).
    layout::CLayout map{std::string(kSection)};
    map.Catalogue().SetObjectFolder(out.Root() + std::string(content::kObjectFolder));
    map.Catalogue().SetBackgroundName(std::string(content::kBackground));
    map.ScanObjectFolder(nullptr);
    for (const PlacedPiece& o : demo.objects) {
        const int type = map.Catalogue().FindTypeByName(o.type);
        if (type < 0)
            return platform::Fail("the demo map uses " + o.type + ", which is not in the object folder");
        const layout::PlacedObject placed{type,
                                          static_cast<float>(o.x),
                                          static_cast<float>(o.y),
                                          static_cast<float>(o.z),
                                          static_cast<float>(o.angle),
                                          o.route,
                                          o.key};
        const platform::Result<int> added = map.Placed().Append(placed);
        if (!added) return platform::Fail("cannot place " + o.type + ": " + added.error());
    }
    layout::StoredMapVehicles vehicles;
    for (int slot = 1; slot <= layout::kMapTrainSlots; ++slot) {
        const TrainHome& home = demo.trains[static_cast<std::size_t>(slot - 1)];
        vehicles.SetTrainHome(slot, {static_cast<float>(home.x), static_cast<float>(home.y),
                                     static_cast<float>(home.z), static_cast<float>(home.yaw)});
        vehicles.SelectTrainChoice(slot, home.train);
    }
    const auto start = [](V3 p) {
        return math::Vec3{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
    };
    vehicles.SetStartPosition(layout::MapVehicle::Plane, start(demo.plane));
    vehicles.SetStartPosition(layout::MapVehicle::Helicopter, start(demo.helicopter));
    vehicles.SetStartPosition(layout::MapVehicle::Car, start(demo.car));
    vehicles.SelectVehicleChoice(layout::MapVehicle::Plane, demo.planeModel);
    vehicles.SelectVehicleChoice(layout::MapVehicle::Helicopter, demo.helicopterModel);
    vehicles.SelectVehicleChoice(layout::MapVehicle::Car, demo.carModel);
    vehicles.SetOperationLines(operation::OperationLines(DemoOperation(demo, map.Placed()), map.Placed()));
    return out.Write(std::string(file), layout::EncodeMapFile(layout::MapFileText(map, vehicles)));
}

} // namespace

platform::Result<GeneratorReport> GenerateContent(const GeneratorOptions& options)
{
    GeneratorReport report;
    std::string root = options.programFolder;
    if (root.empty() || root.back() != '/') root += '/';
    Writer out(root, report);
    try {
        const std::vector<TrackPiece> pieces = TrackPieceSet();
        const std::vector<SceneryModel> scenery = SceneryModels();
        std::vector<TrainFile> trains = TrainFiles();
        if (options.maximum) trains.push_back(MaxTrainFile());
        DEMO_TRY(WriteObjects(out, pieces, scenery,
                              options.maximum ? GroundModel(maximum::kGroundSide, maximum::kGroundCentreX,
                                                            maximum::kGroundCentreZ)
                                              : GroundModel()));
        DEMO_TRY(WriteTrains(out, trains));
        DEMO_TRY(WriteVehicles(out));
        DEMO_TRY(WriteKeyLabels(out, report));

        const DemoLayout demo = BuildDemoLayout(pieces, scenery);
        report.mainLoopLength = demo.mainLoopLength;
        report.largestJointGap = demo.largestJointGap;
        if (demo.largestJointGap >= 1e-3) return platform::Fail("a joint of the demo map is left open");

        std::string folder = "./";
        std::string_view map = content::kDemoMap;
        if (options.maximum) {
            std::vector<std::string> demoTypes;
            for (const TrackPiece& piece : pieces)
                demoTypes.push_back(piece.name);
            for (const SceneryModel& model : scenery)
                demoTypes.push_back(model.name);
            const std::string objects(content::kObjectFolder);
            for (const TypeCopy& copy : MaxTypeCopies(demoTypes)) {
                DEMO_TRY(out.Copy(objects + copy.base + ".x", objects + copy.name + ".x"));
                DEMO_TRY(out.Copy(objects + copy.base + ".ini", objects + copy.name + ".ini"));
                if (out.Exists(objects + copy.base + "_r.x"))
                    DEMO_TRY(out.Copy(objects + copy.base + "_r.x", objects + copy.name + "_r.x"));
            }
            folder = std::filesystem::absolute(root).lexically_normal().string();
            if (folder.back() != '/') folder += '/';
            map = maximum::kMap;
        }

        const std::string settings = options.executableName + ".ini";
        if (out.Exists(settings))
            report.kept.push_back(settings);
        else
            DEMO_TRY(WriteSettings(out, settings, folder, map));
        if (out.Exists(content::kDemoMap))
            report.kept.push_back(std::string(content::kDemoMap));
        else
            DEMO_TRY(WriteMap(out, demo, content::kDemoMap));
        if (options.maximum) {
            if (out.Exists(maximum::kMap))
                report.kept.push_back(std::string(maximum::kMap));
            else
                DEMO_TRY(WriteMap(out, BuildMaxLayout(demo, pieces.size() + scenery.size()), maximum::kMap));
        }
    } catch (const std::exception& e) {
        return platform::Fail(e.what());
    }
    return report;
}

} // namespace demo

#undef DEMO_TRY
