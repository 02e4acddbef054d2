// CTrain: the per-car pass of a frame: following the track under each car's probes, culling
// and drawing.
#include "gfx/Device.h"
#include "layout/CLayoutSurface.h"
#include "math/Matrix.h"
#include "math/ViewVolume.h"
#include "vehicles/CTrain.h"

#include <cmath>

namespace vehicles {

namespace {

// Sums of probe distances smaller than this give no usable lever.
constexpr float kMinimumLever = 1.0e-6f;

// The probes are raised by this much before they look for the track's centre line.
constexpr float kGuideLift = 0.5f;

} // namespace

void CTrain::FollowTrack(layout::CLayoutSurface& surface, const FollowControls& controls)
{
    surface.Refresh();
    for (TrainCar& car : std::span<TrainCar>(cars_).first(CarCount()))
        FollowCar(car, surface, controls);
}

void CTrain::FollowCar(TrainCar& car, layout::CLayoutSurface& surface, const FollowControls& controls)
{
    const float front = car.frontProbe;
    const float rear = car.rearProbe;
    // The probes use the pose the car has now; the curve step below therefore combines the
    // new height with this pitch.
    const math::Matrix turn = math::RotationX(-car.pitch) * math::RotationY(car.yaw);
    const math::Vec3 frontOffset = math::TransformNormal({0.0f, 0.0f, front}, turn);
    const math::Vec3 rearOffset = math::TransformNormal({0.0f, 0.0f, rear}, turn);
    const math::Vec3 frontProbe = car.position + frontOffset;
    const math::Vec3 rearProbe = car.position - rearOffset;
    const int below = surface.FindObjectBelow(frontProbe);
    const int belowRear = surface.FindObjectBelow(rearProbe);
    car.below = below;
    car.belowRear = belowRear;

    // A standing train keeps its pose unless an edit tool is moving it.
    if (!controls.editTool && speed_ == 0.0f) return;

    const float lever = front + rear;
    // Probes whose distances cancel (1 and -1) both sit at one point: the lever has no length,
    // and settling there would jump the car ahead every frame. It keeps its pose instead.
    if (std::fabs(lever) < kMinimumLever && front != rear) return;
    // Equal probes take the mean of the two values.
    const bool mean = front == rear;
    if (controls.heightDetection) {
        const float frontHeight = surface.HeightAt(below, frontProbe);
        const float rearHeight = surface.HeightAt(belowRear, rearProbe);
        car.position.y =
            mean ? (frontHeight + rearHeight) * 0.5f : rearHeight + rear * (frontHeight - rearHeight) / lever;
        car.pitch = std::atan2(frontHeight - rearHeight, lever);
    }
    if (controls.curveDetection) {
        const math::Vec3 lift{0.0f, kGuideLift, 0.0f};
        const math::Vec3 frontGuide = surface.GuidePoint(below, car.position + frontOffset + lift, car.yaw);
        const math::Vec3 rearGuide = surface.GuidePoint(belowRear, car.position - rearOffset + lift, car.yaw);
        car.guideFront = frontGuide;
        car.guideRear = rearGuide;
        if (mean) {
            car.position.x = (frontGuide.x + rearGuide.x) * 0.5f;
            car.position.z = (frontGuide.z + rearGuide.z) * 0.5f;
        } else {
            car.position.x = rearGuide.x + rear * (frontGuide.x - rearGuide.x) / lever;
            car.position.z = rearGuide.z + rear * (frontGuide.z - rearGuide.z) / lever;
        }
        // Two guide points in one place give no direction: the car keeps its heading.
        if (frontGuide.x != rearGuide.x || frontGuide.z != rearGuide.z)
            car.yaw = std::atan2(frontGuide.x - rearGuide.x, frontGuide.z - rearGuide.z);
    }
}

bool CTrain::Visible(const TrainCar& car, const math::ViewVolume& volume, const CullView& view) const
{
    // The sphere's centre turns with the car's heading and sits as low as the car is drawn.
    math::Vec3 centre = math::TransformCoord(car.sphere.center, math::RotationY(car.yaw)) + car.position;
    centre.y -= verticalOffset_;
    if (volume.Outside(centre, car.sphere.radius)) return false;
    // Whole units: a car exactly at the culling distance is still drawn.
    return math::Length(car.position - view.eye) <= view.cullingDistance;
}

bool CTrain::IsCarVisible(int index, const CullView& view) const
{
    if (index < 0 || index > lastCar_) return false;
    return Visible(cars_[static_cast<std::size_t>(index)],
                   math::ViewVolume(view.viewport, view.projection, view.view), view);
}

void CTrain::DrawCar(gfx::Device& device, const TrainCar& car) const
{
    const math::Matrix world =
        math::RotationY(car.modelAngle) * math::RotationX(-car.pitch) * math::RotationY(car.yaw) *
        math::Translation(car.position.x, car.position.y - verticalOffset_, car.position.z);
    device.SetTransform(gfx::TransformKind::World, world);
    model::DrawMesh(&device, car.model, model::kAllSubsets, false, false, 1.0f);
}

void CTrain::DrawCars(gfx::Device* device, const CullView& view, bool shown) const
{
    if (!device || !Runs(shown)) return;
    const math::ViewVolume volume(view.viewport, view.projection, view.view);
    for (const TrainCar& car : Cars()) {
        if (Visible(car, volume, view)) DrawCar(*device, car);
    }
}

} // namespace vehicles
