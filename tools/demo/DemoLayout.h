// The demo layout: an oval main line with a passing loop and station on one side and a level
// crossing on the other, a siding with a goods shed, and a branch that leaves the main line,
// climbs on an embankment, crosses the main line on a bridge and ends in a small yard; houses,
// trees and a road that leaves the oval northwards over a road bridge; three trains on the track,
// the road car on the road, the aeroplane and the helicopter in the air. The layout is in
// service when it opens: protection on, the two main-line trains on autopilot stopping at the
// station, the freight shuttling along the loop track.
//
// Pieces are laid end to end with exact geometry. A map file keeps positions to a thousandth,
// so the positions are then rounded such that every joint stays closed to within a millimetre.
#pragma once

#include "demo/Geometry.h"
#include "demo/Scenery.h"
#include "demo/TrackPieces.h"

#include <array>
#include <string>
#include <vector>

namespace demo {

struct PlacedPiece {
    std::string type;
    double x = 0, y = 0, z = 0;
    double angle = 0; // degrees, 0 to below 360
    int route = 0;
    int key = -1; // turnout key 0 to 11 (keyboard 1 to 0, '-', '^'), -1 none
};

struct TrainHome {
    double x = 0, y = 0, z = 0;
    double yaw = 0;    // radians
    std::string train; // train file name, or "電車なし"
};

struct DemoLayout {
    std::vector<PlacedPiece> objects;
    std::array<TrainHome, 6> trains;
    V3 plane, helicopter, car;
    std::string planeModel, helicopterModel, carModel;
    // The main line's length (one lap on route 0 of every turnout) and the largest gap left at
    // a joint after rounding.
    double mainLoopLength = 0;
    double largestJointGap = 0;
    // The layout in service (record indexes of objects): the station's pieces of the main line,
    // where trains 1 and 2 stop on their laps, and the loop track's two ends, where train 3
    // turns back. None: no operation data.
    std::vector<int> station;
    std::vector<int> loopWest, loopEast;
};

// The text shown for an empty train slot.
inline constexpr const char* kNoTrain = "電車なし";

// The turnout keys of the passing loop (the keyboard keys 1 and 2).
inline constexpr int kPassingLoopEntryKey = 0;
inline constexpr int kPassingLoopExitKey = 1;

DemoLayout BuildDemoLayout(const std::vector<TrackPiece>& pieces, const std::vector<SceneryModel>& scenery);

// World positions of the snap points of a placed piece, given its type's snap points.
std::vector<V3> WorldSnapPoints(const PlacedPiece& piece, const std::vector<SnapDef>& snaps);

} // namespace demo
