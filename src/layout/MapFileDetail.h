// Pieces shared by the map file's reader, writer and import; not for use elsewhere.
#pragma once

#include "layout/PlacedObject.h"
#include "layout/MapFile.h"
#include "math/ValueLimits.h"
#include "platform/Result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace layout::mapdetail {

// The fields of a line: split at spaces and tabs, runs counting as one, leading ones skipped.
std::vector<std::string_view> SplitFields(std::string_view line);

// A real field as atof reads it; missing or not finite gives 0.
float RealField(const std::vector<std::string_view>& fields, std::size_t index, math::ValueKind kind);

// One line of the ":Map Data" section. The type field is the file index as read; a missing
// route reads as 0, a missing or invalid key as none, every other missing number as 0.
struct ObjectLine {
    bool hasIndex = false; // the line has a first field at all
    int fileIndex = 0;
    PlacedObject object;
};
ObjectLine ParseObjectLine(std::string_view line);

// A line that ends the name and object sections: empty or a section header.
inline bool EndsSection(std::string_view line)
{
    return line.empty() || line.front() == ':';
}

// Fills lines with the file's lines as UTF-8 (code page 932, UTF-8 with or without a byte order
// mark), line ends removed (CR LF, LF or CR). On failure, the message to show: the first line is
// checked before the rest is read ("データファイルではありません"), and a file that cannot be
// read or is larger than a map file may be gives "ファイルオープン失敗".
std::optional<std::string_view> ReadMapLines(const std::string& path, std::vector<std::string>& lines);

// Whether the first line marks a map file.
bool IsMapHeader(std::string_view firstLine);

inline MapMessage Error(std::string_view text)
{
    return {MapMessage::Kind::Error, std::string(text)};
}
inline MapMessage Warning(std::string_view text)
{
    return {MapMessage::Kind::Warning, std::string(text)};
}

} // namespace layout::mapdetail
