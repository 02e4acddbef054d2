#include "ui/ListView.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

using ui::ListRow;
using ui::ListView;

ListView NumberedList(const std::vector<std::string>& names)
{
    ListView list({{"No", ui::ColumnAlign::Left, ui::ColumnSort::Number},
                   {"Name", ui::ColumnAlign::Left, ui::ColumnSort::Text}});
    for (int i = 0; i < static_cast<int>(names.size()); ++i)
        list.AppendRow({std::to_string(i), names[i]}, i);
    return list;
}

std::vector<std::string> Column(const ListView& list, int column)
{
    std::vector<std::string> cells;
    for (int row = 0; row < list.RowCount(); ++row)
        cells.push_back(list.Cell(row, column));
    return cells;
}

int ByName(const ListRow& a, const ListRow& b)
{
    return a.cells[1].compare(b.cells[1]);
}

TEST(ListView, SortKeepsEqualRowsInTheirOrder)
{
    auto list = NumberedList({"rail", "gate", "rail", "bridge", "gate", "rail"});
    list.SortRows(ByName);
    EXPECT_EQ(Column(list, 1), (std::vector<std::string>{"bridge", "gate", "gate", "rail", "rail", "rail"}));
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"3", "1", "4", "0", "2", "5"}));
}

TEST(ListView, SelectionAndFocusFollowTheirRowsThroughSorts)
{
    auto list = NumberedList({"d", "b", "e", "a", "c"});
    list.SetSelected(0, true); // "d"
    list.SetSelected(3, true); // "a"
    list.SetFocusRow(2);       // "e"

    auto selectedData = [&] {
        std::set<std::int64_t> data;
        for (int row : list.SelectedRows())
            data.insert(list.ItemData(row));
        return data;
    };
    const std::set<std::int64_t> before = selectedData();

    list.SortRows(ByName);
    EXPECT_EQ(selectedData(), before);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{0, 3})); // "a" and "d" now
    EXPECT_EQ(list.Cell(list.FocusRow(), 1), "e");

    // Descending by record number, through the item data the sort does not touch.
    list.SortRows([](const ListRow& a, const ListRow& b) { return static_cast<int>(b.data - a.data); });
    EXPECT_EQ(Column(list, 0), (std::vector<std::string>{"4", "3", "2", "1", "0"}));
    EXPECT_EQ(selectedData(), before);
    EXPECT_EQ(list.Cell(list.FocusRow(), 1), "e");
    EXPECT_EQ(list.FindRowByData(3), 1);
    EXPECT_EQ(list.FindRowByData(42), -1);
}

TEST(ListView, InsertingAndDeletingKeepFocusOnItsRow)
{
    auto list = NumberedList({"a", "b", "c"});
    list.SetFocusRow(1);
    list.InsertRow(0, {"x", "new"});
    EXPECT_EQ(list.Cell(list.FocusRow(), 1), "b");
    list.DeleteRow(0);
    EXPECT_EQ(list.Cell(list.FocusRow(), 1), "b");
    list.DeleteRow(2);
    EXPECT_EQ(list.Cell(list.FocusRow(), 1), "b");
    list.DeleteRow(list.FocusRow());
    EXPECT_EQ(list.FocusRow(), -1);

    // Past the end appends, as the real control does.
    const int appended = list.InsertRow(100, {"9", "last"});
    EXPECT_EQ(appended, list.RowCount() - 1);
    EXPECT_EQ(list.InsertRow(-5, {"8", "first"}), 0);
}

TEST(ListView, OutOfRangeRowsAndColumnsAreHarmless)
{
    auto list = NumberedList({"a"});
    list.SetCell(0, 7, "x");
    list.SetCell(3, 0, "x");
    list.SetSelected(-1, true);
    list.DeleteRow(5);
    list.SetFocusRow(9);
    EXPECT_EQ(list.Cell(0, 7), "");
    EXPECT_EQ(list.Cell(-1, 0), "");
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_EQ(list.SelectedCount(), 0);
    EXPECT_EQ(list.FocusRow(), -1);
    EXPECT_EQ(list.Column(7).heading, "");

    // A row written with fewer cells than columns reads the rest as empty, and can be filled.
    list.AppendRow({"1"});
    EXPECT_EQ(list.Cell(1, 1), "");
    list.SetCell(1, 1, "b");
    EXPECT_EQ(list.Cell(1, 1), "b");
}

} // namespace
