// CTrain: picking a car with the mouse and dragging it, or the whole train, across, up and
// down, or round.
#include "math/Matrix.h"
#include "math/Numeric.h"
#include "model/MeshIntersect.h"
#include "vehicles/CTrain.h"

#include <cmath>

namespace vehicles {

namespace {

// Grid steps: whole units, and turns of five degrees.
float GridPlace(float value)
{
    return std::floor(value + 0.1f);
}

float GridTurn(float radians)
{
    const float degrees = radians * static_cast<float>(math::kRadToDeg);
    return std::floor(degrees * 0.2f) * 5.0f * math::kDegToRad;
}

} // namespace

float CTrain::PickCar(const layout::PickRay& ray)
{
    int best = -1;
    float bestDistance = kNoHit;
    for (int i = 0; i <= lastCar_; ++i) {
        const TrainCar& car = cars_[static_cast<std::size_t>(i)];
        if (!car.HasModel()) continue;
        // The ray in the car's frame: the car is drawn lowered by the vertical offset, and pitch
        // and model angle play no part here.
        const math::Vec3 origin{car.position.x, car.position.y - verticalOffset_, car.position.z};
        const math::Matrix unturn = math::RotationY(-car.yaw);
        const math::Vec3 from = math::TransformCoord(ray.nearPoint - origin, unturn);
        const math::Vec3 to = math::TransformCoord(ray.farPoint - origin, unturn);
        const model::MeshHit hit = model::Intersect(*car.model.mesh, from, math::Normalize(to - from));
        // A later car wins only when strictly nearer.
        if (hit.hit && (best < 0 || hit.nearest.dist < bestDistance)) {
            best = i;
            bestDistance = hit.nearest.dist;
        }
    }
    selectedCar_ = best;
    if (best < 0) return kNoHit;
    TakeHold(ray);
    return bestDistance;
}

void CTrain::TakeHold(const layout::PickRay& ray)
{
    // A ray that never meets a car's height (a level camera) keeps the hold it had.
    const TrainCar& lead = cars_[0];
    if (const auto point = layout::MeetHeight(ray, lead.position.y))
        grab_.leadAngle = std::atan2(point->x - lead.position.x, point->z - lead.position.z) - lead.yaw;
    const TrainCar& selected = cars_[static_cast<std::size_t>(selectedCar_)];
    if (const auto point = layout::MeetHeight(ray, selected.position.y)) {
        grab_.x = point->x - selected.position.x;
        grab_.z = point->z - selected.position.z;
        grab_.height = selected.position.y;
        grab_.angle = std::atan2(grab_.x, grab_.z) - selected.yaw;
    }
}

void CTrain::HoldAtSelectedHeight(const layout::PickRay& ray, float height)
{
    const TrainCar& selected = cars_[static_cast<std::size_t>(selectedCar_)];
    if (const auto point = layout::MeetHeight(ray, height)) {
        grab_.x = point->x - selected.position.x;
        grab_.z = point->z - selected.position.z;
        grab_.height = selected.position.y;
    }
}

void CTrain::ReanchorGrab(const layout::PickRay& ray)
{
    if (HasSelectedCar()) TakeHold(ray);
}

CarDragResult CTrain::DragCar(const layout::PickRay& ray, const CarDragFlags& flags)
{
    CarDragResult result;
    if (!HasSelectedCar()) return result;
    TrainCar& lead = cars_[0];
    TrainCar& selected = cars_[static_cast<std::size_t>(selectedCar_)];

    if (!flags.shift && !flags.alt) {
        const auto point = layout::DragPointAtHeight(ray, selected.position.y, flags.reach);
        if (!point) return result;
        float x = point->x - grab_.x;
        float z = point->z - grab_.z;
        if (flags.grid) {
            x = GridPlace(x);
            z = GridPlace(z);
        }
        if (!std::isfinite(x) || !std::isfinite(z)) return result;
        if (flags.wholeTrain) {
            const float dx = x - selected.position.x;
            const float dz = z - selected.position.z;
            lead.position.x += dx;
            lead.position.z += dz;
            FormTrain(false);
        } else {
            selected.position.x = x;
            selected.position.z = z;
        }
    } else if (flags.shift && !flags.alt) {
        // The height set by hand must not be overridden by the track.
        result.heightDetectionOff = true;
        const auto s = layout::DragStepAtX(ray, selected.position.x + grab_.x, flags.reach);
        if (!s) return result;
        float height = ray.nearPoint.y + *s * (ray.farPoint.y - ray.nearPoint.y);
        float fraction = 0.0f;
        if (flags.grid) {
            fraction = height - std::floor(height);
            height = std::floor(height);
        }
        if (!std::isfinite(height)) return result;
        if (flags.wholeTrain) {
            lead.position.y -= selected.position.y - height;
            FormTrain(false);
        } else {
            selected.position.y = height;
        }
        // Hold again at the unrounded height, so that grid steps do not creep.
        HoldAtSelectedHeight(ray, selected.position.y + fraction);
        grab_.height = selected.position.y;
    } else if (flags.alt && !flags.shift) {
        TrainCar& turned = flags.wholeTrain ? lead : selected;
        const auto point = layout::DragPointAtHeight(ray, turned.position.y, flags.reach);
        if (!point) return result;
        float yaw = std::atan2(point->x - turned.position.x, point->z - turned.position.z) -
                    (flags.wholeTrain ? grab_.leadAngle : grab_.angle);
        if (flags.grid) yaw = GridTurn(yaw);
        if (!std::isfinite(yaw)) return result;
        turned.yaw = yaw;
        if (flags.wholeTrain) FormTrain(false);
        HoldAtSelectedHeight(ray, selected.position.y);
    }
    return result;
}

} // namespace vehicles
