#include "app/AppLayout.h"

#include "app/CSimulatorApp.h"
#include "layout/MapFile.h"
#include "platform/DialogService.h"
#include "platform/Paths.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/SetUpTemplate.h"

namespace app {

namespace {

namespace su = ui::setup;
namespace vk = platform::vk;

// The file chooser of the map commands: "*.txt" files, ".txt" added to a bare name. Opening
// hides read-only files, keeps the working folder and wants an existing file; saving asks
// nothing before replacing a file.
platform::FileRequest MapFileRequest(std::string_view title, const std::string& initialFile, bool opening)
{
    platform::FileRequest request{.title = std::string(title),
                                  .defaultExtension = ".txt",
                                  .initialFile = initialFile,
                                  .filters = platform::ParseFileFilter("*.txt|*.txt|*.*|*.*||")};
    if (opening) request.options = {.hideReadOnly = true, .keepCurrentFolder = true, .fileMustExist = true};
    return request;
}

platform::MessageIcon IconOf(layout::MapMessage::Kind kind)
{
    switch (kind) {
    case layout::MapMessage::Kind::Warning: return platform::MessageIcon::Warning;
    case layout::MapMessage::Kind::Error: return platform::MessageIcon::Error;
    case layout::MapMessage::Kind::Note: break;
    }
    return platform::MessageIcon::None;
}

} // namespace

layout::PickRay RayOf(const PickQuery& query)
{
    return layout::ScreenToWorldRay(query.x, query.y, query.viewport, query.projection, query.view);
}

AppLayout::AppLayout(CSimulatorApp& app, platform::DialogService& dialogs, std::string profileSection)
    : app_(app), dialogs_(dialogs), layout_(std::move(profileSection)), ownMapVehicles_(app.SetUp(), app.Vehicles()),
      mapVehicles_(&ownMapVehicles_)
{
    // The object dialog's lists are the catalogue and the selection from now on.
    layout_.BindObjectDialog(app_.ObjectSelect().Model());
    layout_.BindMenu(&app_.MainDlg().Menu());
    layout_.SetListener(this);
}

AppLayout::~AppLayout()
{
    layout_.SetListener(nullptr);
}

gfx::Device* AppLayout::Device() const
{
    return app_.Graphics().Device();
}

layout::CatalogueOptions AppLayout::Catalogue() const
{
    return {.removeVertexColours = app_.SetUp().Model().IsChecked(su::kStripVertexColours)};
}

int AppLayout::KeyLabelStyle() const
{
    return app_.SetUp().Model().Selection(su::kSpriteStyle);
}

void AppLayout::Show(const layout::MapResult& result)
{
    for (const layout::MapMessage& message : result.messages)
        dialogs_.ShowMessage({.text = message.text, .icon = IconOf(message.kind)});
}

void AppLayout::MapDone()
{
    app_.MainDlg().Window().SetTitle(
        layout::MapWindowTitle(app_.ExecutableName(), layout_.MapFilePath(), layout_.PlaceholderCount()));
    hasFile_ = true;
    app_.MapFileUsed(layout_.MapFilePath());
}

// --- catalogue and map commands

void AppLayout::ScanObjectFolder()
{
    // Rows written from here on carry the labels of the style the settings chose.
    layout_.Placed().SetKeyLabelStyle(KeyLabelStyle());
    // The objects of the old folder go as an edit, so that the change can be undone.
    const platform::Status scanned = layout_.ScanObjectFolder(Device(), Catalogue(), true);
    if (!scanned) dialogs_.ShowMessage({.text = scanned.error(), .icon = platform::MessageIcon::Warning});
}

int AppLayout::LoadMissingTypes()
{
    const int came = layout_.LoadMissingTypes(Device(), Catalogue());
    if (came > 0)
        app_.MainDlg().Window().SetTitle(
            layout::MapWindowTitle(app_.ExecutableName(), layout_.MapFilePath(), layout_.PlaceholderCount()));
    return came;
}

void AppLayout::ChooseBackground()
{
    layout::ObjectCatalogue& catalogue = layout_.Catalogue();
    platform::FileRequest request;
    request.title = "背景データの読込み（フォルダの変更禁止）";
    request.defaultExtension = ".x";
    request.initialFile = catalogue.ObjectFolder() + catalogue.BackgroundName() + ".x";
    request.filters = platform::ParseFileFilter("*.x|*.x|*.*|*.*||");
    request.options.hideReadOnly = true;
    request.options.keepCurrentFolder = true;
    request.options.fileMustExist = true;
    const std::optional<std::string> chosen = dialogs_.ChooseFileToOpen(request);
    if (!chosen) return;
    // Only the name counts: the background always comes from the object folder.
    catalogue.SetBackgroundName(platform::SplitPath(*chosen).name);
    catalogue.LoadBackground(Device(), Catalogue());
}

void AppLayout::LoadMap()
{
    const std::optional<std::string> path = dialogs_.ChooseFileToOpen(
        MapFileRequest(layout::mapmsg::kLoadTitle, layout_.MapFilePath(), true));
    if (path) (void)LoadMapFile(*path);
}

bool AppLayout::LoadMapFile(const std::string& path)
{
    // A load that fails leaves the open layout as it was, its file included.
    layout_.Placed().SetKeyLabelStyle(KeyLabelStyle());
    const layout::MapResult result =
        layout::LoadMapFile(layout_, path, *mapVehicles_, {.device = Device(), .catalogue = Catalogue()});
    Show(result);
    if (!result.Done()) return false;
    MapDone();
    return true;
}

void AppLayout::SaveMap()
{
    const std::optional<std::string> path = dialogs_.ChooseFileToSave(
        MapFileRequest(layout::mapmsg::kSaveTitle, layout_.MapFilePath(), false));
    if (path) SaveMapTo(*path);
}

void AppLayout::SaveMapOver()
{
    if (hasFile_)
        SaveMapTo(layout_.MapFilePath());
    else
        SaveMap();
}

void AppLayout::SaveMapTo(const std::string& path)
{
    // The object folder of a map is its own folder: saved where the objects it uses are not,
    // it could not be loaded back.
    const int missing = layout::CountTypesMissingIn(layout_, platform::SplitPath(path).folder);
    if (missing > 0 &&
        dialogs_.ShowMessage({.text = layout::MissingTypesQuestion(missing),
                              .icon = platform::MessageIcon::Warning,
                              .buttons = platform::MessageButtons::YesNo,
                              .labels = {"このまま保存", "キャンセル"}}) != platform::MessageAnswer::Yes)
        return;
    const layout::MapResult result = layout::SaveMapFile(layout_, path, *mapVehicles_);
    Show(result);
    if (result.Done()) MapDone();
}

void AppLayout::ImportMap()
{
    const std::optional<std::string> path = dialogs_.ChooseFileToOpen(
        MapFileRequest(layout::mapmsg::kImportTitle, layout_.MapFilePath(), true));
    if (path) Show(layout::ImportMapFile(layout_, *path, RayOf(app_.ViewCentreQuery())));
}

// --- selection and turnouts

camera::SelectedObjectSource AppLayout::SelectedObject() const
{
    return {.present = layout_.Selection().HasPrimary(), .position = layout_.Selection().PrimaryPosition()};
}

void AppLayout::PollTurnoutKeys()
{
    (void)layout_.Placed().PollTurnoutKeys(app_.Input());
}

void AppLayout::RefreshKeyColumn()
{
    layout_.Placed().SetKeyLabelStyle(KeyLabelStyle());
}

// --- picking and dragging

float AppLayout::PickPlacedObject(const PickQuery& query)
{
    const bool ctrl = app_.Input().KeyDown(vk::kControl) != 0;
    // What the click hit is a question; taking hold of it is the click's answer.
    const layout::PickRay ray = RayOf(query);
    return layout_.Drag().PickPlacedObject(ray, layout_.FindPickHit(ray), ctrl);
}

void AppLayout::RegrabSelected(const PickQuery& query)
{
    layout_.Drag().RegrabSelected(RayOf(query));
}

void AppLayout::DragSelected(const PickQuery& query)
{
    if (!layout_.Drag().Dragging()) layout_.Drag().BeginDrag();
    const input::CInput& input = app_.Input();
    const ui::ToolBarModel& tools = app_.MainDlg().ToolBar();
    const layout::DragFlags flags{.shift = input.KeyDown(vk::kShift) != 0,
                                  .alt = input.KeyDown(vk::kMenu) != 0,
                                  .grid = tools.IsChecked(ui::cmd::kToolGrid),
                                  .magnet = tools.IsChecked(ui::cmd::kToolMagnet),
                                  .reach = static_cast<float>(app_.SetUp().Model().Position(su::kCulling))};
    layout_.Drag().DragSelected(RayOf(query), flags);
    if (const std::optional<std::string> status = layout_.Selection().Status())
        app_.MainDlg().StatusBar().SetText(CMainDlg::kPickPane, *status);
}

void AppLayout::EndDrag()
{
    if (layout_.Drag().Dragging()) (void)layout_.Drag().EndDrag();
}

// --- edit history

// A drag still open (its release not yet seen) is recorded first, then undone like any edit.
bool AppLayout::Undo()
{
    return layout_.Undo();
}

bool AppLayout::Redo()
{
    return layout_.Redo();
}

std::string AppLayout::UndoLabel() const
{
    const layout::LayoutEdit* edit = layout_.History().NextUndo();
    return edit ? edit->Label() : std::string();
}

std::string AppLayout::RedoLabel() const
{
    const layout::LayoutEdit* edit = layout_.History().NextRedo();
    return edit ? edit->Label() : std::string();
}

HistoryState AppLayout::History() const
{
    const layout::EditHistory& history = layout_.History();
    return {.undo = static_cast<int>(history.UndoCount()),
            .redo = static_cast<int>(history.RedoCount()),
            .changed = history.Changed(),
            .commands = history.Generation()};
}

std::string AppLayout::MapText() const
{
    return layout::MapFileText(layout_, *mapVehicles_);
}

bool AppLayout::RestoreMap(const std::string& mapPath, const std::string& text)
{
    layout_.Placed().SetKeyLabelStyle(KeyLabelStyle());
    const layout::MapResult result =
        layout::RestoreMapText(layout_, mapPath, text, *mapVehicles_, {.device = Device(), .catalogue = Catalogue()});
    Show(result);
    if (!result.Done()) return false;
    app_.MainDlg().Window().SetTitle(
        layout::MapWindowTitle(app_.ExecutableName(), layout_.MapFilePath(), layout_.PlaceholderCount()));
    // What was restored is no file's yet: "上書き保存" asks where it goes.
    hasFile_ = false;
    return true;
}

// --- read-outs

std::vector<PlacedObjectState> AppLayout::PlacedObjects() const
{
    std::vector<PlacedObjectState> states;
    const auto objects = layout_.Placed().All();
    states.reserve(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const layout::PlacedObject& object = objects[i];
        states.push_back({.index = static_cast<int>(i),
                          .type = layout_.Catalogue().TypeName(object.type),
                          .x = object.x,
                          .y = object.y,
                          .z = object.z,
                          .angle = object.angle,
                          .route = object.route,
                          .key = object.key});
    }
    return states;
}

// --- what the layout tells the windows

void AppLayout::ObjectCountChanged(int count)
{
    app_.ObjectSelect().ShowObjectCount(count);
}

void AppLayout::TurnoutControlsChanged()
{
    app_.RefreshTurnoutControls();
}

} // namespace app
