#include "ui/DialogModel.h"

#include "ui/SetUpTemplate.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using ui::ControlKind;
using ui::DialogModel;
using ui::StepMode;

// A small dialog with one of each kind the generic behaviours care about.
ui::DialogTemplate SampleTemplate()
{
    using K = ControlKind;
    ui::DialogTemplate dialog{.resourceId = 1, .title = "sample", .controls = {}};
    auto& c = dialog.controls;
    // Two unnamed runs of radios separated by a group box, and a named set split by a box.
    c.push_back({.id = 10, .kind = K::Radio, .caption = "a", .check = 1});
    c.push_back({.id = 11, .kind = K::Radio, .caption = "b"});
    c.push_back({.kind = K::GroupBox, .caption = "frame"});
    c.push_back({.id = 12, .kind = K::Radio, .caption = "c"});
    c.push_back({.id = 13, .kind = K::Radio, .caption = "d", .check = 1});
    c.push_back({.id = 20, .kind = K::Radio, .caption = "x", .radioGroup = "far", .check = 1});
    c.push_back({.id = 30, .kind = K::CheckBox, .caption = "check"});
    c.push_back({.id = 21, .kind = K::Radio, .caption = "y", .radioGroup = "far"});
    c.push_back({.id = 31, .kind = K::ThreeStateCheckBox, .caption = "three"});
    c.push_back({.id = 32, .kind = K::CheckBox, .caption = "off", .enabled = false});
    c.push_back({.id = 40, .kind = K::ListBox, .items = {"p", "q", "r"}});
    c.push_back({.id = 41, .kind = K::ComboBox, .items = {"Alpha", "beta"}, .selection = 1});
    c.push_back({.id = 42, .kind = K::ListBox});
    c.push_back({.id = 50, .kind = K::Slider, .rangeMin = 1, .rangeMax = 500, .position = 50, .labelId = 51});
    c.push_back({.id = 51, .kind = K::Label, .caption = "template text"});
    c.push_back({.id = 60, .kind = K::Button, .caption = "push"});
    return dialog;
}

class DialogModelTest : public ::testing::Test {
  protected:
    DialogModelTest()
    {
        model.SetObserver([this](int id) { changed.push_back(id); });
    }

    DialogModel model{SampleTemplate()};
    std::vector<int> changed;
};

TEST_F(DialogModelTest, CheckingARadioUnchecksOnlyTheOthersOfItsSet)
{
    model.SetCheck(11, 1);
    EXPECT_EQ(model.Check(10), 0);
    EXPECT_EQ(model.Check(11), 1);
    // The run after the group box is a set of its own and is untouched.
    EXPECT_EQ(model.Check(13), 1);

    // A named set spans controls in between.
    EXPECT_TRUE(model.Click(21));
    EXPECT_EQ(model.Check(20), 0);
    EXPECT_EQ(model.Check(21), 1);
    EXPECT_EQ(model.RadioSetOf(20), (std::vector<int>{20, 21}));
    EXPECT_EQ(model.RadioSetOf(12), (std::vector<int>{12, 13}));

    // Unchecking leaves the set with nothing checked; nobody else is checked in its place.
    model.SetCheck(21, 0);
    EXPECT_EQ(model.Check(20), 0);
    EXPECT_EQ(model.Check(21), 0);
}

TEST_F(DialogModelTest, ClicksCycleBoxesTheWayTheControlsDo)
{
    std::vector<int> states;
    for (int i = 0; i < 4; ++i) {
        model.Click(31);
        states.push_back(model.Check(31));
    }
    EXPECT_EQ(states, (std::vector<int>{1, 2, 0, 1}));

    EXPECT_EQ(model.CycleCheck(30), 1);
    EXPECT_EQ(model.CycleCheck(30), 0);

    // A disabled box ignores the click, and says so, so that its handler is skipped too.
    EXPECT_FALSE(model.Click(32));
    EXPECT_EQ(model.Check(32), 0);
    // Push buttons change nothing but the click reaches them.
    EXPECT_TRUE(model.Click(60));
    EXPECT_FALSE(model.Click(999));
}

TEST_F(DialogModelTest, CheckStatesOutsideTheControlsStatesAreRefused)
{
    EXPECT_FALSE(model.SetCheck(30, 2));
    EXPECT_FALSE(model.SetCheck(30, 5));
    EXPECT_FALSE(model.SetCheck(31, 3));
    EXPECT_FALSE(model.SetCheck(31, -1));
    EXPECT_FALSE(model.SetCheck(40, 1));
    EXPECT_EQ(model.Check(30), 0);
    EXPECT_EQ(model.Check(31), 0);
    EXPECT_TRUE(model.SetCheck(31, 2));
    EXPECT_EQ(model.Check(31), 2);
    EXPECT_FALSE(model.IsChecked(31));
}

TEST_F(DialogModelTest, SelectionsOutOfRangeNeverStick)
{
    EXPECT_EQ(model.Selection(41), 1);
    // Like the real controls: an invalid index clears the selection.
    EXPECT_FALSE(model.SetSelection(41, 2));
    EXPECT_EQ(model.Selection(41), -1);
    EXPECT_FALSE(model.SetSelection(41, -2));
    EXPECT_TRUE(model.SetSelection(41, 0));
    EXPECT_TRUE(model.SetSelection(41, -1));
    EXPECT_EQ(model.Selection(41), -1);

    // Indices from files fall back to the first entry, negative ones included.
    EXPECT_EQ(model.SelectOrFirst(40, 2), 2);
    EXPECT_EQ(model.SelectOrFirst(40, -3), 0);
    EXPECT_EQ(model.SelectOrFirst(40, 99), 0);
    EXPECT_EQ(model.SelectOrFirst(42, 0), -1); // an empty list has nothing to fall back to

    EXPECT_EQ(model.ItemText(40, 3), "");
    EXPECT_EQ(model.ItemText(40, -1), "");
    EXPECT_EQ(model.ItemText(999, 0), "");
}

TEST_F(DialogModelTest, ReplacingItemsClearsTheSelection)
{
    model.SetItems(41, {"one"});
    EXPECT_EQ(model.Selection(41), -1);
    EXPECT_EQ(model.AddItem(41, "two"), 1);
    model.SetSelection(41, 1);
    model.ClearItems(41);
    EXPECT_EQ(model.ItemCount(41), 0);
    EXPECT_EQ(model.Selection(41), -1);
}

TEST_F(DialogModelTest, FindItemIgnoresAsciiLetterCaseOnly)
{
    EXPECT_EQ(model.FindItem(41, "alpha"), 0);
    EXPECT_EQ(model.FindItem(41, "BETA"), 1);
    EXPECT_EQ(model.FindItem(41, "alph"), -1);
    EXPECT_EQ(model.FindItem(999, "alpha"), -1);
}

TEST_F(DialogModelTest, WrappingStepsComeRoundAtBothEnds)
{
    // Forward from nothing selected starts at the first item, back from nothing at the last.
    EXPECT_TRUE(model.StepSelection(40, +1, StepMode::Wrap));
    EXPECT_EQ(model.Selection(40), 0);
    model.SetSelection(40, -1);
    EXPECT_TRUE(model.StepSelection(40, -1, StepMode::Wrap));
    EXPECT_EQ(model.Selection(40), 2);
    EXPECT_TRUE(model.StepSelection(40, +1, StepMode::Wrap));
    EXPECT_EQ(model.Selection(40), 0);
    EXPECT_TRUE(model.StepSelection(40, -1, StepMode::Wrap));
    EXPECT_EQ(model.Selection(40), 2);
    EXPECT_FALSE(model.StepSelection(42, +1, StepMode::Wrap));
    EXPECT_EQ(model.Selection(42), -1);
}

TEST_F(DialogModelTest, ClampedStepsStopAtTheEnds)
{
    EXPECT_FALSE(model.StepSelection(40, -1, StepMode::Clamp));
    EXPECT_EQ(model.Selection(40), -1);
    EXPECT_TRUE(model.StepSelection(40, +1, StepMode::Clamp));
    EXPECT_EQ(model.Selection(40), 0);
    EXPECT_FALSE(model.StepSelection(40, -1, StepMode::Clamp));
    model.SetSelection(40, 2);
    EXPECT_FALSE(model.StepSelection(40, +1, StepMode::Clamp));
    EXPECT_EQ(model.Selection(40), 2);
    EXPECT_FALSE(model.StepSelection(42, +1, StepMode::Clamp));
}

TEST_F(DialogModelTest, SliderPositionStaysInsideItsRange)
{
    model.SetPosition(50, 9999);
    EXPECT_EQ(model.Position(50), 500);
    model.SetPosition(50, -4);
    EXPECT_EQ(model.Position(50), 1);
    model.SetPosition(50, 300);
    model.SetRange(50, 0, 100);
    EXPECT_EQ(model.Position(50), 100);
    EXPECT_EQ(model.RangeMin(50), 0);
    EXPECT_EQ(model.RangeMax(50), 100);
}

TEST_F(DialogModelTest, SliderLabelShowsThePositionOnlyOnceRefreshed)
{
    EXPECT_EQ(model.Text(51), "template text");
    model.RefreshSliderLabels();
    EXPECT_EQ(model.Text(51), "50");
    model.SetPosition(50, 7);
    EXPECT_EQ(model.Text(51), "50");
    model.RefreshSliderLabel(50);
    EXPECT_EQ(model.Text(51), "7");
}

TEST_F(DialogModelTest, ObserverHearsEveryRealChangeOnce)
{
    model.SetCheck(11, 1); // unchecks 10, checks 11
    EXPECT_EQ(changed, (std::vector<int>{10, 11}));
    changed.clear();

    model.SetCheck(11, 1);
    model.SetText(60, "push");
    model.SetPosition(50, 50);
    model.SetSelection(41, 1);
    model.SetEnabled(60, true);
    EXPECT_TRUE(changed.empty()) << "no-op writes must not be reported";

    model.SetPosition(50, 51);
    model.SetText(60, "pressed");
    model.SetShown(60, false);
    model.SetVisible(true);
    model.EditList(999, [](ui::ListView&) {});
    EXPECT_EQ(changed, (std::vector<int>{50, 60, 60, DialogModel::kWindowId}));
}

TEST_F(DialogModelTest, UnknownIdsReadNeutralAndChangeNothing)
{
    model.SetText(999, "x");
    model.SetPosition(999, 3);
    model.SetItems(999, {"a"});
    EXPECT_FALSE(model.SetCheck(999, 1));
    EXPECT_FALSE(model.SetSelection(999, 0));
    EXPECT_FALSE(model.Has(999));
    EXPECT_EQ(model.Text(999), "");
    EXPECT_EQ(model.Selection(999), -1);
    EXPECT_EQ(model.ItemCount(999), 0);
    EXPECT_FALSE(model.IsEnabled(999));
    EXPECT_EQ(model.List(999).RowCount(), 0);
    EXPECT_TRUE(changed.empty());
}

TEST(SettingsDialogModel, FunctionKeyBehavioursOnTheRealControls)
{
    DialogModel setUp(ui::SetUpTemplate());
    using namespace ui::setup;

    // F8 three times returns the track box to unchecked.
    std::vector<int> track;
    for (int i = 0; i < 3; ++i)
        track.push_back(setUp.CycleCheck(kTrack));
    EXPECT_EQ(track, (std::vector<int>{1, 2, 0}));

    // F5 with Shift on item 0 gives item 11; F6 on the last view point gives item 0.
    setUp.SetSelection(kPositionList, 0);
    setUp.StepSelection(kPositionList, -1, StepMode::Wrap);
    EXPECT_EQ(setUp.Selection(kPositionList), 11);
    setUp.SetSelection(kViewPointList, 15);
    setUp.StepSelection(kViewPointList, +1, StepMode::Wrap);
    EXPECT_EQ(setUp.Selection(kViewPointList), 0);

    // The drive radios exclude each other although they sit in different frames.
    setUp.SetCheck(kDrivePlane, 1);
    setUp.SetCheck(kDriveHelicopter, 1);
    EXPECT_EQ(setUp.Check(kDrivePlane), 0);
    EXPECT_EQ(setUp.Check(kDriveHelicopter), 1);
    EXPECT_EQ(setUp.Check(kDriveCamera), 0);

    // The hidden projection radios still work as a pair.
    setUp.SetCheck(kOrthographic, 1);
    EXPECT_EQ(setUp.Check(kPerspective), 0);

    // The disabled cant box cannot be clicked.
    EXPECT_FALSE(setUp.Click(kCantDetection));
}

} // namespace
