// The road car: driven with the arrow keys over the layout, moving freely along its heading
// while its height follows the surface of the placed object under it. Its model comes from the
// car folder, listed in the settings dialog's car box.
#pragma once

#include "math/Matrix.h"
#include "math/Vector.h"
#include "platform/Result.h"
#include "vehicles/VehicleModel.h"

#include <string>

namespace gfx {
class Device;
}
namespace input {
class CInput;
}
namespace layout {
class CLayoutSurface;
}
namespace ui {
class DialogModel;
}

namespace vehicles {

// What the car's ground following reads in a frame besides the car itself.
struct CarGround {
    // The layout's surface queries; null: nothing to stand on, the height stays.
    layout::CLayoutSurface* surface = nullptr;
    bool heightDetection = false; // the tool bar's "高さの検出"
    bool editing = false;         // one of the tool bar's editing modes is checked
};

class CCar {
  public:
    static constexpr math::Vec3 kInitialHome{0.0f, 0.2f, 15.0f};

    // profileSection names the section of every model .ini (the executable's base name).
    explicit CCar(std::string profileSection);

    // Ends in '/'.
    const std::string& Folder() const { return folder_; }
    void SetFolder(std::string folder) { folder_ = std::move(folder); }

    // Lists the folder's models in the settings dialog's car box and loads the first. A folder
    // without models empties the box and keeps the model that is loaded.
    void ScanFolder(ui::DialogModel& setUp, gfx::Device* device);
    // Loads the model the car box lists at index; nothing for an index the box lacks.
    void SelectModel(const ui::DialogModel& setUp, int index, gfx::Device* device);
    // Loads folder + name (the built-in teapot for "Teapot") and its .ini, and puts the car at
    // home, standing, facing +z. Without a device the model is released and nothing else
    // happens (an error).
    platform::Status LoadModel(gfx::Device* device, const std::string& name, bool removeVertexColours);

    // One pass of the main loop in running mode: the arrow keys, End and Home, and the decay.
    void UpdateControls(const input::CInput& input, const ui::DialogModel& setUp);
    // Once per pass, after the driving: the height of the ground under the model's origin, while
    // the car moves or an editing mode is on and height detection allows it.
    void FollowGround(const ui::DialogModel& setUp, const CarGround& ground);
    // Culling and drawing, as the car stands.
    void Draw(gfx::Device* device, const ui::DialogModel& setUp, math::Vec3 eye) const;

    void StoreHome() { home_ = position_; }
    math::Vec3 Home() const { return home_; }
    void SetHome(math::Vec3 home) { home_ = home; }

    // The world position of the model's origin: the position itself when the car turns about
    // its origin ("車の原点で回転"), otherwise the point the rear-wheel offset ahead of it.
    math::Vec3 ModelOrigin(const ui::DialogModel& setUp) const;
    math::Vec3 ModelOrigin(bool turnAboutOrigin) const;
    // The reference point (the rear axle unless the car turns about its origin).
    math::Vec3 Position() const { return position_; }
    float Speed() const { return speed_; }
    // Radians about y, 0 facing +z.
    float Heading() const { return heading_; }
    // "運転席x", "運転席y", "運転席z".
    math::Vec3 DriverSeat() const { return seat_; }
    float RearWheelOffset() const { return rearWheel_; }
    // A model has been loaded (the car has a pose), whether or not its mesh could be read.
    bool Placed() const { return placed_; }
    const VehicleModel& Model() const { return model_; }

    // "10km/h" at speed 0.05.
    std::string SpeedText() const;

  private:
    std::string folder_;
    std::string section_;
    math::Vec3 seat_;
    VehicleModel model_;
    math::Vec3 home_ = kInitialHome;
    math::Vec3 position_ = kInitialHome;
    float speed_ = 0;
    float heading_ = 0;
    float scale_ = 1.0f;
    float modelAngle_ = 0;
    float rearWheel_ = 0;
    math::Matrix base_ = math::Identity();
    bool placed_ = false;
};

} // namespace vehicles
