#include "layout/MapFile.h"
#include "layout/MapFileDetail.h"
#include "math/NumberText.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <vector>

namespace layout {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

class MapWriter {
  public:
    void Line(std::string_view text)
    {
        text_ += text;
        text_ += kLineEnd;
    }

    // Reals and integers separated by single spaces, as one line.
    template <class... Values> void Numbers(const Values&... values)
    {
        bool first = true;
        (Append(values, first), ...);
        text_ += kLineEnd;
    }

    std::string Take() { return std::move(text_); }

  private:
    void Append(float value, bool& first)
    {
        Separate(first);
        text_ += math::FormatFixed(value, 3);
    }
    void Append(int value, bool& first)
    {
        Separate(first);
        text_ += std::to_string(value);
    }
    void Separate(bool& first)
    {
        if (!first) text_ += ' ';
        first = false;
    }

    std::string text_;
};

platform::Status ReplaceWithPlatform(const std::string& path,
                                     const std::function<bool(const platform::ChunkWriter&)>& produce)
{
    return platform::ReplaceFile(path, produce);
}

} // namespace

std::string MapFileText(const CLayout& layout, const MapVehicles& vehicles)
{
    MapWriter out;
    out.Line(kMapFileHeader);
    out.Line(mapsection::kBackground);
    out.Line(layout.Catalogue().BackgroundName());
    out.Line(mapsection::kObjectName);

    // Only the types in use are named, in the order of the folder search (the catalogue's, but
    // for placeholder entries, which stand at its end); their place in this list is the file
    // index the object lines refer to.
    const ObjectCatalogue& catalogue = layout.Catalogue();
    const int typeCount = catalogue.TypeCount();
    std::vector<int> fileIndex(static_cast<std::size_t>(typeCount), -1);
    std::vector<int> used;
    for (const PlacedObject& object : layout.Placed().All()) {
        if (object.type < 0 || object.type >= typeCount || fileIndex[static_cast<std::size_t>(object.type)] == 0)
            continue;
        fileIndex[static_cast<std::size_t>(object.type)] = 0;
        used.push_back(object.type);
    }
    std::sort(used.begin(), used.end());
    std::stable_sort(used.begin(), used.end(), [&catalogue](int a, int b) {
        return platform::NameLess(catalogue.TypeName(a) + ".ini", catalogue.TypeName(b) + ".ini");
    });
    int next = 0;
    for (const int type : used) {
        fileIndex[static_cast<std::size_t>(type)] = next++;
        out.Line(catalogue.TypeName(type));
    }

    out.Line(mapsection::kMapData);
    for (const PlacedObject& object : layout.Placed().All()) {
        // The layout admits catalogue types only; a stray one is not written rather than
        // written as another type.
        if (object.type < 0 || object.type >= typeCount) continue;
        out.Numbers(fileIndex[static_cast<std::size_t>(object.type)], object.x, object.y, object.z,
                    object.angle, object.route, object.key);
    }

    out.Line(mapsection::kPositionData);
    for (int slot = 1; slot <= kMapTrainSlots; ++slot) {
        const TrainHomePose home = vehicles.TrainHome(slot);
        out.Numbers(home.x, home.y, home.z, home.yaw);
    }
    for (MapVehicle vehicle : kMapVehicles) {
        const math::Vec3 start = vehicles.StartPosition(vehicle);
        out.Numbers(start.x, start.y, start.z);
    }

    out.Line(mapsection::kVehicleData);
    for (int slot = 1; slot <= kMapTrainSlots; ++slot)
        out.Line(vehicles.TrainChoice(slot));
    for (MapVehicle vehicle : kMapVehicles)
        out.Line(vehicles.VehicleChoice(vehicle));
    const std::vector<std::string> operation = vehicles.OperationLines();
    if (!operation.empty()) {
        out.Line(mapsection::kOperationData);
        for (const std::string& line : operation)
            out.Line(line);
    }
    return out.Take();
}

std::string EncodeMapFile(std::string_view text)
{
    return platform::EncodeText(text, platform::EncodingForNewFile(text));
}

MapResult SaveMapFile(CLayout& layout, const std::string& path, const MapVehicles& vehicles,
                      const MapFileReplacer& replace)
{
    const std::string bytes = EncodeMapFile(MapFileText(layout, vehicles));

    // The old file is replaced only by a complete new one, so a full disk loses nothing.
    bool opened = false;
    const auto produce = [&](const platform::ChunkWriter& write) {
        opened = true;
        return write(bytes);
    };
    const platform::Status written = replace ? replace(path, produce) : ReplaceWithPlatform(path, produce);
    if (!written)
        return {MapOutcome::Failed, {mapdetail::Error(opened ? mapmsg::kWriteFailed : mapmsg::kOpenFailed)}};
    // Only a save that went through makes the file the layout's: after a failed one the next
    // save is offered where the layout last was.
    layout.SetMapFilePath(path);
    layout.History().MarkSaved();
    return {MapOutcome::Done, {{MapMessage::Kind::Note, std::string(mapmsg::kSaved)}}};
}

int CountTypesMissingIn(const CLayout& layout, const std::string& folder)
{
    const ObjectCatalogue& catalogue = layout.Catalogue();
    std::vector<bool> used(static_cast<std::size_t>(catalogue.TypeCount()), false);
    for (const PlacedObject& object : layout.Placed().All()) {
        if (object.type >= 0 && object.type < catalogue.TypeCount()) used[static_cast<std::size_t>(object.type)] = true;
    }
    std::string base = folder;
    if (!base.empty() && base.back() != '/') base += '/';
    int missing = 0;
    for (int type = 0; type < catalogue.TypeCount(); ++type) {
        if (!used[static_cast<std::size_t>(type)]) continue;
        const std::string stem = base + catalogue.TypeName(type);
        if (!platform::FindFileNoCase(stem + ".ini") || !platform::FindFileNoCase(stem + ".x")) ++missing;
    }
    return missing;
}

std::string MissingTypesQuestion(int missing)
{
    return "このフォルダには、このマップが使うオブジェクトがありません。（" + std::to_string(missing) +
           " 種類）保存したマップは、オブジェクトと同じフォルダにないと読み込めません。このまま保存しますか？";
}

} // namespace layout
