// Axis-aligned box and bounding sphere of a mesh's vertices.
#pragma once

#include "math/Vector.h"
#include "model/Mesh.h"

namespace model {

struct MeshBox {
    float minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
    friend bool operator==(const MeshBox&, const MeshBox&) = default;
};

struct MeshSphere {
    math::Vec3 center;
    float radius = 0;
};

// Bounds of all vertices (used by faces or not). With a turn angle (radians about y, 0 for
// none) only the two corners of the box are turned and then sorted per axis, as the original
// does: exact for half turns and quarter turns, too small in between. Callers' spacing of
// train cars depends on this. A mesh without vertices gives all zeros.
MeshBox ComputeBox(const Mesh& mesh, float turnAngle = 0.0f);

// Centre = mean of the vertices, radius = largest distance from it (not the smallest enclosing
// sphere). A mesh without vertices gives a zero sphere.
MeshSphere ComputeSphere(const Mesh& mesh);

} // namespace model
