#include "vehicles/VehicleMotion.h"

#include "gfx/Device.h"
#include "math/Matrix.h"
#include "math/Numeric.h"
#include "math/ViewVolume.h"
#include "model/MeshBounds.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"

#include <cmath>

namespace vehicles {

namespace {

constexpr float kDecayStep = 0.0001f;
// Shorter axes than this count as none. Every axis the vehicles use is a unit vector or the
// cross product of two unit vectors, so this is only reached when they are (almost) parallel.
constexpr float kMinAxisLength = 1e-6f;

} // namespace

float DecayedSpeed(float speed)
{
    if (speed > 0.0f) speed -= kDecayStep;
    if (speed < 0.0f) speed += kDecayStep;
    if (speed >= -kDecayStep && speed <= kDecayStep) speed = 0.0f;
    return speed;
}

std::optional<math::Quaternion> AxisRotation(math::Vec3 axis, float radians)
{
    if (!(math::Length(axis) >= kMinAxisLength)) return std::nullopt;
    return math::QuaternionRotationAxis(axis, radians);
}

math::Vec3 Rotate(math::Vec3 v, const math::Quaternion& q)
{
    const math::Vec4 turned = math::Transform(v, math::RotationQuaternion(q));
    return {turned.x, turned.y, turned.z};
}

float HeadingOf(math::Vec3 direction)
{
    return std::atan2(direction.x, direction.z);
}

bool OutsideView(const gfx::Device& device, math::Vec3 centre, float radius)
{
    // The same six planes the placed objects are culled against.
    const gfx::DeviceState& state = device.State();
    const math::ViewVolume volume(state.viewport, state.Transform(gfx::TransformKind::Projection),
                                  state.Transform(gfx::TransformKind::View));
    return volume.Outside(centre, radius);
}

bool BeyondCulling(const ui::DialogModel& setUp, math::Vec3 eye, math::Vec3 position)
{
    return static_cast<float>(setUp.Position(ui::setup::kCulling)) < math::Length(position - eye);
}

bool Culled(const gfx::Device& device, const ui::DialogModel& setUp, math::Vec3 eye,
            const model::MeshSphere& sphere, math::Vec3 position, float heading)
{
    const math::Vec4 turned = math::Transform(sphere.center, math::RotationY(heading));
    const math::Vec3 centre = math::Vec3{turned.x, turned.y, turned.z} + position;
    return BeyondCulling(setUp, eye, position) || OutsideView(device, centre, sphere.radius);
}

bool NoDeceleration(const ui::DialogModel& setUp)
{
    return setUp.IsChecked(ui::setup::kNoDeceleration);
}

bool RemoveVertexColours(const ui::DialogModel& setUp)
{
    return setUp.IsChecked(ui::setup::kStripVertexColours);
}

std::string SpeedText(float speed)
{
    return std::to_string(math::SpeedToKmh(speed)) + "km/h";
}

std::string AltitudeText(float height)
{
    return std::to_string(math::ClampToInt(height)) + "m";
}

std::string AngleText(math::Vec3 forward)
{
    return std::to_string(math::RadiansToWholeDegrees(HeadingOf(forward))) + "'";
}

} // namespace vehicles
