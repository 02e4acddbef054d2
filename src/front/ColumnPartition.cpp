#include "front/ColumnPartition.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace front {

std::vector<int> PartitionColumns(const std::vector<int>& heights, int columns)
{
    const std::size_t n = heights.size();
    const std::size_t k = static_cast<std::size_t>(std::max(1, columns));
    std::vector<long long> prefix(n + 1, 0);
    for (std::size_t i = 0; i < n; ++i)
        prefix[i + 1] = prefix[i] + std::max(0, heights[i]);

    // best[c][i]: smallest tallest column when the first i blocks fill c columns; cut[c][i]: where
    // the last of those columns starts.
    constexpr long long kNone = std::numeric_limits<long long>::max();
    std::vector<std::vector<long long>> best(k + 1, std::vector<long long>(n + 1, kNone));
    std::vector<std::vector<std::size_t>> cut(k + 1, std::vector<std::size_t>(n + 1, 0));
    best[0][0] = 0;
    for (std::size_t c = 1; c <= k; ++c) {
        for (std::size_t i = 0; i <= n; ++i) {
            for (std::size_t start = 0; start <= i; ++start) {
                if (best[c - 1][start] == kNone) continue;
                const long long tallest = std::max(best[c - 1][start], prefix[i] - prefix[start]);
                // Ties go to the later cut, so that spare columns stay empty at the end.
                if (tallest <= best[c][i]) {
                    best[c][i] = tallest;
                    cut[c][i] = start;
                }
            }
        }
    }

    std::vector<int> column(n, 0);
    std::size_t end = n;
    for (std::size_t c = k; c >= 1; --c) {
        const std::size_t start = cut[c][end];
        for (std::size_t i = start; i < end; ++i)
            column[i] = static_cast<int>(c - 1);
        end = start;
    }
    return column;
}

} // namespace front
