// Writes a MeshBuilder as a text .x file: one mesh with explicit normals, texture coordinates
// when a material names a texture, and a material list with every material inline.
#pragma once

#include "demo/MeshBuilder.h"

#include <string>

namespace demo {

// The text of the file ("xof 0303txt 0032" ...). Numbers use '.' whatever the locale.
std::string XFileText(const MeshBuilder& mesh, const std::string& meshName);

// A real number as the file writes it: fixed point, at least one decimal, no "-0.0".
std::string XNumber(double value);

} // namespace demo
