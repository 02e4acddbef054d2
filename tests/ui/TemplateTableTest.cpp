// Walks every dialog, menu and tool-bar table for the mistakes tables collect as they grow:
// repeated ids, radios without partners, sliders without labels, frames that do not exist.
#include "ui/CommandIdMap.h"
#include "ui/CommandIds.h"
#include "ui/DialogModel.h"
#include "ui/MenuModel.h"
#include "ui/ObjectSelectTemplate.h"
#include "ui/SetUpTemplate.h"
#include "ui/ToolBarModel.h"
#include "ui/WindowTemplates.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using ui::ControlKind;
using ui::DialogModel;
using ui::DialogTemplate;

std::vector<DialogTemplate> AllDialogs()
{
    return {ui::MainWindowTemplate(), ui::SetUpTemplate(), ui::ObjectSelectTemplate(),
            ui::MessageViewerTemplate()};
}

TEST(DialogTables, EveryDialogIsConsistent)
{
    std::set<int> resourceIds;
    for (const auto& dialog : AllDialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(dialog.resourceId));
        EXPECT_TRUE(resourceIds.insert(dialog.resourceId).second);

        std::map<int, const ui::ControlTemplate*> byId;
        std::set<std::string> frames;
        for (const auto& control : dialog.controls) {
            if (control.kind == ControlKind::GroupBox) {
                EXPECT_EQ(control.id, ui::kNoId) << control.caption;
                EXPECT_TRUE(frames.insert(control.caption).second)
                    << "two group boxes titled " << control.caption;
            }
            // A radio can be the title of a group box.
            if (control.kind == ControlKind::Radio) frames.insert(control.caption);
            if (control.id == ui::kNoId) continue;
            EXPECT_GT(control.id, 0);
            EXPECT_TRUE(byId.emplace(control.id, &control).second) << "id " << control.id << " appears twice";
        }

        const DialogModel model(dialog);
        for (const auto& control : dialog.controls) {
            if (!control.frame.empty()) {
                EXPECT_TRUE(frames.contains(control.frame)) << "no frame " << control.frame;
            }
            switch (control.kind) {
            case ControlKind::Radio:
                EXPECT_GE(model.RadioSetOf(control.id).size(), 2u)
                    << "radio " << control.id << " has no partner";
                break;
            case ControlKind::Slider: {
                EXPECT_LT(control.rangeMin, control.rangeMax) << control.id;
                EXPECT_GE(control.position, control.rangeMin) << control.id;
                EXPECT_LE(control.position, control.rangeMax) << control.id;
                const auto label = byId.find(control.labelId);
                ASSERT_NE(label, byId.end()) << "slider " << control.id << " has no label";
                EXPECT_EQ(label->second->kind, ControlKind::Label);
                break;
            }
            case ControlKind::ListBox:
            case ControlKind::ComboBox:
                EXPECT_GE(control.selection, -1);
                EXPECT_LT(control.selection, static_cast<int>(control.items.size()));
                break;
            default:
                break;
            }
        }
        // Every checked radio is alone in its set.
        for (int id : model.Ids()) {
            int checked = 0;
            for (int member : model.RadioSetOf(id))
                checked += model.Check(member);
            EXPECT_LE(checked, 1) << "set of radio " << id;
        }
    }
}

TEST(SettingsDialogTable, SliderLabelsReadThePositionsAfterInitialising)
{
    DialogModel setUp(ui::SetUpTemplate());
    for (int slider : ui::setup::kSliders)
        setUp.RefreshSliderLabel(slider);
    std::vector<std::string> labels;
    for (int slider : ui::setup::kSliders)
        labels.push_back(setUp.Text(setUp.Find(slider)->labelId));
    EXPECT_EQ(labels, (std::vector<std::string>{"50", "25", "5000", "100", "100", "100"}));

    using namespace ui::setup;
    const std::map<int, std::pair<int, int>> ranges = {{kDistance, {1, 500}},        {kFieldOfView, {1, 179}},
                                                       {kCulling, {100, 10000}},     {kObjectAlpha, {0, 100}},
                                                       {kBackgroundAlpha, {0, 100}}, {kLight, {0, 100}}};
    for (const auto& [id, range] : ranges) {
        EXPECT_EQ(setUp.RangeMin(id), range.first) << id;
        EXPECT_EQ(setUp.RangeMax(id), range.second) << id;
    }
}

TEST(SettingsDialogTable, StateAfterInitialising)
{
    using namespace ui::setup;
    const DialogModel setUp(ui::SetUpTemplate());

    const std::map<int, int> checks = {{kShadeGouraud, 1},
                                       {kShadeFlat, 0},
                                       {kFillSolid, 1},
                                       {kFillWireframe, 0},
                                       {kCullNone, 0},
                                       {kCullCcw, 1},
                                       {kCullCw, 0},
                                       {kTrack, 0},
                                       {kText, 1},
                                       {kSprites, 1},
                                       {kTurnAboutCarOrigin, 1},
                                       {kNoDeceleration, 0},
                                       {kLines, 0},
                                       {kStripVertexColours, 0},
                                       {kCantDetection, 0},
                                       {kSync, 0},
                                       {kRealTime, 1},
                                       {kPerspective, 1},
                                       {kOrthographic, 0},
                                       {kDriveCamera, 0},
                                       {kDrivePlane, 0},
                                       {kDriveHelicopter, 0}};
    for (const auto& [id, state] : checks)
        EXPECT_EQ(setUp.Check(id), state) << id;

    EXPECT_EQ(setUp.Kind(kTrack), ControlKind::ThreeStateCheckBox);
    EXPECT_TRUE(setUp.IsShown(kCantDetection));
    EXPECT_FALSE(setUp.IsEnabled(kCantDetection));
    for (int hidden :
         {kPerspective, kOrthographic, kUnusedHome, 1001, 1030, 1006, 1036, 1008, 1037, 1034, 1074, 1075}) {
        EXPECT_TRUE(setUp.Has(hidden)) << hidden;
        EXPECT_FALSE(setUp.IsShown(hidden)) << hidden;
    }

    EXPECT_EQ(setUp.ItemCount(kPositionList), 12);
    EXPECT_EQ(setUp.ItemCount(kViewPointList), 16);
    EXPECT_EQ(setUp.ItemText(kPositionList, kSelectedObjectEntry), "選択ｵﾌﾞｼﾞｪｸﾄ");
    EXPECT_EQ(setUp.ItemText(kViewPointList, kSelectedObjectEntry), "選択ｵﾌﾞｼﾞｪｸﾄ");
    EXPECT_EQ(setUp.ItemText(kViewPointList, 15), "運転席");
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(setUp.ItemText(kPositionList, i), setUp.ItemText(kViewPointList, i));
    // The lists and the style box start with nothing selected: the settings file chooses.
    EXPECT_EQ(setUp.Selection(kPositionList), -1);
    EXPECT_EQ(setUp.Selection(kViewPointList), -1);
    EXPECT_EQ(setUp.Selection(kSpriteStyle), -1);
    EXPECT_EQ(setUp.ItemCount(kSpriteStyle), 3);

    for (int slot = 0; slot < 6; ++slot) {
        EXPECT_EQ(setUp.ItemCount(kDriveType[slot]), 20);
        EXPECT_EQ(setUp.Selection(kDriveType[slot]), slot) << "train " << slot + 1;
        EXPECT_EQ(setUp.ItemCount(kTrainModel[slot]), 0);
        EXPECT_EQ(setUp.Text(kTrainHome[slot]), "原点登録");
    }
    EXPECT_EQ(setUp.ItemText(kDriveType[0], 9), "P;/");
    EXPECT_EQ(setUp.ItemText(kDriveType[0], 10), "逆 QAZ");
    EXPECT_EQ(setUp.ItemText(kDriveType[5], 19), "逆 P;/");
}

TEST(SettingsDialogTable, DriveTypeNamesCanComeFromTheCaller)
{
    const DialogModel setUp(ui::SetUpTemplate({"one", "two", "three"}));
    EXPECT_EQ(setUp.ItemCount(ui::setup::kDriveType[0]), 3);
    EXPECT_EQ(setUp.Selection(ui::setup::kDriveType[2]), 2);
    // Fewer names than trains: the later trains select nothing rather than a missing entry.
    EXPECT_EQ(setUp.Selection(ui::setup::kDriveType[3]), -1);
}

TEST(ObjectDialogTable, ColumnsAndInitialState)
{
    using namespace ui::objsel;
    const DialogModel objects(ui::ObjectSelectTemplate());
    const auto& list = objects.List(kPlacedList);
    ASSERT_EQ(list.ColumnCount(), 7);
    EXPECT_EQ(list.Column(kColumnNumber).heading, std::string("No") + kAscendingMark);
    for (int column : {kColumnNumber, kColumnX, kColumnY, kColumnZ, kColumnAngle}) {
        EXPECT_EQ(list.Column(column).sort, ui::ColumnSort::Number) << column;
    }
    for (int column : {kColumnName, kColumnKey})
        EXPECT_EQ(list.Column(column).sort, ui::ColumnSort::Text);
    for (int column : {kColumnX, kColumnY, kColumnZ, kColumnAngle}) {
        EXPECT_EQ(list.Column(column).align, ui::ColumnAlign::Right) << column;
    }
    for (int button : kEditButtons)
        EXPECT_FALSE(objects.IsEnabled(button)) << button;
    EXPECT_TRUE(objects.IsEnabled(kClear));
    for (int box = 0; box < 4; ++box)
        EXPECT_EQ(objects.Text(kMoveBoxes[box]), kMoveBoxDefaults[box]);
    EXPECT_EQ(objects.Check(kFocusOnSelection), 0);
}

TEST(MainWindowTable, StartButtonWaitsHidden)
{
    const DialogModel main(ui::MainWindowTemplate());
    EXPECT_EQ(main.Title(), "KORVELA");
    EXPECT_FALSE(main.IsShown(ui::mainwin::kStart));
    EXPECT_EQ(main.Text(ui::mainwin::kStart), "起  動");
}

TEST(MenuTable, TurnoutKeysAreContiguousAfterNone)
{
    const ui::MenuModel menu(ui::MainMenuTemplate());
    ASSERT_EQ(menu.PopupCount(), 5);
    // The edit menu stands between the file and window menus.
    EXPECT_EQ(menu.PopupTitle(1), "編集(&E)");
    EXPECT_EQ(menu.ItemId(1, 0), 32840);
    EXPECT_EQ(menu.ItemId(1, 1), 32841);
    EXPECT_EQ(menu.ItemId(1, 2), 32842);
    EXPECT_EQ(menu.Text(ui::cmd::kLayoutCheck), "レイアウトの点検\tCtrl+L");
    EXPECT_EQ(menu.PopupTitle(2), "ウィンドウ(&W)");
    EXPECT_EQ(menu.PopupTitle(ui::cmd::kTurnoutMenu), "ポイント切り替え(&P)");
    ASSERT_EQ(menu.ItemCount(ui::cmd::kTurnoutMenu), 13);
    EXPECT_EQ(menu.ItemId(ui::cmd::kTurnoutMenu, 0), ui::cmd::kKeyNone);
    for (int key = 0; key < ui::cmd::kTurnoutKeyCount; ++key) {
        EXPECT_EQ(menu.ItemId(ui::cmd::kTurnoutMenu, key + 1), ui::cmd::kKeyFirst + key);
    }
    EXPECT_EQ(ui::cmd::kKeyFirst + ui::cmd::kTurnoutKeyCount - 1, ui::cmd::kKeyLast);
    EXPECT_EQ(menu.Text(ui::cmd::kShowSettings), "設定\tF3");
    EXPECT_EQ(menu.Text(ui::cmd::kHelp), "使い方\tF1");
}

TEST(ToolBarTable, SlotsAsTheMainLoopReadsThem)
{
    const auto slots = ui::MainToolBarTemplate();
    ASSERT_EQ(static_cast<int>(slots.size()), ui::cmd::kToolSlotCount);
    std::vector<int> separators;
    std::set<int> ids;
    for (int slot = 0; slot < static_cast<int>(slots.size()); ++slot) {
        if (slots[slot].kind == ui::ToolKind::Separator) {
            separators.push_back(slot);
            continue;
        }
        EXPECT_TRUE(ids.insert(slots[slot].id).second) << slots[slot].id;
        EXPECT_FALSE(slots[slot].toolTip.empty()) << slot;
    }
    EXPECT_EQ(separators, (std::vector<int>{4, 6, 9, 12, 15, 26}));
    EXPECT_EQ(slots[30].id, ui::cmd::kToolMeasure);
    EXPECT_EQ(slots[2].id, ui::cmd::kToolUndo);
    EXPECT_EQ(slots[3].id, ui::cmd::kToolRedo);
    EXPECT_FALSE(slots[2].state.enabled);
    EXPECT_EQ(slots[ui::cmd::kSlotCreateMap].id, ui::cmd::kToolCreateMap);
    EXPECT_EQ(slots[ui::cmd::kSlotMoveCar].id, ui::cmd::kToolMoveCar);
    EXPECT_EQ(slots[ui::cmd::kSlotMoveTrain].id, ui::cmd::kToolMoveTrain);
    for (int route = 0; route < 10; ++route) {
        const auto& slot = slots[ui::cmd::kSlotFirstPoint + route];
        EXPECT_EQ(slot.id, ui::cmd::kToolPoints[route]);
        EXPECT_EQ(slot.kind, ui::ToolKind::CheckGroup);
    }
    EXPECT_EQ(slots[25].toolTip, "ポイント１０");
    EXPECT_EQ(slots[27].id, ui::cmd::kToolPause);
    EXPECT_EQ(slots[28].id, ui::cmd::kToolFastForward);
    EXPECT_EQ(slots[28].kind, ui::ToolKind::Check);
    EXPECT_EQ(slots[29].id, ui::cmd::kToolWholeLayout);
    EXPECT_EQ(slots[31].id, ui::cmd::kToolOperation);

    const ui::ToolBarModel bar(slots);
    for (int id : {ui::cmd::kToolGrid, ui::cmd::kToolMagnet, ui::cmd::kToolCurveDetection,
                   ui::cmd::kToolHeightDetection}) {
        EXPECT_TRUE(bar.IsChecked(id)) << id;
    }
    for (int id : {ui::cmd::kToolCreateMap, ui::cmd::kToolMoveCar, ui::cmd::kToolMoveTrain}) {
        EXPECT_FALSE(bar.IsChecked(id)) << id;
    }
    EXPECT_TRUE(bar.IsIndeterminate(ui::cmd::kToolPoints[0]));
}

TEST(CommandIds, MenuAndToolBarNeverShareAnId)
{
    const ui::MenuModel menu(ui::MainMenuTemplate());
    std::set<int> menuIds;
    for (int id : menu.Ids())
        EXPECT_TRUE(menuIds.insert(id).second) << "menu id " << id << " twice";
    for (const auto& slot : ui::MainToolBarTemplate()) {
        if (slot.kind != ui::ToolKind::Separator) {
            EXPECT_FALSE(menuIds.contains(slot.id)) << slot.id;
        }
    }
}

TEST(CommandIds, FrontIdsRoundTripAndStayBelowTheToolkitLimit)
{
    const auto& map = ui::CommandIdMap::Main();
    const ui::MenuModel menu(ui::MainMenuTemplate());
    std::vector<int> expected = menu.Ids();
    for (const auto& slot : ui::MainToolBarTemplate()) {
        if (slot.kind != ui::ToolKind::Separator) expected.push_back(slot.id);
    }
    expected.push_back(ui::cmd::kHelpKey);
    EXPECT_EQ(map.Commands().size(), expected.size());

    std::set<int> fronts;
    for (int id : expected) {
        const auto front = map.ToFront(id);
        ASSERT_TRUE(front) << id;
        EXPECT_GE(*front, ui::CommandIdMap::kFirstFrontId);
        EXPECT_LT(*front, 32767);
        EXPECT_TRUE(fronts.insert(*front).second);
        EXPECT_EQ(map.FromFront(*front), id);
    }
    EXPECT_FALSE(map.ToFront(1002));
    EXPECT_FALSE(map.FromFront(ui::CommandIdMap::kFirstFrontId - 1));
    EXPECT_FALSE(map.FromFront(ui::CommandIdMap::kFirstFrontId + static_cast<int>(expected.size())));
}

} // namespace
