// Track pieces for the surface-query and train tests, and for the train benchmark: a flat bed
// along a centre line (the visible mesh) and a guide mesh whose subset k is route k, a vertical
// band along the route's centre line around rail height + 0.5 + k, written as text .x files.
// Plain C++ without the test framework, so that the benchmark can use it too.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace tracks {

inline constexpr double kPi = 3.14159265358979323846;
// Half the width of a track bed, and half the height of a guide band.
inline constexpr double kBedHalfWidth = 1.0;
inline constexpr double kBandHalfHeight = 0.25;
// Rail height above the bed's surface at which a car's origin stands: the bed is the rail.
inline constexpr double kGuideLift = 0.5;

struct Point {
    double x = 0, y = 0, z = 0;
};

// A route's centre line: points along it with the heading (radians, 0 faces +z) at each.
struct Line {
    std::vector<Point> points;
    std::vector<double> headings;
};

inline Line StraightLine(double length, double rise = 0.0, int segments = 8, double x0 = 0.0)
{
    Line line;
    for (int i = 0; i <= segments; ++i) {
        const double t = static_cast<double>(i) / segments;
        line.points.push_back({x0, rise * t, length * t});
        line.headings.push_back(0.0);
    }
    return line;
}

// Starts at the origin heading +z and turns right (towards +x) by degrees with the radius.
inline Line CurveLine(double radius, double degrees, double segmentDegrees = 1.0)
{
    Line line;
    const int segments = std::max(1, static_cast<int>(std::ceil(degrees / segmentDegrees)));
    for (int i = 0; i <= segments; ++i) {
        const double a = degrees * kPi / 180.0 * i / segments;
        line.points.push_back({radius - radius * std::cos(a), 0.0, radius * std::sin(a)});
        line.headings.push_back(a);
    }
    return line;
}

// A plain mesh: positions, triangles (three indices each) and a subset per triangle.
struct MeshData {
    std::vector<Point> positions;
    std::vector<int> indices;
    std::vector<int> subsets;
    int subsetCount = 1;

    void Quad(const Point& a, const Point& b, const Point& c, const Point& d, int subset)
    {
        const int base = static_cast<int>(positions.size());
        positions.insert(positions.end(), {a, b, c, d});
        indices.insert(indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
        subsets.insert(subsets.end(), {subset, subset});
    }
};

inline void AddBed(MeshData& mesh, const Line& line, double halfWidth = kBedHalfWidth)
{
    for (std::size_t i = 0; i + 1 < line.points.size(); ++i) {
        auto side = [&](std::size_t at, double s) {
            const Point& p = line.points[at];
            return Point{p.x + s * std::cos(line.headings[at]), p.y, p.z - s * std::sin(line.headings[at])};
        };
        mesh.Quad(side(i, -halfWidth), side(i + 1, -halfWidth), side(i + 1, halfWidth), side(i, halfWidth),
                  0);
    }
}

// Route k's band: vertical quads along the line around its height + kGuideLift + k.
inline void AddBand(MeshData& mesh, const Line& line, int route)
{
    for (std::size_t i = 0; i + 1 < line.points.size(); ++i) {
        const Point& a = line.points[i];
        const Point& b = line.points[i + 1];
        const double lift = kGuideLift + route;
        mesh.Quad({a.x, a.y + lift - kBandHalfHeight, a.z}, {a.x, a.y + lift + kBandHalfHeight, a.z},
                  {b.x, b.y + lift + kBandHalfHeight, b.z}, {b.x, b.y + lift - kBandHalfHeight, b.z}, route);
    }
    mesh.subsetCount = std::max(mesh.subsetCount, route + 1);
}

inline std::string Number(double v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", v);
    return buffer;
}

// The mesh as a text .x file with one material per subset.
inline std::string XText(const MeshData& mesh)
{
    std::string t = "xof 0303txt 0032\nMesh {\n" + std::to_string(mesh.positions.size()) + ";\n";
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        const Point& p = mesh.positions[i];
        t += Number(p.x) + ";" + Number(p.y) + ";" + Number(p.z) +
             (i + 1 < mesh.positions.size() ? ";,\n" : ";;\n");
    }
    const std::size_t faces = mesh.indices.size() / 3;
    t += std::to_string(faces) + ";\n";
    for (std::size_t f = 0; f < faces; ++f) {
        t += "3;" + std::to_string(mesh.indices[3 * f]) + "," + std::to_string(mesh.indices[3 * f + 1]) +
             "," + std::to_string(mesh.indices[3 * f + 2]) + (f + 1 < faces ? ";,\n" : ";;\n");
    }
    t += "MeshMaterialList {\n" + std::to_string(mesh.subsetCount) + ";\n" + std::to_string(faces) + ";\n";
    for (std::size_t f = 0; f < faces; ++f)
        t += std::to_string(mesh.subsets[f]) + (f + 1 < faces ? ",\n" : ";;\n");
    for (int m = 0; m < mesh.subsetCount; ++m)
        t += "Material { 0.5;0.5;0.5;1.0;; 5.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n";
    t += "}\n}\n";
    return t;
}

// The files of one object type: name.x, name_r.x (empty: none) and the .ini text.
struct TypeFiles {
    std::string visible;
    std::string guide;
    int routes = 0;
};

inline TypeFiles TrackType(const std::vector<Line>& routes)
{
    MeshData bed;
    MeshData guide;
    for (std::size_t k = 0; k < routes.size(); ++k) {
        AddBed(bed, routes[k]);
        AddBand(guide, routes[k], static_cast<int>(k));
    }
    return {XText(bed), XText(guide), static_cast<int>(routes.size())};
}

inline std::string IniText(const std::string& section, int routes)
{
    return "[" + section + "]\r\n透明=0\r\nポイント=" + std::to_string(routes) + "\r\n";
}

// An axis-aligned box (12 triangles, one subset): a car body, a platform or a deck.
inline std::string BoxText(double minX, double maxX, double minY, double maxY, double minZ, double maxZ)
{
    MeshData mesh;
    auto p = [&](int i) { return Point{i & 1 ? maxX : minX, i & 2 ? maxY : minY, i & 4 ? maxZ : minZ}; };
    const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& q : quads)
        mesh.Quad(p(q[0]), p(q[1]), p(q[2]), p(q[3]), 0);
    return XText(mesh);
}

// Where a piece laid at a pose (x, z, heading in degrees) ends, given its end in its own frame.
struct Pose {
    double x = 0, z = 0, heading = 0;
    Pose Then(double endX, double endZ, double turn) const
    {
        const double a = heading * kPi / 180.0;
        return {x + endX * std::cos(a) + endZ * std::sin(a), z - endX * std::sin(a) + endZ * std::cos(a),
                heading + turn};
    }
};

} // namespace tracks
