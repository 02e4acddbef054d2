// The mouse and keypad navigation of CCamera: everything here changes only the camera's angles,
// its edit focus and camera point, and the "距離" and "画角" sliders.
#include "camera/CCamera.h"
#include "input/CInput.h"
#include "math/Numeric.h"
#include "platform/VirtualKeys.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace camera {

namespace {

namespace su = ui::setup;
namespace vk = platform::vk;

// A keypad direction: the keys held, the angle relative to the camera's yaw (degrees) and the
// fixed world angle (radians). The first row whose keys are all held wins.
struct Direction {
    int key1;
    int key2; // 0: a single key
    float base;
    float world;
};

constexpr std::array<Direction, 8> kDirections = {{
    {vk::kNumpad8, vk::kNumpad6, 45.0f, 3.9269909858703613f},
    {vk::kNumpad6, vk::kNumpad2, 135.0f, 5.4977874755859375f},
    {vk::kNumpad2, vk::kNumpad4, 225.0f, 0.7853981852531433f},
    {vk::kNumpad4, vk::kNumpad8, 315.0f, 2.356194496154785f},
    {vk::kNumpad8, 0, 0.0f, 3.1415927410125732f},
    {vk::kNumpad6, 0, 90.0f, 4.71238899230957f},
    {vk::kNumpad2, 0, 180.0f, 0.0f},
    {vk::kNumpad4, 0, 270.0f, 1.5707963705062866f},
}};

bool Held(const input::CInput& input, int key)
{
    return input.KeyDown(key) != 0;
}

std::optional<Direction> HeldDirection(const input::CInput& input)
{
    for (const Direction& d : kDirections)
        if (Held(input, d.key1) && (d.key2 == 0 || Held(input, d.key2))) return d;
    return std::nullopt;
}

// Keypad 0 is the fast gear.
float Step(const input::CInput& input)
{
    return Held(input, vk::kNumpad0) ? 2.0f : 0.5f;
}

float TurnStep(const input::CInput& input)
{
    return Held(input, vk::kNumpad0) ? 4.0f : 1.0f;
}

// (0, 0, step) turned about the vertical axis by radians.
math::Vec3 Move(float step, float radians)
{
    return math::TransformCoord({0, 0, step}, math::RotationY(radians));
}

float Relative(const Direction& d, float yaw)
{
    return (d.base - yaw) * math::kDegToRad;
}

void ClampPitch(float& pitch)
{
    // A pitch between 89.5 and 90 is left alone, as the original did.
    if (pitch >= 90.0f) pitch = 89.5f;
    if (pitch <= -90.0f) pitch = -89.5f;
}

} // namespace

void CCamera::OrbitDrag(int dx, int dy)
{
    yaw_ = math::NormalizeAngle(yaw_ - 0.5f * static_cast<float>(dx));
    pitch_ += 0.5f * static_cast<float>(dy);
    ClampPitch(pitch_);
}

void CCamera::PreviewOrbitDrag(int dx, int dy)
{
    previewYaw_ = math::NormalizeAngle(previewYaw_ - 0.5f * static_cast<float>(dx));
    previewPitch_ += 0.5f * static_cast<float>(dy);
    ClampPitch(previewPitch_);
}

void CCamera::DistanceDrag(int dy, ui::DialogModel& setUp)
{
    const int change = math::ClampToInt(0.5f * static_cast<float>(dy));
    const long long wanted = static_cast<long long>(setUp.Position(su::kDistance)) + change;
    const long long low = setUp.RangeMin(su::kDistance);
    const long long high = setUp.RangeMax(su::kDistance);
    setUp.SetPosition(su::kDistance, static_cast<int>(wanted < low ? low : (wanted > high ? high : wanted)));
}

void CCamera::WheelZoom(int delta, ui::DialogModel& setUp, const std::function<void()>& sliderRefresh)
{
    if (delta > 0) wheelAngle_ -= 1.0f;
    if (delta < 0) wheelAngle_ += 1.0f;
    // The slider keeps itself inside 1 to 179.
    setUp.SetPosition(su::kFieldOfView, math::ClampToInt(wheelAngle_));
    if (sliderRefresh) sliderRefresh();
    if (wheelAngle_ >= 180.0f) wheelAngle_ = 179.0f;
    if (wheelAngle_ <= 0.0f) wheelAngle_ = 1.0f;
}

void CCamera::MoveEditFocus(const input::CInput& input)
{
    const float step = Step(input);
    if (const std::optional<Direction> d = HeldDirection(input)) {
        editFocus_ = editFocus_ + Move(step, Relative(*d, yaw_));
        return;
    }
    if (Held(input, vk::kAdd))
        editFocus_.y += step;
    else if (Held(input, vk::kSubtract))
        editFocus_.y -= step;
    else if (Held(input, vk::kNumpad1))
        yaw_ = math::NormalizeAngle(yaw_ - TurnStep(input));
    else if (Held(input, vk::kNumpad3))
        yaw_ = math::NormalizeAngle(yaw_ + TurnStep(input));
}

void CCamera::MoveCameraPoint(const input::CInput& input, const ui::DialogModel& setUp)
{
    if (!setUp.IsChecked(su::kDriveCamera)) return;
    const float step = Step(input);
    const int view = setUp.Selection(su::kViewPointList);
    const std::optional<Direction> d = HeldDirection(input);

    if (d) {
        if (view == entry::kFree)
            cameraPoint_ = cameraPoint_ - Move(step, Relative(*d, yaw_));
        else if (view == entry::kCameraPoint)
            cameraPoint_ = cameraPoint_ + Move(step, Relative(*d, yaw_));
        else
            cameraPoint_ = cameraPoint_ - Move(step, d->world);
        return;
    }
    if (Held(input, vk::kAdd)) {
        cameraPoint_.y += step;
        return;
    }
    if (Held(input, vk::kSubtract)) {
        cameraPoint_.y -= step;
        return;
    }
    // Keypad 1 and 3 turn only the free view and the orbit round the camera point, in opposite
    // senses; in any other view they do nothing.
    float turn = 0;
    if (Held(input, vk::kNumpad1))
        turn = 1.0f;
    else if (Held(input, vk::kNumpad3))
        turn = -1.0f;
    if (turn == 0 || (view != entry::kFree && view != entry::kCameraPoint)) return;
    if (view == entry::kCameraPoint) turn = -turn;
    yaw_ = math::NormalizeAngle(yaw_ + turn * TurnStep(input));
}

void CCamera::SetEditFocus(bool fromSelection, const CameraSources& sources)
{
    if (fromSelection)
        editFocus_ = sources.selected.present ? sources.selected.position : math::Vec3{};
    else
        editFocus_ = target_;
}

} // namespace camera

namespace camera {

float CCamera::LookDownOn(math::Vec3 centre, float radius, float fovDegrees, float aspect, bool editing)
{
    // Steep enough to see the whole plan, tilted enough to show heights.
    constexpr float kPitch = 70.0f;
    const float r = (std::isfinite(radius) && radius > 0) ? radius : 1.0f;
    const float vertical = std::clamp(fovDegrees, 1.0f, 179.0f) * math::kDegToRad;
    const float a = (std::isfinite(aspect) && aspect > 0) ? aspect : 1.0f;
    const float horizontal = 2.0f * std::atan(std::tan(vertical * 0.5f) * a);
    // The sphere's silhouette fits the narrower of the two angles.
    const float distance = r / std::sin(std::min(vertical, horizontal) * 0.5f);
    pitch_ = kPitch;
    // At yaw 0 the orbit puts the eye on the −z side of the centre.
    yaw_ = 0.0f;
    if (editing) {
        editFocus_ = centre;
    } else {
        cameraPoint_ = Orbit(centre, distance, 1.0f);
        // The free view from there looks the other way round: along +z and down.
        yaw_ = 180.0f;
    }
    return distance;
}

} // namespace camera
