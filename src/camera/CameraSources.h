// What the camera reads from the trains, the vehicles and the layout each frame, as plain
// read-outs. The owner of each source fills its part before the frame; a source that is not
// there (an empty train slot, no model loaded) is simply left as it is built: all zeros.
#pragma once

#include "math/Vector.h"

#include <array>

namespace camera {

// The lead car of one train slot.
struct TrainSource {
    bool present = false;
    math::Vec3 leadPoint;     // front end of the lead car
    float leadRoofHeight = 0; // the target is the front end lowered by half of this
    math::Vec3 leadPosition;  // origin of the lead car
    float leadPitch = 0;      // radians, nose up positive
    float leadYaw = 0;        // radians, 0 faces +z
    float seatY = 0;          // driver's seat height of the train
    float seatZ = 0;          // driver's seat distance ahead of the lead car's origin
};

// The aeroplane or the helicopter.
struct FlyerSource {
    bool present = false;
    math::Vec3 position;
    math::Vec3 forward; // unit, climb included
    math::Vec3 up;      // unit (the aeroplane's views use it)
    float yaw = 0;      // radians (the helicopter's heading)
    float cockpitY = 0; // "操縦席y"
    float cockpitZ = 0; // "操縦席z"
};

// The road car.
struct CarSource {
    bool present = false;
    math::Vec3 position; // reference point
    float yaw = 0;       // radians
    math::Vec3 driver;   // "運転席x", "運転席y", "運転席z"
};

// The layout's selected placed object.
struct SelectedObjectSource {
    bool present = false; // false: nothing selected
    math::Vec3 position;
};

struct CameraSources {
    std::array<TrainSource, 6> trains{}; // slot 1 at index 0
    FlyerSource plane;
    FlyerSource helicopter;
    CarSource car;
    SelectedObjectSource selected;
};

// Entries of the position list (0 to 11) and the view-point list (the same, then 12 to 15).
namespace entry {
inline constexpr int kOrigin = 0;
inline constexpr int kFirstTrain = 1; // trains 1 to 6 are entries 1 to 6
inline constexpr int kLastTrain = 6;
inline constexpr int kPlane = 7;
inline constexpr int kHelicopter = 8;
inline constexpr int kCar = 9;
inline constexpr int kCameraPoint = 10;
inline constexpr int kSelectedObject = 11;
inline constexpr int kFree = 12;
inline constexpr int kFront = 13;
inline constexpr int kRear = 14;
inline constexpr int kDriverSeat = 15;
} // namespace entry

} // namespace camera
