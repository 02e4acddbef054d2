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
        const int type = FindMapTypeName(layout, name);
        if (type < 0) {
            return platform::Fail(MissingObjectMessage(name));
        }
        fileTypes.push_back(type);
    }

    ImportPlan plan;
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
    return {MapOutcome::Done, {}};
}

} // namespace layout
