#include "layout/MapFile.h"
#include "layout/MapFileDetail.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <vector>

namespace layout {

namespace {

using mapdetail::EndsSection;
constexpr math::ValueKind kPosition = math::ValueKind::Position;

// The folder of a map file as an absolute path ending in '/', so that a map named relative to
// the working folder still gives an object folder that stays valid.
std::string FolderOf(const std::string& path)
{
    return platform::SplitPath(platform::FromWorkingFolder(path)).folder;
}

// Reads the sections of one map file into the layout and the vehicles, in the order they come.
class MapLoader {
  public:
    MapLoader(CLayout& layout, MapVehicles& vehicles, const MapLoadContext& context,
              const std::vector<std::string>& lines)
        : layout_(layout), vehicles_(vehicles), context_(context), lines_(lines)
    {
    }

    // Messages said on the way, in order.
    std::vector<MapMessage> messages;

    MapOutcome Run()
    {
        next_ = 1; // the first line has been checked
        while (next_ < lines_.size()) {
            const std::string& line = lines_[next_++];
            if (line == mapsection::kBackground) {
                ReadBackground();
            } else if (line == mapsection::kObjectName) {
                ReadObjectNames();
            } else if (line == mapsection::kMapData) {
                ReadPlacedObjects();
            } else if (line == mapsection::kPositionData) {
                ReadPositions(kMapTrainSlots);
            } else if (line == mapsection::kOldPositionData) {
                ReadPositions(kOldTrainSlots);
            } else if (line == mapsection::kVehicleData) {
                ReadChoices(kMapTrainSlots);
            } else if (line == mapsection::kOldVehicleData) {
                ReadChoices(kOldTrainSlots);
            } else if (line == mapsection::kOperationData) {
                while (SectionGoesOn())
                    operation_.push_back(*Next());
            }
        }
        // Whatever was left out would be lost by the next save: say so once.
        if (!missingNames_.empty())
            messages.push_back(mapdetail::Warning(MissingObjectsMessage(missingNames_, layout_.PlaceholderCount())));
        if (limitReached_)
            messages.push_back(mapdetail::Warning(LimitMessage(LimitKind::PlaceObjects)));
        else if (linesLeftOut_)
            messages.push_back(mapdetail::Warning(mapmsg::kLinesLeftOut));
        vehicles_.ApplyVehicleSelections();
        vehicles_.SetOperationLines(operation_);
        layout_.History().MarkSaved();
        return MapOutcome::Done;
    }

  private:
    // Older files have four train slots.
    static constexpr int kOldTrainSlots = 4;

    const std::string* Next() { return next_ < lines_.size() ? &lines_[next_++] : nullptr; }
    bool SectionGoesOn() const { return next_ < lines_.size() && !EndsSection(lines_[next_]); }

    void ReadBackground()
    {
        const std::string* line = Next();
        const std::string name = line ? *line : std::string();
        if (!name.empty() && platform::FindFileNoCase(layout_.Catalogue().ObjectFolder() + name + ".x")) {
            layout_.Catalogue().SetBackgroundName(name);
        } else {
            messages.push_back(mapdetail::Warning(MissingBackgroundMessage(name)));
        }
    }

    // A name the object folder lacks gets a placeholder entry, so that its objects are kept.
    void ReadObjectNames()
    {
        // The edits made so far name objects of the layout that goes now.
        layout_.History().Clear();
        if (platform::Status scanned = layout_.ScanObjectFolder(context_.device, context_.catalogue); !scanned)
            messages.push_back(mapdetail::Warning(scanned.error()));
        fileTypes_.clear();
        while (SectionGoesOn()) {
            const std::string& name = lines_[next_++];
            // More names than a catalogue holds: the extra ones are ignored, and any object line
            // that uses them is left out.
            if (static_cast<int>(fileTypes_.size()) >= kMaxObjectTypes) continue;
            int type = FindMapTypeName(layout_, name);
            if (type < 0) {
                type = layout_.AddMissingType(name);
                if (type >= 0) missingNames_.push_back(name);
            }
            fileTypes_.push_back(type);
        }
    }

    void ReadPlacedObjects()
    {
        layout_.ClearPlacedObjects();
        while (SectionGoesOn()) {
            const std::string& line = lines_[next_++];
            if (layout_.Placed().Count() >= kMaxPlacedObjects) {
                limitReached_ = true;
                continue;
            }
            mapdetail::ObjectLine parsed = mapdetail::ParseObjectLine(line);
            if (!parsed.hasIndex || parsed.fileIndex < 0 ||
                parsed.fileIndex >= static_cast<int>(fileTypes_.size()) ||
                fileTypes_[static_cast<std::size_t>(parsed.fileIndex)] < 0) {
                linesLeftOut_ = true;
                continue;
            }
            parsed.object.type = fileTypes_[static_cast<std::size_t>(parsed.fileIndex)];
            if (!layout_.Placed().Append(parsed.object)) linesLeftOut_ = true;
        }
        layout_.NotifyLayoutChanged();
    }

    void ReadPositions(int trains)
    {
        // Slots the file does not list stand where start-up puts them.
        for (int slot = trains + 1; slot <= kMapTrainSlots; ++slot)
            vehicles_.SetTrainHome(slot, DefaultTrainHome(slot));
        for (int slot = 1; slot <= trains; ++slot) {
            const std::string* line = Next();
            if (!line) return;
            const auto fields = mapdetail::SplitFields(*line);
            vehicles_.SetTrainHome(slot, {mapdetail::RealField(fields, 0, kPosition),
                                          mapdetail::RealField(fields, 1, kPosition),
                                          mapdetail::RealField(fields, 2, kPosition),
                                          mapdetail::RealField(fields, 3, math::ValueKind::Angle)});
        }
        for (MapVehicle vehicle : kMapVehicles) {
            const std::string* line = Next();
            if (!line) return;
            const auto fields = mapdetail::SplitFields(*line);
            vehicles_.SetStartPosition(vehicle,
                                       {mapdetail::RealField(fields, 0, kPosition),
                                        mapdetail::RealField(fields, 1, kPosition),
                                        mapdetail::RealField(fields, 2, kPosition)});
        }
    }

    void ReadChoices(int trains)
    {
        for (int slot = 1; slot <= trains; ++slot) {
            const std::string* line = Next();
            if (!line) return;
            vehicles_.SelectTrainChoice(slot, *line);
        }
        for (MapVehicle vehicle : kMapVehicles) {
            const std::string* line = Next();
            if (!line) return;
            vehicles_.SelectVehicleChoice(vehicle, *line);
        }
    }

    CLayout& layout_;
    MapVehicles& vehicles_;
    std::vector<std::string> operation_;
    const MapLoadContext& context_;
    const std::vector<std::string>& lines_;
    std::size_t next_ = 0;
    std::vector<int> fileTypes_; // catalogue index of each file index (-1: no room left)
    std::vector<std::string> missingNames_;
    bool limitReached_ = false;
    bool linesLeftOut_ = false;
};

// Reads the lines of a file known to be a map into the layout: the map path and the object
// folder change only now. Types the folder lacks become placeholders, so a map always loads.
MapResult LoadLines(CLayout& layout, const std::string& path, const std::vector<std::string>& lines,
                    MapVehicles& vehicles, const MapLoadContext& context)
{
    const std::string folder = FolderOf(path);
    layout.SetMapFilePath(path);
    layout.Catalogue().SetObjectFolder(folder);
    MapLoader loader(layout, vehicles, context, lines);
    const MapOutcome outcome = loader.Run();
    return {outcome, std::move(loader.messages)};
}

} // namespace

MapResult LoadMapFile(CLayout& layout, const std::string& path, MapVehicles& vehicles,
                      const MapLoadContext& context)
{
    std::vector<std::string> lines;
    if (const std::optional<std::string_view> failure = mapdetail::ReadMapLines(path, lines))
        return {MapOutcome::Failed, {mapdetail::Error(*failure)}};
    return LoadLines(layout, path, lines, vehicles, context);
}

std::optional<std::string> MapFileProblem(const std::string& path)
{
    std::vector<std::string> lines;
    if (const std::optional<std::string_view> failure = mapdetail::ReadMapLines(path, lines))
        return std::string(*failure);
    return std::nullopt;
}

MapResult RestoreMapText(CLayout& layout, const std::string& mapPath, std::string_view text, MapVehicles& vehicles,
                         const MapLoadContext& context)
{
    const std::vector<std::string> lines = platform::SplitLines(platform::DecodeTextFile(text).text);
    if (lines.empty() || !mapdetail::IsMapHeader(lines.front()))
        return {MapOutcome::Failed, {mapdetail::Error(mapmsg::kNotDataFile)}};
    MapResult result = LoadLines(layout, mapPath, lines, vehicles, context);
    // What was restored has never been saved.
    if (result.Done()) layout.History().MarkChanged();
    return result;
}

} // namespace layout
