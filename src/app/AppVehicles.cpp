#include "app/AppVehicles.h"

#include "app/CSimulatorApp.h"
#include "ui/CommandIds.h"

namespace app {

AppVehicles::AppVehicles(CSimulatorApp& app, VehiclesPort& trains, render::FrameScene& trainScene,
                         layout::CLayoutSurface& surface, std::string profileSection)
    : app_(app), trains_(trains), trainScene_(trainScene), surface_(surface), plane_(profileSection),
      helicopter_(profileSection), car_(std::move(profileSection))
{
}

vehicles::VehicleStartPositions AppVehicles::MapStartPositions(layout::MapVehicles& others)
{
    return vehicles::VehicleStartPositions(plane_, helicopter_, car_, others);
}

std::string AppVehicles::VehicleFolder(Vehicle vehicle) const
{
    switch (vehicle) {
    case Vehicle::Plane:
        return plane_.Folder();
    case Vehicle::Helicopter:
        return helicopter_.Folder();
    case Vehicle::Car:
        return car_.Folder();
    }
    return {};
}

void AppVehicles::SetVehicleFolder(Vehicle vehicle, std::string folder)
{
    switch (vehicle) {
    case Vehicle::Plane:
        plane_.SetFolder(std::move(folder));
        break;
    case Vehicle::Helicopter:
        helicopter_.SetFolder(std::move(folder));
        break;
    case Vehicle::Car:
        car_.SetFolder(std::move(folder));
        break;
    }
}

void AppVehicles::ScanFolder(Vehicle vehicle)
{
    ui::DialogModel& setUp = app_.SetUp().Model();
    gfx::Device* device = app_.Graphics().Device();
    switch (vehicle) {
    case Vehicle::Plane:
        plane_.ScanFolder(setUp, device);
        break;
    case Vehicle::Helicopter:
        helicopter_.ScanFolder(setUp, device);
        break;
    case Vehicle::Car:
        car_.ScanFolder(setUp, device);
        break;
    }
}

void AppVehicles::SelectVehicle(Vehicle vehicle, int index)
{
    const ui::DialogModel& setUp = app_.SetUp().Model();
    gfx::Device* device = app_.Graphics().Device();
    switch (vehicle) {
    case Vehicle::Plane:
        plane_.SelectModel(setUp, index, device);
        break;
    case Vehicle::Helicopter:
        helicopter_.SelectModel(setUp, index, device);
        break;
    case Vehicle::Car:
        car_.SelectModel(setUp, index, device);
        break;
    }
}

void AppVehicles::StoreVehicleHome(Vehicle vehicle)
{
    switch (vehicle) {
    case Vehicle::Plane:
        plane_.StoreHome();
        break;
    case Vehicle::Helicopter:
        helicopter_.StoreHome();
        break;
    case Vehicle::Car:
        car_.StoreHome();
        break;
    }
}

void AppVehicles::UpdateControls(Vehicle vehicle)
{
    const input::CInput& input = app_.Input();
    const ui::DialogModel& setUp = app_.SetUp().Model();
    switch (vehicle) {
    case Vehicle::Plane:
        plane_.UpdateControls(input, setUp);
        app_.OwnLayout().Core().SetAeroplaneVector(plane_.AeroplaneVector());
        break;
    case Vehicle::Helicopter:
        helicopter_.UpdateControls(input, setUp);
        break;
    case Vehicle::Car:
        car_.UpdateControls(input, setUp);
        break;
    }
}

void AppVehicles::FillCameraSources(camera::CameraSources& sources) const
{
    trains_.FillCameraSources(sources);

    sources.plane = {.present = plane_.Loaded(),
                     .position = plane_.Position(),
                     .forward = plane_.Forward(),
                     .up = plane_.Up(),
                     .yaw = plane_.Heading(),
                     .cockpitY = plane_.CockpitY(),
                     .cockpitZ = plane_.CockpitZ()};
    sources.helicopter = {.present = helicopter_.Loaded(),
                          .position = helicopter_.Position(),
                          .forward = helicopter_.Forward(),
                          .up = helicopter_.Up(),
                          .yaw = helicopter_.Heading(),
                          .cockpitY = helicopter_.CockpitY(),
                          .cockpitZ = helicopter_.CockpitZ()};
    // The camera stands on the model's origin, where the driver's seat offsets are measured from.
    sources.car = {.present = car_.Placed(),
                   .position = car_.ModelOrigin(app_.SetUp().Model()),
                   .yaw = car_.Heading(),
                   .driver = car_.DriverSeat()};
}

RoadCarState AppVehicles::RoadCar() const
{
    const math::Vec3 p = car_.Position();
    return {.x = p.x, .y = p.y, .z = p.z, .speed = car_.Speed(), .heading = car_.Heading()};
}

PlaneState AppVehicles::Plane() const
{
    const math::Vec3 p = plane_.Position();
    return {.x = p.x,
            .y = p.y,
            .z = p.z,
            .speed = plane_.Speed(),
            .heading = plane_.Heading(),
            .forward = plane_.Forward(),
            .up = plane_.Up()};
}

HelicopterState AppVehicles::Helicopter() const
{
    const math::Vec3 p = helicopter_.Position();
    return {.x = p.x,
            .y = p.y,
            .z = p.z,
            .velocity = helicopter_.Velocity(),
            .heading = helicopter_.Heading(),
            .forward = helicopter_.Forward(),
            .up = helicopter_.Up()};
}

void AppVehicles::DrawPlane(gfx::Device& device)
{
    plane_.Draw(&device, app_.SetUp().Model(), app_.Camera().Eye());
}

void AppVehicles::DrawHelicopter(gfx::Device& device)
{
    helicopter_.Draw(&device, app_.SetUp().Model(), app_.Camera().Eye());
}

void AppVehicles::DrawRoadCar(gfx::Device& device)
{
    const vehicles::CarGround ground{
        .surface = &surface_,
        .heightDetection = app_.MainDlg().ToolBar().IsChecked(ui::cmd::kToolHeightDetection),
        .editing = app_.MainDlg().EditingMode(),
    };
    car_.Draw(&device, app_.SetUp().Model(), ground, app_.Camera().Eye());
}

} // namespace app
