#include "layout/PlacedObjectGrid.h"

#include "layout/ObjectType.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace layout {

namespace {

struct PlanBox {
    float minX = 0, maxX = 0, minZ = 0, maxZ = 0;
};

// Objects standing this far out are looked at for every probe rather than binned.
constexpr float kCoordinateLimit = 1.0e7f;
constexpr int kMaxCellsPerAxis = 1024;
// An object reaching into more cells than this (a ground plate, say) is shared by every cell.
constexpr long long kMaxCellsPerObject = 64;
constexpr float kMinCellSize = 1.0f;

// The world ground-plan box of an object's turned bounds, widened a little so that rounding in
// the queries' own transform can never put a point inside the bounds but outside the box.
std::optional<PlanBox> WorldBox(const PlacedObjectGrid::Entry& entry)
{
    const model::MeshBox& bounds = entry.type->bounds;
    const float c = entry.trig.cosAngle;
    const float s = entry.trig.sinAngle;
    constexpr float kInf = std::numeric_limits<float>::infinity();
    PlanBox box{kInf, -kInf, kInf, -kInf};
    for (const float lx : {bounds.minX, bounds.maxX}) {
        for (const float lz : {bounds.minZ, bounds.maxZ}) {
            // The inverse of the queries' turn into object space.
            const float dx = lx * c + lz * s;
            const float dz = -lx * s + lz * c;
            box.minX = std::min(box.minX, dx);
            box.maxX = std::max(box.maxX, dx);
            box.minZ = std::min(box.minZ, dz);
            box.maxZ = std::max(box.maxZ, dz);
        }
    }
    const float extent = std::max(
        {std::fabs(bounds.minX), std::fabs(bounds.maxX), std::fabs(bounds.minZ), std::fabs(bounds.maxZ)});
    const float margin = 1.0e-3f + 1.0e-5f * (std::fabs(entry.x) + std::fabs(entry.z) + 2.0f * extent);
    box = {entry.x + box.minX - margin, entry.x + box.maxX + margin, entry.z + box.minZ - margin,
           entry.z + box.maxZ + margin};
    for (const float v : {box.minX, box.maxX, box.minZ, box.maxZ}) {
        if (!std::isfinite(v) || std::fabs(v) > kCoordinateLimit) return std::nullopt;
    }
    return box;
}

} // namespace

void PlacedObjectGrid::Clear()
{
    *this = PlacedObjectGrid{};
}

void PlacedObjectGrid::Build(std::span<const Entry> entries)
{
    Clear();
    std::vector<std::optional<PlanBox>> boxes(entries.size());
    std::vector<float> sizes;
    float minX = std::numeric_limits<float>::max();
    float minZ = minX;
    float maxX = std::numeric_limits<float>::lowest();
    float maxZ = maxX;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].type) continue; // never hit: no candidate anywhere
        boxes[i] = WorldBox(entries[i]);
        if (!boxes[i]) {
            everywhere_.push_back(static_cast<int>(i));
            continue;
        }
        const PlanBox& box = *boxes[i];
        sizes.push_back(std::max(box.maxX - box.minX, box.maxZ - box.minZ));
        minX = std::min(minX, box.minX);
        maxX = std::max(maxX, box.maxX);
        minZ = std::min(minZ, box.minZ);
        maxZ = std::max(maxZ, box.maxZ);
    }
    if (sizes.empty()) return;

    // Cells about the size of a typical piece: a probe then sees a handful of objects.
    const auto middle = sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2);
    std::nth_element(sizes.begin(), middle, sizes.end());
    float cell = std::max(*middle, kMinCellSize);
    const float span = std::max(maxX - minX, maxZ - minZ);
    cell = std::max(cell, span / static_cast<float>(kMaxCellsPerAxis - 1));

    originX_ = minX;
    originZ_ = minZ;
    cellSize_ = cell;
    inverseCell_ = 1.0f / cell;
    // The far edge must fall inside the last cell even when it lands exactly on a cell border.
    columns_ = std::min(static_cast<int>(std::floor((maxX - minX) * inverseCell_)) + 1, kMaxCellsPerAxis);
    rows_ = std::min(static_cast<int>(std::floor((maxZ - minZ) * inverseCell_)) + 1, kMaxCellsPerAxis);

    struct Range {
        int x0, x1, z0, z1;
    };
    auto rangeOf = [&](const PlanBox& box) {
        auto column = [&](float v) {
            return std::clamp(static_cast<int>(std::floor((v - originX_) * inverseCell_)), 0, columns_ - 1);
        };
        auto row = [&](float v) {
            return std::clamp(static_cast<int>(std::floor((v - originZ_) * inverseCell_)), 0, rows_ - 1);
        };
        return Range{column(box.minX), column(box.maxX), row(box.minZ), row(box.maxZ)};
    };

    const std::size_t cellCount = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
    std::vector<int> counts(cellCount + 1, 0);
    std::vector<int> shared;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!boxes[i]) continue;
        const Range r = rangeOf(*boxes[i]);
        const long long covered = static_cast<long long>(r.x1 - r.x0 + 1) * (r.z1 - r.z0 + 1);
        if (covered > kMaxCellsPerObject) {
            shared.push_back(static_cast<int>(i));
            boxes[i].reset();
            continue;
        }
        for (int z = r.z0; z <= r.z1; ++z) {
            for (int x = r.x0; x <= r.x1; ++x)
                ++counts[static_cast<std::size_t>(z * columns_ + x)];
        }
    }
    cellStart_.assign(cellCount + 1, 0);
    for (std::size_t c = 0; c < cellCount; ++c)
        cellStart_[c + 1] = cellStart_[c] + counts[c];
    cellItems_.assign(static_cast<std::size_t>(cellStart_[cellCount]), 0);
    std::vector<int> fill(cellStart_.begin(), cellStart_.end() - 1);
    // Objects go in by ascending index, so every cell's list is ascending.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!boxes[i]) continue;
        const Range r = rangeOf(*boxes[i]);
        for (int z = r.z0; z <= r.z1; ++z) {
            for (int x = r.x0; x <= r.x1; ++x)
                cellItems_[static_cast<std::size_t>(fill[static_cast<std::size_t>(z * columns_ + x)]++)] =
                    static_cast<int>(i);
        }
    }
    everywhere_.insert(everywhere_.end(), shared.begin(), shared.end());
    std::sort(everywhere_.begin(), everywhere_.end());
}

} // namespace layout
