#include "operation/TrackGraph.h"

#include "layout/CLayout.h"
#include "layout/TrackShapes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>

namespace operation {

float PlanDistance(math::Vec3 a, math::Vec3 b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

namespace {

std::int64_t CellKey(std::int64_t cx, std::int64_t cz)
{
    return (cx << 32) ^ (cz & 0xffffffff);
}

// Lines of one piece whose route differs are two ways through it, not one way on.
bool Joinable(const PieceLine& a, const PieceLine& b)
{
    return a.object != b.object || a.route == b.route;
}

// Lines nearer than this to the nearest one count as equally near when a place is located.
constexpr float kLocateSlack = 0.05f;

} // namespace

std::vector<PieceLine> TrackGraph::LayoutLines(const layout::CLayout& layout, const layout::TrackShapes& shapes)
{
    std::vector<PieceLine> lines;
    const auto all = layout.Placed().All();
    for (int index = 0; index < static_cast<int>(all.size()); ++index) {
        const layout::PlacedObject& object = all[static_cast<std::size_t>(index)];
        if (!shapes.ShapeOf(object)) continue;
        for (layout::GuideLine& line : shapes.WorldLines(object)) {
            if (line.points.size() < 2) continue;
            lines.push_back({.object = index, .route = line.route, .points = std::move(line.points)});
        }
    }
    return lines;
}

void TrackGraph::Build(std::vector<PieceLine> lines, int objectCount)
{
    std::stable_sort(lines.begin(), lines.end(),
                     [](const PieceLine& a, const PieceLine& b) { return a.object < b.object; });
    lines_.clear();
    lines_.reserve(lines.size());
    first_.assign(static_cast<std::size_t>(std::max(objectCount, 0)) + 1, 0);
    for (PieceLine& piece : lines) {
        if (piece.object < 0 || piece.object >= objectCount || piece.points.size() < 2) continue;
        Line line;
        line.along.reserve(piece.points.size());
        float total = 0;
        for (std::size_t i = 0; i < piece.points.size(); ++i) {
            if (i > 0) total += PlanDistance(piece.points[i - 1], piece.points[i]);
            line.along.push_back(total);
        }
        line.length = total;
        line.piece = std::move(piece);
        ++first_[static_cast<std::size_t>(line.piece.object) + 1];
        lines_.push_back(std::move(line));
    }
    for (std::size_t i = 1; i < first_.size(); ++i)
        first_[i] += first_[i - 1];

    // Every line end in a grid of cells as wide as the reach; each end looks at its own cell and
    // the eight around it.
    std::unordered_map<std::int64_t, std::vector<LineEnd>> grid;
    grid.reserve(lines_.size() * 2);
    const auto endPoint = [this](LineEnd e) {
        const auto& points = lines_[static_cast<std::size_t>(e.line)].piece.points;
        return e.end == 0 ? points.front() : points.back();
    };
    const auto cellOf = [](float v) { return static_cast<std::int64_t>(std::floor(v / kJoinReach)); };
    for (int l = 0; l < static_cast<int>(lines_.size()); ++l) {
        for (int end = 0; end < 2; ++end) {
            const math::Vec3 p = endPoint({l, end});
            if (!std::isfinite(p.x) || !std::isfinite(p.z)) continue;
            grid[CellKey(cellOf(p.x), cellOf(p.z))].push_back({l, end});
        }
    }
    for (int l = 0; l < static_cast<int>(lines_.size()); ++l) {
        for (int end = 0; end < 2; ++end) {
            const math::Vec3 p = endPoint({l, end});
            if (!std::isfinite(p.x) || !std::isfinite(p.z)) continue;
            const std::int64_t cx = cellOf(p.x);
            const std::int64_t cz = cellOf(p.z);
            auto& links = lines_[static_cast<std::size_t>(l)].links[end];
            for (std::int64_t dx = -1; dx <= 1; ++dx) {
                for (std::int64_t dz = -1; dz <= 1; ++dz) {
                    const auto found = grid.find(CellKey(cx + dx, cz + dz));
                    if (found == grid.end()) continue;
                    for (const LineEnd other : found->second) {
                        if (other.line == l) continue;
                        const math::Vec3 q = endPoint(other);
                        if (PlanDistance(p, q) > kJoinReach || std::fabs(p.y - q.y) > kJoinReach) continue;
                        if (!Joinable(lines_[static_cast<std::size_t>(l)].piece,
                                      lines_[static_cast<std::size_t>(other.line)].piece))
                            continue;
                        links.push_back(other);
                    }
                }
            }
            std::sort(links.begin(), links.end(),
                      [](LineEnd a, LineEnd b) { return a.line != b.line ? a.line < b.line : a.end < b.end; });
        }
    }
}

std::pair<int, int> TrackGraph::LinesOf(int object) const
{
    if (object < 0 || object + 1 >= static_cast<int>(first_.size())) return {0, 0};
    return {first_[static_cast<std::size_t>(object)], first_[static_cast<std::size_t>(object) + 1]};
}

TrackGraph::Projection TrackGraph::Project(int line, math::Vec3 point) const
{
    Projection best;
    if (line < 0 || line >= static_cast<int>(lines_.size())) return best;
    const Line& l = lines_[static_cast<std::size_t>(line)];
    for (std::size_t i = 0; i + 1 < l.piece.points.size(); ++i) {
        const math::Vec3 a = l.piece.points[i];
        const math::Vec3 b = l.piece.points[i + 1];
        const float dx = b.x - a.x;
        const float dz = b.z - a.z;
        const float len2 = dx * dx + dz * dz;
        const float t = std::clamp(len2 > 0 ? ((point.x - a.x) * dx + (point.z - a.z) * dz) / len2 : 0.0f, 0.0f, 1.0f);
        const float d = std::hypot(a.x + t * dx - point.x, a.z + t * dz - point.z);
        if (d < best.distance) {
            best.distance = d;
            best.s = l.along[i] + t * (l.along[i + 1] - l.along[i]);
            best.tangent = {dx, 0.0f, dz};
        }
    }
    return best;
}

LinePlace TrackGraph::Locate(int object, math::Vec3 point, math::Vec3 heading, int currentRoute) const
{
    const auto [firstLine, endLine] = LinesOf(object);
    int chosen = -1;
    Projection chosenAt;
    float nearest = std::numeric_limits<float>::infinity();
    for (int l = firstLine; l < endLine; ++l)
        nearest = std::min(nearest, Project(l, point).distance);
    for (int l = firstLine; l < endLine; ++l) {
        const Projection at = Project(l, point);
        if (at.distance > nearest + kLocateSlack) continue;
        const bool current = lines_[static_cast<std::size_t>(l)].piece.route == currentRoute;
        if (chosen < 0 || (current && lines_[static_cast<std::size_t>(chosen)].piece.route != currentRoute)) {
            chosen = l;
            chosenAt = at;
        }
    }
    if (chosen < 0) return {};
    const float dot = chosenAt.tangent.x * heading.x + chosenAt.tangent.z * heading.z;
    return {.line = chosen, .s = chosenAt.s, .dir = dot >= 0 ? 1 : -1};
}

LinePlace TrackGraph::Next(int line, int end, std::span<const layout::PlacedObject> objects) const
{
    if (line < 0 || line >= static_cast<int>(lines_.size())) return {};
    const Line& from = lines_[static_cast<std::size_t>(line)];
    const auto& links = from.links[end != 0 ? 1 : 0];
    const auto current = [&](const LineEnd& link) {
        const PieceLine& piece = lines_[static_cast<std::size_t>(link.line)].piece;
        return piece.object < static_cast<int>(objects.size()) &&
               objects[static_cast<std::size_t>(piece.object)].route == piece.route;
    };
    const LineEnd* chosen = nullptr;
    for (const LineEnd& link : links) {
        if (lines_[static_cast<std::size_t>(link.line)].piece.object == from.piece.object) {
            chosen = &link;
            break;
        }
        if (!chosen || (current(link) && !current(*chosen))) chosen = &link;
    }
    if (!chosen) return {};
    const Line& to = lines_[static_cast<std::size_t>(chosen->line)];
    return chosen->end == 0 ? LinePlace{chosen->line, 0.0f, 1} : LinePlace{chosen->line, to.length, -1};
}

math::Vec3 TrackGraph::PointAt(int line, float s) const
{
    if (line < 0 || line >= static_cast<int>(lines_.size())) return {};
    const Line& l = lines_[static_cast<std::size_t>(line)];
    const auto it = std::upper_bound(l.along.begin(), l.along.end(), s);
    if (it == l.along.begin()) return l.piece.points.front();
    if (it == l.along.end()) return l.piece.points.back();
    const std::size_t i = static_cast<std::size_t>(it - l.along.begin()) - 1;
    const float span = l.along[i + 1] - l.along[i];
    const float t = span > 0 ? (s - l.along[i]) / span : 0.0f;
    return l.piece.points[i] + (l.piece.points[i + 1] - l.piece.points[i]) * t;
}

} // namespace operation
