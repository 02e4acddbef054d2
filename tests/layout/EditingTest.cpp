// The object dialog's edits: place, copy, delete, typed moves and turns, the number filter,
// and rows that stay true to their records whatever the sort.
#include "LayoutTestSupport.h"
#include "layout/NumberFilter.h"
#include "math/NumberText.h"
#include "platform/Utf8.h"
#include "ui/DialogModel.h"
#include "ui/ObjectSelectTemplate.h"

#include <cmath>

namespace layouttest {
namespace {

namespace objsel = ui::objsel;

const char* const kPlaceLimit =
    "配置できるオブジェクトは、2000個までです。\n\n連絡頂ければ、最大値を変更致します。";
const char* const kCopyLimit =
    "使用できるオブジェクトは、2000個までです。\n\n連絡頂ければ、最大値を変更致します。";

class EditingTest : public LayoutTest {
  protected:
    void SetUp() override
    {
        WriteType("rail", {});
        WriteType("tree", {});
        Scan();
    }
    const ui::ListView& List() const { return layout.ObjectDialog().List(objsel::kPlacedList); }
    // Every row shows the record its column 0 names.
    void ExpectRowsMatchRecords() const
    {
        ASSERT_EQ(List().RowCount(), layout.ObjectCount());
        for (int row = 0; row < List().RowCount(); ++row) {
            const int index = layout.ObjectOfRow(row);
            ASSERT_GE(index, 0);
            const layout::PlacedObject& object = *layout.FindObject(index);
            EXPECT_EQ(List().Cell(row, objsel::kColumnName), layout.TypeName(object.type));
            EXPECT_EQ(List().Cell(row, objsel::kColumnX), math::FormatFixed(object.x, 3));
            EXPECT_EQ(List().Cell(row, objsel::kColumnZ), math::FormatFixed(object.z, 3));
        }
    }
    void SelectOnly(std::initializer_list<int> indices)
    {
        layout.DeselectAllRows();
        for (int index : indices)
            layout.SetObjectSelected(index, true);
    }
};

TEST_F(EditingTest, PlacesWhereTheViewCentreMeetsTheSelectedObjectsHeight)
{
    // A slanted centre ray from (0, 10, 0) to (10, -10, 20) meets y = 3 at t = 0.35.
    const layout::PickRay centre{{0, 10, 0}, {10, -10, 20}};
    ASSERT_TRUE(layout.PlaceObject(1, centre).ok());
    EXPECT_EQ(layout.ObjectPosition(0), (math::Vec3{5, 0, 10}));

    Place(0, 0, 3, 0);
    layout.SetSelectedIndex(1);
    ASSERT_TRUE(layout.PlaceObject(0, centre).ok());
    const layout::PlacedObject& placed = *layout.FindObject(2);
    EXPECT_NEAR(placed.x, 3.5f, 1e-5f);
    EXPECT_EQ(placed.y, 3.0f);
    EXPECT_NEAR(placed.z, 7.0f, 1e-5f);
    EXPECT_EQ(placed.key, layout::kNoKey);
    EXPECT_EQ(layout.SelectedIndex(), 2);
    EXPECT_TRUE(layout.IsObjectSelected(2));
    EXPECT_EQ(List().ScrollRequests().back().row, 2);
    ExpectRowsMatchRecords();

    // No type chosen, or a level view centre: nothing is placed.
    EXPECT_FALSE(layout.PlaceObject(-1, centre).ok());
    EXPECT_FALSE(layout.PlaceObject(0, {{0, 3, 0}, {10, 3, 0}}).ok());
    EXPECT_EQ(layout.ObjectCount(), 3);
    EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(EditingTest, PlacingAndCopyingStopAtTwoThousandObjects)
{
    for (int i = 0; i < 1998; ++i)
        Place(0, float(i), 0, 0);
    SelectOnly({0, 1, 2});
    EXPECT_FALSE(layout.CopySelected().ok());
    EXPECT_EQ(dialogs.MessageTexts(), std::vector<std::string>{kCopyLimit});
    EXPECT_EQ(layout.ObjectCount(), 1998);

    SelectOnly({0, 1});
    ASSERT_TRUE(layout.CopySelected().ok());
    EXPECT_EQ(layout.ObjectCount(), 2000);
    EXPECT_FALSE(layout.PlaceObject(0, Down(0, 0)).ok());
    EXPECT_EQ(dialogs.MessageTexts().back(), kPlaceLimit);
    EXPECT_EQ(layout.ObjectCount(), 2000);
    EXPECT_FALSE(layout.AppendPlacedObject({}).ok());
}

TEST_F(EditingTest, CopiesGoAfterTheLastRecordAndBecomeTheSelection)
{
    for (int i = 0; i < 5; ++i)
        Place(i % 2, float(i), float(i) / 2, float(-i), float(10 * i), i == 3 ? 7 : layout::kNoKey);
    SelectOnly({1, 3, 4});
    layout.SetSelectedIndex(3);
    ASSERT_TRUE(layout.CopySelected().ok());

    ASSERT_EQ(layout.ObjectCount(), 8);
    EXPECT_EQ(*layout.FindObject(5), *layout.FindObject(1));
    EXPECT_EQ(*layout.FindObject(6), *layout.FindObject(3));
    EXPECT_EQ(*layout.FindObject(7), *layout.FindObject(4));
    EXPECT_EQ(layout.SelectedObjects(), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(layout.SelectedIndex(), -1);
    EXPECT_EQ(layout.Trig(6), layout.Trig(3));
    ExpectRowsMatchRecords();
}

TEST_F(EditingTest, DeletingRowsTwoAndFiveOfEightRenumbersTheRest)
{
    for (int i = 0; i < 8; ++i)
        Place(0, float(i), 0, 0);
    SelectOnly({2, 5});
    ASSERT_TRUE(layout.DeleteSelected().ok());

    ASSERT_EQ(layout.ObjectCount(), 6);
    const float expected[6] = {0, 1, 3, 4, 6, 7};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(layout.FindObject(i)->x, expected[i]);
        EXPECT_EQ(List().Cell(i, objsel::kColumnNumber), std::to_string(i));
    }
    EXPECT_TRUE(layout.SelectedObjects().empty());
    ExpectRowsMatchRecords();
}

TEST_F(EditingTest, SortedRowsStillActOnTheirOwnRecords)
{
    for (int i = 0; i < 6; ++i)
        Place(0, float(i * 3 % 7), 0, float(i));
    // The dialog sorts by X, descending: rows no longer stand in record order.
    layout.ObjectDialog().EditList(objsel::kPlacedList, [](ui::ListView& list) {
        list.SortRows([](const ui::ListRow& a, const ui::ListRow& b) {
            return math::ParseDouble(b.cells[2]) < math::ParseDouble(a.cells[2]) ? -1 : 1;
        });
    });
    ASSERT_NE(layout.ObjectOfRow(0), 0);

    layout.SetObjectSelected(2, true);
    EXPECT_EQ(layout.SelectedObjects(), std::vector<int>{2});
    ASSERT_TRUE(layout.MoveSelectedBy(0, 0, 100).ok());
    EXPECT_EQ(layout.FindObject(2)->z, 102.0f);
    ExpectRowsMatchRecords();

    ASSERT_TRUE(layout.CopySelected().ok());
    ExpectRowsMatchRecords();
    SelectOnly({2});
    ASSERT_TRUE(layout.DeleteSelected().ok());
    EXPECT_EQ(layout.ObjectCount(), 6);
    EXPECT_EQ(layout.FindObject(5)->z, 102.0f); // the copy moved down into place 5
    ExpectRowsMatchRecords();
}

TEST_F(EditingTest, TypedMovesAddTheBoxesAndRefuseNumbersOutOfRange)
{
    Place(0, 1, 2, 3);
    Place(0, 10, 0, 0);
    SelectOnly({0});
    layout.ObjectDialog().SetText(objsel::kMoveX, "0.5");
    layout.ObjectDialog().SetText(objsel::kMoveY, "0.5");
    layout.ObjectDialog().SetText(objsel::kMoveZ, "");
    ASSERT_TRUE(layout.MoveSelected().ok());
    EXPECT_EQ(layout.ObjectPosition(0), (math::Vec3{1.5f, 2.5f, 3}));
    EXPECT_EQ(layout.ObjectPosition(1), (math::Vec3{10, 0, 0}));

    // Forty nines overflow a float: nothing changes and no "inf" reaches the list.
    layout.ObjectDialog().SetText(objsel::kMoveX, std::string(40, '9'));
    EXPECT_FALSE(layout.MoveSelected().ok());
    EXPECT_EQ(layout.ObjectPosition(0), (math::Vec3{1.5f, 2.5f, 3}));
    for (const auto& row : List().Rows())
        for (const auto& cell : row.cells)
            EXPECT_EQ(cell.find("inf"), std::string::npos);

    // Finite numbers beyond what a map file may hold are held to the same range, and said so.
    layout.ObjectDialog().SetText(objsel::kMoveX, "-3e30");
    layout.ObjectDialog().SetText(objsel::kMoveY, "0");
    layout.ObjectDialog().SetText(objsel::kTurnAngle, "1e30");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(layout.MoveSelected().ok());
    ASSERT_TRUE(layout.TurnSelected().ok());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(layout.ObjectPosition(0), (math::Vec3{1.5f - 1e6f, 2.5f, 3}));
    EXPECT_TRUE(std::isfinite(layout.FindObject(0)->angle));
    EXPECT_NE(said.find("object dialog X: position -3e+30 is out of range; -1e+06 is used"), std::string::npos)
        << said;
    EXPECT_NE(said.find("object dialog θ: angle 1e+30 is out of range"), std::string::npos) << said;
    EXPECT_EQ(said.find("object dialog Y"), std::string::npos) << said;
}

TEST_F(EditingTest, TurnsTheSelectionAboutTheMiddleOfItsExtent)
{
    Place(0, 0, 0, 0);
    Place(0, 10, 0, 0);
    Place(0, 10, 0, 10, 350);
    Place(0, 50, 0, 50); // not selected
    SelectOnly({0, 1, 2});
    ASSERT_TRUE(layout.TurnSelectedBy(90).ok());

    // About (5, 5): each offset (dx, dz) becomes (dz, -dx).
    EXPECT_NEAR(layout.FindObject(0)->x, 0, 1e-4f);
    EXPECT_NEAR(layout.FindObject(0)->z, 10, 1e-4f);
    EXPECT_NEAR(layout.FindObject(1)->x, 0, 1e-4f);
    EXPECT_NEAR(layout.FindObject(1)->z, 0, 1e-4f);
    EXPECT_NEAR(layout.FindObject(2)->x, 10, 1e-4f);
    EXPECT_NEAR(layout.FindObject(2)->z, 0, 1e-4f);
    EXPECT_EQ(layout.FindObject(0)->angle, 90.0f);
    EXPECT_EQ(layout.FindObject(2)->angle, 80.0f); // 350 + 90 wraps
    EXPECT_EQ(layout.ObjectPosition(3), (math::Vec3{50, 0, 50}));
    ExpectRowsMatchRecords();

    SelectOnly({3});
    layout.ObjectDialog().SetText(objsel::kTurnAngle, "350");
    ASSERT_TRUE(layout.TurnSelected().ok());
    layout.ObjectDialog().SetText(objsel::kTurnAngle, "20");
    ASSERT_TRUE(layout.TurnSelected().ok());
    EXPECT_EQ(layout.FindObject(3)->angle, 10.0f);
}

TEST_F(EditingTest, FarAwaySelectionsTurnAboutTheirOwnMiddle)
{
    Place(0, 200000, 0, 0);
    Place(0, 200010, 0, 0);
    Place(0, 200010, 0, 10);
    SelectOnly({0, 1, 2});
    ASSERT_TRUE(layout.TurnSelectedBy(90).ok());
    EXPECT_NEAR(layout.FindObject(0)->x, 200000, 0.02f);
    EXPECT_NEAR(layout.FindObject(0)->z, 10, 0.02f);
    EXPECT_NEAR(layout.FindObject(2)->x, 200010, 0.02f);
    EXPECT_NEAR(layout.FindObject(2)->z, 0, 0.02f);
}

TEST_F(EditingTest, AHugeTypedAngleReturnsAtOnceWithAnglesInRange)
{
    Place(0, 1, 0, 1, 45);
    Place(0, 2, 0, 3, 300);
    SelectOnly({0, 1});
    layout.ObjectDialog().SetText(objsel::kTurnAngle, "10000000000");
    ASSERT_TRUE(layout.TurnSelected().ok());
    for (int i = 0; i < 2; ++i) {
        const layout::PlacedObject& object = *layout.FindObject(i);
        EXPECT_GE(object.angle, 0.0f);
        EXPECT_LT(object.angle, 360.0f);
        EXPECT_TRUE(std::isfinite(object.x) && std::isfinite(object.z));
    }
    layout.ObjectDialog().SetText(objsel::kTurnAngle, "1e999");
    EXPECT_FALSE(layout.TurnSelected().ok());
}

TEST(NumberFilter, KeepsDigitsPointAndMinusByWholeCharacters)
{
    EXPECT_EQ(layout::FilterNumberText("1a2"), "12");
    EXPECT_EQ(layout::FilterNumberText("-1.5"), "-1.5");
    EXPECT_EQ(layout::FilterNumberText("３4"), "4"); // a full-width digit goes entirely
    EXPECT_EQ(layout::FilterNumberText(std::string(100000, 'x')), "");
    const std::string broken = "1\xE3\x81"
                               "2"; // a character cut short
    EXPECT_TRUE(platform::IsValidUtf8(layout::FilterNumberText(broken)));
}

TEST_F(EditingTest, FilteringABoxSetsItsTextOnceEvenWhenTheChangeComesBack)
{
    ui::DialogModel& dialog = layout.ObjectDialog();
    int changes = 0;
    dialog.SetObserver([&](int id) {
        if (id != objsel::kMoveX) return;
        ++changes;
        layout.FilterNumberText(id); // the control reports its own change again
    });
    dialog.SetText(objsel::kMoveX, std::string(50000, 'q') + "1.5");
    EXPECT_EQ(dialog.Text(objsel::kMoveX), "1.5");
    EXPECT_EQ(changes, 2);
    dialog.SetObserver(nullptr);
}

} // namespace
} // namespace layouttest
