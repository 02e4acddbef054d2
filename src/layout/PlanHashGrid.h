// A sparse grid of square cells over the ground plan that lists ids per cell, for finding what
// lies near a point or overlaps a box without looking at every pair.
#pragma once

#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace layout {

class PlanHashGrid {
  public:
    explicit PlanHashGrid(float cellSize) : inverse_(1.0f / cellSize) {}

    // Lists id in every cell the box reaches; false (listing nothing) when the box is no box of
    // finite numbers or reaches into more than maxCells cells.
    bool Insert(int id, float minX, float minZ, float maxX, float maxZ, std::int64_t maxCells = 4096)
    {
        const Range r = RangeOf(minX, minZ, maxX, maxZ);
        if (!r.valid || (r.x1 - r.x0 + 1) * (r.z1 - r.z0 + 1) > maxCells) return false;
        for (std::int64_t z = r.z0; z <= r.z1; ++z) {
            for (std::int64_t x = r.x0; x <= r.x1; ++x)
                cells_[Key(x, z)].push_back(id);
        }
        return true;
    }
    bool Insert(int id, float x, float z) { return Insert(id, x, z, x, z); }
    void Remove(int id, float x, float z)
    {
        const Range r = RangeOf(x, z, x, z);
        if (!r.valid) return;
        const auto found = cells_.find(Key(r.x0, r.z0));
        if (found == cells_.end()) return;
        std::erase(found->second, id);
    }

    // Calls visit(id) for the ids of every cell the box reaches; an id listed in several of
    // those cells comes several times.
    template <class Visit> void ForEach(float minX, float minZ, float maxX, float maxZ, Visit&& visit) const
    {
        const Range r = RangeOf(minX, minZ, maxX, maxZ);
        if (!r.valid) return;
        for (std::int64_t z = r.z0; z <= r.z1; ++z) {
            for (std::int64_t x = r.x0; x <= r.x1; ++x) {
                const auto found = cells_.find(Key(x, z));
                if (found == cells_.end()) continue;
                for (const int id : found->second)
                    visit(id);
            }
        }
    }

  private:
    struct Range {
        bool valid = false;
        std::int64_t x0 = 0, x1 = 0, z0 = 0, z1 = 0;
    };
    Range RangeOf(float minX, float minZ, float maxX, float maxZ) const
    {
        constexpr double kLimit = 1.0e12; // cells beyond this are no place on any layout
        const double x0 = std::floor(double(minX) * inverse_), x1 = std::floor(double(maxX) * inverse_);
        const double z0 = std::floor(double(minZ) * inverse_), z1 = std::floor(double(maxZ) * inverse_);
        for (const double v : {x0, x1, z0, z1}) {
            if (!(std::fabs(v) < kLimit)) return {};
        }
        if (x1 < x0 || z1 < z0) return {};
        return {true, static_cast<std::int64_t>(x0), static_cast<std::int64_t>(x1),
                static_cast<std::int64_t>(z0), static_cast<std::int64_t>(z1)};
    }
    static std::int64_t Key(std::int64_t x, std::int64_t z) { return x * 0x9E3779B1LL ^ z; }

    float inverse_;
    std::unordered_map<std::int64_t, std::vector<int>> cells_;
};

} // namespace layout
