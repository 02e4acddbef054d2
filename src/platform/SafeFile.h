// Replacing user files without ever losing them: write a uniquely named temporary file in the
// same folder, check every write and the close, then rename it over the target.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace platform {

// Receives chunks of the new content; returns false when a write failed.
using ChunkWriter = std::function<bool(std::string_view)>;

// Calls produce(writer) to write the new content into a temporary file beside path, then
// renames it over path. On any failure (produce returns false, a write or the close fails,
// the rename fails) the original file is left as it was, the temporary file is removed and
// the reason is returned.
Status ReplaceFile(const std::string& path, const std::function<bool(const ChunkWriter&)>& produce);

// Convenience form for content already in memory.
Status ReplaceFile(const std::string& path, std::string_view content);

}  // namespace platform
