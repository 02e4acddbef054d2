#include "layout/MapFile.h"
#include "layout/MapFileDetail.h"
#include "platform/DialogService.h"

#include <optional>
#include <vector>

namespace layout {

namespace {

using mapdetail::EndsSection;

// What an import would add, read and checked completely before anything changes.
struct ImportPlan {
    std::vector<PlacedObject> objects;
    double sumX = 0;
    double sumZ = 0;
};

// Reads the names and object lines the way the writer lays them out. Anything else (other
// sections first, an object line naming no listed type) is not a file we can import from:
// refused with the reason shown, rather than reading vehicle lines as objects.
std::optional<ImportPlan> ReadImport(CLayout& layout, const std::vector<std::string>& lines)
{
    platform::DialogService& dialogs = layout.Dialogs();
    if (lines.empty() || !mapdetail::IsMapHeader(lines[0]) || lines.size() < 4 ||
        lines[1] != mapsection::kBackground || lines[3] != mapsection::kObjectName) {
        mapdetail::ShowError(dialogs, mapmsg::kNotDataFile);
        return std::nullopt;
    }

    std::size_t next = 4;
    std::vector<int> fileTypes;
    bool objectSection = false;
    while (next < lines.size()) {
        const std::string& name = lines[next++];
        if (name == mapsection::kMapData) {
            objectSection = true;
            break;
        }
        if (name.starts_with(':')) {
            mapdetail::ShowError(dialogs, mapmsg::kNotDataFile);
            return std::nullopt;
        }
        if (static_cast<int>(fileTypes.size()) >= kMaxObjectTypes) continue;
        const int type = FindMapTypeName(layout, name);
        if (type < 0) {
            mapdetail::ShowError(dialogs, MissingObjectMessage(name));
            return std::nullopt;
        }
        fileTypes.push_back(type);
    }

    ImportPlan plan;
    if (!objectSection) return plan;
    while (next < lines.size() && !EndsSection(lines[next])) {
        mapdetail::ObjectLine parsed = mapdetail::ParseObjectLine(lines[next++]);
        if (!parsed.hasIndex || parsed.fileIndex < 0 ||
            parsed.fileIndex >= static_cast<int>(fileTypes.size())) {
            mapdetail::ShowError(dialogs, mapmsg::kNotDataFile);
            return std::nullopt;
        }
        parsed.object.type = fileTypes[static_cast<std::size_t>(parsed.fileIndex)];
        plan.sumX += parsed.object.x;
        plan.sumZ += parsed.object.z;
        plan.objects.push_back(parsed.object);
    }
    return plan;
}

} // namespace

MapOutcome ImportMapFile(CLayout& layout, const std::string& path, const PickRay& viewCentreRay)
{
    platform::DialogService& dialogs = layout.Dialogs();
    std::vector<std::string> lines;
    if (const std::optional<std::string_view> failure = mapdetail::ReadMapLines(path, lines)) {
        mapdetail::ShowError(dialogs, *failure);
        return MapOutcome::Failed;
    }
    std::optional<ImportPlan> plan = ReadImport(layout, lines);
    if (!plan || plan->objects.empty()) return MapOutcome::Failed;
    const std::size_t count = plan->objects.size();
    if (static_cast<std::size_t>(layout.ObjectCount()) + count >
        static_cast<std::size_t>(kMaxPlacedObjects)) {
        mapdetail::ShowWarning(dialogs, LimitMessage(LimitKind::PlaceObjects));
        return MapOutcome::Failed;
    }

    // Centred on where the view centre meets the ground; a view that never meets it (looking
    // level) leaves the objects at their stored places rather than at infinity.
    const std::optional<math::Vec3> target = MeetHeight(viewCentreRay, 0.0f);
    const double meanX = plan->sumX / static_cast<double>(count);
    const double meanZ = plan->sumZ / static_cast<double>(count);

    layout.DeselectAllRows();
    const int first = layout.LastPlacedIndex() + 1;
    for (PlacedObject object : plan->objects) {
        if (target) {
            object.x = static_cast<float>(object.x - meanX + target->x);
            object.z = static_cast<float>(object.z - meanZ + target->z);
        }
        layout.AppendPlacedObject(object, true);
    }
    // The last new row, then the first, so that the import's start is what the list shows.
    layout.ScrollToObject(layout.LastPlacedIndex());
    layout.ScrollToObject(first);
    layout.RefreshKeyMenu();
    layout.SetSelectedIndex(-1);
    layout.NotifyLayoutChanged();
    return MapOutcome::Done;
}

MapOutcome ImportMap(CLayout& layout, const PickRay& viewCentreRay)
{
    const std::optional<std::string> path = layout.Dialogs().ChooseFileToOpen(
        mapdetail::MapFileRequest(mapmsg::kImportTitle, layout.MapFilePath(), true));
    if (!path) return MapOutcome::Cancelled;
    return ImportMapFile(layout, *path, viewCentreRay);
}

} // namespace layout
