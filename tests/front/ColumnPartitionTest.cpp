#include "front/ColumnPartition.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace front {
namespace {

int TallestColumn(const std::vector<int>& heights, const std::vector<int>& columns, int count)
{
    std::vector<int> sums(static_cast<std::size_t>(count), 0);
    for (std::size_t i = 0; i < heights.size(); ++i)
        sums[static_cast<std::size_t>(columns[i])] += heights[i];
    return *std::max_element(sums.begin(), sums.end());
}

TEST(ColumnPartition, KeepsOrderAndBalancesTheColumns)
{
    const std::vector<int> heights = {50, 40, 40, 120, 30, 60, 60, 60, 200};
    const std::vector<int> columns = PartitionColumns(heights, 3);
    ASSERT_EQ(columns.size(), heights.size());
    EXPECT_TRUE(std::is_sorted(columns.begin(), columns.end()));
    EXPECT_EQ(columns.front(), 0);
    EXPECT_EQ(columns.back(), 2);
    // 250 | 210 | 200 is the best any contiguous split can do.
    EXPECT_EQ(TallestColumn(heights, columns, 3), 250);
}

TEST(ColumnPartition, OneTallBlockStandsAlone)
{
    const std::vector<int> heights = {500, 10, 10, 10, 10};
    EXPECT_EQ(PartitionColumns(heights, 2), (std::vector<int>{0, 1, 1, 1, 1}));
}

TEST(ColumnPartition, SpareColumnsStayEmptyAtTheEnd)
{
    EXPECT_EQ(PartitionColumns({30, 30}, 4), (std::vector<int>{0, 1}));
    EXPECT_TRUE(PartitionColumns({}, 3).empty());
}

TEST(ColumnPartition, HiddenBlocksOfNoHeightOpenNoColumnOfTheirOwn)
{
    const std::vector<int> columns = PartitionColumns({40, 40, 0, 0}, 2);
    EXPECT_EQ(columns[0], 0);
    EXPECT_EQ(columns[1], 1);
    EXPECT_EQ(columns[2], 1);
    EXPECT_EQ(columns[3], 1);
}

TEST(ColumnPartition, FewerThanOneColumnMeansOne)
{
    EXPECT_EQ(PartitionColumns({10, 20, 30}, 0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(PartitionColumns({10, -5}, 1), (std::vector<int>{0, 0}));
}

} // namespace
} // namespace front
