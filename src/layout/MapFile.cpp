#include "layout/MapFile.h"

#include "layout/MapFileDetail.h"
#include "layout/TurnoutKeys.h"
#include "math/NumberText.h"
#include "math/Numeric.h"
#include "math/ValueLimits.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

namespace layout {

std::string MissingBackgroundMessage(std::string_view name)
{
    return "背景ファイル " + std::string(name) + ".x がありません。";
}

std::string MissingObjectMessage(std::string_view name)
{
    return std::string(name) + "オブジェクトファイルがありません";
}

std::string MissingObjectsMessage(const std::vector<std::string>& names, int placeholders)
{
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : ", ") + name;
    return MissingObjectMessage(joined) + "。" + std::to_string(placeholders) +
           " 個のオブジェクトは赤い枠で表示し、保存するとそのまま書き戻します。";
}

std::string MapWindowTitle(std::string_view executableName, std::string_view mapPath, int placeholders)
{
    std::string title = std::string(executableName) + " - " + platform::SplitPath(mapPath).name;
    if (placeholders > 0) title += " [ファイルのないオブジェクト " + std::to_string(placeholders) + " 個]";
    return title;
}

int FindMapTypeName(const CLayout& layout, std::string_view name)
{
    return FindMapTypeName(layout.Catalogue(), name);
}

int FindMapTypeName(const ObjectCatalogue& catalogue, std::string_view name)
{
    // Linux folders may hold names that differ only in case; the exact one is the one saved.
    return catalogue.FindTypeNamed(name);
}

namespace mapdetail {

std::vector<std::string_view> SplitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        if (pos >= line.size()) break;
        std::size_t end = pos;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        fields.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return fields;
}

float RealField(const std::vector<std::string_view>& fields, std::size_t index, math::ValueKind kind)
{
    if (index >= fields.size()) return 0.0f;
    return math::ClampRead(math::FiniteOr(math::ParseFloat(fields[index]), 0.0f), kind, "map file");
}

ObjectLine ParseObjectLine(std::string_view line)
{
    const std::vector<std::string_view> fields = SplitFields(line);
    ObjectLine parsed;
    parsed.hasIndex = !fields.empty();
    if (!parsed.hasIndex) return parsed;
    parsed.fileIndex = math::ParseInt(fields[0]);
    PlacedObject& object = parsed.object;
    object.x = RealField(fields, 1, math::ValueKind::Position);
    object.y = RealField(fields, 2, math::ValueKind::Position);
    object.z = RealField(fields, 3, math::ValueKind::Position);
    object.angle = RealField(fields, 4, math::ValueKind::Angle);
    object.route = fields.size() > 5 ? math::ParseInt(fields[5]) : 0;
    object.key = fields.size() > 6 ? math::ParseInt(fields[6]) : kNoKey;
    if (!IsValidKey(object.key)) object.key = kNoKey;
    return parsed;
}

std::optional<std::string_view> ReadMapLines(const std::string& path, std::vector<std::string>& lines)
{
    lines.clear();
    // The first line is looked at before the rest is read, so a large file of something else
    // costs no more than its first bytes. Headers are ASCII; a UTF-16 one takes twice the room.
    constexpr std::size_t kHeaderRoom = 2 * (kMapFileHeader.size() + 2) + 2;
    const platform::Result<std::string> start = platform::ReadFileStart(path, kHeaderRoom + 1);
    if (!start) return mapmsg::kOpenFailed;
    const std::vector<std::string> head = platform::SplitLines(platform::DecodeTextFile(*start).text);
    if (head.empty() || !IsMapHeader(head.front())) return mapmsg::kNotDataFile;

    platform::Result<std::string> bytes = platform::ReadFileBytes(path, platform::kMaxMapFileBytes);
    if (!bytes) return mapmsg::kOpenFailed;
    // Decoding drops a byte order mark; splitting takes CR LF, LF and CR alike.
    lines = platform::SplitLines(platform::DecodeTextFile(*bytes).text);
    if (lines.empty() || !IsMapHeader(lines.front())) return mapmsg::kNotDataFile;
    return std::nullopt;
}

bool IsMapHeader(std::string_view firstLine)
{
    return firstLine == kMapFileHeader || firstLine == kOldMapFileHeader;
}

} // namespace mapdetail

} // namespace layout
