#include "app/dialogs/CPartsListWindow.h"

#include "ui/PlanTemplates.h"

#include <gtest/gtest.h>

namespace {

namespace pl = ui::partslist;

class FakeParts : public app::PartsListPort {
  public:
    FakeParts()
    {
        list.rows = {{.type = 2, .name = "直線", .count = 3, .length = 75.0},
                     {.type = 5,
                      .name = "分岐",
                      .count = 1,
                      .length = 25.0,
                      .otherRoutes = {26.5},
                      .selectedCount = 1,
                      .selectedLength = 25.0,
                      .selectedOtherRoutes = {26.5}}};
        list.totalCount = 4;
        list.totalLength = 100.0;
    }

    app::PartsListStamp Stamp() const override { return stamp; }
    layout::PartsList List() const override
    {
        ++made;
        return list;
    }
    std::optional<std::string> ChooseCsvFile() override { return chosen; }
    platform::Status WriteCsv(const std::string& path) override
    {
        written = path;
        if (path.starts_with("/locked")) return platform::Fail("permission denied");
        return platform::Ok{};
    }
    bool CopyText(const std::string& text) override
    {
        copied = text;
        return true;
    }

    layout::PartsList list;
    app::PartsListStamp stamp;
    std::optional<std::string> chosen;
    std::string written;
    std::string copied;
    mutable int made = 0;
};

TEST(PartsListWindow, RowsAndTotalsAreTheCsvsOwn)
{
    FakeParts port;
    port.stamp.scale = 87;
    app::CPartsListWindow window;
    window.Show(port);
    ASSERT_TRUE(window.Dialog().IsVisible());
    const ui::ListView& rows = window.Dialog().List(pl::kRows);
    // The CSV and the clipboard text are made of these cells.
    const auto csv = layout::PartsListCells(port.list, 87);
    ASSERT_EQ(rows.RowCount() + 1, static_cast<int>(csv.size()));
    // No selection: its columns are empty, the others are the CSV's cells.
    for (int row = 0; row < rows.RowCount(); ++row) {
        for (const int column : {0, 1, 2, 3, 6})
            EXPECT_EQ(rows.Cell(row, column), csv[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]);
        for (const int column : {4, 5, 7})
            EXPECT_EQ(rows.Cell(row, column), "");
    }
    EXPECT_EQ(rows.Cell(1, 3), "26.500");
    EXPECT_EQ(rows.ItemData(1), 5);
    // The totals state the unit, and the model length at the chosen scale; they are the CSV's
    // "合計" line.
    const std::vector<std::string>& total = csv.back();
    EXPECT_EQ(total[0], "合計");
    EXPECT_EQ(window.Dialog().Text(pl::kTotals),
              "合計 " + total[1] + " 個  線路長 " + total[2] + " 単位 (" + total[6] + " mm, 1:87)");
    EXPECT_EQ(total[1], "4");
    EXPECT_EQ(total[2], "100.000");
    EXPECT_EQ(total[6], "1149.4");

    port.copied.clear();
    window.Click(port, pl::kCopy);
    EXPECT_EQ(port.copied, layout::PartsListTabText(port.list, 87));
}

TEST(PartsListWindow, FollowsEditsAndTheSelectionOnlyWhenTheyChange)
{
    FakeParts port;
    app::CPartsListWindow window;
    window.Show(port);
    window.Refresh(port);
    window.Refresh(port);
    EXPECT_EQ(port.made, 1);
    EXPECT_EQ(window.Dialog().List(pl::kRows).Cell(1, 4), "");

    // An object selected: the selection's columns and totals appear.
    port.list.hasSelection = true;
    port.list.selectedCount = 1;
    port.list.selectedLength = 25.0;
    port.stamp.selected = {3};
    window.Refresh(port);
    EXPECT_EQ(port.made, 2);
    EXPECT_EQ(window.Dialog().List(pl::kRows).Cell(1, 4), "1");
    EXPECT_EQ(window.Dialog().List(pl::kRows).Cell(1, 5), "25.000");
    EXPECT_NE(window.Dialog().Text(pl::kTotals).find("選択中 1 個 25.000 単位"), std::string::npos);

    // An edit that removes a type.
    port.list.rows.pop_back();
    port.stamp.edits = 1;
    window.Refresh(port);
    EXPECT_EQ(window.Dialog().List(pl::kRows).RowCount(), 1);

    // Saving: cancelled does nothing, a failure says why, a success says where.
    window.Click(port, pl::kSaveCsv);
    EXPECT_EQ(port.written, "");
    port.chosen = "/locked/parts.csv";
    window.Click(port, pl::kSaveCsv);
    EXPECT_NE(window.Dialog().Text(pl::kReport).find("permission denied"), std::string::npos);
    port.chosen = "/tmp/parts.csv";
    window.Click(port, pl::kSaveCsv);
    EXPECT_EQ(port.written, "/tmp/parts.csv");
    EXPECT_EQ(window.Dialog().Text(pl::kReport), "保存しました: /tmp/parts.csv");
}

} // namespace
