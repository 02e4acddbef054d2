#include "layout/GuideLines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace layout {

namespace {

// Points of one subset merged by their place on the plan, with the band's height range there.
class PlanPoints {
  public:
    int Add(math::Vec3 p)
    {
        const auto cx = static_cast<std::int64_t>(std::floor(p.x / kGuidePlanTolerance));
        const auto cz = static_cast<std::int64_t>(std::floor(p.z / kGuidePlanTolerance));
        for (std::int64_t dz = -1; dz <= 1; ++dz) {
            for (std::int64_t dx = -1; dx <= 1; ++dx) {
                const auto found = cells_.find(Key(cx + dx, cz + dz));
                if (found == cells_.end()) continue;
                for (const int id : found->second) {
                    Point& point = points_[static_cast<std::size_t>(id)];
                    if (std::hypot(point.x - p.x, point.z - p.z) <= kGuidePlanTolerance) {
                        point.minY = std::min(point.minY, p.y);
                        point.maxY = std::max(point.maxY, p.y);
                        return id;
                    }
                }
            }
        }
        const int id = static_cast<int>(points_.size());
        points_.push_back({p.x, p.z, p.y, p.y, {}});
        cells_[Key(cx, cz)].push_back(id);
        return id;
    }

    void Join(int a, int b)
    {
        if (a == b) return;
        auto& na = points_[static_cast<std::size_t>(a)].next;
        if (std::find(na.begin(), na.end(), b) != na.end()) return;
        na.push_back(b);
        points_[static_cast<std::size_t>(b)].next.push_back(a);
    }

    struct Point {
        float x, z, minY, maxY;
        std::vector<int> next;
    };
    const std::vector<Point>& Points() const { return points_; }

  private:
    static std::int64_t Key(std::int64_t x, std::int64_t z) { return x * 73856093LL ^ z * 19349663LL; }

    std::vector<Point> points_;
    std::unordered_map<std::int64_t, std::vector<int>> cells_;
};

bool Finite(math::Vec3 p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

void WalkChains(const PlanPoints& plan, int route, std::vector<GuideLine>& out)
{
    const auto& points = plan.Points();
    std::unordered_set<std::uint64_t> walked;
    auto edge = [](int a, int b) {
        const auto lo = static_cast<std::uint64_t>(std::min(a, b));
        const auto hi = static_cast<std::uint64_t>(std::max(a, b));
        return lo << 32 | hi;
    };
    auto add = [&](int id, GuideLine& line) {
        const auto& p = points[static_cast<std::size_t>(id)];
        line.points.push_back({p.x, (p.minY + p.maxY) * 0.5f - static_cast<float>(route), p.z});
        line.halfHeights.push_back((p.maxY - p.minY) * 0.5f);
    };
    auto walk = [&](int start, int second) {
        GuideLine line;
        line.route = route;
        add(start, line);
        int previous = start;
        int current = second;
        walked.insert(edge(start, second));
        for (;;) {
            add(current, line);
            const auto& next = points[static_cast<std::size_t>(current)].next;
            if (next.size() != 2) break;
            const int following = next[0] == previous ? next[1] : next[0];
            if (!walked.insert(edge(current, following)).second) break;
            previous = current;
            current = following;
        }
        out.push_back(std::move(line));
    };
    // Chains from their ends and forks first, then whatever is left: closed chains.
    for (const bool closed : {false, true}) {
        for (std::size_t id = 0; id < points.size(); ++id) {
            const auto& next = points[id].next;
            if ((next.size() == 2) != closed) continue;
            for (const int other : next) {
                if (!walked.contains(edge(static_cast<int>(id), other))) walk(static_cast<int>(id), other);
            }
        }
    }
}

} // namespace

std::vector<GuideLine> ReadGuideLines(const model::Mesh& guide)
{
    std::map<std::uint32_t, PlanPoints> subsets;
    const std::size_t faces = guide.FaceCount();
    for (std::size_t f = 0; f < faces; ++f) {
        std::array<math::Vec3, 3> corners;
        bool usable = true;
        for (std::size_t c = 0; c < 3 && usable; ++c) {
            const std::uint32_t index = guide.indices[3 * f + c];
            usable = index < guide.positions.size() && Finite(guide.positions[index]);
            if (usable) corners[c] = guide.positions[index];
        }
        if (!usable) continue;
        const std::uint32_t subset = f < guide.attributes.size() ? guide.attributes[f] : 0;
        PlanPoints& plan = subsets[subset];
        std::array<int, 3> ids{};
        for (std::size_t c = 0; c < 3; ++c)
            ids[c] = plan.Add(corners[c]);
        plan.Join(ids[0], ids[1]);
        plan.Join(ids[1], ids[2]);
        plan.Join(ids[2], ids[0]);
    }
    std::vector<GuideLine> lines;
    for (const auto& [subset, plan] : subsets) {
        // A subset number beyond any int is no route a turnout could be set to.
        if (subset > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) continue;
        WalkChains(plan, static_cast<int>(subset), lines);
    }
    return lines;
}

GuideLinePoint NearestLinePoint(const std::vector<GuideLine>& lines, float x, float z)
{
    GuideLinePoint best;
    float bestSq = std::numeric_limits<float>::infinity();
    for (std::size_t l = 0; l < lines.size(); ++l) {
        const auto& points = lines[l].points;
        for (std::size_t s = 0; s + 1 < points.size(); ++s) {
            const math::Vec3 a = points[s];
            const math::Vec3 b = points[s + 1];
            const float abx = b.x - a.x, abz = b.z - a.z;
            const float lengthSq = abx * abx + abz * abz;
            float t = lengthSq > 0 ? ((x - a.x) * abx + (z - a.z) * abz) / lengthSq : 0.0f;
            t = std::clamp(t, 0.0f, 1.0f);
            const float px = a.x + t * abx - x, pz = a.z + t * abz - z;
            const float distanceSq = px * px + pz * pz;
            if (distanceSq < bestSq) {
                bestSq = distanceSq;
                best = {static_cast<int>(l), static_cast<int>(s), t, 0.0f};
            }
        }
    }
    if (best.line >= 0) best.distance = std::sqrt(bestSq);
    return best;
}

math::Vec3 LinePointAt(const std::vector<GuideLine>& lines, const GuideLinePoint& at)
{
    const auto& points = lines[static_cast<std::size_t>(at.line)].points;
    const math::Vec3 a = points[static_cast<std::size_t>(at.segment)];
    const math::Vec3 b = points[static_cast<std::size_t>(at.segment) + 1];
    return a + (b - a) * at.t;
}

float LineHalfHeightAt(const std::vector<GuideLine>& lines, const GuideLinePoint& at)
{
    const auto& halves = lines[static_cast<std::size_t>(at.line)].halfHeights;
    const float a = halves[static_cast<std::size_t>(at.segment)];
    const float b = halves[static_cast<std::size_t>(at.segment) + 1];
    return a + (b - a) * at.t;
}

LineGrade SteepestGrade(const GuideLine& line, float run)
{
    const auto& points = line.points;
    if (points.size() < 2) return {};
    std::vector<double> along{0.0};
    for (std::size_t i = 1; i < points.size(); ++i)
        along.push_back(along.back() + std::hypot(double(points[i].x) - points[i - 1].x,
                                                  double(points[i].z) - points[i - 1].z));
    const double length = along.back();
    auto at = [&](double s) {
        const auto upper = std::upper_bound(along.begin(), along.end(), s);
        const std::size_t i =
            std::clamp<std::size_t>(static_cast<std::size_t>(upper - along.begin()), 1, points.size() - 1);
        const double span = along[i] - along[i - 1];
        const double t = span > 0 ? std::clamp((s - along[i - 1]) / span, 0.0, 1.0) : 1.0;
        const math::Vec3 a = points[i - 1], b = points[i];
        return math::Vec3{static_cast<float>(a.x + (b.x - a.x) * t),
                          static_cast<float>(a.y + (b.y - a.y) * t),
                          static_cast<float>(a.z + (b.z - a.z) * t)};
    };
    if (length <= 0) return {};
    if (length <= run) {
        const math::Vec3 a = points.front(), b = points.back();
        return {static_cast<float>(std::fabs(double(b.y) - a.y) / length), (a + b) * 0.5f};
    }
    // The rise over a window of one run is linear between the places where either of the
    // window's ends passes a point of the line, so those places are the only ones to try.
    LineGrade steepest;
    for (const double s : along) {
        for (const double start : {s, s - run}) {
            if (start < 0 || start > length - run) continue;
            const math::Vec3 a = at(start), b = at(start + run);
            const auto grade = static_cast<float>(std::fabs(double(b.y) - a.y) / run);
            if (grade > steepest.grade) steepest = {grade, (a + b) * 0.5f};
        }
    }
    return steepest;
}

} // namespace layout
