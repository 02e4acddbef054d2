#include "ObjectSelectTestSupport.h"
#include "math/NumberText.h"
#include "platform/Utf8.h"
#include "platform/VirtualKeys.h"

#include <cmath>

namespace {

using objseltest::ObjectDialogTest;
using objseltest::RecordingHost;
namespace os = ui::objsel;

// Every row shows its record: column 0 names the record, the other columns hold its values.
void ExpectRowsMatchRecords(const layout::CLayout& layout, const ui::ListView& list)
{
    ASSERT_EQ(list.RowCount(), layout.Placed().Count());
    std::vector<int> seen(static_cast<std::size_t>(layout.Placed().Count()), 0);
    for (int row = 0; row < list.RowCount(); ++row) {
        const int index = layout.Placed().ObjectOfRow(row);
        ASSERT_GE(index, 0) << "row " << row;
        ++seen[static_cast<std::size_t>(index)];
        const layout::PlacedObject& object = *layout.Placed().Find(index);
        EXPECT_EQ(list.Cell(row, os::kColumnName), layout.Catalogue().TypeName(object.type)) << "row " << row;
        EXPECT_EQ(list.Cell(row, os::kColumnX), math::FormatFixed(object.x, 3)) << "row " << row;
        EXPECT_EQ(list.Cell(row, os::kColumnZ), math::FormatFixed(object.z, 3)) << "row " << row;
    }
    for (std::size_t index = 0; index < seen.size(); ++index)
        EXPECT_EQ(seen[index], 1) << "record " << index;
}

std::vector<float> XsInRowOrder(const ui::ListView& list)
{
    std::vector<float> xs;
    for (int row = 0; row < list.RowCount(); ++row)
        xs.push_back(math::ParseFloat(list.Cell(row, os::kColumnX)));
    return xs;
}

// --- buttons and the count

TEST_F(ObjectDialogTest, PlacingCountsTheObjectsOutOfTwoThousand)
{
    EXPECT_EQ(dialog.Model().Text(os::kObjectCount), "ｵﾌﾞｼﾞｪｸﾄ数  0 / 2000");
    Scan({"box"});
    // Until map-creation mode enables them the buttons do nothing.
    EXPECT_FALSE(dialog.Click(os::kPlace));
    EXPECT_EQ(layout.Placed().Count(), 0);

    dialog.SetEditButtonsEnabled(true);
    host.ray = RecordingHost::Down(3, 4);
    ASSERT_TRUE(dialog.Click(os::kPlace));
    ASSERT_EQ(layout.Placed().Count(), 1);
    EXPECT_EQ(layout.Placed().Position(0), (math::Vec3{3, 0, 4}));
    EXPECT_EQ(layout.Selection().Primary(), 0);
    EXPECT_EQ(dialog.Model().Text(os::kObjectCount), "ｵﾌﾞｼﾞｪｸﾄ数  1 / 2000");
    EXPECT_GE(host.turnoutRefreshes, 1);

    ASSERT_TRUE(dialog.Click(os::kCopy));
    EXPECT_EQ(dialog.Model().Text(os::kObjectCount), "ｵﾌﾞｼﾞｪｸﾄ数  2 / 2000");
    EXPECT_EQ(app::CObjectSelect::ObjectCountText(150), "ｵﾌﾞｼﾞｪｸﾄ数  150 / 2000");
}

TEST_F(ObjectDialogTest, PlacingWithoutACatalogueEntryPlacesNothing)
{
    Scan({});
    dialog.SetEditButtonsEnabled(true);
    ASSERT_TRUE(dialog.Click(os::kPlace));
    EXPECT_EQ(layout.Placed().Count(), 0);
    EXPECT_TRUE(dialogs.MessageTexts().empty());
    EXPECT_EQ(dialog.Model().Text(os::kObjectCount), "ｵﾌﾞｼﾞｪｸﾄ数  0 / 2000");
}

// --- the four boxes

TEST_F(ObjectDialogTest, TheBoxesKeepOnlyDigitsPointsAndMinusAndClearRestoresThem)
{
    const auto typed = [&](int id, std::string text) {
        dialog.OnEditText(id, std::move(text));
        return dialog.Model().Text(id);
    };
    EXPECT_EQ(typed(os::kMoveX, "1a2"), "12");
    EXPECT_EQ(typed(os::kMoveY, "-3.5"), "-3.5");
    // A full-width digit goes as a whole character, never byte by byte.
    EXPECT_EQ(typed(os::kMoveZ, "1２3"), "13");
    EXPECT_EQ(typed(os::kTurnAngle, "\xff"
                                    "4\xe3\x81"
                                    "5"),
              "45");
    // A long paste is filtered in one go.
    EXPECT_EQ(typed(os::kMoveX, std::string(100000, 'a')), "");
    for (const int id : os::kMoveBoxes)
        EXPECT_TRUE(platform::IsValidUtf8(dialog.Model().Text(id)));

    // Other controls are not number boxes.
    dialog.OnEditText(os::kObjectCount, "abc");
    EXPECT_EQ(dialog.Model().Text(os::kObjectCount), "ｵﾌﾞｼﾞｪｸﾄ数  0 / 2000");

    ASSERT_TRUE(dialog.Click(os::kClear));
    EXPECT_EQ(dialog.Model().Text(os::kMoveX), "0.0");
    EXPECT_EQ(dialog.Model().Text(os::kMoveY), "1.65");
    EXPECT_EQ(dialog.Model().Text(os::kMoveZ), "0.0");
    EXPECT_EQ(dialog.Model().Text(os::kTurnAngle), "15.0");
}

TEST_F(ObjectDialogTest, MoveAndRotateUseTheBoxes)
{
    Scan({"box"});
    dialog.SetEditButtonsEnabled(true);
    Add(0, 0);
    Add(10, 0);
    dialog.OnListSelection({0, 1});
    dialog.OnEditText(os::kMoveX, "2");
    dialog.OnEditText(os::kMoveY, "");
    dialog.OnEditText(os::kMoveZ, "-1");
    ASSERT_TRUE(dialog.Click(os::kMove));
    EXPECT_EQ(layout.Placed().Position(0), (math::Vec3{2, 0, -1}));
    EXPECT_EQ(layout.Placed().Position(1), (math::Vec3{12, 0, -1}));

    dialog.OnEditText(os::kTurnAngle, "180");
    ASSERT_TRUE(dialog.Click(os::kRotate));
    EXPECT_NEAR(layout.Placed().Position(0).x, 12, 1e-4);
    EXPECT_NEAR(layout.Placed().Position(1).x, 2, 1e-4);
    EXPECT_FLOAT_EQ(layout.Placed().Find(0)->angle, 180);
    ExpectRowsMatchRecords(layout, List());
}

TEST_F(ObjectDialogTest, TypedAmountsBeyondWhatAMapHoldsAreHeldToItsRange)
{
    Scan({"box"});
    dialog.SetEditButtonsEnabled(true);
    Add(1, 3);
    dialog.OnListSelection({0});
    // Finite numbers beyond what a map file may hold are held to the same range, and said so.
    dialog.Model().SetText(os::kMoveX, "-3e30");
    dialog.Model().SetText(os::kMoveY, "0");
    dialog.Model().SetText(os::kMoveZ, "0");
    dialog.Model().SetText(os::kTurnAngle, "1e30");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(dialog.Click(os::kMove));
    ASSERT_TRUE(dialog.Click(os::kRotate));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(layout.Placed().Position(0).x, 1 - 1e6f);
    EXPECT_TRUE(std::isfinite(layout.Placed().Find(0)->angle));
    EXPECT_NE(said.find("object dialog X: position -3e+30 is out of range; -1e+06 is used"), std::string::npos)
        << said;
    EXPECT_NE(said.find("object dialog θ: angle 1e+30 is out of range"), std::string::npos) << said;
    EXPECT_EQ(said.find("object dialog Y"), std::string::npos) << said;
}

// --- the catalogue list and the wheel

TEST_F(ObjectDialogTest, TheWheelStepsTheCatalogueOneEntryPerNotchAndStopsAtTheEnds)
{
    Scan({"a", "b", "c"});
    ASSERT_EQ(dialog.Model().Selection(os::kCatalogue), 0);
    const auto wheel = [&](int delta) {
        dialog.OnMouseWheel(delta);
        return dialog.Model().Selection(os::kCatalogue);
    };
    EXPECT_EQ(wheel(-120), 1);
    EXPECT_EQ(wheel(-120), 2);
    EXPECT_EQ(wheel(-120), 2);
    EXPECT_EQ(wheel(120), 1);
    EXPECT_EQ(wheel(120), 0);
    EXPECT_EQ(wheel(120), 0);
    // Each notch redraws the preview, whether the entry changed or not.
    EXPECT_EQ(host.previews, 6);

    // From no selection, down takes the first entry and up stays put.
    dialog.Model().SetSelection(os::kCatalogue, -1);
    EXPECT_EQ(wheel(120), -1);
    EXPECT_EQ(wheel(-120), 0);

    EXPECT_TRUE(dialog.SelectCatalogue(2));
    EXPECT_EQ(layout.CatalogueSelection(), 2);
    EXPECT_FALSE(dialog.SelectCatalogue(3));
    EXPECT_EQ(host.previews, 9);
}

TEST_F(ObjectDialogTest, TheWheelOverAnEmptyCatalogueSelectsNothing)
{
    Scan({});
    dialog.OnMouseWheel(-120);
    dialog.OnMouseWheel(120);
    EXPECT_EQ(dialog.Model().Selection(os::kCatalogue), -1);
}

// --- sorting

TEST_F(ObjectDialogTest, NumbersSortByValueAndTheMarkFollowsTheSortedHeading)
{
    Scan({"box"});
    for (const float x : {9.0f, 10.5f, -3.0f, 2.0f})
        Add(x);
    ASSERT_EQ(Heading(os::kColumnNumber), "No▲");

    dialog.OnColumnClick(os::kColumnX);
    EXPECT_EQ(XsInRowOrder(List()), (std::vector<float>{-3, 2, 9, 10.5f}));
    EXPECT_EQ(Heading(os::kColumnX), "X▲");
    EXPECT_EQ(Heading(os::kColumnNumber), "No");

    dialog.OnColumnClick(os::kColumnX);
    EXPECT_EQ(XsInRowOrder(List()), (std::vector<float>{10.5f, 9, 2, -3}));
    EXPECT_EQ(Heading(os::kColumnX), "X▼");

    // Another column sorts in the current direction and takes the mark over.
    dialog.OnColumnClick(os::kColumnNumber);
    EXPECT_EQ(Cell(0, os::kColumnNumber), "3");
    EXPECT_EQ(Heading(os::kColumnNumber), "No▼");
    EXPECT_EQ(Heading(os::kColumnX), "X");
    for (int column = 0; column < List().ColumnCount(); ++column)
        EXPECT_TRUE(platform::IsValidUtf8(Heading(column)));
    ExpectRowsMatchRecords(layout, List());
}

TEST_F(ObjectDialogTest, TheFirstClickOnNumberSortsDescendingAndTheNextAscending)
{
    Scan({"box"});
    for (int i = 0; i < 11; ++i)
        Add(static_cast<float>(i));
    dialog.OnColumnClick(os::kColumnNumber);
    EXPECT_TRUE(dialog.SortDescending());
    EXPECT_EQ(Heading(os::kColumnNumber), "No▼");
    // By value: 10 before 9, where a comparison of texts would put "9" first.
    EXPECT_EQ(Cell(0, os::kColumnNumber), "10");
    EXPECT_EQ(Cell(1, os::kColumnNumber), "9");
    EXPECT_EQ(Cell(10, os::kColumnNumber), "0");

    dialog.OnColumnClick(os::kColumnNumber);
    EXPECT_EQ(Heading(os::kColumnNumber), "No▲");
    for (int row = 0; row < 11; ++row)
        EXPECT_EQ(Cell(row, os::kColumnNumber), std::to_string(row));
}

TEST_F(ObjectDialogTest, NamesSortByTheirShiftJisBytes)
{
    // Shift-JIS puts "ー" (81 5B) before "あ" (82 A0); their UTF-8 bytes would order them the
    // other way round.
    Scan({"A", "あ", "ー"});
    ASSERT_EQ(layout.Catalogue().TypeCount(), 3);
    for (int type = 0; type < 3; ++type)
        Add(0, 0, type);
    dialog.OnColumnClick(os::kColumnName);
    std::vector<std::string> names;
    for (int row = 0; row < List().RowCount(); ++row)
        names.push_back(Cell(row, os::kColumnName));
    EXPECT_EQ(names, (std::vector<std::string>{"A", "ー", "あ"}));
    EXPECT_EQ(Heading(os::kColumnName), "ｵﾌﾞｼﾞｪｸﾄ名▲");
}

TEST_F(ObjectDialogTest, AFullListSortsCompletelyAndKeepsItsSelection)
{
    Scan({"box"});
    for (int i = 0; i < layout::kMaxPlacedObjects; ++i)
        Add(static_cast<float>((i * 7919) % 2000) - 1000.0f);
    dialog.OnListSelection({5});
    const int chosen = layout.Placed().ObjectOfRow(5);

    dialog.OnColumnClick(os::kColumnX);
    const std::vector<float> xs = XsInRowOrder(List());
    EXPECT_TRUE(std::is_sorted(xs.begin(), xs.end()));
    EXPECT_EQ(layout.Selection().Selected(), std::vector<int>{chosen});
    ExpectRowsMatchRecords(layout, List());
}

// --- selection and row operations

TEST_F(ObjectDialogTest, SelectedRowsAreTheLayoutsSelectionWhateverTheSort)
{
    Scan({"box"});
    for (const float x : {1.0f, 4.0f, 2.0f, 3.0f})
        Add(x);
    dialog.OnColumnClick(os::kColumnX);
    dialog.OnColumnClick(os::kColumnX); // descending: records 1, 3, 2, 0

    dialog.OnListSelection({0, 3});
    EXPECT_EQ(layout.Selection().Selected(), (std::vector<int>{0, 1}));
    EXPECT_GE(host.turnoutRefreshes, 1);

    dialog.OnRowClick(0);
    EXPECT_EQ(layout.Selection().Primary(), 1);
    // A row that is not selected, or empty space, clears the primary object.
    dialog.OnRowClick(1);
    EXPECT_EQ(layout.Selection().Primary(), -1);
    dialog.OnRowClick(3);
    EXPECT_EQ(layout.Selection().Primary(), 0);
    dialog.OnRowClick(-1);
    EXPECT_EQ(layout.Selection().Primary(), -1);
    dialog.OnRowClick(99);
    EXPECT_EQ(layout.Selection().Primary(), -1);
}

TEST_F(ObjectDialogTest, DeletingRowsTwoAndFiveOfEightRenumbersTheRestInOrder)
{
    Scan({"box"});
    for (int i = 0; i < 8; ++i)
        Add(static_cast<float>(i));
    dialog.SetEditButtonsEnabled(true);
    dialog.OnListSelection({2, 5});
    ASSERT_TRUE(dialog.Click(os::kDelete));

    EXPECT_EQ(layout.Placed().Count(), 6);
    EXPECT_EQ(XsInRowOrder(List()), (std::vector<float>{0, 1, 3, 4, 6, 7}));
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(Cell(row, os::kColumnNumber), std::to_string(row));
    ExpectRowsMatchRecords(layout, List());
    EXPECT_EQ(layout.Selection().Primary(), -1);
    EXPECT_EQ(List().SelectedCount(), 0);
    EXPECT_EQ(dialog.Model().Text(os::kObjectCount), "ｵﾌﾞｼﾞｪｸﾄ数  6 / 2000");
}

TEST_F(ObjectDialogTest, EditsAfterASortActOnTheRecordsTheRowsShow)
{
    Scan({"box"});
    for (const float x : {10.0f, 30.0f, 20.0f, 40.0f})
        Add(x);
    dialog.SetEditButtonsEnabled(true);
    dialog.OnColumnClick(os::kColumnX);
    dialog.OnColumnClick(os::kColumnX); // X descending: records 3, 1, 2, 0

    // Delete the row of record 2 (x = 20).
    const int row = layout.Placed().RowOfObject(2);
    ASSERT_EQ(row, 2);
    dialog.OnListSelection({row});
    ASSERT_TRUE(dialog.Click(os::kDelete));
    ASSERT_EQ(layout.Placed().Count(), 3);
    EXPECT_EQ(layout.Placed().Position(0).x, 10);
    EXPECT_EQ(layout.Placed().Position(1).x, 30);
    EXPECT_EQ(layout.Placed().Position(2).x, 40);
    ExpectRowsMatchRecords(layout, List());

    // Move the object in the first row (record 2 now, x = 40).
    dialog.OnListSelection({0});
    dialog.OnEditText(os::kMoveX, "5");
    dialog.OnEditText(os::kMoveY, "0");
    ASSERT_TRUE(dialog.Click(os::kMove));
    EXPECT_EQ(layout.Placed().Position(2).x, 45);
    EXPECT_EQ(layout.Placed().Position(0).x, 10);
    ExpectRowsMatchRecords(layout, List());

    // A copy comes at the end of the records and of the rows, selected.
    ASSERT_TRUE(dialog.Click(os::kCopy));
    ASSERT_EQ(layout.Placed().Count(), 4);
    EXPECT_EQ(*layout.Placed().Find(3), *layout.Placed().Find(2));
    EXPECT_EQ(layout.Selection().Selected(), std::vector<int>{3});
    EXPECT_EQ(Cell(3, os::kColumnNumber), "3");
    ExpectRowsMatchRecords(layout, List());
}

TEST_F(ObjectDialogTest, TheFocusOptionFollowsTheChosenObject)
{
    Scan({"box"});
    Add(5, 5);
    dialog.OnListSelection({0});
    dialog.OnRowClick(0);
    EXPECT_TRUE(host.log.empty()) << "the option starts unchecked";

    ASSERT_TRUE(dialog.Click(os::kFocusOnSelection));
    dialog.OnRowClick(0);
    host.mapCreation = true;
    dialog.OnRowClick(0);
    EXPECT_EQ(host.log, (std::vector<std::string>{"follow", "focus"}));
}

TEST_F(ObjectDialogTest, TheListsKeysMoveExtendDeleteAndCopyTheSelection)
{
    Scan({"box"});
    for (const float x : {1.0f, 2.0f, 3.0f, 4.0f})
        Add(x);
    dialog.OnColumnClick(os::kColumnX);
    dialog.OnColumnClick(os::kColumnX); // descending: rows show records 3, 2, 1, 0
    namespace vk = platform::vk;

    // Down from no selection takes the first row; the selected object follows as on a click.
    EXPECT_TRUE(dialog.OnListKey(vk::kDown, false, false));
    EXPECT_EQ(layout.Selection().Selected(), std::vector<int>{3});
    EXPECT_EQ(layout.Selection().Primary(), 3);
    EXPECT_TRUE(dialog.OnListKey(vk::kDown, false, false));
    EXPECT_EQ(layout.Selection().Primary(), 2);
    // Shift extends from where the range started, both ways, and stops at the ends.
    dialog.OnListKey(vk::kDown, true, false);
    dialog.OnListKey(vk::kDown, true, false);
    dialog.OnListKey(vk::kDown, true, false);
    EXPECT_EQ(layout.Selection().Selected(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(List().FocusRow(), 3);
    dialog.OnListKey(vk::kUp, true, false);
    dialog.OnListKey(vk::kUp, true, false);
    dialog.OnListKey(vk::kUp, true, false);
    EXPECT_EQ(layout.Selection().Selected(), (std::vector<int>{2, 3}));
    EXPECT_EQ(layout.Selection().Primary(), 3);
    dialog.OnListKey(vk::kUp, false, false);
    EXPECT_EQ(layout.Selection().Selected(), std::vector<int>{3});

    // Delete and Ctrl+C act as the buttons do, and only while those work.
    EXPECT_TRUE(dialog.OnListKey(vk::kDelete, false, false));
    EXPECT_EQ(layout.Placed().Count(), 4);
    dialog.SetEditButtonsEnabled(true);
    EXPECT_TRUE(dialog.OnListKey('C', false, true));
    EXPECT_EQ(layout.Placed().Count(), 5);
    EXPECT_EQ(layout.History().NextUndo()->name, "コピー");
    EXPECT_TRUE(dialog.OnListKey(vk::kDelete, false, false));
    EXPECT_EQ(layout.Placed().Count(), 4);
    EXPECT_EQ(layout.History().NextUndo()->name, "削除");
    EXPECT_FALSE(dialog.OnListKey('C', false, false));
    EXPECT_FALSE(dialog.OnListKey(vk::kHome, false, false));
}

// --- size and column widths

TEST(ObjectDialogSize, KeepsTheSmallestSizeAndTheListMargins)
{
    app::CObjectSelect dialog;
    app::ObjectDialogSize size;
    // The first size change comes while the window is created.
    EXPECT_FALSE(dialog.OnSize(200, 100, 184, 62, size));

    ASSERT_TRUE(dialog.OnSize(500, 400, 484, 362, size));
    EXPECT_EQ(size.windowWidth, 500);
    EXPECT_EQ(size.windowHeight, 400);
    EXPECT_EQ(size.listX, 8);
    EXPECT_EQ(size.listY, 216);
    EXPECT_EQ(size.listWidth, 484 - 16);
    EXPECT_EQ(size.listHeight, 362 - 224);

    // Too small: back to 341 × 229, the client area growing with it.
    ASSERT_TRUE(dialog.OnSize(300, 200, 284, 162, size));
    EXPECT_EQ(size.windowWidth, 341);
    EXPECT_EQ(size.windowHeight, 229);
    EXPECT_EQ(size.listWidth, 341 - 16 - 16);
    EXPECT_EQ(size.listHeight, 0);
}

TEST_F(ObjectDialogTest, TheWidestTextOfEachColumnIsFoundWithoutMeasuringEveryRow)
{
    Scan({"box"});
    Add(1);
    Add(-1000);
    Add(22);
    const std::vector<std::string> widest = dialog.WidestTexts();
    ASSERT_EQ(widest.size(), 7u);
    EXPECT_EQ(widest[os::kColumnX], "-1000.000");
    // The heading is wider than any name, number or key label here.
    EXPECT_EQ(widest[os::kColumnName], "ｵﾌﾞｼﾞｪｸﾄ名");
    EXPECT_EQ(widest[os::kColumnNumber], "No▲");
    EXPECT_EQ(widest[os::kColumnKey], "キー");
}

} // namespace
