#include "ui/CommandIds.h"
#include "ui/MenuModel.h"
#include "ui/StatusBarModel.h"
#include "ui/ToolBarModel.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using ui::ToolState;
namespace cmd = ui::cmd;

class ToolBarTest : public ::testing::Test {
  protected:
    ToolBarTest()
    {
        bar.SetObserver([this](int id) { changed.push_back(id); });
    }

    // Point buttons as the refresh leaves them for a type with n routes: all greyed, the
    // first n pressable.
    void ShowRoutes(int n)
    {
        for (int id : cmd::kToolPoints)
            bar.SetState(id, {.enabled = false, .indeterminate = true});
        for (int route = 0; route < n; ++route)
            bar.SetState(cmd::kToolPoints[route], {.enabled = true});
    }

    ui::ToolBarModel bar{ui::MainToolBarTemplate()};
    std::vector<int> changed;
};

TEST_F(ToolBarTest, PointButtonsExcludeEachOther)
{
    ShowRoutes(3);
    bar.SetChecked(cmd::kToolPoints[0], true);
    EXPECT_TRUE(bar.Click(cmd::kToolPoints[2]));
    EXPECT_FALSE(bar.IsChecked(cmd::kToolPoints[0]));
    EXPECT_TRUE(bar.IsChecked(cmd::kToolPoints[2]));
    // Pressing the checked one again keeps it checked.
    EXPECT_TRUE(bar.Click(cmd::kToolPoints[2]));
    EXPECT_TRUE(bar.IsChecked(cmd::kToolPoints[2]));
    // The group does not reach past the separator before it.
    EXPECT_TRUE(bar.IsChecked(cmd::kToolHeightDetection));
}

TEST_F(ToolBarTest, GreyedPointButtonsIgnorePressesButCanShowTheRoute)
{
    ShowRoutes(2);
    EXPECT_FALSE(bar.Click(cmd::kToolPoints[2]));
    EXPECT_FALSE(bar.IsChecked(cmd::kToolPoints[2]));

    // A plain piece on route 0: its button is checked while it stays greyed.
    ShowRoutes(0);
    bar.SetChecked(cmd::kToolPoints[0], true);
    EXPECT_EQ(bar.State(cmd::kToolPoints[0]),
              (ToolState{.enabled = false, .checked = true, .indeterminate = true}));
    EXPECT_FALSE(bar.Click(cmd::kToolPoints[0]));
}

TEST_F(ToolBarTest, CheckButtonsToggleAndReportEachChange)
{
    EXPECT_TRUE(bar.Click(cmd::kToolCreateMap));
    EXPECT_TRUE(bar.IsSlotChecked(cmd::kSlotCreateMap));
    EXPECT_TRUE(bar.Click(cmd::kToolCreateMap));
    EXPECT_FALSE(bar.IsSlotChecked(cmd::kSlotCreateMap));
    EXPECT_EQ(changed, (std::vector<int>{cmd::kToolCreateMap, cmd::kToolCreateMap}));

    changed.clear();
    bar.SetChecked(cmd::kToolGrid, true); // already checked
    EXPECT_TRUE(changed.empty());

    // Push buttons send their command and keep no state.
    EXPECT_TRUE(bar.Click(cmd::kToolLoadMap));
    EXPECT_FALSE(bar.IsChecked(cmd::kToolLoadMap));
    EXPECT_FALSE(bar.Click(0));
    EXPECT_FALSE(bar.Click(12345));
}

TEST(MenuModel, UsageSuffixReplacesThePreviousOne)
{
    ui::MenuModel menu(ui::MainMenuTemplate());
    const int key = cmd::kKeyFirst + 3;
    menu.SetSuffix(key, "  使用数 12");
    menu.SetSuffix(key, "  使用数  4");
    EXPECT_EQ(menu.Text(key), "キー「4」「う」「ウ」  使用数  4");
    menu.SetSuffix(key, "");
    EXPECT_EQ(menu.Text(key), menu.BaseText(key));
}

TEST(MenuModel, TurnoutPopupEnablesAsOne)
{
    ui::MenuModel menu(ui::MainMenuTemplate());
    std::vector<int> changed;
    menu.SetObserver([&](int id) { changed.push_back(id); });
    menu.SetPopupEnabled(cmd::kTurnoutMenu, false);
    EXPECT_EQ(changed.size(), 13u);
    EXPECT_FALSE(menu.IsEnabled(cmd::kKeyNone));
    EXPECT_FALSE(menu.IsEnabled(cmd::kKeyLast));
    EXPECT_TRUE(menu.IsEnabled(cmd::kShowSettings));
    menu.SetPopupEnabled(9, false); // no such pop-up
    EXPECT_EQ(menu.ItemId(9, 0), -1);
    EXPECT_EQ(menu.Text(1), "");
}

TEST(StatusBarModel, FourPanesAndNothingElse)
{
    ui::StatusBarModel status;
    std::vector<int> changed;
    status.SetObserver([&](int pane) { changed.push_back(pane); });
    status.SetText(3, "操作(F7)：カメラ");
    status.SetText(4, "lost");
    status.SetText(-1, "lost");
    status.SetText(0, " ");
    status.SetText(0, " "); // written every frame while the button is up; reported once
    EXPECT_EQ(status.Text(3), "操作(F7)：カメラ");
    EXPECT_EQ(status.Text(4), "");
    EXPECT_EQ(changed, (std::vector<int>{3, 0}));
    EXPECT_EQ(ui::StatusBarModel::kWidths[0], ui::StatusBarModel::kStretch);
}

} // namespace
