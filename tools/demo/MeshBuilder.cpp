#include "demo/MeshBuilder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace demo {

namespace {

// The front normal of a polygon: the sum of its fan's cross products (robust when the first
// corners happen to lie on a line).
V3 FrontNormal(std::span<const V3> corners)
{
    V3 sum;
    for (std::size_t i = 1; i + 1 < corners.size(); ++i)
        sum = sum + Cross(corners[i] - corners[0], corners[i + 1] - corners[0]);
    return Normalized(sum);
}

double Area2(double ax, double ay, double bx, double by, double cx, double cy)
{
    return (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
}

bool InTriangle(double px, double py, double ax, double ay, double bx, double by, double cx, double cy)
{
    return Area2(ax, ay, bx, by, px, py) >= 0 && Area2(bx, by, cx, cy, px, py) >= 0 &&
           Area2(cx, cy, ax, ay, px, py) >= 0;
}

} // namespace

V3 Placement::Apply(V3 p) const
{
    return TurnAndMove(p * scale, angle, 0, 0) + offset;
}

V3 Placement::ApplyToNormal(V3 n) const
{
    return TurnAndMove(n, angle, 0, 0);
}

int MeshBuilder::Material(const MaterialDef& material)
{
    for (std::size_t i = 0; i < materials_.size(); ++i) {
        const MaterialDef& known = materials_[i];
        if (known.name != material.name) continue;
        // One name, one look: parts built apart are merged by name.
        const auto same = [](Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; };
        if (!same(known.diffuse, material.diffuse) || !same(known.emissive, material.emissive) ||
            known.texture != material.texture)
            throw std::logic_error("two materials named " + material.name);
        return static_cast<int>(i);
    }
    materials_.push_back(material);
    return static_cast<int>(materials_.size() - 1);
}

bool MeshBuilder::HasTexture() const
{
    return std::any_of(materials_.begin(), materials_.end(),
                       [](const MaterialDef& m) { return !m.texture.empty(); });
}

std::uint32_t MeshBuilder::AddVertex(V3 position, V3 normal, UV uv)
{
    vertices_.push_back({position, normal, uv});
    return static_cast<std::uint32_t>(vertices_.size() - 1);
}

void MeshBuilder::Face(int material, std::span<const V3> corners, std::span<const UV> uvs)
{
    if (corners.size() < 3) throw std::logic_error("a face needs three corners");
    const V3 normal = FrontNormal(corners);
    MeshFace face;
    face.material = material;
    for (std::size_t i = 0; i < corners.size(); ++i)
        face.corners.push_back(AddVertex(corners[i], normal, i < uvs.size() ? uvs[i] : UV{}));
    faces_.push_back(std::move(face));
}

void MeshBuilder::TwoSidedFace(int material, std::span<const V3> corners)
{
    Face(material, corners);
    std::vector<V3> reversed(corners.rbegin(), corners.rend());
    Face(material, reversed);
}

void MeshBuilder::SmoothFace(int material, std::span<const V3> corners, std::span<const V3> normals,
                             std::span<const UV> uvs)
{
    if (corners.size() < 3 || normals.size() != corners.size()) throw std::logic_error("bad smooth face");
    // The normals say where the outside is; the winding follows them.
    V3 mean;
    for (const V3& n : normals)
        mean = mean + n;
    const bool reverse = Dot(FrontNormal(corners), mean) < 0;
    MeshFace face;
    face.material = material;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const std::size_t i = reverse ? corners.size() - 1 - k : k;
        face.corners.push_back(AddVertex(corners[i], Normalized(normals[i]), i < uvs.size() ? uvs[i] : UV{}));
    }
    faces_.push_back(std::move(face));
}

void MeshBuilder::Polygon(int material, std::span<const V3> corners)
{
    if (corners.size() < 3) throw std::logic_error("a polygon needs three corners");
    const V3 normal = FrontNormal(corners);
    // A plane basis (e1, e2) with Cross(e1, e2) along the front normal: fronts keep a positive
    // area in it.
    const V3 helper = std::abs(normal.y) < 0.9 ? V3{0, 1, 0} : V3{1, 0, 0};
    const V3 e1 = Normalized(Cross(helper, normal));
    const V3 e2 = Cross(normal, e1);
    std::vector<double> px, py;
    for (const V3& c : corners) {
        px.push_back(Dot(c, e1));
        py.push_back(Dot(c, e2));
    }
    std::vector<std::size_t> left(corners.size());
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = i;
    // Ear clipping: small outlines only, so the quadratic walk is fine.
    while (left.size() > 3) {
        bool clipped = false;
        for (std::size_t k = 0; k < left.size(); ++k) {
            const std::size_t a = left[(k + left.size() - 1) % left.size()], b = left[k],
                              c = left[(k + 1) % left.size()];
            if (Area2(px[a], py[a], px[b], py[b], px[c], py[c]) <= 1e-12) continue;
            bool inside = false;
            for (std::size_t o : left) {
                if (o == a || o == b || o == c) continue;
                if (InTriangle(px[o], py[o], px[a], py[a], px[b], py[b], px[c], py[c])) {
                    inside = true;
                    break;
                }
            }
            if (inside) continue;
            Face(material, {corners[a], corners[b], corners[c]});
            left.erase(left.begin() + static_cast<std::ptrdiff_t>(k));
            clipped = true;
            break;
        }
        if (!clipped) throw std::logic_error("polygon cannot be cut into triangles");
    }
    Face(material, {corners[left[0]], corners[left[1]], corners[left[2]]});
}

void MeshBuilder::Append(const MeshBuilder& part, const Placement& placement)
{
    std::vector<int> materialMap;
    for (const MaterialDef& m : part.materials_)
        materialMap.push_back(Material(m));
    const auto base = static_cast<std::uint32_t>(vertices_.size());
    for (const MeshVertex& v : part.vertices_)
        vertices_.push_back({placement.Apply(v.position), placement.ApplyToNormal(v.normal), v.uv});
    for (const MeshFace& f : part.faces_) {
        MeshFace face;
        face.material = materialMap[static_cast<std::size_t>(f.material)];
        for (std::uint32_t c : f.corners)
            face.corners.push_back(c + base);
        faces_.push_back(std::move(face));
    }
}

void MeshBuilder::Transform(const Placement& placement)
{
    for (MeshVertex& v : vertices_) {
        v.position = placement.Apply(v.position);
        v.normal = placement.ApplyToNormal(v.normal);
    }
}

void AddBox(MeshBuilder& mesh, int material, V3 a, V3 b, bool openBottom)
{
    const double x0 = a.x, y0 = a.y, z0 = a.z, x1 = b.x, y1 = b.y, z1 = b.z;
    mesh.Face(material, {{x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}}); // top
    if (!openBottom) mesh.Face(material, {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}});
    mesh.Face(material, {{x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}}); // +x
    mesh.Face(material, {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}}); // -x
    mesh.Face(material, {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}}); // +z
    mesh.Face(material, {{x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}}); // -z
}

void AddPrism(MeshBuilder& mesh, int sideMaterial, int capMaterial, std::span<const V3> outline, double z0,
              double z1)
{
    const std::size_t n = outline.size();
    for (std::size_t i = 0; i < n; ++i) {
        const V3 a = outline[i];
        const V3 b = outline[(i + 1) % n];
        mesh.Face(sideMaterial, {{a.x, a.y, z0}, {a.x, a.y, z1}, {b.x, b.y, z1}, {b.x, b.y, z0}});
    }
    if (capMaterial < 0) return;
    std::vector<V3> back, front;
    for (std::size_t i = 0; i < n; ++i) {
        back.push_back({outline[i].x, outline[i].y, z0});
        front.push_back({outline[n - 1 - i].x, outline[n - 1 - i].y, z1});
    }
    mesh.Polygon(capMaterial, back);
    mesh.Polygon(capMaterial, front);
}

void AddPrism(MeshBuilder& mesh, int material, std::span<const V3> outline, double z0, double z1, bool caps)
{
    AddPrism(mesh, material, caps ? material : -1, outline, z0, z1);
}

void AddCylinderZ(MeshBuilder& mesh, int sideMaterial, int capMaterial, double radius, double z0, double z1,
                  int sides)
{
    std::vector<V3> ring;
    for (int i = 0; i < sides; ++i) {
        const double a = -2 * kPi * i / sides; // clockwise seen with x right, y up
        ring.push_back({radius * std::cos(a), radius * std::sin(a), 0});
    }
    for (int i = 0; i < sides; ++i) {
        const V3 a = ring[static_cast<std::size_t>(i)];
        const V3 b = ring[static_cast<std::size_t>((i + 1) % sides)];
        const V3 corners[] = {{a.x, a.y, z0}, {a.x, a.y, z1}, {b.x, b.y, z1}, {b.x, b.y, z0}};
        const V3 normals[] = {a, a, b, b};
        mesh.SmoothFace(sideMaterial, corners, normals);
    }
    std::vector<V3> back, front;
    for (int i = 0; i < sides; ++i) {
        back.push_back({ring[static_cast<std::size_t>(i)].x, ring[static_cast<std::size_t>(i)].y, z0});
        const V3 r = ring[static_cast<std::size_t>(sides - 1 - i)];
        front.push_back({r.x, r.y, z1});
    }
    mesh.Face(capMaterial, back);
    mesh.Face(capMaterial, front);
}

void AddFrustumY(MeshBuilder& mesh, int material, V3 base, double r0, double y0, double r1, double y1,
                 int sides, bool closeBottom)
{
    const double h = y1 - y0;
    auto ring = [&](double r, double y, int i) {
        const double a = 2 * kPi * i / sides;
        return V3{base.x + r * std::cos(a), base.y + y, base.z + r * std::sin(a)};
    };
    auto normal = [&](int i) {
        const double a = 2 * kPi * i / sides;
        return V3{h * std::cos(a), r0 - r1, h * std::sin(a)};
    };
    for (int i = 0; i < sides; ++i) {
        if (r1 <= 0) {
            const V3 corners[] = {ring(r0, y0, i), base + V3{0, y1, 0}, ring(r0, y0, i + 1)};
            const V3 normals[] = {normal(i), (normal(i) + normal(i + 1)) * 0.5, normal(i + 1)};
            mesh.SmoothFace(material, corners, normals);
        } else {
            const V3 corners[] = {ring(r0, y0, i), ring(r1, y1, i), ring(r1, y1, i + 1), ring(r0, y0, i + 1)};
            const V3 normals[] = {normal(i), normal(i), normal(i + 1), normal(i + 1)};
            mesh.SmoothFace(material, corners, normals);
        }
    }
    if (closeBottom) {
        std::vector<V3> bottom;
        for (int i = 0; i < sides; ++i)
            bottom.push_back(ring(r0, y0, i));
        mesh.Face(material, bottom);
    }
    if (r1 > 0) {
        std::vector<V3> top;
        for (int i = sides - 1; i >= 0; --i)
            top.push_back(ring(r1, y1, i));
        mesh.Face(material, top);
    }
}

void AddEllipsoid(MeshBuilder& mesh, int material, V3 centre, V3 radii, int slices, int stacks)
{
    auto unit = [&](int i, int j) {
        const double theta = kPi * j / stacks; // from the top down
        const double phi = 2 * kPi * i / slices;
        return V3{std::sin(theta) * std::cos(phi), std::cos(theta), std::sin(theta) * std::sin(phi)};
    };
    auto point = [&](V3 u) { return centre + V3{u.x * radii.x, u.y * radii.y, u.z * radii.z}; };
    auto normal = [&](V3 u) { return Normalized(V3{u.x / radii.x, u.y / radii.y, u.z / radii.z}); };
    for (int j = 0; j < stacks; ++j) {
        for (int i = 0; i < slices; ++i) {
            const V3 a = unit(i, j), b = unit(i + 1, j), c = unit(i + 1, j + 1), d = unit(i, j + 1);
            if (j == 0) {
                const V3 corners[] = {point(a), point(c), point(d)};
                const V3 normals[] = {normal(a), normal(c), normal(d)};
                mesh.SmoothFace(material, corners, normals);
            } else if (j == stacks - 1) {
                const V3 corners[] = {point(a), point(b), point(d)};
                const V3 normals[] = {normal(a), normal(b), normal(d)};
                mesh.SmoothFace(material, corners, normals);
            } else {
                const V3 corners[] = {point(a), point(b), point(c), point(d)};
                const V3 normals[] = {normal(a), normal(b), normal(c), normal(d)};
                mesh.SmoothFace(material, corners, normals);
            }
        }
    }
}

void SweepProfile(MeshBuilder& mesh, int material, std::span<const V3> profile,
                  std::span<const Pose> stations, std::span<const double> lift)
{
    for (std::size_t k = 0; k + 1 < stations.size(); ++k) {
        for (std::size_t i = 0; i + 1 < profile.size(); ++i) {
            const V3 a = profile[i], b = profile[i + 1];
            mesh.Face(material,
                      {stations[k].At(a.x, 0, a.y + lift[k]), stations[k + 1].At(a.x, 0, a.y + lift[k + 1]),
                       stations[k + 1].At(b.x, 0, b.y + lift[k + 1]), stations[k].At(b.x, 0, b.y + lift[k])});
        }
    }
}

} // namespace demo
