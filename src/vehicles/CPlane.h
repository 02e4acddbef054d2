// The aeroplane: flies along its forward vector at the speed set with keypad plus and minus;
// the keypad pitches, rolls and turns it by small angles each frame. It has no ground, no
// gravity and no collisions. Its keys act only while "飛行機(F7)" is the driven vehicle.
#pragma once

#include "math/Vector.h"
#include "platform/Result.h"
#include "vehicles/FlyerBody.h"

#include <string>

namespace gfx {
class Device;
}
namespace input {
class CInput;
}
namespace ui {
class DialogModel;
}

namespace vehicles {

class CPlane {
  public:
    static constexpr math::Vec3 kInitialHome{-4.0f, 6.0f, 0.0f};

    // profileSection names the section of every model .ini (the executable's base name).
    explicit CPlane(std::string profileSection);

    // Ends in '/'.
    const std::string& Folder() const { return body_.Folder(); }
    void SetFolder(std::string folder) { body_.SetFolder(std::move(folder)); }

    // Releases the model, lists the folder's models in the aeroplane box and loads the first:
    // a folder without models leaves no aeroplane.
    void ScanFolder(ui::DialogModel& setUp, gfx::Device* device);
    // Loads the model the aeroplane box lists at index; nothing for an index the box lacks.
    void SelectModel(const ui::DialogModel& setUp, int index, gfx::Device* device);
    // Loads folder + name (the teapot for "Teapot") and puts the aeroplane at home, level,
    // facing +z, standing. Without a device only the old model is released (an error).
    platform::Status LoadModel(gfx::Device* device, const std::string& name, bool removeVertexColours);

    // One pass of the main loop in running mode: the keypad (while the aeroplane is the driven
    // vehicle), the decay, and the flight along forward.
    void UpdateControls(const input::CInput& input, const ui::DialogModel& setUp);
    // After UpdateControls, before the frame is drawn: the body takes the pass's rotation.
    void TurnBody() { body_.FoldFrameRotation(); }
    // After the pass's move and turn: never below the ground height under the aeroplane; one
    // that reached it flying downwards levels out there. Nothing changes above the ground.
    void StayAbove(float ground);
    // Culls and draws the body as it stands.
    void Draw(gfx::Device* device, const ui::DialogModel& setUp, math::Vec3 eye) const;

    void StoreHome() { body_.SetHome(position_); }
    math::Vec3 Home() const { return body_.Home(); }
    void SetHome(math::Vec3 home) { body_.SetHome(home); }

    math::Vec3 Position() const { return position_; }
    float Speed() const { return speed_; }
    // Unit vectors of the attitude.
    math::Vec3 Forward() const { return forward_; }
    math::Vec3 Forward(float factor) const { return forward_ * factor; }
    math::Vec3 Up() const { return up_; }
    // Radians about y of the forward vector, 0 facing +z.
    float Heading() const;
    // The line overlay's aeroplane vector: ten times forward.
    math::Vec3 AeroplaneVector() const { return forward_ * 10.0f; }
    float CockpitY() const { return body_.CockpitY(); }
    float CockpitZ() const { return body_.CockpitZ(); }
    bool Loaded() const { return body_.Loaded(); }
    const FlyerBody& Body() const { return body_; }

    // "飛行機:" line: speed × 200 + "km/h"; "高度:" line: height + "m"; "角度:" line: heading in
    // degrees + "'" (facing +x reads 89').
    std::string SpeedText() const;
    std::string AltitudeText() const;
    std::string AngleText() const;

  private:
    void Steer(const input::CInput& input);

    FlyerBody body_;
    math::Vec3 position_ = kInitialHome;
    float speed_ = 0;
    math::Vec3 forward_{0.0f, 0.0f, 1.0f};
    math::Vec3 up_{0.0f, 1.0f, 0.0f};
};

} // namespace vehicles
