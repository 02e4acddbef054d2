// The three questions vehicles ask of the layout about a probe point every frame: which placed
// object lies under it, at what height its surface lies, and where the track centre line passes
// beside it. All three cast rays against the meshes of the placed objects' types in each
// object's own space, and against the background in world space. The guide query may throw a
// turnout to the route under the probe (the automatic turnout).
//
// FindObjectBelow looks only at the objects that a ground-plan grid lists near the probe; the
// grid yields them in placement order, so the ten-hit limit and the early stop at distance 1.0
// give exactly the result of a walk over every object (FindObjectBelowFullScan).
#pragma once

#include "layout/PlacedObjectGrid.h"
#include "math/Vector.h"
#include "model/Mesh.h"
#include "model/MeshBounds.h"
#include "model/MeshIntersect.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace layout {

class CLayout;

class CLayoutSurface {
  public:
    // A downward ray records a surface only this far below its start (one unit above the probe).
    static constexpr float kSearchWindow = 2.0f;
    // FindObjectBelow keeps at most this many surfaces; an eleventh ends the scan.
    static constexpr int kMaxSurfaces = 10;
    // The guide ray starts this far to the right of the probe and reaches as far to its left.
    static constexpr float kGuideReach = 1.5f;
    // Distance the route scan notes for a miss.
    static constexpr float kGuideMiss = 10000.0f;

    // The layout must outlive this object.
    explicit CLayoutSurface(CLayout& layout);

    // Brings the object grid up to date with the placed objects and the catalogue; cheap when
    // nothing moved. Run it before each frame's queries (the trains do, at the start of each
    // pass), and after any edit before asking again.
    void Refresh();

    // Index of the placed object whose surface lies nearest to the probe height within ±1 unit,
    // or -1.
    int FindObjectBelow(math::Vec3 probe) const;
    // The same by walking every placed object: the reference the grid must agree with.
    int FindObjectBelowFullScan(math::Vec3 probe) const;
    // World height of the surface of object index under the probe; the ground height for -1,
    // an unknown index or a miss.
    float HeightAt(int index, math::Vec3 probe) const;
    // Height of the background under the probe when it lies within two units below the point
    // one unit above the probe; otherwise the probe's own height.
    float GroundHeight(math::Vec3 probe) const;
    // The highest surface under (x, z) from the height `from` down, however far: the
    // background's or a placed object's; nothing when there is none. Aircraft stay above it.
    std::optional<float> SurfaceTop(float x, float z, float from) const;
    // The probe moved sideways (across the heading yaw) onto the centre line of the object's
    // current route; only x and z mean anything. When the current route's line is out of reach
    // the object's route becomes the nearest route within reach, if any.
    math::Vec3 GuidePoint(int index, math::Vec3 probe, float yaw);

    // Test hooks: rays cast so far, and turnouts thrown by GuidePoint so far.
    std::uint64_t RayCasts() const { return rayCasts_; }
    int ThrownTurnouts() const { return thrown_; }
    const PlacedObjectGrid& Grid() const { return grid_; }

  private:
    struct Snapshot {
        int type = 0;
        float x = 0, z = 0, angle = 0;
        friend bool operator==(const Snapshot&, const Snapshot&) = default;
    };

    // The lateral ray of one guide query in the object's space, before its height is chosen.
    struct GuideRay {
        const model::Mesh* mesh = nullptr;
        float originX = 0, originZ = 0; // the height comes from the route
        float probeY = 0, objectY = 0;
        float directionX = 0, directionZ = 0;
        float top = 0, bottom = 0; // guide mesh extent in y, a hair wider
    };

    // The downward ray of the object FindObjectBelow chose last: HeightAt of that object under
    // the same probe casts the very same ray, so it takes the hit from here.
    struct LastBelow {
        bool valid = false;
        const model::Mesh* mesh = nullptr;
        const void* positions = nullptr;
        std::size_t faces = 0;
        math::Vec3 origin;
        model::MeshHit hit;
    };

    template <class Candidates> int FindBelow(math::Vec3 probe, Candidates&& candidates) const;
    // The ray down from origin in the mesh's space, taken from lastBelow_ when it is that ray.
    model::MeshHit CastDown(const model::Mesh& mesh, math::Vec3 origin) const;
    bool Stale() const;
    void Rebuild();
    // Hit distance of the guide ray at the height of route, or kGuideMiss.
    float GuideDistance(const GuideRay& ray, int route) const;

    CLayout& layout_;
    PlacedObjectGrid grid_;
    std::vector<Snapshot> snapshot_;
    std::uint64_t placedRevision_ = 0; // of the records snapshot_ was taken from
    std::vector<model::MeshBox> typeBounds_;
    std::vector<const void*> typeMeshes_;
    bool built_ = false;
    mutable std::uint64_t rayCasts_ = 0;
    mutable LastBelow lastBelow_;
    int thrown_ = 0;
};

} // namespace layout
