// Vertex normals computed from the faces, for meshes whose files give none.
#pragma once

#include "model/Mesh.h"

namespace model {

// Sets one normal per vertex: the sum of the normals of the faces that use the vertex, each
// weighted by the face's corner angle at the vertex, normalised. Every vertex index counts on
// its own: copies of a position at a texture or normal seam are not smoothed together. A vertex
// that no face uses, or whose faces are all degenerate, gets (0, 0, 0). Faces with an index
// out of range are left out.
void ComputeNormals(Mesh& mesh);

} // namespace model
