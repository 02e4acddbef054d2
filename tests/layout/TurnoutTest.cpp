// Turnout keys: assigning them, switching routes by key presses (and every frame with Shift),
// the key labels and the usage counts in the turnout menu.
#include "LayoutTestSupport.h"
#include "input/CInput.h"
#include "layout/TurnoutKeys.h"
#include "platform/KeyState.h"
#include "platform/Utf8.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/DialogModel.h"
#include "ui/MenuModel.h"
#include "ui/ObjectSelectTemplate.h"

#include <climits>

namespace layouttest {
namespace {

class TurnoutTest : public LayoutTest {
  protected:
    void SetUp() override
    {
        WriteType("a_two", {"ポイント=2"});
        WriteType("b_three", {"ポイント=3"});
        WriteType("c_plain", {"ポイント=1"});
        WriteType("d_none", {"ポイント=0"});
        Scan();
        layout.Placed().PollTurnoutKeys(input); // the first poll only remembers the keys
    }
    // A full press of a key, then one frame.
    void PressAndPoll(int vk)
    {
        keys.Press(vk);
        keys.Release(vk);
        layout.Placed().PollTurnoutKeys(input);
    }
    int Route(int index) const { return layout.Placed().Find(index)->route; }

    platform::KeyState keys;
    input::CInput input{keys};
};

TEST_F(TurnoutTest, EachPressSwitchesEveryTurnoutWithThatKeyOnce)
{
    Place(0, 0, 0, 0, 0, 3);
    std::vector<int> routes;
    for (int i = 0; i < 4; ++i) {
        PressAndPoll('4');
        routes.push_back(Route(0));
    }
    EXPECT_EQ(routes, (std::vector<int>{1, 0, 1, 0}));

    // Holding a key is one press.
    keys.Press('4');
    for (int frame = 0; frame < 5; ++frame)
        layout.Placed().PollTurnoutKeys(input);
    keys.Release('4');
    EXPECT_EQ(Route(0), 1);
}

TEST_F(TurnoutTest, TurnoutsSharingAKeyWrapAtTheirOwnRouteCounts)
{
    Place(1, 0, 0, 0, 0, 0);
    Place(0, 5, 0, 0, 0, 0);
    Place(0, 9, 0, 0, 0, 1);
    for (int i = 0; i < 3; ++i)
        PressAndPoll('1');
    EXPECT_EQ(Route(0), 0);
    EXPECT_EQ(Route(1), 1);
    EXPECT_EQ(Route(2), 0);

    PressAndPoll(platform::vk::kOemMinus); // key 10: nobody carries it
    PressAndPoll(platform::vk::kOem7);     // key 11
    EXPECT_EQ(Route(1), 1);
}

TEST_F(TurnoutTest, ShiftSwitchesHeldKeysEveryFrameWithoutALaterExtraSwitch)
{
    Place(1, 0, 0, 0, 0, 0);
    keys.Press(platform::vk::kShift);
    keys.Press('1');
    for (int frame = 0; frame < 4; ++frame)
        layout.Placed().PollTurnoutKeys(input);
    EXPECT_EQ(Route(0), 1); // four switches of a three-route turnout
    keys.Release('1');
    layout.Placed().PollTurnoutKeys(input);
    keys.Release(platform::vk::kShift);
    // The press made under Shift must not count once more now.
    layout.Placed().PollTurnoutKeys(input);
    layout.Placed().PollTurnoutKeys(input);
    EXPECT_EQ(Route(0), 1);
}

TEST_F(TurnoutTest, RoutesBeyondTheCountKeepCountingWithoutOverflow)
{
    Place(0, 0, 0, 0, 0, 2);
    layout.Placed().SetRoute(0, 5);
    layout.Placed().SwitchRoutes(2);
    EXPECT_EQ(Route(0), 6);
    layout.Placed().SetRoute(0, -1);
    layout.Placed().SwitchRoutes(2);
    EXPECT_EQ(Route(0), 0);
    layout.Placed().SetRoute(0, INT_MAX);
    layout.Placed().SwitchRoutes(2);
    EXPECT_EQ(Route(0), INT_MAX);
    layout.Placed().SwitchRoutes(-1); // no key switches nothing
    layout.Placed().SwitchRoutes(12);
    EXPECT_EQ(Route(0), INT_MAX);
}

TEST_F(TurnoutTest, KeysGoOnlyToSelectedTurnouts)
{
    Place(0, 0, 0, 0);
    Place(2, 5, 0, 0, 0, 4);
    Place(1, 9, 0, 0);
    layout.Selection().SetSelected(0, true);
    layout.Selection().SetSelected(1, true);
    ASSERT_TRUE(layout.AssignKey(6).ok());
    EXPECT_EQ(layout.Placed().Key(0), 6);
    EXPECT_EQ(layout.Placed().Key(1), 4); // plain track keeps its key
    EXPECT_EQ(layout.Placed().Key(2), layout::kNoKey);
    const ui::ListView& list = layout.ObjectDialog().List(ui::objsel::kPlacedList);
    EXPECT_EQ(list.Cell(0, ui::objsel::kColumnKey), "７");

    EXPECT_FALSE(layout.AssignKey(12).ok());
    ASSERT_TRUE(layout.AssignKey(layout::kNoKey).ok());
    EXPECT_EQ(layout.Placed().Key(0), layout::kNoKey);
    EXPECT_EQ(list.Cell(0, ui::objsel::kColumnKey), "　");
}

TEST_F(TurnoutTest, ThePointButtonsSetTheSelectedObjectsRoute)
{
    EXPECT_EQ(layout.Selection().PrimaryRouteCount(), 0);
    EXPECT_EQ(layout.Selection().PrimaryRoute(), -1);
    Place(1, 0, 0, 0);
    layout.Selection().SetPrimary(0);
    EXPECT_EQ(layout.Selection().PrimaryRouteCount(), 3);
    layout.SetSelectedRoute(2);
    EXPECT_EQ(layout.Selection().PrimaryRoute(), 2);
    layout.SetSelectedRoute(10);
    EXPECT_EQ(layout.Selection().PrimaryRoute(), 2);
    EXPECT_EQ(*layout.Selection().Status(), "No=0  Mesh=b_three  x=0.000  y=0.000  z=0.000  r=0.000  Point=3");
    layout.Selection().SetPrimary(7);
    EXPECT_FALSE(layout.Selection().Status().has_value());
}

TEST(KeyLabels, FollowTheStyleAndShowABlankForAnythingOutOfRange)
{
    EXPECT_EQ(layout::KeyLabel(0, 0), "１");
    EXPECT_EQ(layout::KeyLabel(0, 11), "＾");
    EXPECT_EQ(layout::KeyLabel(1, 2), "あ");
    EXPECT_EQ(layout::KeyLabel(2, 9), "ワ");
    EXPECT_EQ(layout::KeyLabel(1, layout::kNoKey), "　");
    EXPECT_EQ(layout::KeyLabel(0, 12), "　");
    EXPECT_EQ(layout::KeyLabel(-1, 3), "　");
    EXPECT_EQ(layout::KeyLabel(3, 3), "　");
}

TEST_F(TurnoutTest, TheKeyColumnFollowsTheLabelStyle)
{
    Place(0, 0, 0, 0, 0, 1);
    layout.Placed().SetKeyLabelStyle(2);
    EXPECT_EQ(layout.ObjectDialog().List(ui::objsel::kPlacedList).Cell(0, ui::objsel::kColumnKey), "フ");
    layout.Placed().SetKeyLabelStyle(-1);
    EXPECT_EQ(layout.ObjectDialog().List(ui::objsel::kPlacedList).Cell(0, ui::objsel::kColumnKey), "　");
}

TEST_F(TurnoutTest, MenuEntriesGetTheirUsageCountAndGoBackToTheirBaseText)
{
    ui::MenuModel menu(ui::MainMenuTemplate());
    layout.BindMenu(&menu);
    const int entry = ui::cmd::kKeyFirst + 3;
    const std::string base = menu.Text(entry);
    for (int i = 0; i < 12; ++i)
        Place(0, float(i), 0, 0, 0, 3);
    layout.NotifyLayoutChanged();
    EXPECT_EQ(menu.Text(entry), base + "  使用数 12");
    EXPECT_EQ(menu.Text(ui::cmd::kKeyFirst), menu.BaseText(ui::cmd::kKeyFirst));

    for (int i = 0; i < 12; ++i)
        layout.Selection().SetSelected(i, i >= 3);
    ASSERT_TRUE(layout.AssignKey(5).ok());
    EXPECT_EQ(menu.Text(entry), base + "  使用数  3");
    layout.Selection().SetSelected(0, true);
    layout.Selection().SetSelected(1, true);
    layout.Selection().SetSelected(2, true);
    ASSERT_TRUE(layout.AssignKey(layout::kNoKey).ok());
    EXPECT_EQ(menu.Text(entry), base);
    EXPECT_TRUE(platform::IsValidUtf8(menu.Text(entry)));
    layout.BindMenu(nullptr);
}

TEST(KeyUsage, CountsFromAThousandShowTheirLastThreeDigits)
{
    EXPECT_EQ(layout::KeyUsageSuffix(0), "");
    EXPECT_EQ(layout::KeyUsageSuffix(7), "  使用数  7");
    EXPECT_EQ(layout::KeyUsageSuffix(999), "  使用数999");
    EXPECT_EQ(layout::KeyUsageSuffix(1234), "  使用数234");
}

} // namespace
} // namespace layouttest
