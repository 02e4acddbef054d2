#include "demo/Parts.h"

#include <cmath>

namespace demo {

void AddWheelX(MeshBuilder& mesh, int tyre, int hub, V3 centre, double radius, double width, int sides)
{
    MeshBuilder wheel;
    // Materials by name, so that the part's indices map onto the model's.
    const int t = wheel.Material(mesh.Materials()[static_cast<std::size_t>(tyre)]);
    const int h = wheel.Material(mesh.Materials()[static_cast<std::size_t>(hub)]);
    AddCylinderZ(wheel, t, t, radius, -width / 2, width / 2, sides);
    AddCylinderZ(wheel, h, h, radius * 0.55, -width / 2 - 0.01, width / 2 + 0.01, sides);
    // A quarter turn about y takes the z axis onto x (and keeps the winding).
    wheel.Remap([](V3 p) { return V3{p.z, p.y, -p.x}; });
    mesh.Append(wheel, {0, centre, 1});
}

void AddBeamYZ(MeshBuilder& mesh, int material, V3 a, V3 b, double halfWidthX, double thickness)
{
    const V3 d = b - a;
    const double length = std::sqrt(d.y * d.y + d.z * d.z);
    if (length <= 0) return;
    MeshBuilder beam;
    const int m = beam.Material(mesh.Materials()[static_cast<std::size_t>(material)]);
    AddBox(beam, m, {-halfWidthX, -thickness / 2, 0}, {halfWidthX, thickness / 2, length});
    // Turn about x so that +z points along the beam.
    const double c = d.z / length, s = d.y / length;
    beam.Remap([c, s](V3 p) { return V3{p.x, p.y * c + p.z * s, -p.y * s + p.z * c}; });
    mesh.Append(beam, {0, a, 1});
}

void SidePanel(MeshBuilder& mesh, int material, int side, double x, double z0, double z1, double y0,
               double y1)
{
    if (side > 0)
        mesh.Face(material, {{x, y0, z0}, {x, y1, z0}, {x, y1, z1}, {x, y0, z1}});
    else
        mesh.Face(material, {{-x, y0, z0}, {-x, y0, z1}, {-x, y1, z1}, {-x, y1, z0}});
}

void EndPanel(MeshBuilder& mesh, int material, int facing, double z, double x0, double x1, double y0,
              double y1)
{
    if (facing > 0)
        mesh.Face(material, {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}});
    else
        mesh.Face(material, {{x0, y0, z}, {x0, y1, z}, {x1, y1, z}, {x1, y0, z}});
}

} // namespace demo
