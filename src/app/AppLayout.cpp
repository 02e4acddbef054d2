#include "app/AppLayout.h"

#include "app/CSimulatorApp.h"
#include "layout/MapFile.h"
#include "platform/VirtualKeys.h"
#include "ui/CommandIds.h"
#include "ui/SetUpTemplate.h"

namespace app {

namespace {

namespace su = ui::setup;
namespace vk = platform::vk;

} // namespace

layout::PickRay RayOf(const PickQuery& query)
{
    return layout::ScreenToWorldRay(query.x, query.y, query.viewport, query.projection, query.view);
}

AppLayout::AppLayout(CSimulatorApp& app, platform::DialogService& dialogs, std::string profileSection)
    : app_(app), layout_(dialogs, std::move(profileSection)), ownMapVehicles_(app.SetUp(), app.Vehicles()),
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

void AppLayout::MapDone()
{
    app_.MainDlg().Window().SetTitle(layout::MapWindowTitle(app_.ExecutableName(), layout_.MapFilePath()));
}

// --- catalogue and map commands

void AppLayout::ScanObjectFolder()
{
    // Rows written from here on carry the labels of the style the settings chose.
    layout_.SetKeyLabelStyle(KeyLabelStyle());
    layout_.ScanObjectFolder(Device(), Catalogue());
}

void AppLayout::ChooseBackground()
{
    layout_.ChooseBackground(Device(), Catalogue());
}

void AppLayout::LoadMap()
{
    layout_.SetKeyLabelStyle(KeyLabelStyle());
    if (layout::LoadMap(layout_, *mapVehicles_, {.device = Device(), .catalogue = Catalogue()}) ==
        layout::MapOutcome::Done)
        MapDone();
}

bool AppLayout::LoadMapFile(const std::string& path)
{
    layout_.SetKeyLabelStyle(KeyLabelStyle());
    const layout::MapOutcome outcome =
        layout::LoadMapFile(layout_, path, *mapVehicles_, {.device = Device(), .catalogue = Catalogue()});
    if (outcome != layout::MapOutcome::Done) return false;
    MapDone();
    return true;
}

void AppLayout::SaveMap()
{
    if (layout::SaveMap(layout_, *mapVehicles_) == layout::MapOutcome::Done) MapDone();
}

void AppLayout::ImportMap()
{
    (void)layout::ImportMap(layout_, RayOf(app_.ViewCentreQuery()));
}

// --- selection and turnouts

camera::SelectedObjectSource AppLayout::SelectedObject() const
{
    return {.present = layout_.HasSelectedObject(), .position = layout_.SelectedPosition()};
}

void AppLayout::PollTurnoutKeys()
{
    (void)layout_.PollTurnoutKeys(app_.Input());
}

void AppLayout::RefreshKeyColumn()
{
    layout_.SetKeyLabelStyle(KeyLabelStyle());
}

// --- picking and dragging

float AppLayout::PickPlacedObject(const PickQuery& query)
{
    const bool ctrl = app_.Input().KeyDown(vk::kControl) != 0;
    return layout_.PickPlacedObject(RayOf(query), ctrl);
}

void AppLayout::RegrabSelected(const PickQuery& query)
{
    layout_.RegrabSelected(RayOf(query));
}

void AppLayout::DragSelected(const PickQuery& query)
{
    if (!layout_.Dragging()) layout_.BeginDrag();
    const input::CInput& input = app_.Input();
    const ui::ToolBarModel& tools = app_.MainDlg().ToolBar();
    const layout::DragFlags flags{.shift = input.KeyDown(vk::kShift) != 0,
                                  .alt = input.KeyDown(vk::kMenu) != 0,
                                  .grid = tools.IsChecked(ui::cmd::kToolGrid),
                                  .magnet = tools.IsChecked(ui::cmd::kToolMagnet),
                                  .reach = static_cast<float>(app_.SetUp().Model().Position(su::kCulling))};
    layout_.DragSelected(RayOf(query), flags);
    if (const std::optional<std::string> status = layout_.SelectedStatus())
        app_.MainDlg().StatusBar().SetText(CMainDlg::kPickPane, *status);
}

void AppLayout::EndDrag()
{
    if (layout_.Dragging()) (void)layout_.EndDrag();
}

// --- read-outs

std::vector<PlacedObjectState> AppLayout::PlacedObjects() const
{
    std::vector<PlacedObjectState> states;
    const auto objects = layout_.Objects();
    states.reserve(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const layout::PlacedObject& object = objects[i];
        states.push_back({.index = static_cast<int>(i),
                          .type = layout_.TypeName(object.type),
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
