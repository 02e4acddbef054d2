// What the aeroplane and the helicopter have in common: the model and its .ini values, the
// home position, the orientation the drawn body has built up, the three rotations of the
// current frame that are folded into it, and the drawing with its culling.
#pragma once

#include "math/Matrix.h"
#include "math/Quaternion.h"
#include "math/Vector.h"
#include "platform/Result.h"
#include "vehicles/VehicleModel.h"

#include <string>

namespace gfx {
class Device;
}
namespace ui {
class DialogModel;
}

namespace vehicles {

class FlyerBody {
  public:
    // profileSection names the section of every model .ini (the executable's base name).
    FlyerBody(std::string profileSection, math::Vec3 home);

    // Ends in '/'.
    const std::string& Folder() const { return folder_; }
    void SetFolder(std::string folder) { folder_ = std::move(folder); }

    // Releases the model (the vehicle disappears), lists the folder's models in the settings
    // dialog's box comboId and selects the first. Returns whether there is one to load.
    bool ListModels(ui::DialogModel& setUp, int comboId);
    // The model the box lists at index, or nothing for an index the box lacks.
    static const std::string* ModelName(const ui::DialogModel& setUp, int comboId, int index);
    // Releases the model, then without a device fails; otherwise loads folder + name (the
    // teapot for "Teapot") with its .ini values and sets the orientation to the model's own
    // scale and turn. The caller puts the vehicle at home.
    platform::Status Load(gfx::Device* device, const std::string& name, bool removeVertexColours);

    // The rotations of the current frame; identity until set.
    const math::Quaternion& Pitch() const { return pitch_; }
    const math::Quaternion& Roll() const { return roll_; }
    const math::Quaternion& Yaw() const { return yaw_; }
    void SetPitch(const math::Quaternion& q) { pitch_ = q; }
    void SetRoll(const math::Quaternion& q) { roll_ = q; }
    void SetYaw(const math::Quaternion& q) { yaw_ = q; }
    // Folds the frame's rotation, (pitch × roll) × yaw, into the orientation and sets the three
    // back to identity. Every frame's rotation must arrive here exactly once.
    void FoldFrameRotation();

    // Draws the body as it stands at position unless it lies beyond the culling distance from the
    // eye or outside the view. heading (radians about y) turns the sphere centre for the view test.
    void Draw(gfx::Device* device, const ui::DialogModel& setUp, math::Vec3 eye, math::Vec3 position,
              float heading) const;

    math::Vec3 Home() const { return home_; }
    void SetHome(math::Vec3 home) { home_ = home; }
    // "操縦席y" and "操縦席z".
    float CockpitY() const { return cockpitY_; }
    float CockpitZ() const { return cockpitZ_; }
    const math::Matrix& Orientation() const { return orientation_; }
    const VehicleModel& Model() const { return model_; }
    // A model has been loaded since the last release, whether or not its mesh could be read.
    bool Loaded() const { return loaded_; }

  private:
    std::string folder_;
    std::string section_;
    float cockpitY_ = 0;
    float cockpitZ_ = 0;
    VehicleModel model_;
    math::Vec3 home_;
    float scale_ = 1.0f;
    float modelAngle_ = 0;
    math::Quaternion pitch_;
    math::Quaternion roll_;
    math::Quaternion yaw_;
    math::Matrix orientation_ = math::Identity();
    bool loaded_ = false;
};

} // namespace vehicles
