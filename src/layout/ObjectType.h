// One entry of the object catalogue: the meshes of a placeable object type, its bounds and the
// values of its .ini file. Placed objects name their type by its index in the catalogue.
#pragma once

#include "model/MeshBounds.h"
#include "model/MeshModel.h"

#include <array>
#include <string>

namespace layout {

// Snap points a type can define; the magnet uses only the first kMagnetSnapPoints of them.
inline constexpr int kSnapPointCount = 10;
inline constexpr int kMagnetSnapPoints = 9;
// Distance that marks an unused snap point (and the text "10000.0" that ends the list in an .ini).
inline constexpr float kUnusedSnapDistance = 10000.0f;

// A connection point on the object's ground plane, in object space.
struct SnapPoint {
    float x = 0;
    float distance = kUnusedSnapDistance; // from the object origin; kUnusedSnapDistance: unused
    float z = 0;

    bool Used() const { return distance != kUnusedSnapDistance; }
    friend bool operator==(const SnapPoint&, const SnapPoint&) = default;
};

struct ObjectType {
    std::string name;           // the .ini file name without ".ini"
    model::CMeshModel visible;  // name + ".x", with materials and texture; empty when unloadable
    model::CMeshModel guide;    // name + "_r.x", geometry only; its materialCount is the subset count
    int routeCount = 0;         // "ポイント", as read (may be negative or huge: clamp before use)
    int transparent = 0;        // "透明": 0 opaque pass, 1 transparent pass
    model::MeshBox bounds;      // visible mesh, object space, turn angle 0 (zero when empty)
    model::MeshSphere sphere;   // visible mesh, object space (zero when empty)
    model::MeshBox guideBounds; // guide mesh, object space (zero when empty): the route layers' height
    std::array<SnapPoint, kSnapPointCount> snaps{};
    bool loaded = false; // the record was filled by a catalogue load
    // A type a map names that the object folder lacks: it has no meshes, its objects are kept
    // as placeholders (drawn as a red frame, no surface) and written back as they were read.
    bool missing = false;

    // Number of snap points in use (they always come first).
    int UsedSnapCount() const;
    bool HasSnapPoints() const { return snaps[0].Used(); }
    bool HasGuide() const { return !guide.empty(); }
    // Routes that have a guide subset to draw: min(route count, guide subset count), never negative.
    int DrawableRoutes() const;
    // Route r names a guide subset that exists (0 <= r < guide subset count).
    bool IsGuideSubset(int route) const;
    // Turnouts are the types with more than one route; only they take a turnout key.
    bool IsTurnout() const { return routeCount > 1; }
};

} // namespace layout
