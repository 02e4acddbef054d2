// The settings a train reads from the windows around it each frame, gathered by the caller so
// that the trains never reach for a dialog or the tool bar themselves.
#pragma once

#include "math/Matrix.h"
#include "math/Viewport.h"

#include <limits>

namespace vehicles {

// For the speed rule.
struct DriveControls {
    int driveType = 0;           // the slot's drive-type box: a row of the drive-type key table
    bool noDeceleration = false; // "減速しない"
};

// For the track following.
struct FollowControls {
    bool heightDetection = true; // "高さの検出"
    bool curveDetection = true;  // "カーブの検出"
    bool editTool = false; // one of "マップの作成", "電車１両の移動", "電車１編成の移動"
};

// What culling needs of the camera: the current matrices and viewport, the eye and the
// culling distance ("ｶﾘﾝｸﾞ", whole units).
struct CullView {
    math::Matrix view = math::Identity();
    math::Matrix projection = math::Identity();
    math::Viewport viewport{};
    math::Vec3 eye;
    float cullingDistance = 10000.0f;
};

// Modifiers and tool-bar states that steer a car drag.
struct CarDragFlags {
    bool shift = false;      // raise and lower
    bool alt = false;        // turn
    bool grid = false;       // "グリッド"
    bool wholeTrain = false; // "電車１編成の移動" rather than "電車１両の移動"
    // How far from the eye a drag may carry the car: the culling distance.
    float reach = std::numeric_limits<float>::infinity();
};

struct CarDragResult {
    // Shift was held: height detection must be switched off, so that the height set by hand
    // is not overridden by the track.
    bool heightDetectionOff = false;
};

} // namespace vehicles
