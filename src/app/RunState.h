// What the application reads off its trains, vehicles and layout for a report of a run: the
// trains' cars, the placed objects and their route changes, the three vehicles and the edit
// history. Angles of vehicles are in radians, those of placed objects in degrees.
#pragma once

#include <cstdint>

#include "math/Vector.h"

#include <string>
#include <vector>

namespace app {

inline constexpr const char* kNoTrainName = "電車なし";
inline constexpr int kTrainSlotCount = 6;

struct TrainCarState {
    float x = 0, y = 0, z = 0;
    float pitch = 0, yaw = 0;
    // Objects found under the front and rear probes in the last pass, -1 for none.
    int below = -1;
    int belowRear = -1;
};

struct TrainState {
    int slot = 1;
    std::string name = kNoTrainName;
    float speed = 0;
    std::vector<TrainCarState> cars; // lead car first; empty for an empty slot
};

struct PlacedObjectState {
    int index = 0;
    std::string type;
    float x = 0, y = 0, z = 0;
    float angle = 0; // degrees
    int route = 0;
    int key = -1;
};

struct RouteChange {
    int frame = 0;
    int index = 0;
    int from = 0;
    int to = 0;
};

struct RoadCarState {
    float x = 0, y = 0, z = 0;
    float speed = 0;
    float heading = 0;
};

struct PlaneState {
    float x = 0, y = 0, z = 0;
    float speed = 0;
    float heading = 0;
    math::Vec3 forward;
    math::Vec3 up;
};

struct HelicopterState {
    float x = 0, y = 0, z = 0;
    math::Vec3 velocity;
    float heading = 0;
    math::Vec3 forward;
    math::Vec3 up;
};

// The layout's edit history: steps to undo and to redo, and unsaved changes.
struct HistoryState {
    int undo = 0;
    int redo = 0;
    bool changed = false;
    // Edits, undos and redos made so far (not reported): autosave counts them.
    std::uint64_t commands = 0;
};

} // namespace app
