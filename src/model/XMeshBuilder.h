// Turns the mesh objects read from a .x file into the one mesh and material list we draw.
#pragma once

#include "model/XFile.h"
#include "model/XFileParser.h"
#include "platform/Result.h"

namespace model {

// The largest vertex coordinate a model may have, before and after its frame transforms: the
// sum of three squares of it still fits a float, so bounds and spheres stay finite.
inline constexpr float kMaxMeshCoordinate = 1.0e18f;

// Fails when a material list's materials do not match its count or a reference names no
// material, when the file holds no mesh at all, and when a vertex position, normal, texture
// coordinate or frame transform is not a finite number or a position lies beyond
// kMaxMeshCoordinate as read or once transformed ("non-finite vertex 17").
platform::Result<LoadedMesh> BuildLoadedMesh(XFileContent content);

} // namespace model
