#include "layout/MapFile.h"

#include "layout/MapFileDetail.h"
#include "layout/TurnoutKeys.h"
#include "math/NumberText.h"
#include "math/Numeric.h"
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

std::string MapWindowTitle(std::string_view executableName, std::string_view mapPath)
{
    return std::string(executableName) + " - " + platform::SplitPath(mapPath).name;
}

int FindMapTypeName(const CLayout& layout, std::string_view name)
{
    // Linux folders may hold names that differ only in case; the exact one is the one saved.
    const ObjectCatalogue& catalogue = layout.Catalogue();
    for (int i = 0; i < catalogue.TypeCount(); ++i) {
        if (catalogue.TypeName(i) == name) return i;
    }
    return catalogue.FindTypeByName(name);
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

float RealField(const std::vector<std::string_view>& fields, std::size_t index)
{
    if (index >= fields.size()) return 0.0f;
    return math::FiniteOr(math::ParseFloat(fields[index]), 0.0f);
}

ObjectLine ParseObjectLine(std::string_view line)
{
    const std::vector<std::string_view> fields = SplitFields(line);
    ObjectLine parsed;
    parsed.hasIndex = !fields.empty();
    if (!parsed.hasIndex) return parsed;
    parsed.fileIndex = math::ParseInt(fields[0]);
    PlacedObject& object = parsed.object;
    object.x = RealField(fields, 1);
    object.y = RealField(fields, 2);
    object.z = RealField(fields, 3);
    object.angle = RealField(fields, 4);
    object.route = fields.size() > 5 ? math::ParseInt(fields[5]) : 0;
    object.key = fields.size() > 6 ? math::ParseInt(fields[6]) : kNoKey;
    if (!IsValidKey(object.key)) object.key = kNoKey;
    return parsed;
}

platform::Result<std::vector<std::string>> ReadMapLines(const std::string& path)
{
    platform::Result<std::string> bytes = platform::ReadFileBytes(path);
    if (!bytes) return platform::Fail(bytes.error());
    // Decoding drops a byte order mark; splitting takes CR LF, LF and CR alike.
    const platform::TextFile file = platform::DecodeTextFile(*bytes);
    return platform::SplitLines(file.text);
}

bool IsMapHeader(std::string_view firstLine)
{
    return firstLine == kMapFileHeader || firstLine == kOldMapFileHeader;
}

} // namespace mapdetail

} // namespace layout
