#include "demo/TrackPieces.h"

#include "demo/Materials.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace demo {

using namespace track;

namespace {

// The diverging routes of our turnouts are two arcs of this radius bending the same angle back,
// chosen so that each arc moves the track 2 units sideways in 14 units (a 7-24-25 triangle):
// the routes end exactly kTrackSpacing apart and parallel.
constexpr double kTurnoutRadius = 50.0;
const double kTurnoutAngle = std::atan2(7.0, 24.0);
// A straight lead before and after the S-bend, so that every turnout is 30 units long.
constexpr double kTurnoutLead = 1.0;

constexpr double kEmbankmentSlope = 1.5; // horizontal per vertical
// The embankment's grass repeats like the ground's.
constexpr double kGrassTile = 24.0;
constexpr double kEmbankmentBottom = -7.5;
constexpr double kBridgeBottom = -9.0;
// Rails of one route are cut where they pass this close to another route's centre line, so
// that the probes of a train on that route never land on them (the flangeway of a frog).
constexpr double kFlangeway = 0.12;

// ---------------------------------------------------------------- routes

CentreLine StraightLine(double length, double grade = 0)
{
    return {{Segment::Straight(length)}, kRunningHeight, grade};
}

CentreLine CurveLine(double radius, double degrees)
{
    return {{Segment::Arc(radius, degrees)}, kRunningHeight, 0};
}

// side 0: straight through; +1 bends right, -1 left, ending kTrackSpacing to that side.
CentreLine TurnoutLine(int side)
{
    if (side == 0) return StraightLine(kTurnoutLength);
    const double arc = kTurnoutRadius * kTurnoutAngle;
    return {{Segment::Straight(kTurnoutLead),
             {arc, kTurnoutRadius, side},
             {arc, kTurnoutRadius, -side},
             Segment::Straight(kTurnoutLead)},
            kRunningHeight,
            0};
}

// Stations along a line: its ends, segment joints, and at most step apart on arcs (on straights
// too when asked).
std::vector<double> Stations(const CentreLine& line, double step, bool splitStraights = false)
{
    std::vector<double> out{0.0};
    double start = 0;
    for (const Segment& segment : line.segments) {
        const double length = segment.length;
        const bool split = segment.turn != 0 || splitStraights;
        const int n = split ? std::max(1, static_cast<int>(std::ceil(length / step))) : 1;
        for (int i = 1; i <= n; ++i)
            out.push_back(start + length * i / n);
        start += length;
    }
    return out;
}

// ---------------------------------------------------------------- single-route deck

struct Cell {
    double s0 = 0, s1 = 0;
    bool sleeper = false;
};

// Sleepers evenly spread from `from` to `to`, each in the middle of its share.
std::vector<Cell> SleeperCells(double from, double to)
{
    const double length = to - from;
    const int n = std::max(1, static_cast<int>(std::lround(length / kSleeperPitch)));
    const double pitch = length / n;
    const double gap = (pitch - kSleeperWidth) / 2;
    std::vector<Cell> cells;
    for (int i = 0; i < n; ++i) {
        const double s = from + pitch * i;
        cells.push_back({s, s + gap, false});
        cells.push_back({s + gap, s + gap + kSleeperWidth, true});
        cells.push_back({s + gap + kSleeperWidth, i + 1 == n ? to : s + pitch, false});
    }
    return cells;
}

struct DeckMaterials {
    int sleeper, ballast, ballastSide, embankment;
};

// The cross-section outline of the bed below the running surface at height h, from the left
// foot over the top to the right foot (outside to the left of each edge).
std::vector<V3> BedOutline(double h, TrackBed bed)
{
    const double top = kBallastHalfWidth, toe = kBallastHalfWidth + kShoulderWidth;
    const double foot = h - kRunningHeight;
    std::vector<V3> out;
    if (bed == TrackBed::Embankment) {
        const double spread = toe + kEmbankmentSlope * (foot - kEmbankmentBottom);
        out.push_back({-spread, kEmbankmentBottom, 0});
    }
    out.push_back({-toe, foot, 0});
    out.push_back({-top, h, 0});
    out.push_back({top, h, 0});
    out.push_back({toe, foot, 0});
    if (bed == TrackBed::Embankment) {
        const double spread = toe + kEmbankmentSlope * (foot - kEmbankmentBottom);
        out.push_back({spread, kEmbankmentBottom, 0});
    }
    return out;
}

// Ballast and sleepers on top, shoulders and embankment at the sides, for one route from
// `from` to `to` along it (the whole route unless given). The top is one flat face wherever it
// has one material: a sleeper, the ballast between two sleepers, the ballast beyond their ends;
// the sides are one face over a straight and follow a curve in steps of a sleeper.
void AddSingleDeck(MeshBuilder& mesh, const DeckMaterials& m, const CentreLine& line, TrackBed bed,
                   double from = 0, double to = -1)
{
    if (to < 0) to = line.Length();
    auto face = [&](int material, double s0, double s1, double u0, double u1) {
        const Pose p0 = line.At(s0), p1 = line.At(s1);
        const double h0 = line.HeightAt(s0), h1 = line.HeightAt(s1);
        mesh.Face(material, {p0.At(u0, 0, h0), p1.At(u0, 0, h1), p1.At(u1, 0, h1), p0.At(u1, 0, h0)});
    };
    // Under the rails: sleepers, and the cells of ballast between them merged.
    double gapFrom = from;
    for (const Cell& cell : SleeperCells(from, to)) {
        if (!cell.sleeper) continue;
        if (cell.s0 > gapFrom) face(m.ballast, gapFrom, cell.s0, -kSleeperHalfLength, kSleeperHalfLength);
        face(m.sleeper, cell.s0, cell.s1, -kSleeperHalfLength, kSleeperHalfLength);
        gapFrom = cell.s1;
    }
    if (to > gapFrom) face(m.ballast, gapFrom, to, -kSleeperHalfLength, kSleeperHalfLength);

    // Beyond the sleepers' ends, and the sides: each edge of the outline except the top, swept
    // along the line.
    std::vector<double> stations{from};
    for (const double s : Stations(line, kSleeperPitch))
        if (s > from + 1e-9 && s < to - 1e-9) stations.push_back(s);
    stations.push_back(to);
    for (std::size_t k = 0; k + 1 < stations.size(); ++k) {
        const double s0 = stations[k], s1 = stations[k + 1];
        face(m.ballast, s0, s1, -kBallastHalfWidth, -kSleeperHalfLength);
        face(m.ballast, s0, s1, kSleeperHalfLength, kBallastHalfWidth);
        const Pose p0 = line.At(s0), p1 = line.At(s1);
        const std::vector<V3> a = BedOutline(line.HeightAt(s0), bed), b = BedOutline(line.HeightAt(s1), bed);
        const std::size_t topEdge = bed == TrackBed::Embankment ? 2 : 1;
        for (std::size_t e = 0; e + 1 < a.size(); ++e) {
            if (e == topEdge) continue;
            const V3 corners[] = {p0.At(a[e].x, 0, a[e].y), p1.At(b[e].x, 0, b[e].y),
                                  p1.At(b[e + 1].x, 0, b[e + 1].y), p0.At(a[e + 1].x, 0, a[e + 1].y)};
            const bool shoulder = e == topEdge - 1 || e == topEdge + 1;
            if (shoulder) {
                mesh.Face(m.ballastSide, corners);
                continue;
            }
            // Grass on the embankment: the ground's texture, laid along the slope.
            auto uv = [&](double s, const V3& c) {
                return UV{s / kGrassTile, (std::abs(c.x) - c.y) / kGrassTile};
            };
            const UV uvs[] = {uv(s0, a[e]), uv(s1, b[e]), uv(s1, b[e + 1]), uv(s0, a[e + 1])};
            mesh.Face(m.embankment, corners, uvs);
        }
    }
    if (bed == TrackBed::Embankment) {
        // End faces, seen where the embankment meets a bridge abutment or ends.
        for (const double s : {from, to}) {
            const Pose p = line.At(s);
            const std::vector<V3> outline = BedOutline(line.HeightAt(s), bed);
            std::vector<V3> face;
            for (const V3& c : outline)
                face.push_back(p.At(c.x, 0, c.y));
            if (s > from) std::reverse(face.begin(), face.end());
            mesh.Polygon(m.embankment, face);
        }
    }
}

// ---------------------------------------------------------------- rails and guides

// Route centre lines sampled finely, for distances from rails to other routes.
struct Polyline {
    std::vector<V3> points;
    double DistanceTo(V3 p) const
    {
        double best = 1e30;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            const V3 a = points[i], b = points[i + 1];
            const V3 ab = b - a;
            const double t = std::clamp(Dot(p - a, ab) / std::max(Dot(ab, ab), 1e-12), 0.0, 1.0);
            best = std::min(best, Length(p - (a + ab * t)));
        }
        return best;
    }
};

Polyline Sampled(const CentreLine& line, double step)
{
    Polyline out;
    for (double s : Stations(line, step)) {
        const Pose p = line.At(s);
        out.points.push_back({p.x, 0, p.z});
    }
    return out;
}

void AddRails(MeshBuilder& mesh, int head, int side, const TrackPiece& piece, std::size_t route)
{
    const CentreLine& line = piece.routes[route];
    std::vector<Polyline> others;
    for (std::size_t k = 0; k < piece.routes.size(); ++k)
        if (k != route) others.push_back(Sampled(piece.routes[k], 0.05));
    // Rails of turnouts are cut in short pieces, so that the cuts can be placed; elsewhere a
    // rail follows a curve in steps of a unit, as finely as the eye can tell.
    const std::vector<double> stations = others.empty() ? Stations(line, 1.0) : Stations(line, 0.5, true);
    // Rail outline across (u, y) for a rail centred at u = 0: tapering sides and the head.
    const V3 outline[] = {{-0.05, 0, 0}, {-0.035, kRailHeight, 0}, {0.035, kRailHeight, 0}, {0.05, 0, 0}};
    for (const double offset : {-kGauge / 2, kGauge / 2}) {
        for (std::size_t k = 0; k + 1 < stations.size(); ++k) {
            const double s0 = stations[k], s1 = stations[k + 1];
            const Pose p0 = line.At(s0), p1 = line.At(s1);
            const Pose pm = line.At((s0 + s1) / 2);
            const V3 middle = pm.At(offset, 0);
            bool cut = false;
            for (const Polyline& other : others)
                if (other.DistanceTo(middle) < kFlangeway) cut = true;
            if (cut) continue;
            const double h0 = line.HeightAt(s0), h1 = line.HeightAt(s1);
            for (std::size_t e = 0; e + 1 < std::size(outline); ++e) {
                const V3 a = outline[e], b = outline[e + 1];
                mesh.Face(e == 1 ? head : side,
                          {p0.At(offset + a.x, 0, h0 + a.y), p1.At(offset + a.x, 0, h1 + a.y),
                           p1.At(offset + b.x, 0, h1 + b.y), p0.At(offset + b.x, 0, h0 + b.y)});
            }
        }
    }
}

// The band that the sideways probes of route k meet, on both of its faces.
void AddGuideBand(MeshBuilder& guide, int material, const CentreLine& line, int route)
{
    const std::vector<double> stations = Stations(line, 0.5);
    for (std::size_t k = 0; k + 1 < stations.size(); ++k) {
        const double s0 = stations[k], s1 = stations[k + 1];
        const Pose p0 = line.At(s0), p1 = line.At(s1);
        const double c0 = line.HeightAt(s0) + kGuideAbove + route;
        const double c1 = line.HeightAt(s1) + kGuideAbove + route;
        guide.TwoSidedFace(material, {p0.Point(c0 - kGuideHalfHeight), p0.Point(c0 + kGuideHalfHeight),
                                      p1.Point(c1 + kGuideHalfHeight), p1.Point(c1 - kGuideHalfHeight)});
    }
}

// ---------------------------------------------------------------- turnout deck

// A route as a function of z (all our turnout routes run forward the whole way).
class RouteByZ {
  public:
    explicit RouteByZ(const CentreLine& line)
    {
        const double length = line.Length();
        const int n = static_cast<int>(std::ceil(length / 0.01));
        for (int i = 0; i <= n; ++i) {
            const Pose p = line.At(length * i / n);
            z_.push_back(p.z);
            x_.push_back(p.x);
            heading_.push_back(p.heading);
        }
    }
    double X(double z) const { return Lerp(x_, z); }
    // Half of a width w across the route, measured along x.
    double HalfAlongX(double z, double w) const { return w / std::cos(Lerp(heading_, z)); }

  private:
    double Lerp(const std::vector<double>& values, double z) const
    {
        const auto it = std::lower_bound(z_.begin(), z_.end(), z);
        if (it == z_.begin()) return values.front();
        if (it == z_.end()) return values.back();
        const std::size_t i = static_cast<std::size_t>(it - z_.begin());
        const double t = (z - z_[i - 1]) / std::max(z_[i] - z_[i - 1], 1e-12);
        return values[i - 1] + (values[i] - values[i - 1]) * t;
    }
    std::vector<double> z_, x_, heading_;
};

struct Edge {
    std::size_t route;
    double halfWidth;
    int side; // -1 left edge, +1 right edge
};

// The deck of a turnout: the union of the routes' ballast strips, cut into slices across z.
// Sleepers are long timbers square to the straight route, as in real turnouts. Slices end
// wherever two strip edges cross, so that every cell is a proper quadrilateral.
void AddTurnoutDeck(MeshBuilder& mesh, const DeckMaterials& m, const TrackPiece& piece)
{
    std::vector<RouteByZ> routes;
    for (const CentreLine& line : piece.routes)
        routes.emplace_back(line);
    std::vector<Edge> edges;
    for (std::size_t r = 0; r < routes.size(); ++r)
        for (const double w : {kBallastHalfWidth, kSleeperHalfLength})
            for (const int side : {-1, 1})
                edges.push_back({r, w, side});
    auto value = [&](const Edge& e, double z) {
        return routes[e.route].X(z) + e.side * routes[e.route].HalfAlongX(z, e.halfWidth);
    };

    const double length = kTurnoutLength;
    const double h = kRunningHeight;
    std::vector<double> cuts;
    std::vector<Cell> cells = SleeperCells(0, length);
    // Slices end at the sleepers' edges: the ballast between two sleepers is one slice.
    cuts.push_back(0);
    for (const Cell& c : cells) {
        if (!c.sleeper) continue;
        cuts.push_back(c.s0);
        cuts.push_back(c.s1);
    }
    cuts.push_back(length);
    for (const CentreLine& line : piece.routes) {
        double s = 0;
        for (const Segment& segment : line.segments) {
            s += segment.length;
            cuts.push_back(line.At(s).z);
        }
    }
    for (std::size_t a = 0; a < edges.size(); ++a) {
        for (std::size_t b = a + 1; b < edges.size(); ++b) {
            if (edges[a].route == edges[b].route) continue;
            const double dz = 0.02;
            for (double z = 0; z + dz <= length + 1e-9; z += dz) {
                double lo = z, hi = z + dz;
                double dlo = value(edges[a], lo) - value(edges[b], lo);
                const double dhi = value(edges[a], hi) - value(edges[b], hi);
                if (std::abs(dlo) < 1e-9 || std::abs(dhi) < 1e-9 || (dlo > 0) == (dhi > 0)) continue;
                for (int i = 0; i < 60; ++i) {
                    const double mid = (lo + hi) / 2;
                    const double dm = value(edges[a], mid) - value(edges[b], mid);
                    if ((dm > 0) == (dlo > 0)) {
                        lo = mid;
                        dlo = dm;
                    } else {
                        hi = mid;
                    }
                }
                cuts.push_back((lo + hi) / 2);
            }
        }
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end(), [](double a, double b) { return b - a < 1e-6; }),
               cuts.end());

    auto sleeperAt = [&](double z) {
        for (const Cell& c : cells)
            if (c.sleeper && z > c.s0 && z < c.s1) return true;
        return false;
    };
    auto within = [&](double x, double z, double w) {
        for (const RouteByZ& r : routes)
            if (std::abs(x - r.X(z)) <= r.HalfAlongX(z, w)) return true;
        return false;
    };

    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        const double z0 = cuts[k], z1 = cuts[k + 1], zm = (z0 + z1) / 2;
        std::vector<Edge> order = edges;
        std::sort(order.begin(), order.end(),
                  [&](const Edge& a, const Edge& b) { return value(a, zm) < value(b, zm); });
        const bool sleeper = sleeperAt(zm);
        for (std::size_t i = 0; i + 1 < order.size(); ++i) {
            const Edge &a = order[i], &b = order[i + 1];
            const double a0 = value(a, z0), a1 = value(a, z1), b0 = value(b, z0), b1 = value(b, z1);
            if (b0 - a0 < 1e-7 && b1 - a1 < 1e-7) continue;
            const double xm = (value(a, zm) + value(b, zm)) / 2;
            int material = -1;
            if (sleeper && within(xm, zm, kSleeperHalfLength))
                material = m.sleeper;
            else if (within(xm, zm, kBallastHalfWidth))
                material = m.ballast;
            if (material < 0) continue;
            mesh.Face(material, {{a0, h, z0}, {a1, h, z1}, {b1, h, z1}, {b0, h, z0}});
        }
        // Shoulders along the outer edges of each stretch of ballast (overlapping strips merged).
        std::vector<Edge> lefts;
        for (std::size_t r = 0; r < routes.size(); ++r)
            lefts.push_back({r, kBallastHalfWidth, -1});
        std::sort(lefts.begin(), lefts.end(),
                  [&](const Edge& a, const Edge& b) { return value(a, zm) < value(b, zm); });
        std::vector<std::pair<Edge, Edge>> stretches;
        for (const Edge& left : lefts) {
            const Edge right{left.route, kBallastHalfWidth, 1};
            if (!stretches.empty() && value(left, zm) <= value(stretches.back().second, zm)) {
                if (value(right, zm) > value(stretches.back().second, zm)) stretches.back().second = right;
            } else {
                stretches.push_back({left, right});
            }
        }
        const double toe = kShoulderWidth, foot = h - kRunningHeight;
        for (const auto& [left, right] : stretches) {
            const double l0 = value(left, z0), l1 = value(left, z1), r0 = value(right, z0),
                         r1 = value(right, z1);
            mesh.Face(m.ballastSide, {{l0 - toe, foot, z0}, {l1 - toe, foot, z1}, {l1, h, z1}, {l0, h, z0}});
            mesh.Face(m.ballastSide, {{r0, h, z0}, {r1, h, z1}, {r1 + toe, foot, z1}, {r0 + toe, foot, z0}});
        }
    }
}

// A post beside the points with a plate in each route's colour: the visible use of the
// materials that the route display draws the guide with.
void AddSwitchStand(MeshBuilder& mesh, const TrackPiece& piece, double side)
{
    const int concrete = mesh.Material(mat::Concrete());
    const int black = mesh.Material(mat::SignalBlack());
    const double x = side * 2.5, z = 2.0;
    AddBox(mesh, concrete, {x - 0.25, 0, z - 0.2}, {x + 0.25, 0.3, z + 0.2}, true);
    AddBox(mesh, black, {x - 0.04, 0.3, z - 0.04}, {x + 0.04, 0.7 + 0.35 * piece.routes.size(), z + 0.04},
           true);
    for (std::size_t k = 0; k < piece.routes.size(); ++k) {
        const double y = 0.75 + 0.35 * k;
        AddBox(mesh, static_cast<int>(k), {x - 0.15, y, z - 0.05}, {x + 0.15, y + 0.3, z + 0.05});
    }
}

// ---------------------------------------------------------------- extras

void AddBridgeStructure(MeshBuilder& mesh, double length)
{
    const int concrete = mesh.Material(mat::Concrete());
    const int girder = mesh.Material(mat::Girder());
    const double slab = 2.3, slabBottom = -0.5;
    // The slab under the ballast; the strips beside the ballast are walkways.
    AddBox(mesh, concrete, {-slab, slabBottom, 0}, {slab, 0, length});
    // Plate girders either side, with stiffeners on their outer faces.
    for (const double side : {-1.0, 1.0}) {
        const double inner = side * slab, outer = side * (slab + 0.2);
        AddBox(mesh, girder, {std::min(inner, outer), -0.8, 0.3},
               {std::max(inner, outer), 1.1, length - 0.3});
        for (double z = 1.3; z < length - 1.0; z += 2.0) {
            const double x0 = side > 0 ? outer : outer - 0.06, x1 = side > 0 ? outer + 0.06 : outer;
            AddBox(mesh, girder, {x0, -0.8, z - 0.06}, {x1, 1.1, z + 0.06});
        }
    }
    // Abutments at both ends, wide enough to cover the embankments that meet them.
    const double top = slabBottom, spread = kBallastHalfWidth + kShoulderWidth + 0.8;
    const V3 outline[] = {{-(spread + kEmbankmentSlope * (top - kBridgeBottom)), kBridgeBottom, 0},
                          {-spread, top, 0},
                          {spread, top, 0},
                          {spread + kEmbankmentSlope * (top - kBridgeBottom), kBridgeBottom, 0}};
    for (const auto& [z0, z1] : {std::pair{0.0, 2.5}, std::pair{length - 2.5, length}})
        AddPrism(mesh, concrete, outline, z0, z1);
}

void AddBufferStop(MeshBuilder& mesh, double length)
{
    const int concrete = mesh.Material(mat::Concrete());
    const int red = mesh.Material(mat::BufferRed());
    const int white = mesh.Material(mat::White());
    const double h = kRunningHeight + kRailHeight;
    AddBox(mesh, concrete, {-1.2, kRunningHeight, length - 1.2}, {1.2, h + 0.9, length - 0.2}, true);
    // A red and white beam at buffer height.
    const int stripes = 6;
    for (int i = 0; i < stripes; ++i) {
        const double x0 = -1.2 + 2.4 * i / stripes, x1 = -1.2 + 2.4 * (i + 1) / stripes;
        AddBox(mesh, i % 2 ? white : red, {x0, h + 0.55, length - kBufferFace}, {x1, h + 0.95, length - 1.2});
    }
}

void AddCrossingSign(MeshBuilder& mesh, V3 foot, double facing)
{
    const int yellow = mesh.Material(mat::SignalYellow());
    const int black = mesh.Material(mat::SignalBlack());
    const int lamp = mesh.Material(mat::LampRed());
    // Striped pole.
    for (int i = 0; i < 6; ++i) {
        const double y0 = 0.4 * i, y1 = 0.4 * (i + 1);
        AddBox(mesh, i % 2 ? yellow : black, {foot.x - 0.07, y0, foot.z - 0.07},
               {foot.x + 0.07, y1, foot.z + 0.07}, i == 0);
    }
    // Crossbuck: two slanted plates across the pole, facing the road (along x).
    const double cy = 2.9, half = 0.7, t = 0.09;
    for (const double slope : {1.0, -1.0}) {
        const V3 a{foot.x + facing * 0.1, cy - half * 0.7, foot.z - slope * half};
        const V3 b{foot.x + facing * 0.1, cy + half * 0.7, foot.z + slope * half};
        const V3 up{0, t, 0};
        mesh.TwoSidedFace(yellow, {a - up, a + up, b + up, b - up});
    }
    // Two warning lamps.
    for (const double dz : {-0.3, 0.3})
        AddBox(mesh, lamp, {foot.x + facing * 0.1 - 0.1, 2.1, foot.z + dz - 0.1},
               {foot.x + facing * 0.1 + 0.1, 2.3, foot.z + dz + 0.1});
}

void AddLevelCrossingRoad(MeshBuilder& mesh)
{
    const int asphalt = mesh.Material(mat::Asphalt());
    const int panel = mesh.Material(mat::CrossingPanel());
    const double z0 = kCrossingRoadFrom, z1 = kCrossingRoadTo, low = kRoadHeight, high = kRunningHeight;
    // The road's height across the track: level with the sleeper tops over the track, ramps
    // down to the road height beyond the ballast.
    const double xs[] = {-kCrossingRoadHalf, -5.0, -1.7, 1.7, 5.0, kCrossingRoadHalf};
    const double ys[] = {low, low, high, high, low, low};
    for (int i = 0; i < 5; ++i)
        mesh.Face(
            i == 2 ? panel : asphalt,
            {{xs[i], ys[i], z0}, {xs[i], ys[i], z1}, {xs[i + 1], ys[i + 1], z1}, {xs[i + 1], ys[i + 1], z0}});
    // The cut faces of the road where the track's ballast goes on, facing along the track:
    // the ground line, then the road's profile (clockwise seen from the near side).
    std::vector<V3> nearFace{{kCrossingRoadHalf, 0, z0}, {-kCrossingRoadHalf, 0, z0}};
    for (int i = 0; i < 6; ++i)
        nearFace.push_back({xs[i], ys[i], z0});
    std::vector<V3> farFace;
    for (auto it = nearFace.rbegin(); it != nearFace.rend(); ++it)
        farFace.push_back({it->x, it->y, z1});
    mesh.Polygon(asphalt, nearFace);
    mesh.Polygon(asphalt, farFace);
    AddCrossingSign(mesh, {-3.4, 0, z0 - 1.0}, -1);
    AddCrossingSign(mesh, {3.4, 0, z1 + 1.0}, 1);
}

} // namespace

double TrackPiece::RunningLength(std::size_t k) const
{
    const double length = routes[k].Length();
    return extra == TrackExtra::BufferStop ? length - kBufferFace : length;
}

Rgb RouteColour(int route)
{
    switch (route) {
    case 0:
        return {0.95f, 0.78f, 0.10f};
    case 1:
        return {0.10f, 0.70f, 0.95f};
    default:
        return {0.95f, 0.35f, 0.75f};
    }
}

std::vector<TrackPiece> TrackPieceSet()
{
    std::vector<TrackPiece> set;
    auto add = [&](std::string name, std::vector<CentreLine> routes, TrackBed bed = TrackBed::Ground,
                   TrackExtra extra = TrackExtra::None) {
        TrackPiece piece{std::move(name), std::move(routes), bed, extra, {}};
        piece.snaps.push_back({0, 0});
        for (const CentreLine& line : piece.routes) {
            const Pose end = line.End();
            if (extra != TrackExtra::BufferStop) piece.snaps.push_back({end.x, end.z});
        }
        set.push_back(std::move(piece));
        return &set.back();
    };
    add("track_straight_05", {StraightLine(5)});
    add("track_straight_10", {StraightLine(10)});
    add("track_straight_25", {StraightLine(25)});
    add("track_curve_r40_15", {CurveLine(40, 15)});
    add("track_curve_r80_15", {CurveLine(80, 15)});
    add("track_turnout_left", {TurnoutLine(0), TurnoutLine(-1)});
    add("track_turnout_right", {TurnoutLine(0), TurnoutLine(1)});
    add("track_turnout_3way", {TurnoutLine(0), TurnoutLine(-1), TurnoutLine(1)});
    add("track_slope_25", {StraightLine(kSlopeLength, kSlopeRise / kSlopeLength)}, TrackBed::Embankment);
    add("track_slope_down_25", {StraightLine(kSlopeLength, kDownSlopeRise / kSlopeLength)}, TrackBed::Embankment);
    // A left-hand curve of radius 40 that climbs: the branch rises as it leaves the main line.
    const Segment climb = Segment::Arc(40, -15);
    add("track_slope_curve_r40_15", {CentreLine{{climb}, kRunningHeight, kCurveSlopeRise / climb.length}},
        TrackBed::Embankment);
    add("track_bridge_22", {StraightLine(kBridgeLength)}, TrackBed::Bridge);
    add("track_buffer_stop", {StraightLine(10)}, TrackBed::Ground, TrackExtra::BufferStop);
    TrackPiece* crossing = add("track_level_crossing", {StraightLine(kCrossingLength)}, TrackBed::Ground,
                               TrackExtra::LevelCrossing);
    const double roadMiddle = (kCrossingRoadFrom + kCrossingRoadTo) / 2;
    crossing->snaps.push_back({-kCrossingRoadHalf, roadMiddle});
    crossing->snaps.push_back({kCrossingRoadHalf, roadMiddle});
    return set;
}

const TrackPiece& FindTrackPiece(const std::vector<TrackPiece>& set, const std::string& name)
{
    for (const TrackPiece& piece : set)
        if (piece.name == name) return piece;
    throw std::logic_error("no track piece " + name);
}

TrackModels BuildTrackModels(const TrackPiece& piece)
{
    TrackModels out;
    MeshBuilder& mesh = out.visible;
    // The route display draws route k's guide with visible material k: turnouts get a colour
    // per route, plain track shows its guide in the colour of the rail heads.
    if (piece.IsTurnout()) {
        for (std::size_t k = 0; k < piece.routes.size(); ++k) {
            const Rgb c = RouteColour(static_cast<int>(k));
            mesh.Material(mat::Plain("Route" + std::to_string(k), c.r, c.g, c.b));
        }
    }
    const int head = mesh.Material(mat::RailHead());
    const int side = mesh.Material(mat::RailSide());
    const DeckMaterials deck{mesh.Material(mat::Sleeper()), mesh.Material(mat::Ballast()),
                             mesh.Material(mat::BallastSide()), mesh.Material(mat::Embankment())};

    if (piece.IsTurnout()) {
        AddTurnoutDeck(mesh, deck, piece);
        // The stand goes on the side no route bends to (the right for a three-way piece).
        double free = 1;
        for (const CentreLine& line : piece.routes)
            if (line.End().x > 0.5) free = -1;
        if (piece.routes.size() > 2) free = 1;
        AddSwitchStand(mesh, piece, free);
    } else if (piece.extra == TrackExtra::LevelCrossing) {
        // The road takes the place of the ballast where it crosses.
        AddSingleDeck(mesh, deck, piece.routes[0], piece.bed, 0, kCrossingRoadFrom);
        AddSingleDeck(mesh, deck, piece.routes[0], piece.bed, kCrossingRoadTo);
    } else {
        AddSingleDeck(mesh, deck, piece.routes[0], piece.bed);
    }
    for (std::size_t k = 0; k < piece.routes.size(); ++k)
        AddRails(mesh, head, side, piece, k);

    if (piece.bed == TrackBed::Bridge) AddBridgeStructure(mesh, piece.routes[0].Length());
    if (piece.extra == TrackExtra::BufferStop) AddBufferStop(mesh, piece.routes[0].Length());
    if (piece.extra == TrackExtra::LevelCrossing) AddLevelCrossingRoad(mesh);

    for (std::size_t k = 0; k < piece.routes.size(); ++k) {
        const Rgb c = RouteColour(static_cast<int>(k));
        const int material = out.guide.Material(mat::Plain("Route" + std::to_string(k), c.r, c.g, c.b));
        AddGuideBand(out.guide, material, piece.routes[k], static_cast<int>(k));
    }
    return out;
}

} // namespace demo
