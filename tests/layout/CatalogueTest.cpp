// The object catalogue: which files become types, in which order, their .ini values and
// meshes, the 200-type limit and clearing the layout.
#include "LayoutTestSupport.h"
#include "layout/ObjectIni.h"
#include "ui/CommandIds.h"
#include "ui/DialogModel.h"
#include "ui/MenuModel.h"
#include "ui/ObjectSelectTemplate.h"

#include <cstdio>

namespace layouttest {
namespace {

using layout::kUnusedSnapDistance;

TEST_F(LayoutTest, VertexColourRemovalRewritesTheMeshAndTheGuideOfEveryType)
{
    WriteType("turnout", {"ポイント=2"}, std::string(testsupport::kVertexColouredX));
    WriteFile("turnout_r.x", std::string(testsupport::kVertexColouredX));
    layout.ScanObjectFolder(device.get(), {.removeVertexColours = true});
    ASSERT_TRUE(layout.Catalogue().FindType(0) && layout.Catalogue().FindType(0)->HasGuide());
    for (const char* file : {"turnout.x", "turnout_r.x"})
        EXPECT_EQ(testsupport::ReadBytes(dir.Path() / file).find("MeshVertexColors"), std::string::npos)
            << file;
}

TEST_F(LayoutTest, ListsTypesWithMeshesInFolderSearchOrderAndLoadsGuides)
{
    WriteType("b_track", {});
    WriteFile("a_lonely.ini", Ini({})); // no mesh: not listed
    WriteType("C_turnout", {"ポイント=2"});
    WriteFile("C_turnout_r.x", UnitBoxX());
    WriteType("分岐", {});
    WriteType("a_station", {});
    WriteType("直線", {});
    EXPECT_TRUE(Scan().ok());

    // In the order of the folder search: by name, letter case ignored.
    EXPECT_EQ(layout.Catalogue().TypeNames(),
              (std::vector<std::string>{"a_station", "b_track", "C_turnout", "分岐", "直線"}));
    EXPECT_EQ(layout.ObjectDialog().Items(ui::objsel::kCatalogue), layout.Catalogue().TypeNames());
    EXPECT_EQ(layout.CatalogueSelection(), 0);
    EXPECT_EQ(layout.Catalogue().LastTypeIndex(), 4);
    EXPECT_TRUE(layout.Catalogue().FindType(2)->HasGuide());
    EXPECT_EQ(layout.Catalogue().FindType(2)->routeCount, 2);
    EXPECT_FALSE(layout.Catalogue().FindType(1)->HasGuide());
    EXPECT_EQ(layout.Catalogue().FindType(1)->bounds, (model::MeshBox{-1, 1, -0.5f, 0.5f, -1, 1}));
    EXPECT_EQ(layout.Catalogue().FindTypeByName("c_TURNOUT"), 2);
}

TEST_F(LayoutTest, ReadsIniValuesAndSnapPointsUpToTheUnusedText)
{
    WriteFile("snap.ini", Ini({"透明=1", "ポイント=3", "SnapX0=3", "SnapZ0=4", "SnapX1=10000", "SnapZ1=0",
                               "SnapX2=7", "SnapX3=1", "SnapZ3=1"}));
    WriteFile("plain.ini", Ini({}));
    WriteFile("stop.ini", Ini({"SnapX0=1", "SnapZ0=10000.0", "SnapX1=2", "SnapZ1=2"}));

    const auto snap = layout::ReadObjectIni(folder + "snap.ini", kSection);
    EXPECT_EQ(snap.transparent, 1);
    EXPECT_EQ(snap.routeCount, 3);
    EXPECT_EQ(snap.snaps[0], (layout::SnapPoint{3, 5, 4}));
    // "10000" without its decimals is a real coordinate.
    EXPECT_EQ(snap.snaps[1], (layout::SnapPoint{10000, 10000, 0}));
    // SnapZ2 is missing: the list ends there and point 2 stays unused.
    EXPECT_FALSE(snap.snaps[2].Used());
    EXPECT_FALSE(snap.snaps[3].Used());

    const auto plain = layout::ReadObjectIni(folder + "plain.ini", kSection);
    EXPECT_EQ(plain.transparent, 0);
    EXPECT_EQ(plain.routeCount, 0);
    EXPECT_EQ(plain.snaps[0].distance, kUnusedSnapDistance);

    // The exact text "10000.0" ends the list even in a z.
    EXPECT_FALSE(layout::ReadObjectIni(folder + "stop.ini", kSection).snaps[0].Used());
}

TEST_F(LayoutTest, ABrokenMeshIsListedAndMeasuresAsEmpty)
{
    WriteType("a_good", {});
    WriteType("b_broken", {"ポイント=2"}, "xof 0303txt 0032\nMesh { 3; 0;0;0;, 1;0;");
    WriteType("c_good", {});
    Scan();

    ASSERT_EQ(layout.Catalogue().TypeCount(), 3);
    const layout::ObjectType* broken = layout.Catalogue().FindType(1);
    EXPECT_TRUE(broken->visible.empty());
    EXPECT_EQ(broken->bounds, model::MeshBox{});
    EXPECT_EQ(broken->sphere.radius, 0.0f);
    EXPECT_EQ(broken->routeCount, 2);
    EXPECT_EQ(layout.Catalogue().LastTypeIndex(), 2);

    // Placed, it can be picked through: the good object below is found.
    Place(2, 0, -5, 0);
    Place(1, 0, 0, 0);
    EXPECT_EQ(layout.FindPickHit(Down(0, 0)).index, 0);
}

TEST_F(LayoutTest, SkipsNamesThatAMapFileCouldNotStore)
{
    WriteFile(".ini", Ini({}));
    WriteFile(".x", UnitBoxX());
    WriteType(":colon", {});
    WriteType("line\nbreak", {});
    WriteType("ok", {});
    Scan();
    EXPECT_EQ(layout.Catalogue().TypeNames(), std::vector<std::string>{"ok"});
}

TEST_F(LayoutTest, StopsAtTwoHundredTypesWithTheLimitMessage)
{
    for (int i = 0; i < 200; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "t%03d", i);
        WriteType(name, {}, "");
    }
    EXPECT_TRUE(Scan().ok());
    EXPECT_EQ(layout.Catalogue().TypeCount(), 200);

    WriteType("t200", {}, "");
    const platform::Status scanned = Scan();
    EXPECT_EQ(layout.Catalogue().TypeCount(), 200);
    EXPECT_EQ(layout.Catalogue().TypeName(199), "t199");
    ASSERT_FALSE(scanned.ok());
    EXPECT_EQ(scanned.error(), "登録できるオブジェクトは、200個までです。\n\n連絡頂ければ、最大値を変更致します。");
}

TEST_F(LayoutTest, WithoutADeviceNamesAreListedButNothingLoads)
{
    WriteType("a", {"ポイント=2"});
    layout.ScanObjectFolder(nullptr);
    EXPECT_EQ(layout.Catalogue().TypeCount(), 1);
    EXPECT_EQ(layout.Catalogue().LastTypeIndex(), -1);
    EXPECT_TRUE(layout.Catalogue().FindType(0)->visible.empty());
    EXPECT_FALSE(layout.Catalogue().LoadTypes(nullptr));
}

struct CountingListener : layout::LayoutListener {
    void ObjectCountChanged(int count) override { lastCount = count; }
    void TurnoutControlsChanged() override { ++turnoutRefreshes; }
    int lastCount = -1;
    int turnoutRefreshes = 0;
};

TEST_F(LayoutTest, ANewCatalogueEmptiesTheListSelectionAndMenuCounts)
{
    WriteType("turnout", {"ポイント=2"});
    Scan();
    ui::MenuModel menu(ui::MainMenuTemplate());
    CountingListener listener;
    layout.BindMenu(&menu);
    layout.SetListener(&listener);
    for (int i = 0; i < 5; ++i)
        Place(0, float(i), 0, 0, 0, 1);
    layout.Selection().SetSelected(3, true);
    layout.Selection().SetPrimary(3);
    layout.NotifyLayoutChanged();
    ASSERT_EQ(menu.Suffix(ui::cmd::kKeyFirst + 1), "  使用数  5");

    Scan(); // another object folder chosen
    EXPECT_EQ(layout.Placed().Count(), 0);
    EXPECT_EQ(layout.ObjectDialog().List(ui::objsel::kPlacedList).RowCount(), 0);
    EXPECT_EQ(layout.Selection().Primary(), -1);
    EXPECT_EQ(layout.Selection().PrimaryRouteCount(), 0);
    EXPECT_EQ(listener.lastCount, 0);
    EXPECT_GT(listener.turnoutRefreshes, 0);
    EXPECT_EQ(menu.Suffix(ui::cmd::kKeyFirst + 1), "");
    layout.SetListener(nullptr);
}

} // namespace
} // namespace layouttest
