#include "AppTestSupport.h"
#include "app/dialogs/CSetUp.h"
#include "platform/VirtualKeys.h"
#include "ui/SetUpTemplate.h"

#include <gtest/gtest.h>

namespace {

namespace su = ui::setup;
namespace vk = platform::vk;
using apptest::Count;

class LoggingActions final : public app::SetUpActions {
  public:
    std::vector<std::string> log;
    float fieldOfView = 0;

    void SetShadeMode(gfx::ShadeMode mode) override
    {
        log.push_back(mode == gfx::ShadeMode::Gouraud ? "shade gouraud" : "shade flat");
    }
    void SetFillMode(gfx::FillMode mode) override
    {
        log.push_back(mode == gfx::FillMode::Solid ? "fill solid" : "fill wireframe");
    }
    void SetCullMode(gfx::CullMode mode) override
    {
        log.push_back("cull " + std::to_string(static_cast<int>(mode)));
    }
    void SetFieldOfView(float degrees) override { fieldOfView = degrees; }
    void ApplyLights() override { log.push_back("lights"); }
    void RenderPreview() override { log.push_back("preview"); }
    void SelectTrain(int slot, int index) override
    {
        log.push_back("train " + std::to_string(slot) + " " + std::to_string(index));
    }
    void SelectVehicle(app::Vehicle v, int index) override
    {
        log.push_back(apptest::StubVehicles::Name(v) + " " + std::to_string(index));
    }
    void StoreTrainHome(int slot) override { log.push_back("home train " + std::to_string(slot)); }
    void StoreVehicleHome(app::Vehicle v) override
    {
        log.push_back("home " + apptest::StubVehicles::Name(v));
    }
    void ReloadKeyLabels() override { log.push_back("key labels"); }
    void ToggleObjectDialog() override { log.push_back("object dialog"); }
};

class SetUpTest : public ::testing::Test {
  protected:
    SetUpTest() { setUp.Initialise(); }

    // One full press and release of key, then a poll, as the main loop sees it.
    void Press(int key, bool shift = false)
    {
        if (shift) keys.Press(vk::kShift);
        keys.Press(key);
        setUp.PollFunctionKeys();
        keys.Release(key);
        if (shift) keys.Release(vk::kShift);
    }

    platform::KeyState keys;
    input::CInput input{keys, "/opt/korvela/"};
    ui::StatusBarModel status;
    platform::RecordingDialogService dialogs;
    apptest::StubViewers viewers;
    LoggingActions actions;
    app::CSetUp setUp{input, status, dialogs, viewers, actions};
    ui::DialogModel& model = setUp.Model();
};

TEST_F(SetUpTest, InitialisationWritesTheSliderPositionsIntoTheirLabels)
{
    EXPECT_EQ(model.Text(su::kDistanceLabel), "50");
    EXPECT_EQ(model.Text(su::kFieldOfViewLabel), "25");
    EXPECT_EQ(model.Text(su::kCullingLabel), "5000");
    EXPECT_EQ(model.Text(su::kObjectAlphaLabel), "100");
    EXPECT_EQ(model.Text(su::kBackgroundAlphaLabel), "100");
    EXPECT_EQ(model.Text(su::kLightLabel), "100");
    // The refresh also hands the field of view to the camera and re-lights the scene.
    EXPECT_EQ(actions.fieldOfView, 25.0f);
    EXPECT_EQ(Count(actions.log, "lights"), 1);
}

TEST_F(SetUpTest, MovingASliderRefreshesItsLabelAndTheFieldOfView)
{
    ASSERT_TRUE(setUp.ScrollSlider(su::kFieldOfView, 40));
    EXPECT_EQ(model.Text(su::kFieldOfViewLabel), "40");
    EXPECT_EQ(actions.fieldOfView, 40.0f);
    // The slider keeps itself in its range.
    setUp.ScrollSlider(su::kFieldOfView, 500);
    EXPECT_EQ(model.Text(su::kFieldOfViewLabel), "179");
}

TEST_F(SetUpTest, FirstPollOnlyRecordsAndAHeldKeyActsOnce)
{
    keys.Press(vk::kF3);
    setUp.PollFunctionKeys(); // first poll: the bit is recorded, nothing happens
    EXPECT_FALSE(model.IsVisible());
    keys.Release(vk::kF3);
    setUp.PollFunctionKeys();
    EXPECT_FALSE(model.IsVisible());

    keys.Press(vk::kF3);
    for (int pass = 0; pass < 10; ++pass)
        setUp.PollFunctionKeys();
    EXPECT_TRUE(model.IsVisible()) << "holding F3 must not make the dialog flicker";
    keys.Release(vk::kF3);
    Press(vk::kF3);
    EXPECT_FALSE(model.IsVisible());
}

TEST_F(SetUpTest, F5AndF6StepTheCameraListsRoundTheirEnds)
{
    setUp.PollFunctionKeys();
    // From no selection: forward takes the first item, backward the last.
    Press(vk::kF5);
    EXPECT_EQ(model.Selection(su::kPositionList), 0);
    Press(vk::kF5, true);
    EXPECT_EQ(model.Selection(su::kPositionList), 11) << "Shift+F5 on item 0 goes round to the last";
    Press(vk::kF5);
    EXPECT_EQ(model.Selection(su::kPositionList), 0) << "F5 on the last item goes round to item 0";

    Press(vk::kF6, true);
    EXPECT_EQ(model.Selection(su::kViewPointList), 15);
    Press(vk::kF6);
    EXPECT_EQ(model.Selection(su::kViewPointList), 0);
    Press(vk::kF6);
    EXPECT_EQ(model.Selection(su::kViewPointList), 1);
    Press(vk::kF6, true);
    EXPECT_EQ(model.Selection(su::kViewPointList), 0);
}

TEST_F(SetUpTest, F7CyclesTheDrivenVehicleBothWaysAndWritesPaneThree)
{
    setUp.PollFunctionKeys();
    Press(vk::kF7);
    EXPECT_FALSE(model.IsChecked(su::kDriveCamera)) << "with no drive radio checked F7 does nothing";
    EXPECT_FALSE(model.IsChecked(su::kDrivePlane));
    EXPECT_FALSE(model.IsChecked(su::kDriveHelicopter));

    setUp.SelectDriveCamera();
    Press(vk::kF7);
    EXPECT_TRUE(model.IsChecked(su::kDrivePlane));
    EXPECT_EQ(status.Text(3), "操作(F7)：飛行機");
    Press(vk::kF7);
    EXPECT_TRUE(model.IsChecked(su::kDriveHelicopter));
    EXPECT_FALSE(model.IsChecked(su::kDrivePlane));
    EXPECT_EQ(status.Text(3), "操作(F7)：ﾍﾘｺﾌﾟﾀｰ");
    Press(vk::kF7);
    EXPECT_TRUE(model.IsChecked(su::kDriveCamera));
    EXPECT_EQ(status.Text(3), "操作(F7)：カメラ");

    Press(vk::kF7, true);
    EXPECT_TRUE(model.IsChecked(su::kDriveHelicopter));
    Press(vk::kF7, true);
    EXPECT_TRUE(model.IsChecked(su::kDrivePlane));
    Press(vk::kF7, true);
    EXPECT_TRUE(model.IsChecked(su::kDriveCamera));
}

TEST_F(SetUpTest, F8CyclesTheTrackBoxThroughItsThreeStatesAndF9InvertsSprites)
{
    setUp.PollFunctionKeys();
    actions.log.clear();
    ASSERT_EQ(model.Check(su::kTrack), 0);
    Press(vk::kF8);
    EXPECT_EQ(model.Check(su::kTrack), 1);
    Press(vk::kF8);
    EXPECT_EQ(model.Check(su::kTrack), 2);
    Press(vk::kF8);
    EXPECT_EQ(model.Check(su::kTrack), 0);
    EXPECT_EQ(Count(actions.log, "preview"), 3);

    // A mouse click goes round the same three states.
    setUp.Click(su::kTrack);
    setUp.Click(su::kTrack);
    EXPECT_EQ(model.Check(su::kTrack), 2);

    Press(vk::kF9);
    EXPECT_EQ(model.Check(su::kSprites), 0);
    Press(vk::kF9);
    EXPECT_EQ(model.Check(su::kSprites), 1);
}

TEST_F(SetUpTest, F2HidesAVisibleMessagesViewerAndOpensAHiddenOne_F4TogglesTheObjectDialog)
{
    setUp.PollFunctionKeys();
    Press(vk::kF2);
    EXPECT_EQ(viewers.log, (std::vector<std::string>{"OpenMessages"}));
    Press(vk::kF2);
    EXPECT_EQ(viewers.log.back(), "HideMessages");
    Press(vk::kF4);
    EXPECT_EQ(actions.log.back(), "object dialog");
}

TEST_F(SetUpTest, RenderStateRadiosReachTheDeviceAndWireframeGreysTheShadeModes)
{
    setUp.Click(su::kFillWireframe);
    EXPECT_EQ(actions.log.back(), "fill wireframe");
    EXPECT_FALSE(model.IsEnabled(su::kShadeGouraud));
    EXPECT_FALSE(model.IsEnabled(su::kShadeFlat));
    EXPECT_FALSE(setUp.Click(su::kShadeFlat)) << "a greyed radio takes no click";
    setUp.Click(su::kFillSolid);
    EXPECT_TRUE(model.IsEnabled(su::kShadeFlat));
    EXPECT_TRUE(model.IsChecked(su::kShadeGouraud)) << "the shade choice stays";
    setUp.Click(su::kCullNone);
    EXPECT_EQ(actions.log.back(), "cull " + std::to_string(static_cast<int>(gfx::CullMode::None)));

    setUp.Click(su::kOrthographic);
    EXPECT_EQ(setUp.ProjectionFlag(), 1);
    setUp.Click(su::kPerspective);
    EXPECT_EQ(setUp.ProjectionFlag(), 0);
}

TEST_F(SetUpTest, VehicleBoxesAndHomeButtonsReachTheirSlots)
{
    model.SetItems(su::kTrainModel[4], {"a", "b", "c"});
    ASSERT_TRUE(setUp.SelectItem(su::kTrainModel[4], 2));
    EXPECT_EQ(actions.log.back(), "train 5 2");
    EXPECT_FALSE(setUp.SelectItem(su::kTrainModel[4], 3)) << "an item the box lacks";
    model.SetItems(su::kCarModel, {"x"});
    setUp.SelectItem(su::kCarModel, 0);
    EXPECT_EQ(actions.log.back(), "Car 0");

    setUp.Click(su::kTrainHome[5]);
    EXPECT_EQ(actions.log.back(), "home train 6");
    setUp.Click(su::kHelicopterHome);
    EXPECT_EQ(actions.log.back(), "home Helicopter");

    setUp.SelectItem(su::kSpriteStyle, 1);
    EXPECT_EQ(actions.log.back(), "key labels");

    actions.log.clear();
    setUp.ApplyVehicleSelections();
    EXPECT_EQ(actions.log,
              (std::vector<std::string>{"train 1 -1", "train 2 -1", "train 3 -1", "train 4 -1", "train 5 2",
                                        "train 6 -1", "Plane -1", "Helicopter -1", "Car 0"}));
}

TEST_F(SetUpTest, TheSyncBoxOnlyWarns)
{
    setUp.Click(su::kSync);
    const auto messages = dialogs.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "垂直同期の設定は、再起動後に有効になります。");
    EXPECT_EQ(messages[0].owner, su::kDialogId);
    EXPECT_TRUE(messages[0].caption.empty());
}

TEST_F(SetUpTest, SetByUserReachesAStateTheWayClicksWould)
{
    actions.log.clear();
    ASSERT_TRUE(setUp.SetByUser(su::kTrack, 2));
    EXPECT_EQ(model.Check(su::kTrack), 2);
    EXPECT_EQ(Count(actions.log, "preview"), 2) << "two clicks, each with its handler";

    std::string why;
    EXPECT_FALSE(setUp.SetByUser(su::kText, 2, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(setUp.SetByUser(su::kLight, 101));
    EXPECT_FALSE(setUp.SetByUser(su::kCantDetection, 1)) << "disabled";
    EXPECT_FALSE(setUp.SetByUser(4242, 1));
    EXPECT_FALSE(setUp.SetByUser(su::kPositionList, 12));

    ASSERT_TRUE(setUp.SetByUser(su::kDrivePlane, 1));
    EXPECT_EQ(status.Text(3), "操作(F7)：飛行機");
    ASSERT_TRUE(setUp.SetByUser(su::kLight, 30));
    EXPECT_EQ(model.Text(su::kLightLabel), "30");
}

} // namespace
