#include "front/ControlInput.h"

#include "ui/ObjectSelectTemplate.h"
#include "ui/SetUpTemplate.h"

#include <gtest/gtest.h>

namespace front {
namespace {

namespace su = ui::setup;
namespace os = ui::objsel;
using Kind = ControlInput::Kind;

TEST(ApplyToModel, ClicksGoRoundTheWayTheControlsDo)
{
    ui::DialogModel setUp(ui::SetUpTemplate());
    const int before = setUp.Check(su::kTrack);
    for (int click = 1; click <= 3; ++click) {
        ASSERT_TRUE(ApplyToModel(setUp, {.kind = Kind::Click, .id = su::kTrack}));
        EXPECT_EQ(setUp.Check(su::kTrack), (before + click) % 3);
    }
    ASSERT_TRUE(ApplyToModel(setUp, {.kind = Kind::Click, .id = su::kText}));
    EXPECT_EQ(setUp.Check(su::kText), 0);

    // Choosing a radio unchecks the rest of its set.
    ASSERT_TRUE(ApplyToModel(setUp, {.kind = Kind::Click, .id = su::kCullNone}));
    EXPECT_EQ(setUp.Check(su::kCullNone), 1);
    EXPECT_EQ(setUp.Check(su::kCullCcw), 0);
    EXPECT_EQ(setUp.Check(su::kCullCw), 0);

    // A push button has no state of its own.
    EXPECT_TRUE(ApplyToModel(setUp, {.kind = Kind::Click, .id = su::kTrainHome[0]}));
}

TEST(ApplyToModel, DisabledAndUnknownControlsRefuseInput)
{
    ui::DialogModel setUp(ui::SetUpTemplate());
    EXPECT_FALSE(ApplyToModel(setUp, {.kind = Kind::Click, .id = su::kCantDetection}));
    EXPECT_EQ(setUp.Check(su::kCantDetection), 0);
    EXPECT_FALSE(ApplyToModel(setUp, {.kind = Kind::Click, .id = 4242}));
}

TEST(ApplyToModel, SlidersStayInRangeAndTheirLabelFollows)
{
    ui::DialogModel setUp(ui::SetUpTemplate());
    ASSERT_TRUE(ApplyToModel(setUp, {.kind = Kind::Scroll, .id = su::kLight, .value = 37}));
    EXPECT_EQ(setUp.Position(su::kLight), 37);
    EXPECT_EQ(setUp.Text(su::kLightLabel), "37");
    ASSERT_TRUE(ApplyToModel(setUp, {.kind = Kind::Scroll, .id = su::kLight, .value = 900}));
    EXPECT_EQ(setUp.Position(su::kLight), 100);
    EXPECT_EQ(setUp.Text(su::kLightLabel), "100");
    // A scroll on something that is no slider changes nothing.
    EXPECT_FALSE(ApplyToModel(setUp, {.kind = Kind::Scroll, .id = su::kText, .value = 1}));
}

TEST(ApplyToModel, SelectionsAndTextsAreStored)
{
    ui::DialogModel setUp(ui::SetUpTemplate());
    ASSERT_TRUE(ApplyToModel(setUp, {.kind = Kind::Select, .id = su::kViewPointList, .value = 15}));
    EXPECT_EQ(setUp.Selection(su::kViewPointList), 15);
    EXPECT_FALSE(ApplyToModel(setUp, {.kind = Kind::Select, .id = su::kViewPointList, .value = 16}));

    ui::DialogModel objects(ui::ObjectSelectTemplate());
    ASSERT_TRUE(ApplyToModel(objects, {.kind = Kind::Text, .id = os::kMoveX, .text = "12.5"}));
    EXPECT_EQ(objects.Text(os::kMoveX), "12.5");
    EXPECT_FALSE(ApplyToModel(objects, {.kind = Kind::Text, .id = os::kObjectCount, .text = "x"}));
}

TEST(ApplyToModel, ListViewSelectionIsCopiedRowByRow)
{
    ui::DialogModel objects(ui::ObjectSelectTemplate());
    objects.EditList(os::kPlacedList, [](ui::ListView& list) {
        for (int row = 0; row < 4; ++row)
            list.AppendRow({std::to_string(row), "Rail"});
        list.SetSelected(0, true);
    });
    ASSERT_TRUE(
        ApplyToModel(objects, {.kind = Kind::ListSelection, .id = os::kPlacedList, .rows = {1, 3, 9}}));
    EXPECT_EQ(objects.List(os::kPlacedList).SelectedRows(), (std::vector<int>{1, 3}));

    // Clicks on rows and headings are the dialog's business; the list itself keeps its rows.
    EXPECT_TRUE(ApplyToModel(objects, {.kind = Kind::ListColumnClick, .id = os::kPlacedList, .value = 2}));
    EXPECT_EQ(objects.List(os::kPlacedList).RowCount(), 4);
}

} // namespace
} // namespace front
