// Small pieces of motion, culling and read-out that the road car, the aeroplane and the
// helicopter share: the speed decay, turning a vector by a quaternion about an axis, the view
// and distance tests before drawing, and the texts of the overlay lines.
#pragma once

#include "math/Quaternion.h"
#include "math/Vector.h"

#include <optional>
#include <string>

namespace gfx {
class Device;
}
namespace model {
struct MeshSphere;
}
namespace ui {
class DialogModel;
}

namespace vehicles {

// Angles in radians as the original's single-precision constants give them.
inline constexpr float kOneDegree = 0.017453292f;
inline constexpr float kQuarterDegree = 0.0043633231f;
inline constexpr float kFourDegrees = 0.06981317f;
inline constexpr float kPointFourDegrees = 0.0069813174f;
inline constexpr float kPointOneDegree = 0.0017453294f;
inline constexpr float kHalfDegree = 0.008726646f;
inline constexpr float kHundredthDegree = 0.00017453292f;

// The speed after one frame without "減速しない": 0.0001 towards zero, then zero within
// ±0.0001 (0.00015 becomes 0 in one frame).
float DecayedSpeed(float speed);

// The rotation by radians about axis, or nothing when the axis is (nearly) zero: the rotation
// about a zero axis is no rotation at all but would shrink whatever it is applied to.
std::optional<math::Quaternion> AxisRotation(math::Vec3 axis, float radians);

// v turned by the rotation q (through its matrix, as the original turned vectors).
math::Vec3 Rotate(math::Vec3 v, const math::Quaternion& q);

// Radians about the vertical axis of a direction: 0 faces +z, pi/2 faces +x.
float HeadingOf(math::Vec3 direction);

// The frame's view volume, from the device's viewport, view and projection: a sphere lies
// outside when its centre is farther than its radius beyond any of the six planes.
bool OutsideView(const gfx::Device& device, math::Vec3 centre, float radius);

// The settings dialog's "ｶﾘﾝｸﾞ" distance is smaller than the distance from the eye.
bool BeyondCulling(const ui::DialogModel& setUp, math::Vec3 eye, math::Vec3 position);

// Both tests for a model's bounding sphere at position, its centre turned by heading (radians
// about y) only: beyond the culling distance from the eye, or outside the view.
bool Culled(const gfx::Device& device, const ui::DialogModel& setUp, math::Vec3 eye,
            const model::MeshSphere& sphere, math::Vec3 position, float heading);

// "減速しない" is checked.
bool NoDeceleration(const ui::DialogModel& setUp);
// "頂点カラーの削除" is checked.
bool RemoveVertexColours(const ui::DialogModel& setUp);

// The overlay texts: speed × 200 truncated + "km/h" (-0.02 gives "-3km/h"), height truncated +
// "m", heading in whole degrees truncated + "'" (facing +x gives "89'"). Any float is safe here:
// values beyond the int range show the nearest int limit.
std::string SpeedText(float speed);
std::string AltitudeText(float height);
std::string AngleText(math::Vec3 forward);

} // namespace vehicles
