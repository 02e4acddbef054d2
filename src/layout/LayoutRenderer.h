// Drawing the layout through the device: the placed objects in an opaque and a transparent
// pass, each culled against the view volume and the culling distance, with the guide meshes
// that show how turnouts are set; the background; the preview of one catalogue type for the
// object dialog; and the diagnostic line overlay.
//
// The settings are read from the settings dialog's controls at each call. The view and
// projection are those in force on the device (the frame set them); the camera's eye point and
// the map-editing state come from the caller.
#pragma once

#include "gfx/Device.h"
#include "layout/CLayout.h"
#include "math/Matrix.h"
#include "math/Vector.h"
#include "math/ViewVolume.h"
#include "model/MeshBounds.h"

#include <cstdint>
#include <vector>

namespace ui {
class DialogModel;
}

namespace layout {

// The states of the "軌道(F8)" box.
enum class GuideDisplay { Off = 0, All = 1, TurnoutsOnly = 2 };

// What the drawing reads from the settings dialog.
struct LayoutDrawSettings {
    float cullingDistance = 5000.0f; // "ｶﾘﾝｸﾞ"
    float objectAlpha = 1.0f;        // "ｵﾌﾞｼﾞｪｸﾄ" × 0.01
    float backgroundAlpha = 1.0f;    // "背景" × 0.01
    GuideDisplay guides = GuideDisplay::Off;
};
LayoutDrawSettings ReadLayoutDrawSettings(const ui::DialogModel& setUp);

// What drawing the placed objects keeps from frame to frame: the list of the objects a pass
// draws (storage only), and each object's world matrix and bounding sphere centre in the world,
// worked out again only when objects were added, moved, turned or removed, or a type's sphere
// changed. Drawing therefore allocates nothing and turns nothing once it has grown.
struct PlacedDrawCache {
    std::vector<int> drawn;
    std::vector<math::Matrix> worlds;
    std::vector<math::Vec3> centres;
    std::vector<model::MeshSphere> typeSpheres; // by catalogue index, as the centres saw them
    std::uint64_t revision = 0;                 // of the placed objects the centres were made for
    bool built = false;
};

// The placed objects a pass draws, in index order: those whose type's transparent flag equals
// the pass, whose bounding sphere is not outside the volume and whose sphere centre lies no
// farther from the eye than the culling distance.
std::vector<int> ObjectsInPass(const CLayout& layout, int pass, const math::ViewVolume& volume,
                               math::Vec3 eye, float cullingDistance);
// The same into cache.drawn (emptied first), bringing the cache up to date.
void ObjectsInPass(const CLayout& layout, int pass, const math::ViewVolume& volume, math::Vec3 eye,
                   float cullingDistance, PlacedDrawCache& cache);

// Pass 0 draws the opaque types, pass 1 the transparent ones; then, when the "軌道(F8)" box
// asks for them, the guide mesh of each object drawn (turnouts only in its third state),
// lowered by the object's route so that the current route's layer lies at track level. Only a
// route that is a subset of the guide mesh is drawn. Selected objects get the wire highlight in
// map-editing mode. cache is the caller's, kept from frame to frame.
void DrawPlacedObjects(gfx::Device* device, const CLayout& layout, int pass, const ui::DialogModel& setUp,
                       math::Vec3 eye, bool mapEditing, PlacedDrawCache& cache);

// The background mesh at the origin with the "背景" slider's alpha.
void DrawBackground(gfx::Device* device, const CLayout& layout, const ui::DialogModel& setUp);

// The catalogue type selected in the object dialog at the origin, with every route layer of its
// guide mesh at track level; nothing when no type is selected.
void DrawPreview(gfx::Device* device, const CLayout& layout);

// Grid, axes, the aeroplane's heading (from its position, which the caller gives) and the last
// pick ray, as one unlit line list. The caller switches lighting off around it.
std::vector<gfx::ColoredVertex> LineOverlayVertices(const CLayout& layout, math::Vec3 aeroplanePosition);
void DrawLineOverlay(gfx::Device* device, const CLayout& layout, math::Vec3 aeroplanePosition);

} // namespace layout
