// The "点検結果" window's behaviour: its list, counts and thresholds, and what it marks.
#include "app/dialogs/CLayoutCheck.h"
#include "common/TestSupport.h"
#include "gfx/RecordingDevice.h"
#include "layout/CLayout.h"
#include "platform/RecordingDialogService.h"
#include "ui/LayoutCheckTemplate.h"

#include <gtest/gtest.h>

namespace {

namespace ck = ui::check;

TEST(LayoutCheckDlgTest, ListsTheFindingsWithTheirCountsAndKeepsBadThresholds)
{
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.Path() / "box.ini", "[korvela]\r\n");
    testsupport::WriteBytes(dir.Path() / "box.x",
                            "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;; }\n");
    layout::CLayout layout("korvela");
    const auto device = std::move(gfx::RecordingDevice::Create().device);
    layout.Catalogue().SetObjectFolder(dir.Path().string() + "/");
    layout.ScanObjectFolder(device.get());
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(layout.Placed().Append({.type = 0, .x = i < 2 ? 5.0f : 9.0f, .angle = 90}).ok());

    app::CLayoutCheck check;
    EXPECT_TRUE(check.Markers().empty());
    check.Dialog().SetText(ck::kGrade, "abc"); // no number: the previous threshold stays
    check.Dialog().SetText(ck::kClearance, "7.5");
    check.Run(layout);
    EXPECT_EQ(check.Settings().maxGradePercent, 4.0f);
    EXPECT_EQ(check.Settings().minClearance, 7.5f);
    EXPECT_TRUE(check.Dialog().IsVisible());

    const ui::ListView& list = check.Dialog().List(ck::kFindings);
    ASSERT_EQ(list.RowCount(), 1);
    EXPECT_EQ(list.Row(0).cells, (std::vector<std::string>{"重なり", "0, 1", "0.000"}));
    EXPECT_EQ(check.Dialog().Text(ck::kCounts),
              "開いた端 0  継ぎ目のずれ 0  重なり 1  急勾配 0  建築限界不足 0  キーなしポイント 0");
    ASSERT_NE(check.FindingOfRow(0), nullptr);
    EXPECT_EQ(check.FindingOfRow(0)->objects, (std::vector<int>{0, 1}));
    EXPECT_EQ(check.FindingOfRow(1), nullptr);
    EXPECT_EQ(check.Markers().size(), 1u);
    check.Dialog().SetVisible(false);
    EXPECT_TRUE(check.Markers().empty());

    // Thresholds from the settings file: nothing that is no positive number gets in.
    check.SetSettings({.maxGradePercent = -1.0f, .minClearance = 6.0f});
    EXPECT_EQ(check.Dialog().Text(ck::kGrade), "4");
    EXPECT_EQ(check.Dialog().Text(ck::kClearance), "6");
}

} // namespace
