// The track system of the demo content: dimensions, the pieces (straights, curves, turnouts,
// slope, bridge, buffer stop, level crossing) with their routes and snap points, and how their
// visible and guide meshes are built.
//
// Every piece starts at its origin heading +z. The running surface (sleeper tops, where the
// trains' downward probes land) lies kRunningHeight above the piece's base and the rail tops
// kRailHeight above that. Route k of a piece is a centre line; its guide is a vertical band
// along that line around the height at which a train's sideways probe looks for it: the running
// surface + kGuideAbove + k. Subset k of the guide mesh is route k, so a probe on any route at
// any point of the piece meets its own band within kGuideReach to either side.
#pragma once

#include "demo/Geometry.h"
#include "demo/MeshBuilder.h"

#include <string>
#include <vector>

namespace demo {

namespace track {
inline constexpr double kGauge = 1.067;
inline constexpr double kRunningHeight = 0.30;
inline constexpr double kRailHeight = 0.15;
inline constexpr double kBallastHalfWidth = 1.5;
inline constexpr double kShoulderWidth = 0.6;
inline constexpr double kSleeperHalfLength = 1.0;
inline constexpr double kSleeperPitch = 0.6;
inline constexpr double kSleeperWidth = 0.22;
// The sideways probe of a car runs this far above the surface under it, plus one per route.
inline constexpr double kGuideAbove = 0.5;
inline constexpr double kGuideHalfHeight = 0.15;
inline constexpr double kGuideReach = 1.5;
// Centre-line distance of parallel tracks (passing loops, sidings).
inline constexpr double kTrackSpacing = 4.0;
inline constexpr double kTurnoutLength = 30.0;
inline constexpr double kSlopeLength = 25.0;
// The branch's embankment climbs within the layout check's default limit of 4 %: up through
// the curve off the main line (kCurveSlopeRise over each 15° of radius 40) and four slopes
// (kSlopeRise each) to the bridge, and down the far side in seven gentler steps.
inline constexpr double kSlopeRise = 0.98;
inline constexpr double kCurveSlopeRise = 0.41;
inline constexpr int kCurveSlopes = 6;
inline constexpr int kSlopesUp = 4;
inline constexpr double kBridgeRise = kCurveSlopes * kCurveSlopeRise + kSlopesUp * kSlopeRise;
inline constexpr int kSlopesDown = 7;
inline constexpr double kDownSlopeRise = kBridgeRise / kSlopesDown;
inline constexpr double kBridgeLength = 22.0;
// Where the road crosses a level crossing (along the track) and how far it reaches either side.
inline constexpr double kCrossingLength = 20.0;
inline constexpr double kCrossingRoadFrom = 6.5;
inline constexpr double kCrossingRoadTo = 13.5;
inline constexpr double kCrossingRoadHalf = 8.0;
// Surface of a road, above the ground.
inline constexpr double kRoadHeight = 0.05;
inline constexpr double kRoadLength = 20.0;
// A buffer stop's beam faces the track this far before the piece's end.
inline constexpr double kBufferFace = 1.45;
} // namespace track

enum class TrackBed { Ground, Embankment, Bridge };
enum class TrackExtra { None, BufferStop, LevelCrossing };

struct SnapDef {
    double x = 0, z = 0;
};

struct TrackPiece {
    std::string name;
    std::vector<CentreLine> routes; // route 0 first
    TrackBed bed = TrackBed::Ground;
    TrackExtra extra = TrackExtra::None;
    std::vector<SnapDef> snaps;

    bool IsTurnout() const { return routes.size() > 1; }
    // Where route k ends, in the piece's frame.
    Pose RouteEnd(std::size_t k) const { return routes[k].End(); }
    // How far along route k a train can run (to the buffer of a buffer stop).
    double RunningLength(std::size_t k) const;
};

struct TrackModels {
    MeshBuilder visible;
    MeshBuilder guide;
};

// The pieces of the catalogue, in no particular order.
std::vector<TrackPiece> TrackPieceSet();
// One piece of the set by name; throws when there is none.
const TrackPiece& FindTrackPiece(const std::vector<TrackPiece>& set, const std::string& name);

TrackModels BuildTrackModels(const TrackPiece& piece);

// The material colours the route display shows: the visible mesh's material k marks route k.
Rgb RouteColour(int route);

} // namespace demo
