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
        ASSERT_EQ(List().RowCount(), layout.Placed().Count());
        for (int row = 0; row < List().RowCount(); ++row) {
            const int index = layout.Placed().ObjectOfRow(row);
            ASSERT_GE(index, 0);
            const layout::PlacedObject& object = *layout.Placed().Find(index);
            EXPECT_EQ(List().Cell(row, objsel::kColumnName), layout.Catalogue().TypeName(object.type));
            EXPECT_EQ(List().Cell(row, objsel::kColumnX), math::FormatFixed(object.x, 3));
            EXPECT_EQ(List().Cell(row, objsel::kColumnZ), math::FormatFixed(object.z, 3));
        }
    }
    void SelectOnly(std::initializer_list<int> indices)
    {
        layout.Selection().DeselectAll();
        for (int index : indices)
            layout.Selection().SetSelected(index, true);
    }
};

TEST_F(EditingTest, PlacesWhereTheViewCentreMeetsTheSelectedObjectsHeight)
{
    // A slanted centre ray from (0, 10, 0) to (10, -10, 20) meets y = 3 at t = 0.35.
    const layout::PickRay centre{{0, 10, 0}, {10, -10, 20}};
    ASSERT_TRUE(layout.PlaceObject(1, centre).ok());
    EXPECT_EQ(layout.Placed().Position(0), (math::Vec3{5, 0, 10}));

    Place(0, 0, 3, 0);
    layout.Selection().SetPrimary(1);
    ASSERT_TRUE(layout.PlaceObject(0, centre).ok());
    const layout::PlacedObject& placed = *layout.Placed().Find(2);
    EXPECT_NEAR(placed.x, 3.5f, 1e-5f);
    EXPECT_EQ(placed.y, 3.0f);
    EXPECT_NEAR(placed.z, 7.0f, 1e-5f);
    EXPECT_EQ(placed.key, layout::kNoKey);
    EXPECT_EQ(layout.Selection().Primary(), 2);
    EXPECT_TRUE(layout.Selection().IsSelected(2));
    EXPECT_EQ(List().ScrollRequests().back().row, 2);
    ExpectRowsMatchRecords();

    // No type chosen, or a level view centre: nothing is placed.
    EXPECT_FALSE(layout.PlaceObject(-1, centre).ok());
    EXPECT_FALSE(layout.PlaceObject(0, {{0, 3, 0}, {10, 3, 0}}).ok());
    EXPECT_EQ(layout.Placed().Count(), 3);
}

TEST_F(EditingTest, PlacingNeedsAPointInSightAndLeavesOnlyTheNewPieceSelected)
{
    const std::string kNoPlace(layout::CLayout::kNoPlaceMessage);
    const auto fails = [&](const layout::PickRay& ray, float reach) {
        const platform::Status placed = layout.PlaceObject(0, ray, reach);
        return !placed.ok() && placed.error() == kNoPlace;
    };
    // The sky (the ground lies behind the eye), a ray grazing the ground at 0.5°, a point
    // beyond the culling distance: nothing is placed.
    EXPECT_TRUE(fails({{0, 10, 0}, {0, 20, 100}}, 5000));
    EXPECT_TRUE(fails({{0, 10, 0}, {0, 10 - 0.0087f * 1000, 1000}}, 5000));
    EXPECT_TRUE(fails({{0, 10, 0}, {0, 0, 1}}, 5));
    EXPECT_EQ(layout.Placed().Count(), 0);
    // Within reach, at 2° and more: placed.
    ASSERT_TRUE(layout.PlaceObject(0, {{0, 10, 0}, {0, 10 - 0.035f * 1000, 1000}}, 5000).ok());
    EXPECT_EQ(layout.Placed().Count(), 1);

    Place(1, 5, 0, 5);
    SelectOnly({0, 1});
    ASSERT_TRUE(layout.PlaceObject(0, Down(3, 3), 5000).ok());
    EXPECT_EQ(layout.Selection().Selected(), std::vector<int>{2});
    EXPECT_EQ(layout.Selection().Primary(), 2);
    // Undo gives the earlier selection back.
    ASSERT_TRUE(layout.Undo());
    EXPECT_EQ(layout.Selection().Selected(), (std::vector<int>{0, 1}));
}

TEST_F(EditingTest, PlacingAndCopyingStopAtTwoThousandObjects)
{
    for (int i = 0; i < 1998; ++i)
        Place(0, float(i), 0, 0);
    SelectOnly({0, 1, 2});
    const platform::Status copied = layout.CopySelected();
    ASSERT_FALSE(copied.ok());
    EXPECT_EQ(copied.error(), kCopyLimit);
    EXPECT_EQ(layout.Placed().Count(), 1998);

    SelectOnly({0, 1});
    ASSERT_TRUE(layout.CopySelected().ok());
    EXPECT_EQ(layout.Placed().Count(), 2000);
    const platform::Status placed = layout.PlaceObject(0, Down(0, 0));
    ASSERT_FALSE(placed.ok());
    EXPECT_EQ(placed.error(), kPlaceLimit);
    EXPECT_EQ(layout.Placed().Count(), 2000);
    EXPECT_FALSE(layout.Placed().Append({}).ok());
}

TEST_F(EditingTest, CopiesGoAfterTheLastRecordAndBecomeTheSelection)
{
    for (int i = 0; i < 5; ++i)
        Place(i % 2, float(i), float(i) / 2, float(-i), float(10 * i), i == 3 ? 7 : layout::kNoKey);
    SelectOnly({1, 3, 4});
    layout.Selection().SetPrimary(3);
    ASSERT_TRUE(layout.CopySelected().ok());

    ASSERT_EQ(layout.Placed().Count(), 8);
    EXPECT_EQ(*layout.Placed().Find(5), *layout.Placed().Find(1));
    EXPECT_EQ(*layout.Placed().Find(6), *layout.Placed().Find(3));
    EXPECT_EQ(*layout.Placed().Find(7), *layout.Placed().Find(4));
    EXPECT_EQ(layout.Selection().Selected(), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(layout.Selection().Primary(), -1);
    EXPECT_EQ(layout.Placed().Trig(6), layout.Placed().Trig(3));
    ExpectRowsMatchRecords();
}

TEST_F(EditingTest, DeletingRowsTwoAndFiveOfEightRenumbersTheRest)
{
    for (int i = 0; i < 8; ++i)
        Place(0, float(i), 0, 0);
    SelectOnly({2, 5});
    ASSERT_TRUE(layout.DeleteSelected().ok());

    ASSERT_EQ(layout.Placed().Count(), 6);
    const float expected[6] = {0, 1, 3, 4, 6, 7};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(layout.Placed().Find(i)->x, expected[i]);
        EXPECT_EQ(List().Cell(i, objsel::kColumnNumber), std::to_string(i));
    }
    EXPECT_TRUE(layout.Selection().Selected().empty());
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
    ASSERT_NE(layout.Placed().ObjectOfRow(0), 0);

    layout.Selection().SetSelected(2, true);
    EXPECT_EQ(layout.Selection().Selected(), std::vector<int>{2});
    ASSERT_TRUE(layout.MoveSelectedBy(0, 0, 100).ok());
    EXPECT_EQ(layout.Placed().Find(2)->z, 102.0f);
    ExpectRowsMatchRecords();

    ASSERT_TRUE(layout.CopySelected().ok());
    ExpectRowsMatchRecords();
    SelectOnly({2});
    ASSERT_TRUE(layout.DeleteSelected().ok());
    EXPECT_EQ(layout.Placed().Count(), 6);
    EXPECT_EQ(layout.Placed().Find(5)->z, 102.0f); // the copy moved down into place 5
    ExpectRowsMatchRecords();
}

TEST_F(EditingTest, TypedMovesAddTheBoxesAndRefuseNumbersOutOfRange)
{
    Place(0, 1, 2, 3);
    Place(0, 10, 0, 0);
    SelectOnly({0});
    ASSERT_TRUE(layout.MoveSelectedBy(0.5f, 0.5f, 0).ok());
    EXPECT_EQ(layout.Placed().Position(0), (math::Vec3{1.5f, 2.5f, 3}));
    EXPECT_EQ(layout.Placed().Position(1), (math::Vec3{10, 0, 0}));

    // Forty nines overflow a float: nothing changes and no "inf" reaches the list.
    EXPECT_FALSE(layout.MoveSelectedBy(math::ParseFloat(std::string(40, '9')), 0, 0).ok());
    EXPECT_EQ(layout.Placed().Position(0), (math::Vec3{1.5f, 2.5f, 3}));
    for (const auto& row : List().Rows())
        for (const auto& cell : row.cells)
            EXPECT_EQ(cell.find("inf"), std::string::npos);
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
    EXPECT_NEAR(layout.Placed().Find(0)->x, 0, 1e-4f);
    EXPECT_NEAR(layout.Placed().Find(0)->z, 10, 1e-4f);
    EXPECT_NEAR(layout.Placed().Find(1)->x, 0, 1e-4f);
    EXPECT_NEAR(layout.Placed().Find(1)->z, 0, 1e-4f);
    EXPECT_NEAR(layout.Placed().Find(2)->x, 10, 1e-4f);
    EXPECT_NEAR(layout.Placed().Find(2)->z, 0, 1e-4f);
    EXPECT_EQ(layout.Placed().Find(0)->angle, 90.0f);
    EXPECT_EQ(layout.Placed().Find(2)->angle, 80.0f); // 350 + 90 wraps
    EXPECT_EQ(layout.Placed().Position(3), (math::Vec3{50, 0, 50}));
    ExpectRowsMatchRecords();

    SelectOnly({3});
    ASSERT_TRUE(layout.TurnSelectedBy(350).ok());
    ASSERT_TRUE(layout.TurnSelectedBy(20).ok());
    EXPECT_EQ(layout.Placed().Find(3)->angle, 10.0f);
}

TEST_F(EditingTest, FarAwaySelectionsTurnAboutTheirOwnMiddle)
{
    Place(0, 200000, 0, 0);
    Place(0, 200010, 0, 0);
    Place(0, 200010, 0, 10);
    SelectOnly({0, 1, 2});
    ASSERT_TRUE(layout.TurnSelectedBy(90).ok());
    EXPECT_NEAR(layout.Placed().Find(0)->x, 200000, 0.02f);
    EXPECT_NEAR(layout.Placed().Find(0)->z, 10, 0.02f);
    EXPECT_NEAR(layout.Placed().Find(2)->x, 200010, 0.02f);
    EXPECT_NEAR(layout.Placed().Find(2)->z, 0, 0.02f);
}

TEST_F(EditingTest, AHugeTypedAngleReturnsAtOnceWithAnglesInRange)
{
    Place(0, 1, 0, 1, 45);
    Place(0, 2, 0, 3, 300);
    SelectOnly({0, 1});
    ASSERT_TRUE(layout.TurnSelectedBy(math::ParseFloat("10000000000")).ok());
    for (int i = 0; i < 2; ++i) {
        const layout::PlacedObject& object = *layout.Placed().Find(i);
        EXPECT_GE(object.angle, 0.0f);
        EXPECT_LT(object.angle, 360.0f);
        EXPECT_TRUE(std::isfinite(object.x) && std::isfinite(object.z));
    }
    EXPECT_FALSE(layout.TurnSelectedBy(math::ParseFloat("1e999")).ok());
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

} // namespace
} // namespace layouttest
