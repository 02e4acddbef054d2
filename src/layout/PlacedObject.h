// One object placed on the layout: which type, where, turned how far, and its turnout state.
#pragma once

namespace layout {

// A turnout key number 0 to 11, or this for none.
inline constexpr int kNoKey = -1;
inline constexpr int kTurnoutKeyCount = 12;

struct PlacedObject {
    int type = 0; // catalogue index
    float x = 0, y = 0, z = 0;
    float angle = 0;  // degrees about the vertical axis; kept as read from a map file
    int route = 0;    // current route of a turnout, 0 for other objects; kept as read
    int key = kNoKey; // turnout key 0 to 11, or kNoKey

    friend bool operator==(const PlacedObject&, const PlacedObject&) = default;
};

// Sine and cosine of a placed object's angle (angle × 0.017453292 radians), kept beside the
// records so that the per-frame surface queries do not recompute them.
struct ObjectTrig {
    float sinAngle = 0;
    float cosAngle = 1;
    friend bool operator==(const ObjectTrig&, const ObjectTrig&) = default;
};

} // namespace layout
