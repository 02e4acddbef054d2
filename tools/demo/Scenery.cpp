#include "demo/Scenery.h"

#include "demo/Materials.h"

#include <algorithm>
#include <cmath>

namespace demo {

using namespace scenery;

namespace {

// A flat face turned so that its front looks away from inside (a point within the solid).
void OutwardFace(MeshBuilder& mesh, int material, std::vector<V3> corners, V3 inside)
{
    V3 sum;
    for (std::size_t i = 1; i + 1 < corners.size(); ++i)
        sum = sum + Cross(corners[i] - corners[0], corners[i + 1] - corners[0]);
    if (Dot(sum, corners[0] - inside) < 0) std::reverse(corners.begin(), corners.end());
    mesh.Face(material, corners);
}

// A rectangle laid just in front of one wall of the box [min, max]: wall 0 faces +x, 1 -x,
// 2 +z, 3 -z. along0/along1 run along the wall (z for x walls, x for z walls).
void WallPanel(MeshBuilder& mesh, int material, V3 min, V3 max, int wall, double along0, double along1,
               double y0, double y1, double out = 0.04)
{
    switch (wall) {
    case 0:
        mesh.Face(material, {{max.x + out, y0, along0},
                             {max.x + out, y1, along0},
                             {max.x + out, y1, along1},
                             {max.x + out, y0, along1}});
        break;
    case 1:
        mesh.Face(material, {{min.x - out, y0, along0},
                             {min.x - out, y0, along1},
                             {min.x - out, y1, along1},
                             {min.x - out, y1, along0}});
        break;
    case 2:
        mesh.Face(material, {{along0, y0, max.z + out},
                             {along1, y0, max.z + out},
                             {along1, y1, max.z + out},
                             {along0, y1, max.z + out}});
        break;
    default:
        mesh.Face(material, {{along0, y0, min.z - out},
                             {along0, y1, min.z - out},
                             {along1, y1, min.z - out},
                             {along1, y0, min.z - out}});
        break;
    }
}

// Windows of one storey on every wall of a box, evenly spaced.
void WindowRow(MeshBuilder& mesh, int glass, V3 min, V3 max, double y0, double y1, double width,
               double spacing)
{
    for (int wall = 0; wall < 4; ++wall) {
        const double a = wall < 2 ? min.z : min.x, b = wall < 2 ? max.z : max.x;
        const int n = std::max(1, static_cast<int>((b - a) / spacing));
        const double step = (b - a) / n;
        for (int i = 0; i < n; ++i) {
            const double c = a + step * (i + 0.5);
            WallPanel(mesh, glass, min, max, wall, c - width / 2, c + width / 2, y0, y1);
        }
    }
}

// A roof with ridge along z over [x0, x1] × [z0, z1] with overhang; gable ends in wallMaterial.
void GableRoof(MeshBuilder& mesh, int roof, int wall, double x0, double x1, double z0, double z1,
               double eaves, double ridge, double overhang)
{
    const double xm = (x0 + x1) / 2;
    const double slope = (ridge - eaves) / (xm - x0);
    const double ex0 = x0 - overhang, ex1 = x1 + overhang, ey = eaves - slope * overhang;
    const double t = 0.15; // roof thickness
    const V3 outline[] = {{ex0, ey, 0},     {ex0, ey + t, 0}, {xm, ridge + t, 0},
                          {ex1, ey + t, 0}, {ex1, ey, 0},     {xm, ridge, 0}};
    AddPrism(mesh, roof, roof, outline, z0 - overhang, z1 + overhang);
    // Gable walls under the roof.
    for (const double z : {z0, z1}) {
        std::vector<V3> tri{{x0, eaves, z}, {xm, ridge, z}, {x1, eaves, z}};
        OutwardFace(mesh, wall, tri, {xm, eaves, (z0 + z1) / 2});
    }
}

// A hipped roof over [x0, x1] × [z0, z1] rising to a ridge along z (or a point when square).
void HipRoof(MeshBuilder& mesh, int roof, double x0, double x1, double z0, double z1, double eaves,
             double ridge, double overhang)
{
    x0 -= overhang;
    x1 += overhang;
    z0 -= overhang;
    z1 += overhang;
    const double half = (x1 - x0) / 2;
    const double xm = (x0 + x1) / 2;
    const double r0 = std::min(z0 + half, (z0 + z1) / 2), r1 = std::max(z1 - half, (z0 + z1) / 2);
    const V3 inside{xm, eaves, (z0 + z1) / 2};
    const V3 a{x0, eaves, z0}, b{x1, eaves, z0}, c{x1, eaves, z1}, d{x0, eaves, z1};
    const V3 p{xm, ridge, r0}, q{xm, ridge, r1};
    OutwardFace(mesh, roof, {a, b, p}, inside);
    OutwardFace(mesh, roof, {c, d, q}, inside);
    if (r1 - r0 > 1e-6) {
        OutwardFace(mesh, roof, {b, c, q, p}, inside);
        OutwardFace(mesh, roof, {d, a, p, q}, inside);
    } else {
        OutwardFace(mesh, roof, {b, c, p}, inside);
        OutwardFace(mesh, roof, {d, a, p}, inside);
    }
    mesh.Face(roof, {a, b, c, d}); // the eaves' underside, seen from below
}

SceneryModel Platform()
{
    SceneryModel m{"platform_50", {}, {{0, 0}, {0, kPlatformLength}}, 0};
    MeshBuilder& mesh = m.mesh;
    const int paving = mesh.Material(mat::PlatformTop());
    const int edge = mesh.Material(mat::PlatformEdge());
    const int tactile = mesh.Material(mat::TactileYellow());
    const int wall = mesh.Material(mat::Concrete());
    const int roof = mesh.Material(mat::Roof());
    const int post = mesh.Material(mat::Girder());
    const int bench = mesh.Material(mat::Door());
    const double h = kPlatformHeight, half = kPlatformWidth / 2, body = half - 0.1, len = kPlatformLength;
    const double xs[] = {-half, -half + 0.15, -half + 0.5, half - 0.5, half - 0.15, half};
    const int top[] = {edge, tactile, paving, tactile, edge};
    for (int i = 0; i < 5; ++i)
        mesh.Face(top[i], {{xs[i], h, 0}, {xs[i], h, len}, {xs[i + 1], h, len}, {xs[i + 1], h, 0}});
    // Coping and the platform walls.
    const V3 outline[] = {{-body, 0, 0}, {-body, h - 0.1, 0}, {-half, h - 0.1, 0}, {-half, h, 0},
                          {half, h, 0},  {half, h - 0.1, 0},  {body, h - 0.1, 0},  {body, 0, 0}};
    for (std::size_t i = 0; i + 1 < std::size(outline); ++i) {
        if (i == 3) continue; // the top is done above
        const V3 a = outline[i], b = outline[i + 1];
        mesh.Face(i == 2 || i == 4 ? edge : wall,
                  {{a.x, a.y, 0}, {a.x, a.y, len}, {b.x, b.y, len}, {b.x, b.y, 0}});
    }
    std::vector<V3> end0, end1;
    for (std::size_t i = 0; i < std::size(outline); ++i) {
        end0.push_back({outline[i].x, outline[i].y, 0});
        end1.push_back({outline[std::size(outline) - 1 - i].x, outline[std::size(outline) - 1 - i].y, len});
    }
    mesh.Polygon(wall, end0);
    mesh.Polygon(wall, end1);
    // A shelter in the middle, with benches.
    for (double z = 14; z <= 36.01; z += 5.5)
        AddBox(mesh, post, {-0.1, h, z - 0.1}, {0.1, h + 3.1, z + 0.1}, true);
    AddBox(mesh, roof, {-2.1, h + 3.1, 12}, {2.1, h + 3.3, 38});
    for (double z = 16.75; z <= 33.3; z += 5.5)
        for (const double x : {-0.9, 0.5})
            AddBox(mesh, bench, {x, h, z - 0.8}, {x + 0.4, h + 0.45, z + 0.8}, true);
    m.footprint = len;
    return m;
}

SceneryModel Station()
{
    SceneryModel m{"bldg_station", {}, {}, 14};
    MeshBuilder& mesh = m.mesh;
    const int wall = mesh.Material(mat::WallCream());
    const int glass = mesh.Material(mat::Glass());
    const int roof = mesh.Material(mat::Roof());
    const int door = mesh.Material(mat::Door());
    const int trim = mesh.Material(mat::RoofBrown());
    const V3 min{-12, 0, -6}, max{12, 7.5, 6};
    AddBox(mesh, wall, min, max, true);
    AddBox(mesh, roof, {-12.3, 7.5, -6.3}, {12.3, 7.9, 6.3});
    AddBox(mesh, trim, {-12.05, 3.8, -6.05}, {12.05, 4.1, 6.05});
    WindowRow(mesh, glass, min, max, 1.2, 3.2, 1.8, 3.0);
    WindowRow(mesh, glass, min, max, 4.8, 6.6, 1.3, 2.4);
    // Entrances on both long sides, under canopies.
    for (const int side : {2, 3}) {
        WallPanel(mesh, door, min, max, side, -2.0, 2.0, 0.0, 2.9, 0.08);
        const double z = side == 2 ? 6 : -6, dz = side == 2 ? 2.5 : -2.5;
        AddBox(mesh, roof, {-4.5, 3.3, std::min(z, z + dz)}, {4.5, 3.6, std::max(z, z + dz)});
    }
    // A clock tower at one end.
    const V3 tmin{8, 7.5, -2}, tmax{12, 11.5, 2};
    AddBox(mesh, wall, tmin, tmax, true);
    WindowRow(mesh, glass, tmin, tmax, 9.2, 10.8, 1.4, 4.0);
    HipRoof(mesh, trim, 8, 12, -2, 2, 11.5, 13.5, 0.3);
    return m;
}

SceneryModel House(bool gable)
{
    SceneryModel m{gable ? "bldg_house_a" : "bldg_house_b", {}, {}, 8};
    MeshBuilder& mesh = m.mesh;
    const int wall = mesh.Material(gable ? mat::WallWhite() : mat::WallCream());
    const int glass = mesh.Material(mat::Glass());
    const int door = mesh.Material(mat::Door());
    const int roof = mesh.Material(gable ? mat::RoofRed() : mat::RoofBlue());
    const double hx = gable ? 4.0 : 4.5, hz = gable ? 5.0 : 4.5;
    const V3 min{-hx, 0, -hz}, max{hx, 5.6, hz};
    AddBox(mesh, wall, min, max, true);
    WindowRow(mesh, glass, min, max, 1.0, 2.3, 1.2, 3.0);
    WindowRow(mesh, glass, min, max, 3.6, 4.8, 1.2, 3.0);
    WallPanel(mesh, door, min, max, 3, -0.5, 0.5, 0.0, 2.1, 0.08);
    if (gable)
        GableRoof(mesh, roof, wall, -hx, hx, -hz, hz, 5.6, 8.2, 0.5);
    else
        HipRoof(mesh, roof, -hx, hx, -hz, hz, 5.6, 8.3, 0.5);
    return m;
}

SceneryModel Apartment()
{
    SceneryModel m{"bldg_apartment", {}, {}, 17};
    MeshBuilder& mesh = m.mesh;
    const int wall = mesh.Material(mat::WallWhite());
    const int glass = mesh.Material(mat::Glass());
    const int roof = mesh.Material(mat::Roof());
    const int slab = mesh.Material(mat::Concrete());
    const V3 min{-15, 0, -6}, max{15, 15.5, 6};
    AddBox(mesh, wall, min, max, true);
    AddBox(mesh, roof, {-15.2, 15.5, -6.2}, {15.2, 15.8, 6.2});
    for (int floor = 0; floor < 5; ++floor) {
        const double y = 0.3 + 3.0 * floor;
        WindowRow(mesh, glass, min, max, y + 0.9, y + 2.5, 1.6, 3.0);
        if (floor > 0) AddBox(mesh, slab, {-14.5, y - 0.05, -7.3}, {14.5, y + 0.15, -6.0});
        if (floor > 0) AddBox(mesh, slab, {-14.5, y + 0.15, -7.35}, {14.5, y + 1.1, -7.25});
    }
    WallPanel(mesh, glass, min, max, 2, -1.5, 1.5, 0.0, 2.4, 0.08);
    return m;
}

SceneryModel GoodsShed()
{
    SceneryModel m{"bldg_goods_shed", {}, {}, 17};
    MeshBuilder& mesh = m.mesh;
    const int wall = mesh.Material(mat::WallBrick());
    const int roof = mesh.Material(mat::Roof());
    const int door = mesh.Material(mat::Door());
    const int dock = mesh.Material(mat::Concrete());
    const V3 min{-6, 0, -15}, max{6, 6.5, 15};
    AddBox(mesh, wall, min, max, true);
    GableRoof(mesh, roof, wall, -6, 6, -15, 15, 6.5, 9.0, 0.6);
    for (const double z : {-9.0, 0.0, 9.0}) {
        WallPanel(mesh, door, min, max, 0, z - 2.0, z + 2.0, 1.1, 4.6);
        WallPanel(mesh, door, min, max, 1, z - 2.0, z + 2.0, 0.0, 4.0);
    }
    // A loading dock along the track side (+x).
    AddBox(mesh, dock, {6, 0, -14}, {8.5, 1.1, 14}, true);
    return m;
}

SceneryModel Tree(bool conifer)
{
    SceneryModel m{conifer ? "tree_conifer" : "tree_broadleaf", {}, {}, 3};
    MeshBuilder& mesh = m.mesh;
    const int trunk = mesh.Material(mat::Trunk());
    if (conifer) {
        const int needles = mesh.Material(mat::Needles());
        AddFrustumY(mesh, trunk, {}, 0.25, 0, 0.15, 2.0, 8, false);
        AddFrustumY(mesh, needles, {}, 2.6, 1.5, 0, 6.0, 12);
        AddFrustumY(mesh, needles, {}, 2.0, 4.5, 0, 8.5, 12);
        AddFrustumY(mesh, needles, {}, 1.4, 7.0, 0, 11.0, 12);
    } else {
        const int leaves = mesh.Material(mat::Leaves());
        const int dark = mesh.Material(mat::Plain("LeavesDark", 0.12f, 0.29f, 0.10f));
        AddFrustumY(mesh, trunk, {}, 0.3, 0, 0.18, 3.5, 8, false);
        // Smoothly shaded crowns: a few faces give the round look.
        AddEllipsoid(mesh, leaves, {0, 5.2, 0}, {2.8, 2.4, 2.8}, 10, 7);
        AddEllipsoid(mesh, dark, {1.2, 6.4, 0.6}, {1.8, 1.7, 1.8}, 8, 6);
        AddEllipsoid(mesh, dark, {-1.1, 6.0, -0.8}, {1.7, 1.6, 1.7}, 8, 6);
    }
    return m;
}

// The asphalt with its edge and centre lines, rising evenly from h0 at z = 0 to h1 at z = len;
// the centre line is dashed every 5 units.
void AddRoadTop(MeshBuilder& mesh, double len, double h0, double h1)
{
    const int asphalt = mesh.Material(mat::Asphalt());
    const int line = mesh.Material(mat::RoadLine());
    const double w = kRoadHalfWidth;
    const double xs[] = {-w, -w + 0.15, -0.075, 0.075, w - 0.15, w};
    const int dashes = std::max(1, static_cast<int>(std::lround(len / 5.0)));
    for (int j = 0; j < dashes; ++j) {
        const double z0 = len * j / dashes, z1 = len * (j + 1) / dashes;
        const double y0 = h0 + (h1 - h0) * j / dashes, y1 = h0 + (h1 - h0) * (j + 1) / dashes;
        for (int i = 0; i < 5; ++i) {
            const bool marked = i == 0 || i == 4 || (i == 2 && j % 2 == 0);
            mesh.Face(marked ? line : asphalt,
                      {{xs[i], y0, z0}, {xs[i], y1, z1}, {xs[i + 1], y1, z1}, {xs[i + 1], y0, z0}});
        }
    }
}

SceneryModel Road()
{
    SceneryModel m{"road_straight_20", {}, {{0, 0}, {0, track::kRoadLength}}, 0};
    MeshBuilder& mesh = m.mesh;
    const double h = track::kRoadHeight, w = kRoadHalfWidth, len = track::kRoadLength;
    AddRoadTop(mesh, len, h, h);
    const int asphalt = mesh.Material(mat::Asphalt());
    mesh.Face(asphalt, {{w, 0, 0}, {w, h, 0}, {w, h, len}, {w, 0, len}});
    mesh.Face(asphalt, {{-w, 0, 0}, {-w, 0, len}, {-w, h, len}, {-w, h, 0}});
    return m;
}

// One step of a road embankment: the road rises kRoadRampRise over kRoadRampLength between
// retaining walls that reach below the ground, as the track's slopes do. Laid end to end at
// heights 0, 1 x rise, 2 x rise ... it climbs to a bridge; turned round it comes down.
SceneryModel RoadRamp()
{
    const double len = kRoadRampLength, w = kRoadHalfWidth, wall = w + 0.3;
    const double low = track::kRoadHeight, high = low + kRoadRampRise;
    SceneryModel m{"road_ramp_25", {}, {{0, 0}, {0, len}}, 0};
    MeshBuilder& mesh = m.mesh;
    AddRoadTop(mesh, len, low, high);
    const int concrete = mesh.Material(mat::Concrete());
    // The walls: their tops beside the road, rising with it, and their outer faces.
    for (const double side : {-1.0, 1.0}) {
        const V3 inside{side * (w + 0.15), 0, len / 2};
        OutwardFace(
            mesh, concrete,
            {{side * w, low, 0}, {side * w, high, len}, {side * wall, high, len}, {side * wall, low, 0}},
            {inside.x, -100, inside.z});
        OutwardFace(mesh, concrete,
                    {{side * wall, kRoadFoundation, 0},
                     {side * wall, low, 0},
                     {side * wall, high, len},
                     {side * wall, kRoadFoundation, len}},
                    {0, 0, len / 2});
    }
    // The ends, seen where the ramp meets a bridge abutment or the ground.
    OutwardFace(mesh, concrete,
                {{-wall, kRoadFoundation, 0}, {-wall, low, 0}, {wall, low, 0}, {wall, kRoadFoundation, 0}},
                {0, 0, len / 2});
    OutwardFace(
        mesh, concrete,
        {{-wall, kRoadFoundation, len}, {-wall, high, len}, {wall, high, len}, {wall, kRoadFoundation, len}},
        {0, 0, len / 2});
    return m;
}

// The road's bridge: a deck with parapets on an abutment at either end. Its road lies
// kRoadBridgeRise above the ground when the piece stands at that height, leaving room under
// the deck for a road or a track between the abutments.
SceneryModel RoadBridge()
{
    const double len = kRoadBridgeLength, w = kRoadHalfWidth, h = track::kRoadHeight;
    SceneryModel m{"road_bridge_22", {}, {{0, 0}, {0, len}}, 0};
    MeshBuilder& mesh = m.mesh;
    AddRoadTop(mesh, len, h, h);
    const int concrete = mesh.Material(mat::Concrete());
    const int girder = mesh.Material(mat::Girder());
    const double slabBottom = -0.7, parapet = 0.3;
    AddBox(mesh, concrete, {-w - parapet, slabBottom, 0}, {w + parapet, 0, len});
    for (const double side : {-1.0, 1.0})
        AddBox(mesh, girder, {side > 0 ? w : -w - parapet, 0, 0}, {side > 0 ? w + parapet : -w, 1.0, len},
               true);
    const double abutment = 2.5, bottom = kRoadFoundation;
    for (const double z0 : {0.0, len - abutment})
        AddBox(mesh, concrete, {-w - parapet - 0.5, bottom, z0},
               {w + parapet + 0.5, slabBottom, z0 + abutment});
    return m;
}

} // namespace

std::vector<SceneryModel> SceneryModels()
{
    std::vector<SceneryModel> out;
    out.push_back(Platform());
    out.push_back(Station());
    out.push_back(House(true));
    out.push_back(House(false));
    out.push_back(Apartment());
    out.push_back(GoodsShed());
    out.push_back(Tree(false));
    out.push_back(Tree(true));
    out.push_back(Road());
    out.push_back(RoadRamp());
    out.push_back(RoadBridge());
    return out;
}

MeshBuilder GroundModel(double side, double centreX, double centreZ)
{
    MeshBuilder mesh;
    const int ground = mesh.Material(mat::Ground());
    const int n = 16;
    const double x0 = centreX - side / 2, z0 = centreZ - side / 2;
    const double step = side / n;
    auto uv = [](double x, double z) { return UV{x / kGroundTile, -z / kGroundTile}; };
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const double xa = x0 + step * i, xb = xa + step, za = z0 + step * j, zb = za + step;
            const V3 corners[] = {{xa, 0, za}, {xa, 0, zb}, {xb, 0, zb}, {xb, 0, za}};
            const UV uvs[] = {uv(xa, za), uv(xa, zb), uv(xb, zb), uv(xb, za)};
            mesh.Face(ground, corners, uvs);
        }
    }
    return mesh;
}

} // namespace demo
