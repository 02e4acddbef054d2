// A grid over the layout's ground plan that lists, per cell, the placed objects whose turned
// bounds reach into the cell, so that a probe looks only at the objects near it. Candidates come
// out in placement order: a query that walks them stops and counts exactly as a walk over every
// object would, since the objects it skips could never pass its bounds test.
#pragma once

#include "layout/PlacedObject.h"

#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

namespace layout {

struct ObjectType;

class PlacedObjectGrid {
  public:
    // What the grid needs of one placed object: where it stands, how it is turned, and the
    // ground-plan bounds of its type in object space; null bounds for an object that no probe
    // can ever hit (its type is missing or has no mesh).
    struct Entry {
        float x = 0, z = 0;
        ObjectTrig trig;
        const ObjectType* type = nullptr;
    };

    // Rebuilds the grid for these objects (index = position in the span).
    void Build(std::span<const Entry> entries);
    void Clear();

    // Calls visit(index) for every object that may hold the point (x, z) in its bounds, in
    // ascending index order, until visit returns false.
    template <class Visit> void ForEachCandidate(float x, float z, Visit&& visit) const
    {
        std::span<const int> cell;
        if (const int at = CellAt(x, z); at >= 0) {
            const auto first = static_cast<std::size_t>(cellStart_[static_cast<std::size_t>(at)]);
            const auto last = static_cast<std::size_t>(cellStart_[static_cast<std::size_t>(at) + 1]);
            cell = std::span<const int>(cellItems_).subspan(first, last - first);
        }
        // Merge the cell's list with the objects that every cell shares.
        std::size_t a = 0;
        std::size_t b = 0;
        while (a < cell.size() || b < everywhere_.size()) {
            int index = 0;
            if (b == everywhere_.size() || (a < cell.size() && cell[a] < everywhere_[b])) {
                index = cell[a++];
            } else {
                index = everywhere_[b++];
            }
            if (!visit(index)) return;
        }
    }

    // Size of one cell's side; 0 before the first build.
    float CellSize() const { return cellSize_; }
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    // Objects looked at for every probe (too large for the cells, or standing beyond them).
    std::size_t SharedCount() const { return everywhere_.size(); }

  private:
    int CellAt(float x, float z) const
    {
        if (columns_ == 0) return -1;
        const float cx = std::floor((x - originX_) * inverseCell_);
        const float cz = std::floor((z - originZ_) * inverseCell_);
        // Also false for NaN.
        if (!(cx >= 0.0f && cx < static_cast<float>(columns_) && cz >= 0.0f &&
              cz < static_cast<float>(rows_)))
            return -1;
        return static_cast<int>(cz) * columns_ + static_cast<int>(cx);
    }

    float originX_ = 0;
    float originZ_ = 0;
    float cellSize_ = 0;
    float inverseCell_ = 0;
    int columns_ = 0;
    int rows_ = 0;
    std::vector<int> cellStart_; // columns × rows + 1 offsets into cellItems_
    std::vector<int> cellItems_; // per cell, ascending object indices
    std::vector<int> everywhere_;
};

} // namespace layout
