#include "app/script/LayoutCheckReport.h"

#include "app/script/JsonWriter.h"
#include "platform/SafeFile.h"

namespace app {

std::string LayoutCheckJson(const layout::LayoutCheckResult& result)
{
    JsonWriter json;
    json.BeginObject().Key("findings").BeginArray();
    for (const layout::LayoutFinding& finding : result.findings) {
        json.BeginObject().Field("kind", std::string(layout::FindingKindName(finding.kind)));
        json.Key("objects").BeginArray();
        for (const int index : finding.objects)
            json.Int(index);
        json.EndArray();
        json.Field("x", finding.position.x).Field("y", finding.position.y).Field("z", finding.position.z);
        json.Field("value", finding.value).EndObject();
    }
    json.EndArray().Key("counts").BeginObject();
    for (int kind = 0; kind < layout::kFindingKindCount; ++kind) {
        json.Field(std::string(layout::FindingKindName(static_cast<layout::FindingKind>(kind))),
                   result.counts[static_cast<std::size_t>(kind)]);
    }
    json.EndObject().EndObject();
    return json.Text() + "\n";
}

platform::Status WriteLayoutCheck(const layout::CLayout& layout, const layout::LayoutCheckSettings& settings,
                                  const std::string& path)
{
    return platform::ReplaceFile(path, LayoutCheckJson(layout::CheckLayout(layout, settings)));
}

} // namespace app
