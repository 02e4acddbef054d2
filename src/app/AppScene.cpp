#include "app/AppScene.h"

#include "app/AppVehicles.h"
#include "app/CSimulatorApp.h"
#include "layout/CheckMarkers.h"
#include "layout/LayoutRenderer.h"
#include "render/OperationText.h"
#include "ui/CommandIds.h"
#include "ui/SetUpTemplate.h"

#include <array>

namespace app {

namespace {

namespace su = ui::setup;

int TrainBox(int slot)
{
    return su::kTrainModel[static_cast<std::size_t>(slot - 1)];
}

} // namespace

AppScene::AppScene(CSimulatorApp& app, const layout::CLayout& layout, const AppVehicles& vehicles)
    : app_(app), layout_(layout), vehicles_(vehicles)
{
}

void AppScene::DrawBackground(gfx::Device& device)
{
    layout::DrawBackground(&device, layout_, app_.SetUp().Model());
}

void AppScene::DrawCars(gfx::Device& device, int slot)
{
    const vehicles::CTrain* train = vehicles_.Slot(slot);
    if (!train) return;
    const ui::DialogModel& setUp = app_.SetUp().Model();
    const gfx::DeviceState& state = device.State();
    const vehicles::CullView view{.view = state.Transform(gfx::TransformKind::View),
                                  .projection = state.Transform(gfx::TransformKind::Projection),
                                  .viewport = state.viewport,
                                  .eye = app_.Camera().Eye(),
                                  .cullingDistance = static_cast<float>(setUp.Position(su::kCulling))};
    train->DrawCars(&device, view, setUp.Selection(TrainBox(slot)) != 0);
}

void AppScene::DrawPlacedObjects(gfx::Device& device, int pass)
{
    // Selected objects carry the wire highlight only while the map is being made.
    const bool mapEditing = app_.MainDlg().ToolBar().IsChecked(ui::cmd::kToolCreateMap);
    layout::DrawPlacedObjects(&device, layout_, pass, app_.SetUp().Model(), app_.Camera().Eye(), mapEditing,
                              placedDraw_);
}

void AppScene::DrawPlane(gfx::Device& device)
{
    vehicles_.CorePlane().Draw(&device, app_.SetUp().Model(), app_.Camera().Eye());
}

void AppScene::DrawHelicopter(gfx::Device& device)
{
    vehicles_.CoreHelicopter().Draw(&device, app_.SetUp().Model(), app_.Camera().Eye());
}

void AppScene::DrawRoadCar(gfx::Device& device)
{
    vehicles_.CoreCar().Draw(&device, app_.SetUp().Model(), app_.Camera().Eye());
}

void AppScene::DrawLineOverlay(gfx::Device& device)
{
    const math::Vec3 plane = vehicles_.CorePlane().Position();
    layout::DrawLineOverlay(&device, layout_, plane);
}

void AppScene::DrawKeyLabels(gfx::Device& device, float pointSize)
{
    const ui::DialogModel& setUp = app_.SetUp().Model();
    std::array<render::TrainLabels, render::CSpriteLabels::kTrainSlots> trains{};
    for (int slot = 1; slot <= render::CSpriteLabels::kTrainSlots; ++slot) {
        const vehicles::CTrain* train = vehicles_.Slot(slot);
        if (!train) continue;
        render::TrainLabels& labels = trains[static_cast<std::size_t>(slot - 1)];
        labels.shown = setUp.Selection(TrainBox(slot)) != 0;
        labels.driveType = setUp.Selection(su::kDriveType[static_cast<std::size_t>(slot - 1)]);
        labels.points = {train->LeadPoint(vehicles::LeadPointKind::Rear),
                         train->LeadPoint(vehicles::LeadPointKind::Front),
                         train->LeadPoint(vehicles::LeadPointKind::Middle)};
    }
    labels_.Draw(device, pointSize, trains, layout_.Placed().All());
}

std::string AppScene::TrainSpeedText(int slot) const
{
    const vehicles::CTrain* train = vehicles_.Slot(slot);
    return train ? train->SpeedText() : "0km/h";
}

std::string AppScene::TrainStateText(int slot) const
{
    const operation::Operation& operation = app_.Operation();
    if (!operation.InUse() || !vehicles_.TrainRuns(slot)) return {};
    return render::TrainStateText(operation.Status(slot), operation.Deadlock());
}

std::string AppScene::CarSpeedText() const
{
    return vehicles_.CoreCar().SpeedText();
}

std::string AppScene::PlaneSpeedText() const
{
    return vehicles_.CorePlane().SpeedText();
}

std::string AppScene::PlaneAltitudeText() const
{
    return vehicles_.CorePlane().AltitudeText();
}

std::string AppScene::PlaneAngleText() const
{
    return vehicles_.CorePlane().AngleText();
}

std::string AppScene::HelicopterSpeedText() const
{
    return vehicles_.CoreHelicopter().SpeedText();
}

std::string AppScene::HelicopterAltitudeText() const
{
    return vehicles_.CoreHelicopter().AltitudeText();
}

bool AppScene::HasCheckMarkers() const
{
    return !app_.LayoutCheck().Markers().empty() || !app_.TrackEndMarkers().empty() || app_.Ruler().First() ||
           (app_.OperationWindow().Dialog().IsVisible() && !app_.Operation().Settings().stops.empty());
}

void AppScene::DrawCheckMarkers(gfx::Device& device)
{
    layout::DrawCheckMarkers(&device, layout_, app_.LayoutCheck().Markers());
    // The open ends of the selected piece, while the map is being built.
    layout::DrawMarkerLines(&device, app_.TrackEndMarkers());
    layout::DrawMarkerLines(&device, app_.Ruler().Lines());
    layout::DrawMarkerLines(&device, app_.StopMarkers());
}

std::optional<render::PreviewSubject> AppScene::PreviewType() const
{
    const layout::ObjectType* type = layout_.Catalogue().FindType(layout_.CatalogueSelection());
    if (!type) return std::nullopt;
    return render::PreviewSubject{type->sphere.center, type->sphere.radius};
}

void AppScene::DrawPreview(gfx::Device& device)
{
    layout::DrawPreview(&device, layout_);
}

void AppScene::LoadKeyLabels(gfx::Device& device, int style)
{
    labels_.Load(device, app_.ExecutableFolder(), style);
}

} // namespace app
