#include "camera/CCamera.h"

#include "input/CInput.h"
#include "math/Numeric.h"
#include "platform/VirtualKeys.h"
#include "ui/DialogModel.h"
#include "ui/SetUpTemplate.h"
#include "ui/StatusBarModel.h"

#include <cmath>
#include <optional>
#include <string>

namespace camera {

namespace {

namespace su = ui::setup;

constexpr math::Vec3 kUpY{0, 1.0f, 0};
// The perspective of the preview: a quarter turn, float pi / 2.
constexpr float kPreviewFieldOfView = 1.5707963705062866f;
// Below these the look-at matrix has no direction to work with.
constexpr float kMinDirectionSq = 1e-10f;
constexpr float kMinSinSq = 1e-10f;

bool IsTrain(int entry)
{
    return entry >= entry::kFirstTrain && entry <= entry::kLastTrain;
}

// An empty slot reads as its record of zeros whatever the caller left in it.
TrainSource TrainOf(const CameraSources& sources, int entry)
{
    const TrainSource& t = sources.trains[static_cast<std::size_t>(entry - entry::kFirstTrain)];
    return t.present ? t : TrainSource{};
}

FlyerSource PlaneOf(const CameraSources& sources)
{
    return sources.plane.present ? sources.plane : FlyerSource{};
}

FlyerSource HelicopterOf(const CameraSources& sources)
{
    return sources.helicopter.present ? sources.helicopter : FlyerSource{};
}

CarSource CarOf(const CameraSources& sources)
{
    return sources.car.present ? sources.car : CarSource{};
}

bool IsFinite(math::Vec3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool IsFinite(const math::Matrix& m)
{
    for (const auto& row : m.m)
        for (float x : row)
            if (!std::isfinite(x)) return false;
    return true;
}

// Where a position source stands.
math::Vec3 EyePoint(int p, const CameraSources& sources, math::Vec3 cameraPoint)
{
    if (IsTrain(p)) return TrainOf(sources, p).leadPoint;
    switch (p) {
    case entry::kPlane:
        return PlaneOf(sources).position;
    case entry::kHelicopter:
        return HelicopterOf(sources).position;
    case entry::kCar:
        return CarOf(sources).position + kUpY;
    case entry::kCameraPoint:
        return cameraPoint;
    case entry::kSelectedObject:
        return sources.selected.present ? sources.selected.position + kUpY : kUpY;
    default:
        return kUpY; // the origin, one unit up
    }
}

// What a view source looks at; nothing for the selected object when none is selected.
std::optional<math::Vec3> TargetPoint(int v, const CameraSources& sources, math::Vec3 cameraPoint)
{
    if (IsTrain(v)) {
        const TrainSource t = TrainOf(sources, v);
        math::Vec3 point = t.leadPoint;
        point.y -= t.leadRoofHeight * 0.5f;
        return point;
    }
    switch (v) {
    case entry::kPlane:
        return PlaneOf(sources).position;
    case entry::kHelicopter:
        return HelicopterOf(sources).position;
    case entry::kCar:
        return CarOf(sources).position;
    case entry::kCameraPoint:
        return cameraPoint;
    case entry::kSelectedObject:
        if (!sources.selected.present) return std::nullopt;
        return sources.selected.position;
    default:
        return math::Vec3{};
    }
}

// An offset in a vehicle's frame turned about the vertical axis by its yaw.
math::Vec3 TurnedAboutY(math::Vec3 offset, float yaw)
{
    return math::TransformCoord(offset, math::RotationY(yaw));
}

// A look-at matrix only when it has a direction; the previous one stays otherwise.
std::optional<math::Matrix> LookAt(math::Vec3 eye, math::Vec3 target, math::Vec3 up)
{
    if (!IsFinite(eye) || !IsFinite(target) || !IsFinite(up)) return std::nullopt;
    const math::Vec3 dir = target - eye;
    if (math::LengthSq(dir) < kMinDirectionSq) return std::nullopt;
    if (math::LengthSq(math::Cross(math::Normalize(dir), math::Normalize(up))) < kMinSinSq)
        return std::nullopt;
    const math::Matrix view = math::LookAtLH(eye, target, up);
    if (!IsFinite(view)) return std::nullopt;
    return view;
}

// With no view to keep, look along +z from the eye (from the origin when the eye is unusable).
math::Matrix FallbackView(math::Vec3 eye)
{
    const math::Vec3 from = IsFinite(eye) ? eye : math::Vec3{};
    const math::Matrix view = math::LookAtLH(from, from + math::Vec3{0, 0, 1.0f}, kUpY);
    return IsFinite(view) ? view : math::LookAtLH({}, {0, 0, 1.0f}, kUpY);
}

math::Matrix OrthographicProjection(const ui::DialogModel& setUp)
{
    const auto size = static_cast<float>(setUp.Position(su::kFieldOfView));
    return math::OrthoLH(size, size, -100.0f, 2000.0f);
}

float Aspect(int width, int height)
{
    // A render view squeezed below its bars has no area; it counts as one pixel each way.
    return static_cast<float>(width < 1 ? 1 : width) / static_cast<float>(height < 1 ? 1 : height);
}

} // namespace

math::Vec3 CCamera::Orbit(math::Vec3 centre, float distance, float sign) const
{
    const float a = yaw_ * math::kDegToRad;
    const float b = pitch_ * math::kDegToRad;
    return {centre.x + distance * std::cos(b) * std::sin(a), centre.y + sign * distance * std::sin(b),
            centre.z - distance * std::cos(b) * std::cos(a)};
}

void CCamera::UpdateRig(ui::DialogModel& setUp, ui::StatusBarModel& statusBar, const CameraSources& sources,
                        bool editToolActive, const input::CInput& input)
{
    const int p = setUp.Selection(su::kPositionList);
    const int v = setUp.Selection(su::kViewPointList);
    statusBar.SetText(1, std::string(su::kPositionPanePrefix) + setUp.ItemText(su::kPositionList, p));
    statusBar.SetText(2, std::string(su::kViewPointPanePrefix) + setUp.ItemText(su::kViewPointList, v));

    up_ = kUpY;
    const auto distance = static_cast<float>(setUp.Position(su::kDistance));

    if (editToolActive) {
        target_ = editFocus_;
        eye_ = Orbit(target_, distance, 1.0f);
        return;
    }
    // With nothing selected in either list the camera stays where it was.
    if (p < entry::kOrigin || p > entry::kSelectedObject || v < entry::kOrigin || v > entry::kDriverSeat)
        return;
    ApplyRule(p, v, distance, sources, setUp, input);
}

void CCamera::ApplyRule(int p, int v, float distance, const CameraSources& sources, ui::DialogModel& setUp,
                        const input::CInput& input)
{
    const float d = distance;

    // Orbit: the camera circles the source it looks at.
    if (v == p) {
        const std::optional<math::Vec3> target = TargetPoint(p, sources, cameraPoint_);
        if (!target) return;
        target_ = *target;
        eye_ = Orbit(target_, d, 1.0f);
        return;
    }
    // Look at another source.
    if (v <= entry::kSelectedObject) {
        eye_ = EyePoint(p, sources, cameraPoint_);
        if (const std::optional<math::Vec3> target = TargetPoint(v, sources, cameraPoint_)) target_ = *target;
        return;
    }
    // Free: look from the source in the camera's own direction.
    if (v == entry::kFree) {
        eye_ = EyePoint(p, sources, cameraPoint_);
        if (IsTrain(p)) eye_.y += 1.0f;
        target_ = Orbit(eye_, d, -1.0f);
        return;
    }

    const bool train = IsTrain(p);
    if (v == entry::kFront || v == entry::kRear) {
        if (train || p == entry::kHelicopter || p == entry::kCar) {
            float vehicleYaw = 0;
            if (train)
                vehicleYaw = TrainOf(sources, p).leadYaw;
            else if (p == entry::kHelicopter)
                vehicleYaw = HelicopterOf(sources).yaw;
            else
                vehicleYaw = CarOf(sources).yaw;
            const double degrees = static_cast<double>(vehicleYaw) * math::kRadToDeg;
            // The orbit below continues from the vehicle's own direction.
            yaw_ = math::NormalizeAngle(static_cast<float>(v == entry::kFront ? 180.0 - degrees : -degrees));
            target_ = *TargetPoint(p, sources, cameraPoint_);
            eye_ = Orbit(target_, d, 1.0f);
            return;
        }
        if (p == entry::kPlane) {
            const FlyerSource plane = PlaneOf(sources);
            const math::Vec3 along = plane.forward * d;
            eye_ = (v == entry::kFront ? plane.position + along : plane.position - along) + plane.up * 2.0f;
            target_ = plane.position;
            up_ = plane.up;
            return;
        }
    }
    if (v == entry::kDriverSeat) {
        if (train) {
            const TrainSource t = TrainOf(sources, p);
            const float cp = std::cos(t.leadPitch);
            const math::Vec3 ahead =
                math::Vec3{cp * std::sin(t.leadYaw), std::sin(t.leadPitch), cp * std::cos(t.leadYaw)} *
                t.seatZ;
            eye_ = t.leadPosition + ahead + math::Vec3{0, t.seatY, 0};
            target_ = eye_ + ahead;
            return;
        }
        if (p == entry::kPlane) {
            const FlyerSource plane = PlaneOf(sources);
            eye_ = plane.position + plane.up * plane.cockpitY + plane.forward * plane.cockpitZ;
            target_ = plane.position + plane.forward * 1000.0f;
            up_ = plane.up;
            return;
        }
        if (p == entry::kHelicopter) {
            const FlyerSource heli = HelicopterOf(sources);
            eye_ = heli.position + TurnedAboutY({0, heli.cockpitY, heli.cockpitZ}, heli.yaw);
            target_ = eye_ + heli.forward;
            return;
        }
        if (p == entry::kCar) {
            const CarSource car = CarOf(sources);
            eye_ = car.position + TurnedAboutY(car.driver, car.yaw);
            target_ =
                car.position + TurnedAboutY({car.driver.x, car.driver.y, car.driver.z + 10.0f}, car.yaw);
            return;
        }
    }

    // The origin, the camera point and the selected object have no front, rear or seat. While F6
    // steps through the list, going on to item 0 lets it leave these entries.
    const bool steppingWithF6 =
        input.KeyDown(platform::vk::kF6) != 0 && input.KeyDown(platform::vk::kShift) == 0;
    setUp.SetSelection(su::kViewPointList, steppingWithF6 ? entry::kOrigin : entry::kFree);
}

void CCamera::BuildViewProjection(const ui::DialogModel& setUp, int viewportWidth, int viewportHeight)
{
    if (const std::optional<math::Matrix> view = LookAt(eye_, target_, up_))
        view_ = *view;
    else if (!hasView_)
        view_ = FallbackView(eye_);
    hasView_ = true;

    if (setUp.IsChecked(su::kOrthographic)) {
        projection_ = OrthographicProjection(setUp);
    } else {
        const float fov = static_cast<float>(setUp.Position(su::kFieldOfView)) * math::kDegToRad;
        projection_ = math::PerspectiveFovLH(fov, Aspect(viewportWidth, viewportHeight), 1.0f, 10000.0f);
    }
}

void CCamera::BuildPreviewViewProjection(const ui::DialogModel& setUp, math::Vec3 centre, float radius,
                                         int windowWidth, int windowHeight)
{
    // A type with an empty mesh has radius 0, which would put the eye on the target.
    const float r = (std::isfinite(radius) && radius > 0) ? radius : 1.0f;
    const float a = previewYaw_ * math::kDegToRad;
    const float b = previewPitch_ * math::kDegToRad;
    const float reach = 1.5f * r;
    const math::Vec3 eye =
        centre + math::Vec3{reach * (std::sin(a) * std::cos(b)), reach * std::sin(b),
                            reach * (std::cos((previewYaw_ + 180.0f) * math::kDegToRad) * std::cos(b))};
    if (const std::optional<math::Matrix> view = LookAt(eye, centre, kUpY))
        previewView_ = *view;
    else if (!hasPreviewView_)
        previewView_ = FallbackView(eye);
    hasPreviewView_ = true;

    if (setUp.IsChecked(su::kOrthographic))
        previewProjection_ = OrthographicProjection(setUp);
    else
        previewProjection_ =
            math::PerspectiveFovLH(kPreviewFieldOfView, Aspect(windowWidth, windowHeight), 1.0f, 10000.0f);
}

} // namespace camera
