#include "vehicles/CHelicopter.h"

#include "input/CInput.h"
#include "math/Vector.h"
#include "platform/VirtualKeys.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"
#include "vehicles/VehicleMotion.h"

#include <cmath>

namespace vehicles {

namespace {

namespace vk = platform::vk;
namespace su = ui::setup;

constexpr float kPi = 3.141592654f;
constexpr float kPush = 0.002f;
constexpr float kDrag = 0.0002f;
// The body leans only while the forward speed stays inside ±0.3 and the lateral inside ±0.45.
constexpr float kPitchBand = 0.3f;
constexpr float kRollBand = 0.45f;
// The nose stops leaning this close to the vertical (the sine of the angle left, about 0.006°).
constexpr float kMinLeanAxis = 1e-4f;

// Horizontal speed, the length of the horizontal forward direction and the cosine between the
// two; nothing where the cosine is undefined.
struct Horizontal {
    float speed;
    float cosine;
};

std::optional<Horizontal> HorizontalOf(math::Vec3 velocity, math::Vec3 forward)
{
    const float s = std::sqrt(velocity.x * velocity.x + velocity.z * velocity.z);
    const float flat = std::sqrt(forward.x * forward.x + forward.z * forward.z);
    // Undefined speeds must never reach the pose, so they are not even computed.
    if (!(s > 0.0f) || !(flat > 0.0f)) return std::nullopt;
    const float q = ((velocity.x * forward.x + velocity.z * forward.z) / flat) / s;
    if (std::isnan(q)) return std::nullopt;
    return Horizontal{s, q};
}

} // namespace

std::optional<float> ForwardSpeed(math::Vec3 velocity, math::Vec3 forward)
{
    const auto h = HorizontalOf(velocity, forward);
    if (!h) return std::nullopt;
    const float a = h->cosine >= 1.0f ? 0.0f : h->cosine <= -1.0f ? kPi : std::acos(h->cosine);
    return h->speed * std::cos(a);
}

std::optional<float> LateralSpeed(math::Vec3 velocity, math::Vec3 forward, const math::Vec3* up)
{
    const auto h = HorizontalOf(velocity, forward);
    // Not clamped: rounding just outside -1..1 leaves it undefined.
    if (!h || h->cosine > 1.0f || h->cosine < -1.0f) return std::nullopt;
    float lateral = h->speed * std::sin(std::acos(h->cosine));
    if (up) {
        const math::Vec3 n = math::Cross({forward.x, 0.0f, forward.z}, *up);
        const float length = math::Length(n);
        // n points to the keypad-4 side for up = +y.
        if (length > 0.0f && ((n.x * velocity.x + n.y * 0.0f + n.z * velocity.z) / length) / h->speed > 0.0f)
            lateral = -lateral;
    }
    return lateral;
}

CHelicopter::CHelicopter(std::string profileSection) : body_(std::move(profileSection), kInitialHome) {}

void CHelicopter::ScanFolder(ui::DialogModel& setUp, gfx::Device* device)
{
    if (body_.ListModels(setUp, su::kHelicopterModel)) SelectModel(setUp, 0, device);
}

void CHelicopter::SelectModel(const ui::DialogModel& setUp, int index, gfx::Device* device)
{
    if (const std::string* name = FlyerBody::ModelName(setUp, su::kHelicopterModel, index))
        (void)LoadModel(device, *name, RemoveVertexColours(setUp));
}

platform::Status CHelicopter::LoadModel(gfx::Device* device, const std::string& name,
                                        bool removeVertexColours)
{
    if (platform::Status loaded = body_.Load(device, name, removeVertexColours); !loaded) return loaded;
    position_ = body_.Home();
    velocity_ = {};
    forward_ = {0.0f, 0.0f, 1.0f};
    up_ = {0.0f, 1.0f, 0.0f};
    return platform::Ok{};
}

float CHelicopter::Heading() const
{
    return HeadingOf(forward_);
}

std::optional<math::Quaternion> CHelicopter::Lean(float radians)
{
    const math::Vec3 axis = math::Cross(forward_, up_);
    const auto q = AxisRotation(axis, radians);
    if (!q) return std::nullopt;
    // The nose may come close to the vertical but never reach or pass it: there the pitch axis
    // vanishes, the heading is lost and the body could never level out again. So a lean that
    // would get there is left out, and the lean stops just short of the vertical.
    const math::Vec3 turned = Rotate(forward_, *q);
    const math::Vec3 turnedAxis = math::Cross(turned, up_);
    if (math::Length(turnedAxis) < kMinLeanAxis || math::Dot(turnedAxis, axis) <= 0.0f) return std::nullopt;
    forward_ = turned;
    return q;
}

void CHelicopter::Steer(const input::CInput& input)
{
    // Forward and back: the push is along the heading; the nose dips (or rises) only while
    // the forward speed is small.
    float h = Heading();
    if (input.KeyDown(vk::kNumpad8)) {
        velocity_.z += std::cos(h) * kPush;
        velocity_.x += std::sin(h) * kPush;
        const auto f = ForwardSpeed(velocity_, forward_);
        if (f && -kPitchBand < *f && *f < kPitchBand)
            if (const auto q = Lean(-kPointOneDegree)) body_.SetPitch(*q);
    } else if (input.KeyDown(vk::kNumpad2)) {
        velocity_.z -= std::cos(h) * kPush;
        velocity_.x -= std::sin(h) * kPush;
        const auto f = ForwardSpeed(velocity_, forward_);
        if (f && -kPitchBand < *f && *f < kPitchBand)
            if (const auto q = Lean(kPointOneDegree)) body_.SetPitch(*q);
    }

    // Sideways: the roll only turns the drawn body.
    h = Heading();
    if (input.KeyDown(vk::kNumpad4)) {
        velocity_.x -= std::cos(h) * kPush;
        velocity_.z += std::sin(h) * kPush;
        const auto l = LateralSpeed(velocity_, forward_);
        if (l && -kRollBand < *l && *l < kRollBand)
            if (const auto q = AxisRotation(forward_, kPointOneDegree)) body_.SetRoll(*q);
    } else if (input.KeyDown(vk::kNumpad6)) {
        velocity_.x += std::cos(h) * kPush;
        velocity_.z -= std::sin(h) * kPush;
        const auto l = LateralSpeed(velocity_, forward_);
        if (l && -kRollBand < *l && *l < kRollBand)
            if (const auto q = AxisRotation(forward_, -kPointOneDegree)) body_.SetRoll(*q);
    }

    // Turning carries the motion along: a helicopter flying forward keeps flying forward.
    std::optional<float> turn;
    if (input.KeyDown(vk::kNumpad1))
        turn = -kHalfDegree;
    else if (input.KeyDown(vk::kNumpad3))
        turn = kHalfDegree;
    if (turn) {
        if (const auto q = AxisRotation(up_, *turn)) {
            body_.SetYaw(*q);
            forward_ = Rotate(forward_, *q);
            velocity_ = Rotate(velocity_, *q);
        }
    }

    if (input.KeyDown(vk::kAdd))
        velocity_.y += kPush;
    else if (input.KeyDown(vk::kSubtract))
        velocity_.y -= kPush;

    if (input.KeyDown(vk::kNumpad5)) velocity_ = {};
}

void CHelicopter::DragAndLevel()
{
    // The forward speed of the frame's start decides both the drag and the levelling.
    const auto f = ForwardSpeed(velocity_, forward_);
    float h = Heading();
    std::optional<math::Quaternion> r;
    if (f && *f > 0.0f) {
        velocity_.z -= std::cos(h) * kDrag;
        velocity_.x -= std::sin(h) * kDrag;
        if (*f < kPitchBand) r = Lean(kHundredthDegree);
    }
    if (f && *f < 0.0f) {
        velocity_.z += std::cos(h) * kDrag;
        velocity_.x += std::sin(h) * kDrag;
        if (*f > -kPitchBand) r = Lean(-kHundredthDegree);
    }
    if (r) body_.SetPitch(math::Multiply(body_.Pitch(), *r));

    // The drag does not stop at zero: a residual speed below one step changes sign every frame
    // and its levelling rotations cancel.
    const auto l = LateralSpeed(velocity_, forward_, &up_);
    h = Heading();
    std::optional<math::Quaternion> s;
    if (l && *l < 0.0f) {
        velocity_.x += std::cos(h) * kDrag;
        velocity_.z -= std::sin(h) * kDrag;
        if (*l > -kRollBand) s = AxisRotation(forward_, -kHundredthDegree);
    }
    if (l && *l > 0.0f) {
        velocity_.x -= std::cos(h) * kDrag;
        velocity_.z += std::sin(h) * kDrag;
        if (*l < kRollBand) s = AxisRotation(forward_, kHundredthDegree);
    }
    if (s) body_.SetRoll(math::Multiply(body_.Roll(), *s));

    velocity_.y = DecayedSpeed(velocity_.y);
}

void CHelicopter::UpdateControls(const input::CInput& input, const ui::DialogModel& setUp)
{
    // A rotation left over (a pass that did not turn the body) is folded first.
    body_.FoldFrameRotation();
    if (setUp.IsChecked(su::kDriveHelicopter)) Steer(input);
    if (!NoDeceleration(setUp)) DragAndLevel();
    position_ = position_ + velocity_;
}

void CHelicopter::StayAbove(float ground)
{
    if (!(position_.y < ground)) return;
    position_.y = ground;
    if (velocity_.y < 0.0f) velocity_.y = 0.0f;
}

void CHelicopter::Draw(gfx::Device* device, const ui::DialogModel& setUp, math::Vec3 eye) const
{
    body_.Draw(device, setUp, eye, position_, Heading());
}

std::string CHelicopter::SpeedText() const
{
    return vehicles::SpeedText(math::Length(velocity_));
}

std::string CHelicopter::AltitudeText() const
{
    return vehicles::AltitudeText(position_.y);
}

} // namespace vehicles
