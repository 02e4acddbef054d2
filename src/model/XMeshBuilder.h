// Turns the mesh objects read from a .x file into the one mesh and material list we draw.
#pragma once

#include "model/XFile.h"
#include "model/XFileParser.h"
#include "platform/Result.h"

namespace model {

// Fails when a material list's materials do not match its count or a reference names no
// material, and when the file holds no mesh at all.
platform::Result<LoadedMesh> BuildLoadedMesh(XFileContent content);

} // namespace model
