#include "layout/MapFile.h"
#include "layout/MapFileDetail.h"

#include <optional>
#include <vector>

namespace layout {

namespace {

using mapdetail::EndsSection;

// What an import would add, read and checked completely before anything changes.
struct ImportPlan {
    std::vector<PlacedObject> objects;
    // Names the object folder lacks; an object of the k-th has type -(k + 1) until it is added.
    std::vector<std::string> missing;
    double sumX = 0;
    double sumZ = 0;
};

// Reads the names and object lines the way the writer lays them out. Anything else (other
// sections first, an object line naming no listed type) is not a file we can import from:
// refused with the reason shown, rather than reading vehicle lines as objects.
platform::Result<ImportPlan> ReadImport(const CLayout& layout, const std::vector<std::string>& lines)
{
    if (lines.empty() || !mapdetail::IsMapHeader(lines[0]) || lines.size() < 4 ||
        lines[1] != mapsection::kBackground || lines[3] != mapsection::kObjectName) {
        return platform::Fail(std::string(mapmsg::kNotDataFile));
    }

    ImportPlan plan;
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
            return platform::Fail(std::string(mapmsg::kNotDataFile));
        }
        if (static_cast<int>(fileTypes.size()) >= kMaxObjectTypes) continue;
        int type = FindMapTypeName(layout, name);
        if (type < 0) {
            plan.missing.push_back(name);
            type = -static_cast<int>(plan.missing.size());
        }
        fileTypes.push_back(type);
    }

    if (!objectSection) return plan;
    while (next < lines.size() && !EndsSection(lines[next])) {
        mapdetail::ObjectLine parsed = mapdetail::ParseObjectLine(lines[next++]);
        if (!parsed.hasIndex || parsed.fileIndex < 0 ||
            parsed.fileIndex >= static_cast<int>(fileTypes.size())) {
            return platform::Fail(std::string(mapmsg::kNotDataFile));
        }
        parsed.object.type = fileTypes[static_cast<std::size_t>(parsed.fileIndex)];
        plan.sumX += parsed.object.x;
        plan.sumZ += parsed.object.z;
        plan.objects.push_back(parsed.object);
    }
    return plan;
}

} // namespace

MapResult ImportMapFile(CLayout& layout, const std::string& path, const PickRay& viewCentreRay)
{
    std::vector<std::string> lines;
    if (const std::optional<std::string_view> failure = mapdetail::ReadMapLines(path, lines))
        return {MapOutcome::Failed, {mapdetail::Error(*failure)}};
    platform::Result<ImportPlan> plan = ReadImport(layout, lines);
    if (!plan) return {MapOutcome::Failed, {mapdetail::Error(plan.error())}};
    const std::size_t count = plan->objects.size();
    if (count == 0) return {MapOutcome::Failed, {}};
    if (layout.Placed().Count() + static_cast<int>(count) > kMaxPlacedObjects)
        return {MapOutcome::Failed, {mapdetail::Warning(LimitMessage(LimitKind::PlaceObjects))}};

    // Types the folder lacks become placeholder entries, their objects placeholders.
    std::vector<MapMessage> messages;
    if (!plan->missing.empty()) {
        std::vector<int> added;
        for (const std::string& name : plan->missing) {
            const int type = FindMapTypeName(layout, name);
            added.push_back(type >= 0 ? type : layout.AddMissingType(name));
        }
        std::vector<PlacedObject> kept;
        int placeholders = 0;
        for (PlacedObject& object : plan->objects) {
            if (object.type < 0) {
                object.type = added[static_cast<std::size_t>(-object.type - 1)];
                if (object.type < 0) continue; // no room in the catalogue
                ++placeholders;
            }
            kept.push_back(object);
        }
        plan->objects = std::move(kept);
        messages.push_back(mapdetail::Warning(MissingObjectsMessage(plan->missing, placeholders)));
        if (plan->objects.empty()) return {MapOutcome::Failed, std::move(messages)};
    }

    // Centred on where the view centre meets the ground; a view that never meets it (looking
    // level) leaves the objects at their stored places rather than at infinity.
    const std::optional<math::Vec3> target = MeetHeight(viewCentreRay, 0.0f);
    const double meanX = plan->sumX / static_cast<double>(count);
    const double meanZ = plan->sumZ / static_cast<double>(count);
    if (target) {
        for (PlacedObject& object : plan->objects) {
            object.x = static_cast<float>(object.x - meanX + target->x);
            object.z = static_cast<float>(object.z - meanZ + target->z);
        }
    }
    const platform::Status added = layout.AddObjects(plan->objects);
    if (!added) return {MapOutcome::Failed, {mapdetail::Warning(added.error())}};
    return {MapOutcome::Done, std::move(messages)};
}

} // namespace layout
