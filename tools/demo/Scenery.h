// The objects of the demo set that trains do not follow: platform, buildings, trees, the road,
// and the ground that the layout stands on (the background mesh).
#pragma once

#include "demo/MeshBuilder.h"
#include "demo/TrackPieces.h"

#include <string>
#include <vector>

namespace demo {

namespace scenery {
// A platform edge stands this far from the centre of its track; the platform is this wide.
inline constexpr double kPlatformEdge = 1.6;
inline constexpr double kPlatformWidth = 5.0;
inline constexpr double kPlatformLength = 50.0;
inline constexpr double kPlatformHeight = 1.45;
inline constexpr double kRoadHalfWidth = 3.5;
// The road's bridge and the ramps up to it: four steps as long as the track's slopes, lifting
// the deck high enough to pass over a road or a track.
inline constexpr double kRoadRampLength = track::kSlopeLength;
inline constexpr double kRoadRampRise = 1.5;
inline constexpr int kRoadRampsPerSide = 4;
inline constexpr double kRoadBridgeRise = kRoadRampsPerSide * kRoadRampRise;
inline constexpr double kRoadBridgeLength = track::kBridgeLength;
// Ramp walls and bridge abutments reach this far below their piece's base, so that from any
// step of the ramp they go into the ground.
inline constexpr double kRoadFoundation = -(kRoadBridgeRise + 1.5);
// The ground mesh: a square of this side around this centre, its texture repeating every
// kGroundTile units. It reaches north past the end of the road over the bridge.
inline constexpr double kGroundSide = 2000.0;
inline constexpr double kGroundCentreX = 160.0;
inline constexpr double kGroundCentreZ = 200.0;
inline constexpr double kGroundTile = 24.0;
} // namespace scenery

struct SceneryModel {
    std::string name;
    MeshBuilder mesh;
    std::vector<SnapDef> snaps;
    // Radius of the footprint around the origin, for keeping scenery off tracks and roads.
    double footprint = 0;
};

std::vector<SceneryModel> SceneryModels();

// The background: a flat textured square at height 0 in world space, of the given side around
// the given centre.
MeshBuilder GroundModel(double side = scenery::kGroundSide, double centreX = scenery::kGroundCentreX,
                        double centreZ = scenery::kGroundCentreZ);

} // namespace demo
