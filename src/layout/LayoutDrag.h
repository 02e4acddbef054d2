// Taking hold of the selection with the mouse and dragging it: across the ground, up and down
// (Shift) or turning (Alt), with grid and magnet. The objects follow the mouse every frame; the
// whole press-drag-release is recorded as one edit when the button comes up.
#pragma once

#include "layout/LayoutLimits.h"
#include "layout/PickRay.h"
#include "layout/PlacedObjects.h"
#include "layout/Snapping.h"
#include "math/Vector.h"

#include <limits>
#include <string>
#include <vector>

namespace layout {

class CLayout;

// Modifier keys and tool-bar states that steer a drag, read by the caller.
struct DragFlags {
    bool shift = false;  // raise and lower
    bool alt = false;    // turn
    bool grid = false;   // "グリッド"
    bool magnet = false; // "マグネット"
    // How far from the eye a drag may carry the object: the culling distance.
    float reach = std::numeric_limits<float>::infinity();
};

// Where the mouse took hold of the primary object, relative to its origin.
struct GrabState {
    float primaryAngle = 0; // the primary's angle when it was picked
    float x = 0, y = 0, z = 0;
    float bearing = 0; // atan2(x, z) in degrees minus the primary's angle
    friend bool operator==(const GrabState&, const GrabState&) = default;
};

// The nearest placed object along a ray: index -1 and kNoHitDistance when none.
struct PickHit {
    int index = -1;
    float distance = kNoHitDistance;
    friend bool operator==(const PickHit&, const PickHit&) = default;
};

class LayoutDrag {
  public:
    explicit LayoutDrag(CLayout& layout) : layout_(layout) {}

    // A click that the layout won: keeps the ray, takes the grab state from the hit object,
    // and updates the selection (ctrl: add or remove). Returns the hit's distance
    // (kNoHitDistance for no hit, which clears the primary and, without ctrl, the selection).
    float PickPlacedObject(const PickRay& ray, const PickHit& hit, bool ctrl);
    // Marks the start of a drag of the selection.
    void BeginDrag();
    // One frame of a drag under the cursor ray: move, raise (shift) or turn (alt).
    void DragSelected(const PickRay& cursorRay, const DragFlags& flags);
    // Re-derives the grab point after the camera moved during a drag.
    void RegrabSelected(const PickRay& cursorRay);
    // Ends the drag; when it moved anything, that is recorded as one edit. Returns whether it did.
    bool EndDrag();
    // Forgets a drag in progress without recording it (the objects went away).
    void Cancel();
    bool Dragging() const { return dragging_; }
    // The magnet correction for the primary object at its current place; shifts the grab point
    // so that the correction holds in later frames.
    SnapOffset SnapSelected();
    const GrabState& Grab() const { return grab_; }
    const PickRay& LastPickRay() const { return pickRay_; }

  private:
    struct Relative {
        math::Vec3 offset;
        float angle = 0;
    };

    void DragAcross(const PickRay& ray, const DragFlags& flags);
    void DragUpDown(const PickRay& ray, const DragFlags& flags);
    void DragTurn(const PickRay& ray, const DragFlags& flags);
    Relative RelativeOf(int index) const;

    CLayout& layout_;
    PickRay pickRay_;
    GrabState grab_;
    std::vector<Relative> relatives_;
    bool dragging_ = false;
    std::vector<PlacedRecord> before_;
    std::string mode_; // the edit's name: what the drag did so far
};

} // namespace layout
