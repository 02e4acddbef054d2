// The built-in teapot shown where a model is missing, e.g. in the object dialog's preview.
#pragma once

#include "model/Mesh.h"

namespace model {

// The classic Bezier-patch teapot (Newell's 32 patches), each patch cut into 6 × 6 quads,
// vertices shared where patches meet with the same normal, collapsed triangles at the lid and
// bottom centres left out: 1178 vertices and 2256 triangles. Y up, spout towards +x, handle
// towards −x, half the patch data's size (3.2 long, 1.575 high, 2 deep), centred on the origin
// in y; clockwise front faces (left-handed), normals, no texture coordinates, one subset.
Mesh CreateTeapot();

} // namespace model
