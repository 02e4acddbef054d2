#include "layout/PartsList.h"

#include "layout/CLayout.h"
#include "layout/TrackShapes.h"
#include "math/NumberText.h"

#include <cmath>

namespace layout {

namespace {

double LineLength(const GuideLine& line)
{
    double length = 0;
    for (std::size_t i = 1; i < line.points.size(); ++i) {
        const math::Vec3 d = line.points[i] - line.points[i - 1];
        length += std::sqrt(double(d.x) * d.x + double(d.y) * d.y + double(d.z) * d.z);
    }
    return length;
}

// Route lengths of one type, route 0 first; empty for a type without track.
std::vector<double> RouteLengths(const TrackShapes& shapes, int type)
{
    std::vector<double> lengths;
    const TrackTypeShape* shape = shapes.Shape(type);
    if (!shape) return lengths;
    for (const GuideLine& line : shape->lines) {
        if (line.route < 0) continue;
        if (static_cast<std::size_t>(line.route) >= lengths.size())
            lengths.resize(static_cast<std::size_t>(line.route) + 1, 0.0);
        lengths[static_cast<std::size_t>(line.route)] += LineLength(line);
    }
    return lengths;
}

std::string Number(double value)
{
    return math::FormatFixed(value, 3);
}

std::string ModelMillimetres(double units, int scale)
{
    // One unit is a metre of the prototype; the model is 1/scale of it.
    return math::FormatFixed(units * 1000.0 / scale, 1);
}

std::string Joined(const std::vector<double>& values)
{
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i)
        out += (i ? ";" : "") + Number(values[i]);
    return out;
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (const char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string TabField(std::string text)
{
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return text;
}

template <typename Field>
std::string Table(const PartsList& list, int scale, char separator, Field field)
{
    std::vector<std::string> header = {"name", "count", "length", "other_routes", "selected_count",
                                       "selected_length"};
    if (scale > 0) header.insert(header.end(), {"length_mm", "selected_length_mm"});
    std::string out;
    auto line = [&](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i) out += separator;
            out += field(cells[i]);
        }
        out += "\r\n";
    };
    line(header);
    for (const std::vector<std::string>& cells : PartsListCells(list, scale))
        line(cells);
    return out;
}

} // namespace

double RouteLength(const TrackShapes& shapes, int type, int route)
{
    const std::vector<double> lengths = RouteLengths(shapes, type);
    return route >= 0 && static_cast<std::size_t>(route) < lengths.size() ? lengths[static_cast<std::size_t>(route)]
                                                                           : 0.0;
}

PartsList MakePartsList(const CLayout& layout, const TrackShapes& shapes)
{
    const int typeCount = std::max(layout.Catalogue().TypeCount(), 0);
    std::vector<int> counts(static_cast<std::size_t>(typeCount), 0);
    std::vector<int> selected(counts.size(), 0);
    const auto all = layout.Placed().All();
    for (const PlacedObject& object : all)
        if (object.type >= 0 && object.type < typeCount) ++counts[static_cast<std::size_t>(object.type)];
    PartsList list;
    for (const int index : layout.Selection().Selected()) {
        if (index < 0 || static_cast<std::size_t>(index) >= all.size()) continue;
        const int type = all[static_cast<std::size_t>(index)].type;
        if (type < 0 || type >= typeCount) continue;
        ++selected[static_cast<std::size_t>(type)];
        list.hasSelection = true;
    }
    for (int type = 0; type < typeCount; ++type) {
        const auto at = static_cast<std::size_t>(type);
        if (counts[at] == 0) continue;
        PartsListRow row;
        row.type = type;
        row.name = layout.Catalogue().TypeName(type);
        row.count = counts[at];
        row.selectedCount = selected[at];
        const std::vector<double> lengths = RouteLengths(shapes, type);
        for (std::size_t route = 0; route < lengths.size(); ++route) {
            if (route == 0) {
                row.length = lengths[0] * row.count;
                row.selectedLength = lengths[0] * row.selectedCount;
            } else {
                row.otherRoutes.push_back(lengths[route] * row.count);
                row.selectedOtherRoutes.push_back(lengths[route] * row.selectedCount);
            }
        }
        list.totalCount += row.count;
        list.totalLength += row.length;
        list.selectedCount += row.selectedCount;
        list.selectedLength += row.selectedLength;
        list.rows.push_back(std::move(row));
    }
    return list;
}

PartsList MakePartsList(const CLayout& layout)
{
    const TrackShapes shapes(layout);
    return MakePartsList(layout, shapes);
}

std::vector<std::vector<std::string>> PartsListCells(const PartsList& list, int scale)
{
    std::vector<std::vector<std::string>> lines;
    for (const PartsListRow& row : list.rows) {
        std::vector<std::string> cells = {row.name,
                                          std::to_string(row.count),
                                          Number(row.length),
                                          Joined(row.otherRoutes),
                                          std::to_string(row.selectedCount),
                                          Number(row.selectedLength)};
        if (scale > 0)
            cells.insert(cells.end(), {ModelMillimetres(row.length, scale),
                                       ModelMillimetres(row.selectedLength, scale)});
        lines.push_back(std::move(cells));
    }
    std::vector<std::string> total = {"合計", std::to_string(list.totalCount), Number(list.totalLength), "",
                                      std::to_string(list.selectedCount), Number(list.selectedLength)};
    if (scale > 0)
        total.insert(total.end(), {ModelMillimetres(list.totalLength, scale),
                                   ModelMillimetres(list.selectedLength, scale)});
    lines.push_back(std::move(total));
    return lines;
}

std::string PartsListCsv(const PartsList& list, int scale)
{
    return Table(list, scale, ',', CsvField);
}

std::string PartsListTabText(const PartsList& list, int scale)
{
    return Table(list, scale, '\t', TabField);
}

} // namespace layout
