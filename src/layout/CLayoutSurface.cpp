#include "layout/CLayoutSurface.h"

#include "layout/CLayout.h"
#include "math/Numeric.h"
#include "model/MeshIntersect.h"

#include <array>
#include <cassert>
#include <cmath>
#include <limits>

namespace layout {

namespace {

constexpr math::Vec3 kDown{0.0f, -1.0f, 0.0f};

// The probe in the frame of an object: the inverse of the turn by the object's angle.
struct ObjectPoint {
    float x, y, z;
};

ObjectPoint ToObjectSpace(math::Vec3 p, const PlacedObject& object, ObjectTrig trig)
{
    const float dx = p.x - object.x;
    const float dz = p.z - object.z;
    return {dx * trig.cosAngle - dz * trig.sinAngle, p.y - object.y, dx * trig.sinAngle + dz * trig.cosAngle};
}

const model::Mesh* MeshOf(const model::CMeshModel& model)
{
    return model.mesh && !model.mesh->empty() ? model.mesh.get() : nullptr;
}

} // namespace

CLayoutSurface::CLayoutSurface(CLayout& layout) : layout_(layout) {}

bool CLayoutSurface::Stale() const
{
    if (!built_) return true;
    const std::span<const PlacedObject> objects = layout_.Placed().All();
    if (objects.size() != snapshot_.size() ||
        static_cast<std::size_t>(layout_.Catalogue().TypeCount()) != typeBounds_.size())
        return true;
    // The same revision means the same records: only types can have changed then.
    if (layout_.Placed().Revision() != placedRevision_) {
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const PlacedObject& o = objects[i];
            if (snapshot_[i] != Snapshot{o.type, o.x, o.z, o.angle}) return true;
        }
    }
    for (int t = 0; t < layout_.Catalogue().TypeCount(); ++t) {
        const ObjectType* type = layout_.Catalogue().FindType(t);
        const auto at = static_cast<std::size_t>(t);
        if (type->bounds != typeBounds_[at] || MeshOf(type->visible) != typeMeshes_[at]) return true;
    }
    return false;
}

void CLayoutSurface::Rebuild()
{
    const std::span<const PlacedObject> objects = layout_.Placed().All();
    placedRevision_ = layout_.Placed().Revision();
    snapshot_.clear();
    std::vector<PlacedObjectGrid::Entry> entries;
    entries.reserve(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const PlacedObject& o = objects[i];
        snapshot_.push_back({o.type, o.x, o.z, o.angle});
        const ObjectType* type = layout_.Catalogue().FindType(o.type);
        // An object without a mesh never holds a surface: it needs no cell.
        if (type && !MeshOf(type->visible)) type = nullptr;
        entries.push_back({o.x, o.z, layout_.Placed().Trig(static_cast<int>(i)), type});
    }
    typeBounds_.clear();
    typeMeshes_.clear();
    for (int t = 0; t < layout_.Catalogue().TypeCount(); ++t) {
        const ObjectType* type = layout_.Catalogue().FindType(t);
        typeBounds_.push_back(type->bounds);
        typeMeshes_.push_back(MeshOf(type->visible));
    }
    grid_.Build(entries);
    built_ = true;
}

void CLayoutSurface::Refresh()
{
    lastBelow_.valid = false;
    if (Stale())
        Rebuild();
    else
        placedRevision_ = layout_.Placed().Revision(); // rewritten with the same places
}

model::MeshHit CLayoutSurface::CastDown(const model::Mesh& mesh, math::Vec3 origin) const
{
    const LastBelow& last = lastBelow_;
    if (last.valid && last.mesh == &mesh && last.positions == mesh.positions.data() &&
        last.faces == mesh.FaceCount() && last.origin.x == origin.x && last.origin.y == origin.y &&
        last.origin.z == origin.z)
        return last.hit;
    ++rayCasts_;
    return model::Intersect(mesh, origin, kDown);
}

template <class Candidates> int CLayoutSurface::FindBelow(math::Vec3 p, Candidates&& candidates) const
{
    struct Record {
        int index;
        float distance;
        const model::Mesh* mesh;
        math::Vec3 origin;
        model::MeshHit hit;
    };
    std::array<Record, kMaxSurfaces> records{};
    int count = 0;
    const std::span<const PlacedObject> objects = layout_.Placed().All();

    candidates([&](int j) {
        const PlacedObject& object = objects[static_cast<std::size_t>(j)];
        const ObjectType* type = layout_.Catalogue().FindType(object.type);
        const model::Mesh* mesh = type ? MeshOf(type->visible) : nullptr;
        if (!mesh) return true;
        const ObjectPoint local = ToObjectSpace(p, object, layout_.Placed().Trig(j));
        const model::MeshBox& b = type->bounds;
        if (!(b.minX <= local.x && local.x <= b.maxX && b.minZ <= local.z && local.z <= b.maxZ &&
              object.y + b.minY - 1.0f <= p.y && p.y <= object.y + b.maxY + 1.0f))
            return true;
        ++rayCasts_;
        const math::Vec3 origin{local.x, p.y - object.y + 1.0f, local.z};
        const model::MeshHit hit = model::Intersect(*mesh, origin, kDown);
        if (!hit.hit || hit.nearest.dist > kSearchWindow) return true;
        // An eleventh surface is dropped and ends the scan (an intended cap).
        if (count == kMaxSurfaces) return false;
        records[static_cast<std::size_t>(count++)] = {j, hit.nearest.dist, mesh, origin, hit};
        // A surface exactly at the probe height cannot be beaten.
        return hit.nearest.dist != 1.0f;
    });

    int best = -1;
    float bestGap = 0;
    const Record* chosen = nullptr;
    for (int r = 0; r < count; ++r) {
        const float gap = std::fabs(1.0f - records[static_cast<std::size_t>(r)].distance);
        if (best < 0 || gap < bestGap) {
            chosen = &records[static_cast<std::size_t>(r)];
            best = chosen->index;
            bestGap = gap;
        }
    }
    lastBelow_.valid = chosen != nullptr;
    if (chosen) {
        lastBelow_.mesh = chosen->mesh;
        lastBelow_.positions = chosen->mesh->positions.data();
        lastBelow_.faces = chosen->mesh->FaceCount();
        lastBelow_.origin = chosen->origin;
        lastBelow_.hit = chosen->hit;
    }
    return best;
}

int CLayoutSurface::FindObjectBelow(math::Vec3 probe) const
{
    if (layout_.Placed().Count() == 0) return -1;
    // Without a grid for these objects (never refreshed, or objects added or removed since),
    // walk them all rather than answer from a grid that does not list them.
    if (!built_ || snapshot_.size() != static_cast<std::size_t>(layout_.Placed().Count()))
        return FindObjectBelowFullScan(probe);
    assert(!Stale() && "objects moved since the last Refresh");
    return FindBelow(probe, [&](auto&& visit) { grid_.ForEachCandidate(probe.x, probe.z, visit); });
}

int CLayoutSurface::FindObjectBelowFullScan(math::Vec3 probe) const
{
    if (layout_.Placed().Count() == 0) return -1;
    return FindBelow(probe, [&](auto&& visit) {
        for (int j = 0; j < layout_.Placed().Count(); ++j) {
            if (!visit(j)) return;
        }
    });
}

float CLayoutSurface::GroundHeight(math::Vec3 p) const
{
    const model::Mesh* mesh = MeshOf(layout_.Catalogue().Background());
    if (!mesh) return p.y;
    ++rayCasts_;
    const model::MeshHit hit = model::Intersect(*mesh, {p.x, p.y + 1.0f, p.z}, kDown);
    if (hit.hit && hit.nearest.dist <= kSearchWindow) return p.y + 1.0f - hit.nearest.dist;
    return p.y;
}

std::optional<float> CLayoutSurface::SurfaceTop(float x, float z, float from) const
{
    std::optional<float> top;
    const auto note = [&](const model::MeshHit& hit, float originY) {
        if (hit.hit && (!top || originY - hit.nearest.dist > *top)) top = originY - hit.nearest.dist;
    };
    if (const model::Mesh* ground = MeshOf(layout_.Catalogue().Background())) {
        ++rayCasts_;
        note(model::Intersect(*ground, {x, from, z}, kDown), from);
    }
    const std::span<const PlacedObject> objects = layout_.Placed().All();
    const auto visit = [&](int j) {
        const PlacedObject& object = objects[static_cast<std::size_t>(j)];
        const ObjectType* type = layout_.Catalogue().FindType(object.type);
        const model::Mesh* mesh = type ? MeshOf(type->visible) : nullptr;
        if (!mesh || object.y + type->bounds.minY > from) return true;
        const ObjectPoint local = ToObjectSpace({x, from, z}, object, layout_.Placed().Trig(j));
        const model::MeshBox& b = type->bounds;
        if (!(b.minX <= local.x && local.x <= b.maxX && b.minZ <= local.z && local.z <= b.maxZ)) return true;
        ++rayCasts_;
        note(model::Intersect(*mesh, {local.x, from - object.y, local.z}, kDown), from);
        return true;
    };
    // The grid lists the objects only while it is up to date.
    if (built_ && snapshot_.size() == static_cast<std::size_t>(layout_.Placed().Count()) && !Stale()) {
        grid_.ForEachCandidate(x, z, visit);
    } else {
        for (int j = 0; j < layout_.Placed().Count(); ++j)
            visit(j);
    }
    return top;
}

float CLayoutSurface::HeightAt(int index, math::Vec3 p) const
{
    const PlacedObject* object = layout_.Placed().Find(index);
    const ObjectType* type = object ? layout_.Catalogue().FindType(object->type) : nullptr;
    const model::Mesh* mesh = type ? MeshOf(type->visible) : nullptr;
    if (!mesh) return GroundHeight(p);
    const ObjectPoint local = ToObjectSpace(p, *object, layout_.Placed().Trig(index));
    const model::MeshHit hit = CastDown(*mesh, {local.x, p.y + 1.0f - object->y, local.z});
    if (hit.hit) return p.y + 1.0f - hit.nearest.dist;
    return GroundHeight(p);
}

float CLayoutSurface::GuideDistance(const GuideRay& ray, int route) const
{
    const float height = ray.probeY + static_cast<float>(route) - ray.objectY;
    // A ray above or below every layer of the guide cannot meet it.
    if (!(height >= ray.bottom && height <= ray.top)) return kGuideMiss;
    ++rayCasts_;
    const model::MeshHit hit = model::Intersect(*ray.mesh, {ray.originX, height, ray.originZ},
                                                {ray.directionX, 0.0f, ray.directionZ});
    return hit.hit ? hit.nearest.dist : kGuideMiss;
}

math::Vec3 CLayoutSurface::GuidePoint(int index, math::Vec3 p, float yaw)
{
    const PlacedObject* object = layout_.Placed().Find(index);
    const ObjectType* type = object ? layout_.Catalogue().FindType(object->type) : nullptr;
    const model::Mesh* guide = type ? MeshOf(type->guide) : nullptr;
    if (!guide || type->routeCount <= 0) return p;

    const ObjectTrig trig = layout_.Placed().Trig(index);
    const ObjectPoint local = ToObjectSpace(p, *object, trig);
    const float beta = yaw - object->angle * math::kDegToRad;
    const float cosBeta = std::cos(beta);
    const float sinBeta = std::sin(beta);
    // Rounding in the hit test may reach a hair beyond the mesh's extent.
    const model::MeshBox& extent = type->guideBounds;
    const float slack = 1.0e-4f * (1.0f + std::fabs(extent.minY) + std::fabs(extent.maxY));
    const GuideRay ray{.mesh = guide,
                       .originX = local.x + kGuideReach * cosBeta,
                       .originZ = local.z - kGuideReach * sinBeta,
                       .probeY = p.y,
                       .objectY = object->y,
                       .directionX = -cosBeta,
                       .directionZ = sinBeta,
                       .top = extent.maxY + slack,
                       .bottom = extent.minY - slack};

    auto moved = [&](float distance) {
        const float s = distance - kGuideReach; // how far left of the probe the line lies
        return math::Vec3{p.x - s * std::cos(yaw), 0.0f, p.z + s * std::sin(yaw)};
    };

    const int route = object->route;
    const float current = GuideDistance(ray, route);
    if (current <= 2.0f * kGuideReach) return moved(current);

    // The current route is out of reach: look for the nearest route under the probe. Routes
    // whose layer lies above the guide's top cannot be met, so the scan stops there however
    // large the type's route count is; layers below its bottom are skipped.
    int best = -1;
    float bestDistance = kGuideMiss;
    const double lowestUseful = double(ray.bottom) - (double(p.y) - double(object->y));
    int first = 0;
    if (lowestUseful > 1.0)
        first = static_cast<int>(std::min(std::floor(lowestUseful) - 1.0, double(type->routeCount)));
    for (int k = first; k < type->routeCount; ++k) {
        // Also ends the scan for a probe height that is no number.
        if (!(p.y + static_cast<float>(k) - object->y <= ray.top)) break;
        if (k == route) continue; // already known to be out of reach
        const float distance = GuideDistance(ray, k);
        if (distance < bestDistance) {
            best = k;
            bestDistance = distance;
        }
    }
    if (best < 0 || bestDistance > 2.0f * kGuideReach) return p;
    layout_.Placed().SetRoute(index, best);
    ++thrown_;
    // The query run again with the new route meets the same layer at the same distance.
    return moved(bestDistance);
}

} // namespace layout
