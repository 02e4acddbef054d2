#include "demo/DemoLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace demo {

namespace {

double NormalDegrees(double radians)
{
    double degrees = Degrees(radians);
    degrees = std::fmod(degrees, 360.0);
    if (degrees < 0) degrees += 360.0;
    // Our pieces turn in whole steps; keep the angle exact.
    degrees = std::round(degrees * 1e6) / 1e6;
    return degrees >= 360.0 ? degrees - 360.0 : degrees;
}

// Lays track pieces end to end, keeping the world course of every route for the scenery.
class TrackLayer {
  public:
    TrackLayer(const std::vector<TrackPiece>& pieces, std::vector<PlacedPiece>& out)
        : pieces_(pieces), out_(out)
    {
    }

    // The piece with its origin at `at`; returns where its route `exit` ends.
    Pose Lay(const std::string& type, const Pose& at, double y, std::size_t exit = 0, int route = 0,
             int key = -1)
    {
        Place(type, at, y, route, key);
        run_ += lastPiece_->routes[exit].Length();
        return RouteEnd(exit);
    }

    // The piece turned round, with the end of its route `entry` at `at`: a train going on from
    // `at` runs through it backwards. Returns the pose at the piece's origin, heading on.
    Pose LayBack(const std::string& type, const Pose& at, double y, std::size_t entry = 0, int route = 0,
                 int key = -1)
    {
        const Pose end = FindTrackPiece(pieces_, type).RouteEnd(entry);
        Pose frame;
        frame.heading = at.heading + kPi - end.heading;
        const V3 offset = frame.At(end.x, end.z);
        frame.x = at.x - offset.x;
        frame.z = at.z - offset.z;
        Place(type, frame, y, route, key);
        run_ += lastPiece_->routes[entry].Length();
        return {frame.x, frame.z, frame.heading + kPi};
    }

    // How far a train runs over the pieces laid so far, on the routes they were laid along.
    double Run() const { return run_; }

    // Where route k of the last piece ends, as laid.
    Pose RouteEnd(std::size_t k) const { return Compose(last_, lastPiece_->RouteEnd(k)); }

    // Straight track of the given length from the longest pieces down.
    Pose Straight(Pose at, double length, double y)
    {
        for (const auto& [type, piece] :
             {std::pair{"track_straight_25", 25.0}, std::pair{"track_straight_10", 10.0},
              std::pair{"track_straight_05", 5.0}}) {
            while (length >= piece - 1e-9) {
                at = Lay(type, at, y);
                length -= piece;
            }
        }
        if (length > 1e-9) throw std::logic_error("a straight that our pieces cannot fill");
        return at;
    }

    // A curve of 15-degree pieces: positive degrees turn right, negative left (a right curve
    // run backwards).
    Pose Curve(Pose at, double degrees, int radius, double y)
    {
        const std::string type = "track_curve_r" + std::to_string(radius) + "_15";
        const int n = static_cast<int>(std::lround(std::abs(degrees) / 15.0));
        for (int i = 0; i < n; ++i)
            at = degrees > 0 ? Lay(type, at, y) : LayBack(type, at, y);
        return at;
    }

    // Every route of every piece laid, as points on the ground every few units.
    const std::vector<std::vector<V3>>& Courses() const { return courses_; }

  private:
    void Place(const std::string& type, const Pose& frame, double y, int route, int key)
    {
        const TrackPiece& piece = FindTrackPiece(pieces_, type);
        out_.push_back({type, frame.x, y, frame.z, NormalDegrees(frame.heading), route, key});
        last_ = frame;
        lastPiece_ = &piece;
        for (const CentreLine& line : piece.routes) {
            std::vector<V3> course;
            const double length = line.Length();
            const int n = std::max(1, static_cast<int>(std::ceil(length / 2.0)));
            for (int i = 0; i <= n; ++i) {
                const Pose p = Compose(frame, line.At(length * i / n));
                course.push_back({p.x, y, p.z});
            }
            courses_.push_back(std::move(course));
        }
    }

    const std::vector<TrackPiece>& pieces_;
    std::vector<PlacedPiece>& out_;
    Pose last_;
    const TrackPiece* lastPiece_ = nullptr;
    double run_ = 0;
    std::vector<std::vector<V3>> courses_;
};

// --- rounding to the map file's thousandths

const std::vector<SnapDef>* SnapsOf(const std::string& type, const std::vector<TrackPiece>& pieces,
                                    const std::vector<SceneryModel>& scenery)
{
    for (const TrackPiece& p : pieces)
        if (p.name == type) return &p.snaps;
    for (const SceneryModel& s : scenery)
        if (s.name == type) return &s.snaps;
    return nullptr;
}

struct Joint {
    std::size_t a, b;
};

// Difference constraints n_v - n_u <= w, solved by Bellman-Ford from a virtual source.
struct Constraint {
    std::size_t u, v;
    long long w;
};

// Rounds one coordinate of every object to thousandths. The two objects of every joint move
// by amounts at most 0.7 thousandths apart, so their snap points stay within one thousandth of
// each other; no object moves by more than two thousandths. Objects without joints are simply
// rounded.
std::vector<long long> RoundCoordinate(const std::vector<double>& ideal, const std::vector<Joint>& joints)
{
    const std::size_t n = ideal.size(), ref = n;
    std::vector<double> p(n);
    std::vector<bool> joined(n, false);
    for (std::size_t i = 0; i < n; ++i)
        p[i] = ideal[i] * 1000.0;
    std::vector<Constraint> constraints;
    for (const Joint& j : joints) {
        constraints.push_back({j.b, j.a, static_cast<long long>(std::floor(p[j.a] - p[j.b] + 0.7))});
        constraints.push_back({j.a, j.b, static_cast<long long>(std::floor(p[j.b] - p[j.a] + 0.7))});
        joined[j.a] = joined[j.b] = true;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (!joined[i]) continue;
        constraints.push_back({ref, i, static_cast<long long>(std::floor(p[i] + 2.0))});
        constraints.push_back({i, ref, static_cast<long long>(std::floor(-p[i] + 2.0))});
    }
    // Relaxing from the plainly rounded positions finds the solution nearest to them from below.
    std::vector<long long> dist(n + 1, 0);
    for (std::size_t i = 0; i < n; ++i)
        dist[i] = std::llround(p[i]);
    bool changed = true;
    for (std::size_t pass = 0; pass <= n + 1 && changed; ++pass) {
        changed = false;
        for (const Constraint& c : constraints) {
            if (dist[c.u] + c.w < dist[c.v]) {
                dist[c.v] = dist[c.u] + c.w;
                changed = true;
            }
        }
    }
    if (changed) throw std::runtime_error("the layout's joints cannot all be kept closed in a map file");
    std::vector<long long> out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = joined[i] ? dist[i] - dist[ref] : std::llround(p[i]);
    return out;
}

double LargestJointGap(const std::vector<PlacedPiece>& objects, const std::vector<Joint>& joints,
                       const std::vector<TrackPiece>& pieces, const std::vector<SceneryModel>& scenery)
{
    double largest = 0;
    for (const Joint& j : joints) {
        const std::vector<V3> a = WorldSnapPoints(objects[j.a], *SnapsOf(objects[j.a].type, pieces, scenery));
        const std::vector<V3> b = WorldSnapPoints(objects[j.b], *SnapsOf(objects[j.b].type, pieces, scenery));
        double best = 1e30;
        for (const V3& pa : a)
            for (const V3& pb : b)
                best = std::min(best, std::hypot(pa.x - pb.x, pa.z - pb.z));
        largest = std::max(largest, best);
    }
    return largest;
}

void RoundToMapFile(DemoLayout& layout, const std::vector<TrackPiece>& pieces,
                    const std::vector<SceneryModel>& scenery)
{
    std::vector<PlacedPiece>& objects = layout.objects;
    std::vector<Joint> joints;
    std::vector<std::vector<V3>> snaps;
    for (const PlacedPiece& o : objects) {
        const std::vector<SnapDef>* s = SnapsOf(o.type, pieces, scenery);
        snaps.push_back(s ? WorldSnapPoints(o, *s) : std::vector<V3>{});
    }
    for (std::size_t a = 0; a < objects.size(); ++a)
        for (std::size_t b = a + 1; b < objects.size(); ++b) {
            bool joined = false;
            for (const V3& pa : snaps[a])
                for (const V3& pb : snaps[b])
                    if (std::hypot(pa.x - pb.x, pa.z - pb.z) < 1e-6) joined = true;
            if (joined) joints.push_back({a, b});
        }
    std::vector<double> xs, zs;
    for (const PlacedPiece& o : objects) {
        xs.push_back(o.x);
        zs.push_back(o.z);
    }
    const std::vector<long long> rx = RoundCoordinate(xs, joints), rz = RoundCoordinate(zs, joints);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        objects[i].x = static_cast<double>(rx[i]) / 1000.0;
        objects[i].z = static_cast<double>(rz[i]) / 1000.0;
        objects[i].y = std::round(objects[i].y * 1000.0) / 1000.0;
        objects[i].angle = std::round(objects[i].angle * 1000.0) / 1000.0;
    }
    layout.largestJointGap = LargestJointGap(objects, joints, pieces, scenery);
}

// --- scenery

class Random {
  public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    double Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
    }
    double Between(double a, double b) { return a + (b - a) * Next(); }

  private:
    std::uint32_t state_;
};

struct Keepout {
    std::vector<std::vector<V3>> lines; // track and road courses
    std::vector<double> lineClearance;
    std::vector<std::pair<V3, double>> discs;

    bool Free(V3 p, double radius) const
    {
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const std::vector<V3>& line = lines[k];
            for (std::size_t i = 0; i + 1 < line.size(); ++i) {
                const V3 a{line[i].x, 0, line[i].z}, b{line[i + 1].x, 0, line[i + 1].z};
                const V3 ab = b - a;
                const double t = std::clamp(Dot(p - a, ab) / std::max(Dot(ab, ab), 1e-12), 0.0, 1.0);
                if (Length(p - (a + ab * t)) < lineClearance[k] + radius) return false;
            }
        }
        for (const auto& [centre, r] : discs)
            if (std::hypot(p.x - centre.x, p.z - centre.z) < r + radius) return false;
        return true;
    }
};

double FootprintOf(const std::vector<SceneryModel>& scenery, const std::string& name)
{
    for (const SceneryModel& s : scenery)
        if (s.name == name) return s.footprint;
    throw std::logic_error("no scenery model " + name);
}

} // namespace

std::vector<V3> WorldSnapPoints(const PlacedPiece& piece, const std::vector<SnapDef>& snaps)
{
    std::vector<V3> out;
    for (const SnapDef& s : snaps)
        out.push_back(TurnAndMove({s.x, 0, s.z}, Radians(piece.angle), piece.x, piece.z));
    return out;
}

DemoLayout BuildDemoLayout(const std::vector<TrackPiece>& pieces, const std::vector<SceneryModel>& scenery)
{
    using namespace track;
    DemoLayout layout;
    std::vector<PlacedPiece>& objects = layout.objects;
    TrackLayer layer(pieces, objects);
    const double east = kPi / 2, west = 3 * kPi / 2;
    const int mainRadius = 80;

    // Main line, anticlockwise seen from above: east along the south side (z = 0) through the
    // passing loop, round the east end, west along the north side over the level crossing and
    // past the branch turnout, round the west end back to the start.
    Pose at{0, 0, east};
    at = layer.Straight(at, 100, 0);
    // Passing loop: the entry turnout leads trains into the loop track, so that they reach the
    // exit turnout from its branch and throw it.
    layer.Lay("track_turnout_right", at, 0, 0, 1, kPassingLoopEntryKey);
    const Pose loopStart = layer.RouteEnd(1);
    at = layer.RouteEnd(0);
    // Six pieces of 25 from x = 130; the station's platforms stand beside the middle four.
    const int stationFirst = static_cast<int>(objects.size()) + 1;
    at = layer.Straight(at, 150, 0);
    layout.station = {stationFirst, stationFirst + 1, stationFirst + 2, stationFirst + 3};
    at = layer.LayBack("track_turnout_left", at, 0, 0, 0, kPassingLoopExitKey);
    at = layer.Straight(at, 10, 0);
    at = layer.Curve(at, -180, mainRadius, 0);
    at = layer.Straight(at, 120, 0);
    const Pose crossing = at;
    at = layer.Lay("track_level_crossing", at, 0);
    at = layer.Straight(at, 80, 0);
    layer.Lay("track_turnout_left", at, 0, 0, 0, 2);
    const Pose branchStart = layer.RouteEnd(1);
    at = layer.RouteEnd(0);
    at = layer.Straight(at, 70, 0);
    at = layer.Curve(at, -180, mainRadius, 0);
    if (std::hypot(at.x, at.z) > 1e-6) throw std::logic_error("the main line does not close");
    layout.mainLoopLength = layer.Run();

    // Loop track with the goods siding.
    layer.Lay("track_turnout_right", loopStart, 0, 0, 0, 3);
    const Pose sidingStart = layer.RouteEnd(1);
    // Four pieces of 25 and two of 10: the first and the last two are where the freight turns.
    const int loopFirst = static_cast<int>(objects.size());
    at = layer.Straight(layer.RouteEnd(0), 120, 0);
    layout.loopWest = {loopFirst};
    layout.loopEast = {loopFirst + 4, loopFirst + 5};
    at = layer.Straight(sidingStart, 95, 0);
    layer.Lay("track_buffer_stop", at, 0);

    // Branch: round to the south, up the embankment, over the main line, down and into a yard.
    // The climb starts in the curve off the main line (radius 40, a quarter turn), so that no
    // step is steeper than 4 %; the main line passes under the south half of the bridge.
    static_assert(kCurveSlopes * 15 == 90);
    at = branchStart;
    for (int i = 0; i < kCurveSlopes; ++i)
        at = layer.Lay("track_slope_curve_r40_15", at, kCurveSlopeRise * i);
    const Pose embankmentStart = at;
    const double curveTop = kCurveSlopes * kCurveSlopeRise;
    for (int i = 0; i < kSlopesUp; ++i)
        at = layer.Lay("track_slope_25", at, curveTop + kSlopeRise * i);
    at = layer.Lay("track_bridge_22", at, kBridgeRise);
    for (int i = kSlopesDown - 1; i >= 0; --i)
        at = layer.LayBack("track_slope_down_25", at, kDownSlopeRise * i);
    const Pose embankmentEnd = at;
    at = layer.Straight(at, 25, 0);
    layer.Lay("track_turnout_3way", at, 0, 0, 0, 4);
    std::array<Pose, 3> yard{layer.RouteEnd(0), layer.RouteEnd(1), layer.RouteEnd(2)};
    for (const Pose& track : yard)
        layer.Lay("track_buffer_stop", layer.Straight(track, 25, 0), 0);

    // The road crosses the north side at the level crossing and runs into the town inside the oval.
    const V3 roadNorth = TurnAndMove({kCrossingRoadHalf, 0, (kCrossingRoadFrom + kCrossingRoadTo) / 2},
                                     crossing.heading, crossing.x, crossing.z);
    const V3 roadSouth = TurnAndMove({-kCrossingRoadHalf, 0, (kCrossingRoadFrom + kCrossingRoadTo) / 2},
                                     crossing.heading, crossing.x, crossing.z);
    const double roadX = roadNorth.x;
    for (int i = 0; i < 4; ++i) {
        objects.push_back({"road_straight_20", roadX, 0, roadNorth.z + kRoadLength * i, 0, 0, -1});
        objects.push_back({"road_straight_20", roadX, 0, roadSouth.z - kRoadLength * i, 180, 0, -1});
    }
    // North of the town the road runs on out of the oval, climbs over a farm road on a bridge
    // and comes down again.
    double roadEnd = roadNorth.z + 4 * kRoadLength;
    for (int i = 0; i < 8; ++i, roadEnd += kRoadLength)
        objects.push_back({"road_straight_20", roadX, 0, roadEnd, 0, 0, -1});
    for (int i = 0; i < scenery::kRoadRampsPerSide; ++i, roadEnd += scenery::kRoadRampLength)
        objects.push_back({"road_ramp_25", roadX, scenery::kRoadRampRise * i, roadEnd, 0, 0, -1});
    const double bridgeMiddle = roadEnd + scenery::kRoadBridgeLength / 2;
    objects.push_back({"road_bridge_22", roadX, scenery::kRoadBridgeRise, roadEnd, 0, 0, -1});
    roadEnd += scenery::kRoadBridgeLength;
    // The ramps down are the ramps up turned round: each one's foot lies at its far end.
    for (int i = scenery::kRoadRampsPerSide - 1; i >= 0; --i) {
        roadEnd += scenery::kRoadRampLength;
        objects.push_back({"road_ramp_25", roadX, scenery::kRoadRampRise * i, roadEnd, 180, 0, -1});
    }
    for (int i = 0; i < 24; ++i, roadEnd += kRoadLength)
        objects.push_back({"road_straight_20", roadX, 0, roadEnd, 0, 0, -1});
    // The farm road under the bridge, from west to east.
    const double farmRoadWest = roadX - 4 * kRoadLength, farmRoadEast = roadX + 4 * kRoadLength;
    for (double x = farmRoadWest; x < farmRoadEast - 1e-9; x += kRoadLength)
        objects.push_back({"road_straight_20", x, 0, bridgeMiddle, 90, 0, -1});
    const std::vector<V3> roadCourse{{roadX, 0, roadSouth.z - 4 * kRoadLength}, {roadX, 0, roadEnd}};
    const std::vector<V3> farmRoadCourse{{farmRoadWest, 0, bridgeMiddle}, {farmRoadEast, 0, bridgeMiddle}};

    // Station: two platforms beside the main track, the building behind them; the goods shed
    // beside the siding.
    const double platformZ = scenery::kPlatformEdge + scenery::kPlatformWidth / 2;
    objects.push_back({"platform_50", 165, 0, platformZ, 90, 0, -1});
    objects.push_back({"platform_50", 215, 0, platformZ, 90, 0, -1});
    objects.push_back({"bldg_station", 215, 0, 14.5, 0, 0, -1});
    objects.push_back({"bldg_goods_shed", 207, 0, sidingStart.z - 12, 270, 0, -1});

    // Town along the road.
    struct Building {
        const char* type;
        double x, z, angle;
    };
    const Building town[] = {{"bldg_house_a", roadX - 14, 84, 270},   {"bldg_house_b", roadX + 14, 88, 90},
                             {"bldg_house_b", roadX - 14, 104, 270},  {"bldg_house_a", roadX + 14, 110, 90},
                             {"bldg_house_a", roadX - 14, 126, 270},  {"bldg_house_b", roadX + 14, 132, 90},
                             {"bldg_apartment", roadX + 48, 110, 90}, {"bldg_house_a", roadX - 14, 200, 270},
                             {"bldg_house_b", roadX + 14, 196, 90},   {"bldg_house_a", roadX + 14, 222, 90},
                             {"bldg_apartment", 120, 75, 0}};
    for (const Building& b : town)
        objects.push_back({b.type, b.x, 0, b.z, b.angle, 0, -1});

    // Trees wherever they keep clear of track, road and buildings.
    Keepout keepout;
    for (const std::vector<V3>& course : layer.Courses()) {
        keepout.lines.push_back(course);
        keepout.lineClearance.push_back(5.0);
    }
    for (const std::vector<V3>* road : {&roadCourse, &farmRoadCourse}) {
        keepout.lines.push_back(*road);
        keepout.lineClearance.push_back(6.0);
    }
    // The embankment either side of the bridge.
    keepout.lines.push_back({embankmentStart.Point(), embankmentEnd.Point()});
    keepout.lineClearance.push_back(16.0);
    for (const PlacedPiece& o : objects) {
        if (o.type.rfind("bldg_", 0) == 0 || o.type.rfind("platform_", 0) == 0) {
            const V3 centre = o.type.rfind("platform_", 0) == 0
                                  ? TurnAndMove({0, 0, 25}, Radians(o.angle), o.x, o.z)
                                  : V3{o.x, 0, o.z};
            keepout.discs.push_back({centre, FootprintOf(scenery, o.type) + 3});
        }
    }
    Random random(20240611);
    int planted = 0;
    for (int attempt = 0; attempt < 4000 && planted < 110; ++attempt) {
        const V3 p{random.Between(-140, 460), 0, random.Between(-240, 270)};
        if (!keepout.Free(p, 3)) continue;
        const bool conifer = random.Next() < (p.z > 170 || p.z < -120 ? 0.7 : 0.3);
        objects.push_back({conifer ? "tree_conifer" : "tree_broadleaf", std::round(p.x * 10) / 10, 0,
                           std::round(p.z * 10) / 10, std::round(random.Between(0, 360)), 0, -1});
        keepout.discs.push_back({p, 4});
        ++planted;
    }

    RoundToMapFile(layout, pieces, scenery);

    // Trains stand on straight track, each facing a way that keeps it on the running lines for
    // as long as it is driven forward: the electric set west of the station, the railcar at
    // the platform, the freight on the loop track past the siding's turnout, heading for the
    // loop's exit. The siding with its buffer stop is where no train starts. The empty slots
    // get such places too, where a train chosen for them later can start.
    const double surface = kRunningHeight;
    layout.trains[0] = {88, surface, 0, east, "electric_4car"};
    layout.trains[1] = {255, surface, 0, east, "diesel_2car"};
    layout.trains[2] = {230, surface, loopStart.z, east, "freight"};
    layout.trains[3] = {235, surface, 2.0 * mainRadius, west, kNoTrain};
    layout.trains[4] = {200, surface, 0, east, kNoTrain};
    layout.trains[5] = {140, surface, 2.0 * mainRadius, west, kNoTrain};
    layout.car = {roadX - 1.75, kRoadHeight, 110};
    layout.plane = {180, 45, -80};
    layout.helicopter = {300, 70, -140};
    layout.carModel = "hatchback";
    layout.planeModel = "propplane";
    layout.helicopterModel = "helicopter";
    return layout;
}

} // namespace demo
