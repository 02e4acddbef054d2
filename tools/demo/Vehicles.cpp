#include "demo/Vehicles.h"

#include "demo/Materials.h"
#include "demo/Parts.h"

#include <cmath>

namespace demo {

namespace {

// A body of rings along z: each ring an ellipse (centre height cy, half sizes rx, ry); a ring
// with zero size closes the body in a point. Smooth sides.
struct Ring {
    double z, cy, rx, ry;
};

void AddLoft(MeshBuilder& mesh, int material, const std::vector<Ring>& rings, int sides = 14)
{
    auto point = [&](const Ring& r, int i) {
        const double a = 2 * kPi * i / sides;
        return V3{r.rx * std::cos(a), r.cy + r.ry * std::sin(a), r.z};
    };
    auto normal = [&](const Ring& r, int i) {
        const double a = 2 * kPi * i / sides;
        return Normalized(V3{std::cos(a) / std::max(r.rx, 1e-3), std::sin(a) / std::max(r.ry, 1e-3), 0});
    };
    for (std::size_t k = 0; k + 1 < rings.size(); ++k) {
        const Ring &a = rings[k], &b = rings[k + 1];
        const V3 axis = Normalized(V3{0, 0, b.z - a.z});
        for (int i = 0; i < sides; ++i) {
            const bool aTip = a.rx <= 0, bTip = b.rx <= 0;
            if (aTip || bTip) {
                const Ring& ring = aTip ? b : a;
                const V3 tip{0, aTip ? a.cy : b.cy, aTip ? a.z : b.z};
                const V3 tipNormal = aTip ? axis * -1.0 : axis;
                const V3 corners[] = {point(ring, i), point(ring, i + 1), tip};
                const V3 normals[] = {normal(ring, i) + tipNormal * 0.3,
                                      normal(ring, i + 1) + tipNormal * 0.3, tipNormal};
                mesh.SmoothFace(material, corners, normals);
                continue;
            }
            const V3 corners[] = {point(a, i), point(a, i + 1), point(b, i + 1), point(b, i)};
            const V3 normals[] = {normal(a, i), normal(a, i + 1), normal(b, i + 1), normal(b, i)};
            mesh.SmoothFace(material, corners, normals);
        }
    }
}

// A flat outline in the side view (points (z, y), clockwise with z to the right) made solid
// across x from -halfWidth to +halfWidth.
void AddSideProfile(MeshBuilder& mesh, int sideMaterial, int faceMaterial, const std::vector<V3>& zy,
                    double halfWidth, double xOffset = 0)
{
    MeshBuilder part;
    const int s = part.Material(mesh.Materials()[static_cast<std::size_t>(sideMaterial)]);
    const int f = part.Material(mesh.Materials()[static_cast<std::size_t>(faceMaterial)]);
    std::vector<V3> outline;
    for (const V3& p : zy)
        outline.push_back({p.x, p.y, 0});
    AddPrism(part, s, f, outline, -halfWidth, halfWidth);
    // The profile was drawn with z along x; a quarter turn about y puts it back along z.
    part.Remap([](V3 p) { return V3{-p.z, p.y, p.x}; });
    mesh.Append(part, {0, {xOffset, 0, 0}, 1});
}

// A wing of span from x0 to x1 (x1 > x0), chord along z centred at z, at height y.
void AddWing(MeshBuilder& mesh, int material, double x0, double x1, double z, double y, double chord,
             double thickness)
{
    const double c = chord;
    const std::vector<V3> foil{
        {z - c / 2, y, 0}, {z - c / 4, y + thickness * 0.4, 0}, {z + c / 4, y + thickness / 2, 0},
        {z + c / 2, y, 0}, {z + c / 4, y - thickness / 3, 0},   {z - c / 4, y - thickness / 4, 0}};
    AddSideProfile(mesh, material, material, foil, (x1 - x0) / 2, (x0 + x1) / 2);
}

std::string Number(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

VehicleModel RoadCar()
{
    VehicleModel v{"car", "hatchback", {}, {}};
    MeshBuilder& mesh = v.mesh;
    const int paint = mesh.Material(mat::Plain("CarPaint", 0.62f, 0.06f, 0.05f));
    const int glass = mesh.Material(mat::Glass());
    const int tyre = mesh.Material(mat::Plain("Tyre", 0.05f, 0.05f, 0.05f));
    const int hub = mesh.Material(mat::Plain("Hubcap", 0.55f, 0.55f, 0.57f));
    const int head = mesh.Material(mat::Glowing("HeadLight", 0.95f, 0.92f, 0.75f));
    const int tail = mesh.Material(mat::LampRed());
    const int black = mesh.Material(mat::SignalBlack());
    const double w = 0.85;
    const std::vector<V3> body{{-2.1, 0.32, 0},  {-2.15, 0.85, 0}, {-1.95, 0.92, 0},
                               {-1.55, 1.42, 0}, {0.3, 1.45, 0},   {1.05, 0.97, 0},
                               {2.05, 0.86, 0},  {2.15, 0.6, 0},   {2.1, 0.32, 0}};
    AddSideProfile(mesh, paint, paint, body, w);
    // Windows: on both sides, then the windscreen and the rear window on their slopes.
    for (const int side : {-1, 1}) {
        const double x = side * (w + 0.02);
        std::vector<V3> window{{x, 0.98, -1.55}, {x, 1.34, -1.42}, {x, 1.37, 0.25}, {x, 1.0, 0.92}};
        if (side < 0) window = {window[3], window[2], window[1], window[0]};
        mesh.Face(glass, window);
        SidePanel(mesh, black, side, w + 0.02, -2.1, 2.1, 0.38, 0.5);
    }
    auto onSlope = [&](V3 a, V3 b, double inset, double lift) {
        // The panel on the roof slope from a to b (points (z, y)), lifted off it.
        const V3 d = Normalized(b - a);
        const V3 n{0, d.z, -d.y};
        const V3 up = n * (Dot(n, V3{0, 1, 0}) < 0 ? -lift : lift);
        const V3 p = a + d * inset + up, q = b - d * inset + up;
        const double x = w - 0.1;
        std::vector<V3> panel{{-x, p.y, p.z}, {-x, q.y, q.z}, {x, q.y, q.z}, {x, p.y, p.z}};
        const V3 normal = Normalized(Cross(panel[1] - panel[0], panel[2] - panel[0]));
        if (Dot(normal, up) < 0) panel = {panel[3], panel[2], panel[1], panel[0]};
        mesh.Face(glass, panel);
    };
    onSlope({0, 1.45, 0.3}, {0, 0.97, 1.05}, 0.05, 0.02);
    onSlope({0, 0.92, -1.95}, {0, 1.42, -1.55}, 0.05, 0.02);
    for (const double x : {-0.6, 0.6}) {
        EndPanel(mesh, head, 1, 2.16, x - 0.18, x + 0.18, 0.65, 0.78);
        EndPanel(mesh, tail, -1, -2.16, x - 0.15, x + 0.15, 0.7, 0.82);
    }
    for (const double z : {-1.35, 1.35})
        for (const double x : {-0.78, 0.78})
            AddWheelX(mesh, tyre, hub, {x, 0.32, z}, 0.32, 0.2, 14);
    v.ini = {{"拡大率", "1.0"},   {"回転角度", "0.0"}, {"運転席x", "0.35"},
             {"運転席y", "1.15"}, {"運転席z", "-0.2"}, {"後輪位置", Number(1.35)}};
    return v;
}

VehicleModel Aeroplane()
{
    VehicleModel v{"plane", "propplane", {}, {}};
    MeshBuilder& mesh = v.mesh;
    const int white = mesh.Material(mat::Plain("PlaneWhite", 0.78f, 0.78f, 0.80f));
    const int red = mesh.Material(mat::Plain("PlaneRed", 0.65f, 0.08f, 0.07f));
    const int glass = mesh.Material(mat::Glass());
    const int dark = mesh.Material(mat::SignalBlack());
    AddLoft(mesh, white,
            {{4.6, 0.0, 0.0, 0.0},
             {4.3, 0.0, 0.45, 0.45},
             {3.2, 0.05, 0.65, 0.7},
             {1.0, 0.1, 0.7, 0.8},
             {-1.5, 0.15, 0.55, 0.65},
             {-4.2, 0.45, 0.12, 0.2},
             {-4.5, 0.5, 0.0, 0.0}});
    // Canopy and a stripe along the body.
    for (const int side : {-1, 1}) {
        const double x = side * 0.69;
        std::vector<V3> canopy{{x, 0.35, 0.6}, {x, 0.75, 0.9}, {x, 0.75, 2.4}, {x, 0.35, 2.9}};
        if (side < 0) canopy = {canopy[3], canopy[2], canopy[1], canopy[0]};
        mesh.Face(glass, canopy);
    }
    AddWing(mesh, white, -5.8, 5.8, 1.4, 0.55, 1.7, 0.22);
    for (const double x : {-5.9, 5.3})
        AddWing(mesh, red, x, x + 0.6, 1.4, 0.551, 1.72, 0.24);
    AddWing(mesh, white, -2.0, 2.0, -3.9, 0.45, 0.9, 0.12);
    const std::vector<V3> fin{{-4.5, 0.4, 0}, {-4.4, 2.0, 0}, {-3.8, 2.0, 0}, {-3.0, 0.6, 0}};
    AddSideProfile(mesh, red, red, fin, 0.05);
    // Spinner and two blades.
    AddLoft(mesh, dark, {{4.5, 0.0, 0.22, 0.22}, {4.65, 0.0, 0.2, 0.2}, {4.95, 0.0, 0.0, 0.0}}, 10);
    const int prop = mesh.Material(mat::Plain("Propeller", 0.15f, 0.15f, 0.16f));
    AddBox(mesh, prop, {-0.08, -1.0, 4.62}, {0.08, 1.0, 4.7});
    v.ini = {{"拡大率", "1.0"}, {"回転角度", "0.0"}, {"操縦席y", "0.6"}, {"操縦席z", "1.8"}};
    return v;
}

VehicleModel Helicopter()
{
    VehicleModel v{"helicopter", "helicopter", {}, {}};
    MeshBuilder& mesh = v.mesh;
    const int body = mesh.Material(mat::Plain("HeliYellow", 0.80f, 0.55f, 0.05f));
    const int glass = mesh.Material(mat::Glass());
    const int dark = mesh.Material(mat::SignalBlack());
    const int blade = mesh.Material(mat::Plain("RotorBlade", 0.12f, 0.12f, 0.13f));
    AddLoft(mesh, body,
            {{2.3, 1.55, 0.0, 0.0},
             {2.1, 1.5, 0.55, 0.6},
             {1.2, 1.5, 0.95, 0.95},
             {-0.6, 1.55, 0.95, 1.0},
             {-1.6, 1.7, 0.55, 0.6},
             {-2.0, 1.8, 0.25, 0.25},
             {-6.5, 2.0, 0.14, 0.14},
             {-6.6, 2.0, 0.0, 0.0}});
    // Canopy: glass panels on the sides and the front.
    for (const int side : {-1, 1}) {
        const double x = side * 0.97;
        std::vector<V3> canopy{{x, 1.4, 0.2}, {x, 2.2, 0.4}, {x, 2.1, 1.6}, {x, 1.4, 1.9}};
        if (side < 0) canopy = {canopy[3], canopy[2], canopy[1], canopy[0]};
        mesh.Face(glass, canopy);
    }
    EndPanel(mesh, glass, 1, 2.2, -0.45, 0.45, 1.45, 1.95);
    // Mast and a two-blade rotor, tail fin and rotor.
    AddFrustumY(mesh, dark, {0, 2.4, 0}, 0.15, 0, 0.12, 0.6, 8);
    AddBox(mesh, blade, {-0.12, 3.0, -5.2}, {0.12, 3.06, 5.2});
    AddBox(mesh, blade, {-5.2, 3.0, -0.12}, {5.2, 3.06, 0.12});
    const std::vector<V3> fin{{-6.6, 1.9, 0}, {-6.5, 3.0, 0}, {-6.1, 3.0, 0}, {-5.6, 2.05, 0}};
    AddSideProfile(mesh, body, body, fin, 0.05);
    AddBox(mesh, blade, {0.06, 1.6, -6.45}, {0.1, 2.9, -6.25});
    // Skids on struts; their bottom is the origin.
    for (const double x : {-1.1, 1.1}) {
        AddBox(mesh, dark, {x - 0.05, 0.0, -1.8}, {x + 0.05, 0.1, 1.9});
        for (const double z : {-0.9, 1.0})
            AddBeamYZ(mesh, dark, {x, 0.1, z}, {x, 0.75, z}, 0.04, 0.08);
    }
    v.ini = {{"拡大率", "1.0"}, {"回転角度", "0.0"}, {"操縦席y", "1.7"}, {"操縦席z", "1.0"}};
    return v;
}

} // namespace

std::vector<VehicleModel> VehicleModels()
{
    std::vector<VehicleModel> out;
    out.push_back(RoadCar());
    out.push_back(Aeroplane());
    out.push_back(Helicopter());
    return out;
}

} // namespace demo
