// A mesh being put together for a .x file: materials, and faces with their own normals and
// texture coordinates, plus the solids our models are made of.
//
// A face's front is the side from which its corners run clockwise, as the program draws them
// (counter-clockwise faces are culled). With the corners v0, v1, v2 of a face, the front is the
// side that Cross(v1 - v0, v2 - v0) points to. Profiles (closed outlines in a plane) are given
// clockwise as seen with x to the right and y up; their outside is then to the left of each edge.
#pragma once

#include "demo/Geometry.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace demo {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

// A material as a .x file gives it. Diffuse alpha is always 1: a see-through part is made by
// its object type's transparent flag, not by the file.
struct MaterialDef {
    std::string name; // becomes the material's object name in the file
    Rgb diffuse;
    Rgb emissive;
    std::string texture; // file name beside the model, or empty
};

struct UV {
    double u = 0, v = 0;
};

struct MeshVertex {
    V3 position;
    V3 normal;
    UV uv;
};

struct MeshFace {
    std::vector<std::uint32_t> corners; // convex, at least three
    int material = 0;
};

// A turn about y by angle (radians, the program's sense), then a move. Scale 1 unless given.
struct Placement {
    double angle = 0;
    V3 offset;
    double scale = 1;

    V3 Apply(V3 p) const;
    V3 ApplyToNormal(V3 n) const;
};

class MeshBuilder {
  public:
    // Index of the material of that name, added on first use.
    int Material(const MaterialDef& material);
    const std::vector<MaterialDef>& Materials() const { return materials_; }
    const std::vector<MeshVertex>& Vertices() const { return vertices_; }
    const std::vector<MeshFace>& Faces() const { return faces_; }
    bool HasTexture() const;

    // A flat convex face; corners in clockwise order seen from the front.
    void Face(int material, std::span<const V3> corners, std::span<const UV> uvs = {});
    void Face(int material, std::initializer_list<V3> corners) { Face(material, std::span(corners)); }
    // Both sides of a flat face, for thin sheets seen from either side.
    void TwoSidedFace(int material, std::span<const V3> corners);
    void TwoSidedFace(int material, std::initializer_list<V3> corners)
    {
        TwoSidedFace(material, std::span(corners));
    }
    // A convex face with a normal per corner (smooth shading).
    void SmoothFace(int material, std::span<const V3> corners, std::span<const V3> normals,
                    std::span<const UV> uvs = {});
    // A flat polygon that may be concave (cut into triangles), front as for Face.
    void Polygon(int material, std::span<const V3> corners);

    // Adds another mesh turned and moved by placement; its materials are merged by name.
    void Append(const MeshBuilder& part, const Placement& placement = {});
    // Turns and moves everything in place.
    void Transform(const Placement& placement);
    // Swaps x, y, z around for parts modelled along another axis: each vertex (x, y, z) becomes
    // the result of fn; fn must be a rotation (it keeps the winding).
    template <class Fn> void Remap(Fn fn)
    {
        for (MeshVertex& v : vertices_) {
            v.position = fn(v.position);
            v.normal = fn(v.normal);
        }
    }

  private:
    std::uint32_t AddVertex(V3 position, V3 normal, UV uv);

    std::vector<MaterialDef> materials_;
    std::vector<MeshVertex> vertices_;
    std::vector<MeshFace> faces_;
};

// --- solids. Every solid takes its material index in the builder.

// An axis-aligned box; bottom face left out when open is true (things standing on the ground).
void AddBox(MeshBuilder& mesh, int material, V3 min, V3 max, bool openBottom = false);

// A closed outline in the x-y plane (clockwise, see above) swept along z from z0 to z1, with
// both end faces unless caps is false.
void AddPrism(MeshBuilder& mesh, int material, std::span<const V3> outline, double z0, double z1,
              bool caps = true);
// The same with separate materials for the sides and the two end faces.
void AddPrism(MeshBuilder& mesh, int sideMaterial, int capMaterial, std::span<const V3> outline, double z0,
              double z1);

// A cylinder along z (radius, z0 to z1) with smooth sides and flat ends.
void AddCylinderZ(MeshBuilder& mesh, int sideMaterial, int capMaterial, double radius, double z0, double z1,
                  int sides = 16);
// A truncated cone standing on y (bottom radius at y0, top radius at y1), smooth sides, a flat
// bottom when closeBottom, a flat top when the top radius is not zero.
void AddFrustumY(MeshBuilder& mesh, int material, V3 base, double r0, double y0, double r1, double y1,
                 int sides = 12, bool closeBottom = true);
// A sphere squashed by (sx, sy, sz), smooth.
void AddEllipsoid(MeshBuilder& mesh, int material, V3 centre, V3 radii, int slices = 12, int stacks = 8);

// An open outline in a cross-section plane (points (u, y), outside to the left of each edge)
// swept along a path given by poses at stations, at the heights given. Used for ballast,
// shoulders and rails: corner i at station k lies at pose[k].At(u_i, 0, y_i + lift[k]).
void SweepProfile(MeshBuilder& mesh, int material, std::span<const V3> profile,
                  std::span<const Pose> stations, std::span<const double> lift);

} // namespace demo
