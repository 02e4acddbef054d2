// Splits a sequence of blocks into columns for a dialog's layout: the blocks keep their order,
// each column takes a run of neighbours, and the tallest column is as short as it can be.
#pragma once

#include <vector>

namespace front {

// Column index (0 to columns - 1) of each block, never decreasing. Fewer blocks than columns
// leave the last columns empty; columns below 1 count as 1.
std::vector<int> PartitionColumns(const std::vector<int>& heights, int columns);

} // namespace front
