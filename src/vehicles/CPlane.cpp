#include "vehicles/CPlane.h"

#include "input/CInput.h"
#include "platform/VirtualKeys.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"
#include "vehicles/VehicleMotion.h"

#include <algorithm>
#include <cmath>

namespace vehicles {

namespace {

namespace vk = platform::vk;
namespace su = ui::setup;

// Added in double and stored as float, as the trains do: float sums drift below whole
// read-outs (five steps of 0.02f show 19km/h).
constexpr double kSpeedStep = 0.02;
constexpr double kFineSpeedStep = 0.005;

// The angle of the first key held of a pair (the first wins), or nothing when neither is.
std::optional<float> PairAngle(const input::CInput& input, int first, float firstAngle, int second,
                               float secondAngle)
{
    if (input.KeyDown(first)) return firstAngle;
    if (input.KeyDown(second)) return secondAngle;
    return std::nullopt;
}

} // namespace

CPlane::CPlane(std::string profileSection) : body_(std::move(profileSection), kInitialHome) {}

void CPlane::ScanFolder(ui::DialogModel& setUp, gfx::Device* device)
{
    if (body_.ListModels(setUp, su::kPlaneModel)) SelectModel(setUp, 0, device);
}

void CPlane::SelectModel(const ui::DialogModel& setUp, int index, gfx::Device* device)
{
    if (const std::string* name = FlyerBody::ModelName(setUp, su::kPlaneModel, index))
        (void)LoadModel(device, *name, RemoveVertexColours(setUp));
}

platform::Status CPlane::LoadModel(gfx::Device* device, const std::string& name, bool removeVertexColours)
{
    if (platform::Status loaded = body_.Load(device, name, removeVertexColours); !loaded) return loaded;
    position_ = body_.Home();
    speed_ = 0.0f;
    forward_ = {0.0f, 0.0f, 1.0f};
    up_ = {0.0f, 1.0f, 0.0f};
    return platform::Ok{};
}

void CPlane::Steer(const input::CInput& input)
{
    // Keypad 0 held as well gives the fine steps.
    const bool fine = input.KeyDown(vk::kNumpad0) != 0;

    // Pitch about forward × up; keypad 8 lowers the nose.
    if (const auto t = PairAngle(input, vk::kNumpad8, fine ? -kQuarterDegree : -kOneDegree, vk::kNumpad2,
                                 fine ? kQuarterDegree : kOneDegree)) {
        if (const auto q = AxisRotation(math::Cross(forward_, up_), *t)) {
            body_.SetPitch(*q);
            forward_ = Rotate(forward_, *q);
            up_ = Rotate(up_, *q);
        }
    }
    // Roll about forward turns only up, so it never changes where the aeroplane flies.
    if (const auto t = PairAngle(input, vk::kNumpad4, fine ? kOneDegree : kFourDegrees, vk::kNumpad6,
                                 fine ? -kOneDegree : -kFourDegrees)) {
        if (const auto q = AxisRotation(forward_, *t)) {
            body_.SetRoll(*q);
            up_ = Rotate(up_, *q);
        }
    }
    // Yaw about up; keypad 1 turns to the left.
    if (const auto t = PairAngle(input, vk::kNumpad1, fine ? -kPointOneDegree : -kPointFourDegrees,
                                 vk::kNumpad3, fine ? kPointOneDegree : kPointFourDegrees)) {
        if (const auto q = AxisRotation(up_, *t)) {
            body_.SetYaw(*q);
            forward_ = Rotate(forward_, *q);
        }
    }

    const double step = fine ? kFineSpeedStep : kSpeedStep;
    if (input.KeyDown(vk::kAdd))
        speed_ = static_cast<float>(speed_ + step);
    else if (input.KeyDown(vk::kSubtract))
        speed_ = static_cast<float>(speed_ - step);
    if (input.KeyDown(vk::kNumpad5)) speed_ = 0.0f;
}

void CPlane::UpdateControls(const input::CInput& input, const ui::DialogModel& setUp)
{
    // A rotation left over (a pass that did not turn the body) is folded first.
    body_.FoldFrameRotation();
    if (setUp.IsChecked(su::kDrivePlane)) Steer(input);
    if (!NoDeceleration(setUp)) speed_ = DecayedSpeed(speed_);
    position_ = position_ + forward_ * speed_;
}

void CPlane::StayAbove(float ground)
{
    if (!(position_.y < ground)) return;
    position_.y = ground;
    const math::Vec3 level{forward_.x, 0.0f, forward_.z};
    if (!(forward_.y < 0.0f) || math::Length(level) <= 0.0f) return;
    // The nose comes up to the horizon about the wing axis, and the body turns with it.
    const math::Vec3 target = math::Normalize(level);
    const float angle = std::acos(std::clamp(math::Dot(forward_, target), -1.0f, 1.0f));
    const math::Vec3 axis = math::Cross(forward_, target);
    for (const float sign : {1.0f, -1.0f}) {
        const std::optional<math::Quaternion> q = AxisRotation(axis, sign * angle);
        if (!q || std::fabs(Rotate(forward_, *q).y) > 1e-3f) continue;
        body_.FoldFrameRotation();
        body_.SetPitch(*q);
        body_.FoldFrameRotation();
        up_ = Rotate(up_, *q);
        break;
    }
    forward_ = target;
}

void CPlane::Draw(gfx::Device* device, const ui::DialogModel& setUp, math::Vec3 eye) const
{
    body_.Draw(device, setUp, eye, position_, Heading());
}

float CPlane::Heading() const
{
    return HeadingOf(forward_);
}

std::string CPlane::SpeedText() const
{
    return vehicles::SpeedText(speed_);
}

std::string CPlane::AltitudeText() const
{
    return vehicles::AltitudeText(position_.y);
}

std::string CPlane::AngleText() const
{
    return vehicles::AngleText(forward_);
}

} // namespace vehicles
