// One train slot: a train of up to 16 cars loaded from a train file, its home pose, its speed,
// and what it does each pass: the speed rule and the advance along each car's heading
// (DriveStep), then the per-car pass that settles every car onto the track under its probes
// (FollowTrack); the frame then draws the cars as they stand (DrawCars). The mouse picks,
// drags, raises and turns its cars.
//
// Cars are not coupled: each car probes the layout on its own, and the train stays together
// because all cars share one speed and follow one track.
#pragma once

#include "layout/PickRay.h"
#include "math/Vector.h"
#include "platform/Result.h"
#include "vehicles/TrainCar.h"
#include "vehicles/TrainControls.h"
#include "vehicles/TrainFile.h"

#include <array>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {
class Device;
}
namespace input {
class CInput;
}
namespace layout {
class CLayoutSurface;
}
namespace math {
class ViewVolume;
}

namespace vehicles {

// What the combo box of an empty slot shows.
inline constexpr std::string_view kNoTrain = "電車なし";

// The points of LeadPoint: the rear end, the front end and the middle of the lead car's roof.
enum class LeadPointKind { Rear = 0, Front = 1, Middle = 2 };

class CTrain {
  public:
    // Speeds change by this much per frame: a driving key, and the natural slow-down.
    static constexpr double kAcceleration = 0.001;
    static constexpr double kSlowDown = 0.0001;

    // slot: 1 to 6. profileSection: the section of every train and car file (the executable's
    // base name).
    CTrain(int slot, std::string profileSection);

    int Slot() const { return slot_; }

    // --- train folder and loading (folders end in '/')
    const std::string& Folder() const { return folder_; }
    void SetFolder(std::string folder);
    // The names the slot's train box lists after "電車なし": every "*.txt" of the folder without
    // its last four characters, in the folder search's order.
    std::vector<std::string> TrainNames() const;
    // Loads folder + name + ".txt" and forms the train at home. Fails, with the slot empty,
    // without a device. A car whose model cannot be loaded ends the train before it. With
    // removeVertexColours ("頂点カラーの削除") each car's .x is first rewritten without them.
    platform::Status LoadTrain(gfx::Device* device, std::string_view name, bool removeVertexColours = false);
    // Releases every car and empties the slot; everything else stays.
    void ReleaseCars();
    // The name the train was loaded by; empty for an empty slot.
    const std::string& Name() const { return name_; }

    // --- cars
    bool Empty() const { return lastCar_ < 0; }
    int LastCar() const { return lastCar_; }
    int CarCount() const { return lastCar_ + 1; }
    std::span<const TrainCar> Cars() const { return std::span<const TrainCar>(cars_).first(CarCount()); }
    const TrainCar& Car(int index) const { return cars_[static_cast<std::size_t>(index)]; }
    // Direct access to a car's pose, for tests and tools.
    TrainCar& MutableCar(int index) { return cars_[static_cast<std::size_t>(index)]; }
    float VerticalOffset() const { return verticalOffset_; }
    float CarGap() const { return carGap_; }
    float SeatY() const { return seatY_; }
    float SeatZ() const { return seatZ_; }

    // --- forming and home pose
    // Lines the cars up behind the lead car along −z, each pair separated by the car gap
    // between their bounds, then turns and moves the line to the home pose (atHome) or to the
    // lead car's current place and heading.
    void FormTrain(bool atHome);
    void SetHome(math::Vec3 position, float yaw);
    // "原点登録": the lead car's position and yaw become the home pose (an empty slot keeps it).
    void StoreHome();
    math::Vec3 HomePosition() const { return homePosition_; }
    float HomeYaw() const { return homeYaw_; }

    // --- read-outs for the camera, the labels and the text lines
    math::Vec3 LeadPosition() const { return cars_[0].position; }
    float LeadPitch() const { return cars_[0].pitch; }
    float LeadYaw() const { return cars_[0].yaw; }
    float LeadRoofHeight() const { return cars_[0].bounds.maxY; }
    // A point of the lead car's roof line in world space, lowered by the vertical offset.
    math::Vec3 LeadPoint(LeadPointKind kind) const { return CarPoint(0, kind); }
    math::Vec3 CarPoint(int car, LeadPointKind kind) const;
    float Speed() const { return speed_; }
    void SetSpeed(float speed) { speed_ = speed; }
    // The speed as shown on screen: "100km/h" for 0.5; towards the leading end when the last
    // car leads.
    std::string SpeedText() const;
    // The status-bar text of the selected car; nothing when no car is selected.
    std::optional<std::string> CarStatus() const;

    // --- one frame
    // The speed rule (stop, accelerate, decelerate, or the natural slow-down) and the advance
    // of every car along its own heading.
    void DriveStep(const input::CInput& input, const DriveControls& controls);
    // What the layout's operation allows and asks for the next passes: the most the speed may be
    // forwards and backwards (infinite: no limit), and for a train on autopilot the speed it aims
    // for, reached at the keys' rate without the natural slow-down. Any of its three keys takes
    // the train back into manual (TookOver says so once).
    void SetSpeedLimits(float forward, float backward)
    {
        limitForward_ = forward;
        limitBackward_ = backward;
    }
    void SetAutoSpeed(std::optional<float> target)
    {
        autoSpeed_ = target;
        // An autopilot that turned the train round leads with the last car until it turns again
        // (through its dwells too); the keys' reverse running keeps the lead car ahead.
        if (!target)
            lastCarLeads_ = false;
        else if (*target != 0.0f)
            lastCarLeads_ = *target < 0.0f;
    }
    // Whether the train runs last car first: the read-out and the camera follow that end.
    bool LastCarLeads() const { return lastCarLeads_ && !Empty(); }
    bool TookOver()
    {
        const bool took = tookOver_;
        tookOver_ = false;
        return took;
    }
    // Settles every car onto the track under its probes (height and pitch, centre line and
    // heading), as far as the controls allow. Refreshes the surface's object grid first.
    void FollowTrack(layout::CLayoutSurface& surface, const FollowControls& controls);
    // Whether the train takes part in the frame: loaded, its first car has a model and the slot's
    // train box does not show "電車なし" (shown false). Only then does it follow the track.
    bool Runs(bool shown) const { return !Empty() && cars_[0].HasModel() && shown; }
    // Draws every car inside the view volume and the culling distance, as the cars stand; nothing
    // without a device or when the train does not run.
    void DrawCars(gfx::Device* device, const CullView& view, bool shown) const;
    // Whether the per-car pass would draw the car.
    bool IsCarVisible(int index, const CullView& view) const;

    // --- mouse
    // Picks the nearest car under the pick ray: its distance along the ray, or kNoHit with no car
    // selected. Takes hold of the picked point for the drags that follow.
    float PickCar(const layout::PickRay& ray);
    int SelectedCar() const { return selectedCar_; }
    bool HasSelectedCar() const { return selectedCar_ >= 0 && selectedCar_ <= lastCar_; }
    // Takes hold again under the ray without moving anything (the camera moved during a drag).
    void ReanchorGrab(const layout::PickRay& ray);
    // One frame of a drag of the selected car: move, raise (Shift) or turn (Alt), the car alone
    // or the whole train. A ray that never meets the needed plane leaves everything as it was.
    CarDragResult DragCar(const layout::PickRay& ray, const CarDragFlags& flags);

    // Distance PickCar answers with when nothing was hit.
    static constexpr float kNoHit = 100000.0f;

  private:
    // Where the mouse holds the selected car: the offset from its origin at its height, that
    // height, and the bearing of the hold relative to the selected car and to the lead car.
    struct Grab {
        float x = 0;
        float height = 0;
        float z = 0;
        float angle = 0;
        float leadAngle = 0;
    };

    void FollowCar(TrainCar& car, layout::CLayoutSurface& surface, const FollowControls& controls);
    bool Visible(const TrainCar& car, const math::ViewVolume& volume, const CullView& view) const;
    void DrawCar(gfx::Device& device, const TrainCar& car) const;
    void TakeHold(const layout::PickRay& ray);
    void HoldAtSelectedHeight(const layout::PickRay& ray, float height);

    int slot_;
    std::string profileSection_;
    std::string folder_;
    std::string name_;
    float seatY_ = 0;
    float seatZ_ = 0;
    int selectedCar_ = -1;
    std::array<TrainCar, kMaxCars> cars_{};
    int lastCar_ = -1;
    math::Vec3 homePosition_;
    float homeYaw_ = 0;
    float speed_ = 0;
    float limitForward_ = std::numeric_limits<float>::infinity();
    float limitBackward_ = std::numeric_limits<float>::infinity();
    std::optional<float> autoSpeed_;
    bool lastCarLeads_ = false;
    bool tookOver_ = false;
    float verticalOffset_ = 0;
    float carGap_ = 0;
    Grab grab_;
};

} // namespace vehicles
