// The MSZIP container of compressed .x files ("tzip", "bzip").
#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace model {

// The most a compressed .x file may expand to. Real models are a few megabytes; the cap keeps
// a lying size field from costing more than this.
inline constexpr std::size_t kMaxInflatedXFile = 256u << 20;

// Inflates the data that follows the 16-byte header of a compressed .x file: a 32-bit size of
// the whole decompressed file (header included), then blocks of 16-bit uncompressed size,
// 16-bit compressed size (counting the "CK" signature), "CK" and raw DEFLATE data. Each block
// may refer back into the output of the blocks before it. Returns the decompressed body (what
// follows the header in an uncompressed file); fails when the data is cut short or corrupt,
// or when the output disagrees with the stated size or would exceed maxSize.
platform::Result<std::string> InflateMsZip(std::string_view data, std::size_t maxSize = kMaxInflatedXFile);

} // namespace model
