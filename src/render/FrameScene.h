// What a frame draws, item by item, and the read-outs of its text lines. The frame fixes the
// order; each item is drawn by its owner (layout, trains, vehicles, key labels), which the
// application connects by overriding these calls. The defaults draw nothing and read zero, as
// an empty layout with no trains or vehicles would.
#pragma once

#include "math/Vector.h"

#include <optional>
#include <string>

namespace gfx {
class Device;
}

namespace render {

// The catalogue type shown in the object dialog's preview: its bounding sphere.
struct PreviewSubject {
    math::Vec3 centre;
    float radius = 0;
};

class FrameScene {
  public:
    virtual ~FrameScene() = default;

    // --- the main frame's items, in the order the frame calls them
    virtual void DrawBackground(gfx::Device& device);
    // Slots 1 to 6.
    virtual void DrawCars(gfx::Device& device, int slot);
    // Pass 0 before the vehicles, pass 1 after them.
    virtual void DrawPlacedObjects(gfx::Device& device, int pass);
    virtual void DrawPlane(gfx::Device& device);
    virtual void DrawHelicopter(gfx::Device& device);
    virtual void DrawRoadCar(gfx::Device& device);
    // Drawn unlit.
    virtual void DrawLineOverlay(gfx::Device& device);
    // The layout check's markers, drawn unlit whenever there are any.
    virtual bool HasCheckMarkers() const;
    virtual void DrawCheckMarkers(gfx::Device& device);
    // Drawn unlit; pointSize is the size the labels set when the device has no per-vertex size.
    virtual void DrawKeyLabels(gfx::Device& device, float pointSize);

    // --- the read-outs of the text lines (without their prefixes)
    // Slots 1 to 6, e.g. "0km/h".
    virtual std::string TrainSpeedText(int slot) const;
    // What the layout's operation says of the train ("走行", "待機（電車2）"), or nothing.
    virtual std::string TrainStateText(int slot) const;
    virtual std::string CarSpeedText() const;
    virtual std::string PlaneSpeedText() const;
    virtual std::string PlaneAltitudeText() const; // "0m"
    virtual std::string PlaneAngleText() const;    // "0'"
    virtual std::string HelicopterSpeedText() const;
    virtual std::string HelicopterAltitudeText() const;

    // --- the object dialog's preview
    // The type selected in the object dialog, or nothing (the preview then shows only its
    // background).
    virtual std::optional<PreviewSubject> PreviewType() const;
    // Draws that type; the preview camera is already set.
    virtual void DrawPreview(gfx::Device& device);
};

} // namespace render
