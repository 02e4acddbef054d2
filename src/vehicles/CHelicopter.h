// The helicopter: hovers with a velocity of its own that the keypad pushes forward, back,
// sideways, up and down relative to its heading and that dies away when the keys are released.
// The body leans with the motion while the speed is small and levels out as the motion decays.
// Its keys act only while "ヘリコプター(F7)" is the driven vehicle.
#pragma once

#include "math/Vector.h"
#include "platform/Result.h"
#include "vehicles/FlyerBody.h"

#include <optional>
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

// The signed component of the horizontal velocity along the horizontal forward direction.
// Nothing (undefined) without horizontal motion or without a horizontal forward direction.
std::optional<float> ForwardSpeed(math::Vec3 velocity, math::Vec3 forward);
// The horizontal speed across the forward direction, never negative; with up given, negative
// while the motion goes towards the keypad-4 side (for up = +y). Nothing where it is undefined:
// no horizontal motion, no horizontal forward direction, or rounding taking the cosine just
// outside -1..1.
std::optional<float> LateralSpeed(math::Vec3 velocity, math::Vec3 forward, const math::Vec3* up = nullptr);

class CHelicopter {
  public:
    static constexpr math::Vec3 kInitialHome{4.0f, 6.0f, 0.0f};

    // profileSection names the section of every model .ini (the executable's base name).
    explicit CHelicopter(std::string profileSection);

    // Ends in '/'.
    const std::string& Folder() const { return body_.Folder(); }
    void SetFolder(std::string folder) { body_.SetFolder(std::move(folder)); }

    // As the aeroplane's, with the helicopter box.
    void ScanFolder(ui::DialogModel& setUp, gfx::Device* device);
    void SelectModel(const ui::DialogModel& setUp, int index, gfx::Device* device);
    // Puts the helicopter at home, level, facing +z, with no velocity.
    platform::Status LoadModel(gfx::Device* device, const std::string& name, bool removeVertexColours);

    // One pass of the main loop in running mode: the keypad (while the helicopter is the driven
    // vehicle), drag and levelling, and the drift by the velocity.
    void UpdateControls(const input::CInput& input, const ui::DialogModel& setUp);
    // After UpdateControls, before the frame is drawn: the body takes the pass's rotation.
    void TurnBody() { body_.FoldFrameRotation(); }
    // After the pass's move: never below the ground height under the helicopter; at the ground
    // its descent stops (it lands). Nothing changes above the ground.
    void StayAbove(float ground);
    // Culls and draws the body as it stands.
    void Draw(gfx::Device* device, const ui::DialogModel& setUp, math::Vec3 eye) const;

    void StoreHome() { body_.SetHome(position_); }
    math::Vec3 Home() const { return body_.Home(); }
    void SetHome(math::Vec3 home) { body_.SetHome(home); }

    math::Vec3 Position() const { return position_; }
    math::Vec3 Velocity() const { return velocity_; }
    math::Vec3 Forward() const { return forward_; }
    math::Vec3 Forward(float factor) const { return forward_ * factor; }
    // Never changes: the body's lean lives in the forward vector and the orientation only.
    math::Vec3 Up() const { return up_; }
    // Radians about y of the forward vector, 0 facing +z.
    float Heading() const;
    float CockpitY() const { return body_.CockpitY(); }
    float CockpitZ() const { return body_.CockpitZ(); }
    bool Loaded() const { return body_.Loaded(); }
    const FlyerBody& Body() const { return body_; }

    // "ヘリ:" line: the whole velocity's length × 200 + "km/h" (climbing counts); "高度:" line.
    std::string SpeedText() const;
    std::string AltitudeText() const;

  private:
    void Steer(const input::CInput& input);
    void DragAndLevel();
    // Turns forward about forward × up and returns that rotation; nothing is turned when that
    // would bring the nose to the vertical or past it.
    std::optional<math::Quaternion> Lean(float radians);

    FlyerBody body_;
    math::Vec3 position_ = kInitialHome;
    math::Vec3 velocity_;
    math::Vec3 forward_{0.0f, 0.0f, 1.0f};
    math::Vec3 up_{0.0f, 1.0f, 0.0f};
};

} // namespace vehicles
