#include "layout/LayoutDrag.h"

#include "layout/CLayout.h"
#include "math/Matrix.h"
#include "math/Numeric.h"
#include "model/MeshIntersect.h"

#include <cmath>
#include <optional>

namespace layout {

namespace {

// Radians to degrees as the original's single-precision constant.
constexpr float kToDegrees = static_cast<float>(math::kRadToDeg);

// Picking considers this many hits; an eleventh ends the scan (an intended cap).
constexpr std::size_t kMaxPickHits = 10;

// A point of world space in the frame of an object at position turned by trig.
math::Vec3 ToObjectSpace(math::Vec3 point, math::Vec3 position, ObjectTrig trig)
{
    const float dx = point.x - position.x;
    const float dz = point.z - position.z;
    return {dx * trig.cosAngle - dz * trig.sinAngle, point.y - position.y,
            dx * trig.sinAngle + dz * trig.cosAngle};
}

// Where a ray (object space, unit direction) meets a placeholder's flat frame, the square of
// its bounds on the object's plane; nothing for a miss or a ray along the plane.
std::optional<float> HitPlaceholder(math::Vec3 origin, math::Vec3 direction, const model::MeshBox& box)
{
    if (std::fabs(direction.y) < 1e-6f) return std::nullopt;
    const float distance = -origin.y / direction.y;
    if (distance < 0) return std::nullopt;
    const float x = origin.x + direction.x * distance;
    const float z = origin.z + direction.z * distance;
    if (x < box.minX || x > box.maxX || z < box.minZ || z > box.maxZ) return std::nullopt;
    return distance;
}

// Whether a ray (unit direction) can touch the sphere at all: a cheap test before the mesh,
// with a little slack so that it never rejects a hit the mesh test would find.
bool MayHitSphere(math::Vec3 origin, math::Vec3 direction, const model::MeshSphere& sphere)
{
    const double vx = double(sphere.center.x) - origin.x;
    const double vy = double(sphere.center.y) - origin.y;
    const double vz = double(sphere.center.z) - origin.z;
    const double radius = double(sphere.radius) * 1.001 + 1e-3;
    const double along = vx * direction.x + vy * direction.y + vz * direction.z;
    const double distanceSq = vx * vx + vy * vy + vz * vz;
    // Entirely behind the origin.
    if (along < 0 && distanceSq > radius * radius) return false;
    const double cx = vy * direction.z - vz * direction.y;
    const double cy = vz * direction.x - vx * direction.z;
    const double cz = vx * direction.y - vy * direction.x;
    return cx * cx + cy * cy + cz * cz <= radius * radius;
}

} // namespace

PickHit CLayout::FindPickHit(const PickRay& ray) const
{
    std::vector<PickHit> hits;
    for (int i = objects_.LastIndex(); i >= 0; --i) {
        const PlacedObject& object = *objects_.Find(i);
        const ObjectType* type = catalogue_.FindType(object.type);
        if (!type || (!type->visible.mesh && !type->missing)) continue;
        const math::Vec3 position{object.x, object.y, object.z};
        const ObjectTrig trig = objects_.Trig(i);
        const math::Vec3 nearPoint = ToObjectSpace(ray.nearPoint, position, trig);
        const math::Vec3 direction = math::Normalize(ToObjectSpace(ray.farPoint, position, trig) - nearPoint);
        if (type->missing) {
            if (const std::optional<float> distance = HitPlaceholder(nearPoint, direction, type->bounds)) {
                if (hits.size() == kMaxPickHits) break;
                hits.push_back({i, *distance});
            }
            continue;
        }
        if (!MayHitSphere(nearPoint, direction, type->sphere)) continue;
        const model::MeshHit hit = model::Intersect(*type->visible.mesh, nearPoint, direction);
        if (!hit.hit) continue;
        if (hits.size() == kMaxPickHits) break;
        hits.push_back({i, hit.nearest.dist});
    }
    PickHit nearest;
    for (const PickHit& hit : hits) {
        // Equal distances keep the first recorded, the higher index.
        if (nearest.index < 0 || hit.distance < nearest.distance) nearest = hit;
    }
    return nearest;
}

float LayoutDrag::PickPlacedObject(const PickRay& ray, const PickHit& hit, bool ctrl)
{
    pickRay_ = ray;
    LayoutSelection& selection = layout_.Selection();
    const PlacedObject* found = layout_.Placed().Find(hit.index);
    if (!found) {
        selection.SetPrimary(-1);
        if (!ctrl) selection.DeselectAll();
        layout_.NotifyTurnout();
        return kNoHitDistance;
    }

    const PlacedObject picked = *found;
    // A level ray never meets the object's plane: the grab state stays as it was.
    if (const std::optional<math::Vec3> point = MeetHeight(ray, picked.y)) {
        grab_.x = point->x - picked.x;
        grab_.z = point->z - picked.z;
        grab_.y = picked.y;
        grab_.bearing = std::atan2(grab_.x, grab_.z) * kToDegrees - picked.angle;
        grab_.primaryAngle = picked.angle;
    }

    const std::span<const PlacedObject> objects = layout_.Placed().All();
    relatives_.resize(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const PlacedObject& object = objects[i];
        relatives_[i] = {{object.x - picked.x, object.y - picked.y, object.z - picked.z},
                         object.angle - picked.angle};
    }

    if (ctrl && selection.IsSelected(hit.index)) {
        selection.SetSelected(hit.index, false);
        selection.SetPrimary(-1);
        layout_.NotifyTurnout();
        return hit.distance;
    }
    selection.SetPrimary(hit.index);
    if (!ctrl) selection.DeselectAll();
    selection.SetSelected(hit.index, true);
    selection.ScrollTo(hit.index);
    layout_.NotifyTurnout();
    return hit.distance;
}

LayoutDrag::Relative LayoutDrag::RelativeOf(int index) const
{
    return index >= 0 && index < static_cast<int>(relatives_.size())
               ? relatives_[static_cast<std::size_t>(index)]
               : Relative{};
}

void LayoutDrag::BeginDrag()
{
    dragging_ = true;
    mode_.clear();
    before_ = layout_.Placed().Records(layout_.Selection().Selected());
}

bool LayoutDrag::EndDrag()
{
    if (!dragging_) return false;
    dragging_ = false;
    LayoutEdit edit{.name = mode_.empty() ? editname::kMove : mode_, .kind = LayoutEdit::Kind::Change};
    const PlacedObjects& objects = layout_.Placed();
    for (const PlacedRecord& was : before_) {
        const int index = objects.IndexOf(was.id);
        if (index < 0) continue;
        edit.before.push_back(was);
        edit.after.push_back({was.id, index, *objects.Find(index)});
    }
    before_.clear();
    if (edit.before == edit.after) return false;
    edit.selectionBefore = edit.selectionAfter = layout_.Selection().Capture();
    layout_.Done(std::move(edit));
    return true;
}

void LayoutDrag::Cancel()
{
    dragging_ = false;
    before_.clear();
    relatives_.clear();
}

void LayoutDrag::DragSelected(const PickRay& cursorRay, const DragFlags& flags)
{
    if (!layout_.Placed().Find(layout_.Selection().Primary())) return;
    const char* mode = nullptr;
    if (!flags.shift && !flags.alt) {
        DragAcross(cursorRay, flags);
        mode = editname::kMove;
    } else if (flags.shift && !flags.alt) {
        DragUpDown(cursorRay, flags);
        mode = editname::kRaise;
    } else if (flags.alt && !flags.shift) {
        DragTurn(cursorRay, flags);
        mode = editname::kTurn;
    }
    if (mode && dragging_) mode_ = mode_.empty() || mode_ == mode ? mode : editname::kDrag;
}

void LayoutDrag::DragAcross(const PickRay& ray, const DragFlags& flags)
{
    const int primaryIndex = layout_.Selection().Primary();
    const PlacedObject primary = *layout_.Placed().Find(primaryIndex);
    const std::optional<math::Vec3> point = DragPointAtHeight(ray, primary.y, flags.reach);
    if (!point) return;
    float x = point->x - grab_.x;
    float z = point->z - grab_.z;
    if (flags.magnet) {
        const SnapOffset snap = SnapSelected();
        x += snap.dx;
        z += snap.dz;
    } else if (flags.grid) {
        x = GridSnap(x);
        z = GridSnap(z);
    }
    if (!std::isfinite(x) || !std::isfinite(z)) return;

    const std::vector<int> selected = layout_.Selection().Selected();
    std::vector<PlacedObject> moved;
    for (const int index : selected) {
        PlacedObject object = *layout_.Placed().Find(index);
        const Relative relative = index == primaryIndex ? Relative{} : RelativeOf(index);
        object.x = x + relative.offset.x;
        object.z = z + relative.offset.z;
        moved.push_back(object);
    }
    layout_.Placed().Replace(selected, moved);
}

void LayoutDrag::DragUpDown(const PickRay& ray, const DragFlags& flags)
{
    const int primaryIndex = layout_.Selection().Primary();
    const PlacedObject primary = *layout_.Placed().Find(primaryIndex);
    const std::optional<float> s = DragStepAtX(ray, primary.x + grab_.x, flags.reach);
    if (!s) return;
    float y = ray.nearPoint.y + *s * (ray.farPoint.y - ray.nearPoint.y);
    float fraction = 0.0f;
    if (flags.grid) {
        fraction = y - std::floor(y);
        y = std::floor(y);
    }
    if (!std::isfinite(y)) return;

    const std::vector<int> selected = layout_.Selection().Selected();
    std::vector<PlacedObject> moved;
    for (const int index : selected) {
        PlacedObject object = *layout_.Placed().Find(index);
        object.y = index == primaryIndex ? y : y + RelativeOf(index).offset.y;
        moved.push_back(object);
    }
    layout_.Placed().Replace(selected, moved);
    // Take hold again at the unrounded height, so that the grid steps do not creep.
    if (const std::optional<math::Vec3> point = MeetHeight(ray, y + fraction)) {
        grab_.x = point->x - primary.x;
        grab_.z = point->z - primary.z;
        grab_.y = y;
    }
}

void LayoutDrag::DragTurn(const PickRay& ray, const DragFlags& flags)
{
    const int primaryIndex = layout_.Selection().Primary();
    const PlacedObject primary = *layout_.Placed().Find(primaryIndex);
    const std::optional<math::Vec3> point = DragPointAtHeight(ray, primary.y, flags.reach);
    if (!point) return;
    float angle = std::atan2(point->x - primary.x, point->z - primary.z) * kToDegrees - grab_.bearing;
    if (flags.grid) angle = GridTurn(angle);
    if (!std::isfinite(angle)) return;

    const math::Matrix carry = math::RotationY((angle - grab_.primaryAngle) * math::kDegToRad);
    const std::vector<int> selected = layout_.Selection().Selected();
    std::vector<PlacedObject> moved;
    for (const int index : selected) {
        PlacedObject object = *layout_.Placed().Find(index);
        if (index == primaryIndex) {
            object.angle = math::NormalizeAngle(angle);
        } else {
            const Relative relative = RelativeOf(index);
            object.angle = math::NormalizeAngle(angle + relative.angle);
            const math::Vec3 turned =
                math::TransformCoord({relative.offset.x, 0.0f, relative.offset.z}, carry);
            object.x = primary.x + turned.x;
            object.z = primary.z + turned.z;
        }
        moved.push_back(object);
    }
    layout_.Placed().Replace(selected, moved);
    grab_.x = point->x - primary.x;
    grab_.z = point->z - primary.z;
    grab_.y = primary.y;
}

void LayoutDrag::RegrabSelected(const PickRay& cursorRay)
{
    const PlacedObject* primary = layout_.Placed().Find(layout_.Selection().Primary());
    if (!primary) return;
    const std::optional<math::Vec3> point = MeetHeight(cursorRay, primary->y);
    if (!point) return;
    grab_.x = point->x - primary->x;
    grab_.z = point->z - primary->z;
    grab_.y = primary->y;
    grab_.bearing = std::atan2(grab_.x, grab_.z) * kToDegrees - primary->angle;
}

SnapOffset LayoutDrag::SnapSelected()
{
    const PlacedObject* primary = layout_.Placed().Find(layout_.Selection().Primary());
    if (!primary) return {};
    const ObjectCatalogue& catalogue = layout_.Catalogue();
    const ObjectType* primaryType = catalogue.FindType(primary->type);
    if (!primaryType) return {};
    const std::vector<math::Vec3> points = MagnetPoints(*primaryType, primary->x, primary->z, primary->angle);

    std::vector<std::vector<math::Vec3>> others;
    if (!points.empty()) {
        const std::vector<bool> selected = layout_.Selection().Mask();
        const std::span<const PlacedObject> objects = layout_.Placed().All();
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const PlacedObject& object = objects[i];
            const ObjectType* type = catalogue.FindType(object.type);
            if (selected[i] || !type || !type->HasSnapPoints()) continue;
            others.push_back(MagnetPoints(*type, object.x, object.z, object.angle));
        }
    }
    const SnapOffset snap = FindSnap(points, others);
    if (snap.snapped) {
        // Shift the hold as well, so that the snapped place holds in the next frames.
        grab_.x -= snap.dx;
        grab_.z -= snap.dz;
    }
    return snap;
}

} // namespace layout
