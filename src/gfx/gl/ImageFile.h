// Picture files: decoding textures (BMP, PNG, JPEG, TGA) and writing PNG screenshots.
#pragma once

#include "gfx/Image.h"

#include <optional>
#include <string>

namespace gfx::gl {

// Largest side and pixel count a texture file may have; bigger files are treated as unreadable
// rather than allocating without limit on a crafted header.
inline constexpr int kMaxImageSide = 16384;
inline constexpr long long kMaxImagePixels = 64LL * 1024 * 1024;

// The picture as RGBA, top row first; nothing when the file is missing, truncated, corrupt or
// too large. A 32-bit BMP without an alpha mask is opaque, as the original texture loader read
// it (its fourth byte is padding).
std::optional<Image> LoadImageFile(const std::string& path);

bool WritePngFile(const Image& image, const std::string& path);

} // namespace gfx::gl
