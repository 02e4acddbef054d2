// Which texture file a model uses: a model has at most one texture.
#pragma once

#include "model/Mesh.h"

#include <optional>
#include <string>
#include <vector>

namespace model {

// The one-texture rule: the first material that names a texture file decides. Its name loses
// everything up to the last backslash (forward slashes stay, so "sub/x.png" means a subfolder)
// and is looked for in the folder of basePath (the model's path without ".x"), ignoring letter
// case when the exact name is missing. Names in code page 932 are converted first, so that a
// 0x5C byte inside a Japanese character is not taken for a backslash. Nothing when no material
// names a texture, the name is empty, or no such file exists.
std::optional<std::string> FindModelTexture(const std::string& basePath,
                                            const std::vector<MeshMaterial>& materials);

// The texture file name a material gives, reduced to what the rule looks up (no lookup).
std::string BareTextureName(const std::string& textureFile);

} // namespace model
