// Edits as commands: every kind undone gives back the saved file byte for byte and redone gives
// the edit's own file; undo finds its objects through sorts and deletions; a drag is one step.
#include "LayoutTestSupport.h"
#include "layout/MapFile.h"
#include "layout/MapFileVehicles.h"
#include "math/NumberText.h"
#include "ui/DialogModel.h"
#include "ui/ObjectSelectTemplate.h"

#include <functional>
#include <random>

namespace layouttest {
namespace {

namespace objsel = ui::objsel;

class UndoTest : public LayoutTest {
  protected:
    void SetUp() override
    {
        WriteType("rail", {"SnapX0=0", "SnapZ0=1", "SnapX1=0", "SnapZ1=-1"});
        WriteType("turnout", {"ポイント=2"});
        ASSERT_TRUE(Scan().ok());
        for (int i = 0; i < 6; ++i)
            Place(i % 2, float(3 * i), 0.25f * i, float(-i), float(15 * i), i == 1 ? 4 : layout::kNoKey);
        layout.History().MarkSaved();
    }

    std::string Text() const { return layout::MapFileText(layout, vehicles); }
    void SelectOnly(std::initializer_list<int> indices)
    {
        layout.Selection().DeselectAll();
        for (int index : indices)
            layout.Selection().SetSelected(index, true);
    }
    void SortRowsByXDescending()
    {
        layout.ObjectDialog().EditList(objsel::kPlacedList, [](ui::ListView& list) {
            list.SortRows([](const ui::ListRow& a, const ui::ListRow& b) {
                return math::ParseDouble(b.cells[2]) < math::ParseDouble(a.cells[2]) ? -1 : 1;
            });
        });
    }
    // A drag of the primary through this many mouse moves, with these modifier keys.
    void Drag(int index, int moves, layout::DragFlags flags)
    {
        const math::Vec3 at = layout.Placed().Position(index);
        Pick(Down(at.x + 0.1f, at.z + 0.1f));
        layout.Drag().BeginDrag();
        for (int m = 1; m <= moves; ++m) {
            const float x = at.x + 0.1f + 0.05f * m, z = at.z + 0.1f + 0.02f * m;
            // Raising needs a ray that crosses the vertical plane through the grab point.
            const layout::PickRay ray = flags.shift ? layout::PickRay{{x - 5, 10.0f + m, z}, {x + 5, -10.0f + m, z}} : Down(x, z);
            layout.Drag().DragSelected(ray, flags);
        }
        layout.Drag().EndDrag();
    }
    // Rows show their records, wherever they stand.
    void ExpectRowsMatchRecords() const
    {
        const ui::ListView& list = layout.ObjectDialog().List(objsel::kPlacedList);
        ASSERT_EQ(list.RowCount(), layout.Placed().Count());
        std::vector<bool> seen(static_cast<std::size_t>(list.RowCount()), false);
        for (int row = 0; row < list.RowCount(); ++row) {
            const int index = layout.Placed().ObjectOfRow(row);
            ASSERT_GE(index, 0);
            EXPECT_FALSE(seen[static_cast<std::size_t>(index)]);
            seen[static_cast<std::size_t>(index)] = true;
            EXPECT_EQ(list.Cell(row, objsel::kColumnX), math::FormatFixed(layout.Placed().Find(index)->x, 3));
        }
    }

    layout::StoredMapVehicles vehicles;
};

TEST_F(UndoTest, EveryEditKindUndoesToTheSavedFileAndRedoesToItsOwn)
{
    const std::vector<std::pair<std::string, std::function<void()>>> edits = {
        {"place", [&] { ASSERT_TRUE(layout.PlaceObject(1, {{1, 10, 1}, {2, -10, 3}}).ok()); }},
        {"copy", [&] { SelectOnly({1, 4}); ASSERT_TRUE(layout.CopySelected().ok()); }},
        {"delete", [&] { SelectOnly({0, 3, 5}); ASSERT_TRUE(layout.DeleteSelected().ok()); }},
        {"move", [&] { SelectOnly({2, 3}); ASSERT_TRUE(layout.MoveSelectedBy(1.5f, -2, 0.125f).ok()); }},
        {"turn", [&] { SelectOnly({0, 2, 4}); ASSERT_TRUE(layout.TurnSelectedBy(33).ok()); }},
        {"drag", [&] { Drag(2, 5, {}); }},
        {"raise", [&] { Drag(2, 5, {.shift = true}); }},
        {"alt turn", [&] { Drag(4, 5, {.alt = true, .grid = true}); }},
        {"key", [&] { SelectOnly({1, 2, 3}); ASSERT_TRUE(layout.AssignKey(7).ok()); }},
        {"route", [&] { Pick(Down(3.1f, -0.9f)); layout.SetSelectedRoute(1); }},
        {"import", [&] { ASSERT_TRUE(layout.AddObjects({{.type = 1, .x = 50, .key = 2}, {.type = 0, .z = 9}}).ok()); }},
        {"catalogue", [&] { ASSERT_TRUE(layout.ScanObjectFolder(device.get(), {}, true).ok()); }},
    };
    const std::string original = Text();
    for (const auto& [name, edit] : edits) {
        edit();
        const std::string edited = Text();
        ASSERT_NE(edited, original) << name;
        ASSERT_EQ(layout.History().UndoCount(), 1u) << name;
        EXPECT_TRUE(layout.History().Changed()) << name;

        ASSERT_TRUE(layout.Undo()) << name;
        EXPECT_EQ(Text(), original) << name;
        ExpectRowsMatchRecords();
        ASSERT_TRUE(layout.Redo()) << name;
        EXPECT_EQ(Text(), edited) << name;
        ExpectRowsMatchRecords();
        ASSERT_TRUE(layout.Undo()) << name;
        EXPECT_EQ(Text(), original) << name;
        layout.History().Clear();
    }
}

TEST_F(UndoTest, UndoAfterASortActsOnTheSameObjectsAndRestoresTheirSelection)
{
    const std::string original = Text();
    SortRowsByXDescending();
    SelectOnly({1, 4});
    ASSERT_TRUE(layout.DeleteSelected().ok());
    SortRowsByXDescending();
    ASSERT_TRUE(layout.Undo());
    EXPECT_EQ(Text(), original);
    ExpectRowsMatchRecords();
    EXPECT_EQ(layout.Selection().Selected(), (std::vector<int>{1, 4}));

    // A move, then the moved object's neighbour deleted: undoing both puts each back.
    SelectOnly({3});
    ASSERT_TRUE(layout.MoveSelectedBy(0, 0, 7).ok());
    SelectOnly({2});
    ASSERT_TRUE(layout.DeleteSelected().ok());
    EXPECT_EQ(layout.Placed().Find(2)->z, -3.0f + 7.0f); // object 3 moved down to index 2
    ASSERT_TRUE(layout.Undo());
    ASSERT_TRUE(layout.Undo());
    EXPECT_EQ(Text(), original);
    EXPECT_EQ(layout.Selection().Selected(), std::vector<int>{3});
}

TEST_F(UndoTest, ADragOfSixtyMovesIsOneStepAndANewEditClearsRedo)
{
    const std::string original = Text();
    Drag(0, 60, {});
    EXPECT_EQ(layout.History().UndoCount(), 1u);
    EXPECT_EQ(layout.History().NextUndo()->Label(), "移動 (1 個)");
    // A click without moving is no edit.
    Drag(0, 0, {});
    EXPECT_EQ(layout.History().UndoCount(), 1u);

    ASSERT_TRUE(layout.Undo());
    EXPECT_EQ(Text(), original);
    EXPECT_EQ(layout.History().RedoCount(), 1u);
    SelectOnly({5});
    ASSERT_TRUE(layout.DeleteSelected().ok());
    EXPECT_EQ(layout.History().RedoCount(), 0u);
    EXPECT_FALSE(layout.Redo());
    EXPECT_EQ(layout.History().NextUndo()->Label(), "削除 (1 個)");
}

TEST_F(UndoTest, TwoHundredMixedEditsUndoneOneByOneEndWhereTheyStarted)
{
    const std::string original = Text();
    std::mt19937 random(14);
    int done = 0;
    while (done < 200) {
        const int count = layout.Placed().Count();
        const int pick = count > 0 ? static_cast<int>(random() % count) : 0;
        SelectOnly({pick});
        const std::size_t before = layout.History().UndoCount();
        switch (random() % 7) {
        case 0: (void)layout.PlaceObject(static_cast<int>(random() % 2), Down(float(random() % 40), 2)); break;
        case 1: (void)layout.CopySelected(); break;
        case 2: if (count > 3) (void)layout.DeleteSelected(); break;
        case 3: (void)layout.MoveSelectedBy(0.5f, 0.25f, -1); break;
        case 4: (void)layout.TurnSelectedBy(float(random() % 360)); break;
        case 5: (void)layout.AssignKey(static_cast<int>(random() % 12)); break;
        case 6: if (count > 0) Drag(pick, 3, {.alt = (random() % 2) == 0}); break;
        }
        if (layout.History().UndoCount() > before) ++done;
    }
    EXPECT_EQ(layout.History().UndoCount(), 200u);
    while (layout.Undo()) {
    }
    EXPECT_EQ(Text(), original);
    ExpectRowsMatchRecords();
    EXPECT_FALSE(layout.History().Changed()); // back at the step it was saved at
}

// Edits before an object-folder change name their types by the catalogue they were made in:
// with the new folder listing the types at other numbers, undoing everything writes the file
// that was saved, byte for byte, and redoing brings every edit back with its own types.
TEST_F(UndoTest, UndoAndRedoAcrossAFolderChangeKeepEveryObjectsType)
{
    const std::string original = Text();
    std::vector<std::string> texts;
    ASSERT_TRUE(layout.PlaceObject(1, {{1, 10, 1}, {2, -10, 3}}).ok());
    texts.push_back(Text());
    SelectOnly({0, 1});
    ASSERT_TRUE(layout.DeleteSelected().ok());
    texts.push_back(Text());
    SelectOnly({0, 1}); // a rail and a turnout
    ASSERT_TRUE(layout.MoveSelectedBy(1, 0, 2).ok());
    texts.push_back(Text());
    ASSERT_TRUE(layout.AssignKey(3).ok());
    texts.push_back(Text());
    ASSERT_EQ(layout.History().UndoCount(), 4u);

    // The new folder lists the same types at other numbers, plus others.
    std::filesystem::remove(dir.Path() / "rail.ini");
    WriteType("zrail", {});
    WriteFile("rail.ini", Ini({"SnapX0=0", "SnapZ0=1", "SnapX1=0", "SnapZ1=-1"}));
    WriteType("alpha", {});
    ASSERT_TRUE(layout.ScanObjectFolder(device.get(), {}, true).ok());
    ASSERT_EQ(layout.Catalogue().TypeName(0), "alpha");
    EXPECT_EQ(layout.Placed().Count(), 0);

    ASSERT_TRUE(layout.Undo());
    EXPECT_EQ(Text(), texts.back());
    for (int i = static_cast<int>(texts.size()) - 2; i >= 0; --i) {
        ASSERT_TRUE(layout.Undo());
        EXPECT_EQ(Text(), texts[static_cast<std::size_t>(i)]) << i;
    }
    ASSERT_TRUE(layout.Undo());
    EXPECT_EQ(Text(), original);
    EXPECT_FALSE(layout.Undo());
    for (const std::string& text : texts) {
        ASSERT_TRUE(layout.Redo());
        EXPECT_EQ(Text(), text);
    }
    for (int i = 0; i < layout.Placed().Count(); ++i)
        EXPECT_NE(layout.Catalogue().TypeName(layout.Placed().Find(i)->type), "alpha") << i;
}

// A drag's edit is recorded before anything that lands while it is still open (the release is
// seen a pass later): a typed move, or an undo, which then undoes the drag itself.
TEST_F(UndoTest, AnEditWhileADragIsOpenComesAfterTheDrag)
{
    const std::string original = Text();
    const auto openDrag = [&](layout::DragFlags flags) {
        const math::Vec3 at = layout.Placed().Position(2);
        Pick(Down(at.x + 0.1f, at.z + 0.1f));
        layout.Drag().BeginDrag();
        for (int m = 1; m <= 5; ++m)
            layout.Drag().DragSelected(Down(at.x + 0.1f + 0.3f * m, at.z + 0.1f - 0.2f * m), flags);
    };
    openDrag({.alt = true});
    ASSERT_TRUE(layout.TurnSelectedBy(90).ok());
    ASSERT_TRUE(layout.MoveSelectedBy(0, 0, 3).ok());
    EXPECT_FALSE(layout.Drag().EndDrag()); // the release, seen at last: nothing left to record
    ASSERT_EQ(layout.History().UndoCount(), 3u);
    EXPECT_EQ(layout.History().NextUndo()->name, layout::editname::kMove);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(layout.Undo());
    EXPECT_EQ(Text(), original);

    // An undo during a drag ends the drag and undoes it; a redo brings it back.
    openDrag({});
    const std::string dragged = Text();
    ASSERT_NE(dragged, original);
    ASSERT_TRUE(layout.Undo());
    EXPECT_FALSE(layout.Drag().Dragging());
    EXPECT_EQ(Text(), original);
    ASSERT_TRUE(layout.Redo());
    EXPECT_EQ(Text(), dragged);
}

TEST_F(UndoTest, UndoingBackToTheSavedStepIsUnchangedAndRedoingPastItIsChanged)
{
    layout::EditHistory& history = layout.History();
    EXPECT_FALSE(history.Changed());
    SelectOnly({2});
    ASSERT_TRUE(layout.MoveSelectedBy(1, 0, 0).ok());
    ASSERT_TRUE(layout.TurnSelectedBy(10).ok());
    ASSERT_TRUE(layout.Undo());
    EXPECT_TRUE(history.Changed());
    ASSERT_TRUE(layout.Undo());
    EXPECT_FALSE(history.Changed()); // back where it was saved
    ASSERT_TRUE(layout.Redo());
    EXPECT_TRUE(history.Changed());

    // Saved after the move: the turn's undo comes back to it, and undoing the move leaves it.
    history.MarkSaved();
    ASSERT_TRUE(layout.Redo());
    EXPECT_TRUE(history.Changed());
    ASSERT_TRUE(layout.Undo());
    EXPECT_FALSE(history.Changed());
    ASSERT_TRUE(layout.Undo());
    EXPECT_TRUE(history.Changed());
    // A new edit drops the steps ahead, the saved one among them: no undo reaches it again.
    SelectOnly({3});
    ASSERT_TRUE(layout.DeleteSelected().ok());
    while (layout.Undo()) {
    }
    EXPECT_TRUE(history.Changed());
    // A restored layout is no file's.
    history.MarkSaved();
    history.MarkChanged();
    EXPECT_TRUE(history.Changed());
}

} // namespace
} // namespace layouttest
