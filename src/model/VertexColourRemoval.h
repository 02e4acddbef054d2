// Stripping the vertex-colour blocks out of a text .x file on disk, for models whose colours
// the user wants gone before loading.
#pragma once

#include "platform/Result.h"
#include "platform/SafeFile.h"

#include <functional>
#include <string>

namespace model {

struct VertexColourRemoval {
    enum class Outcome {
        Changed,   // blocks were removed and the file replaced
        Unchanged, // nothing to remove, or a block never closes: the file is left byte for byte
        Failed,    // the file could not be read or replaced; it is left as it was
    };
    Outcome outcome = Outcome::Unchanged;
    std::string reason; // why it is Unchanged or Failed
};

// Replaces path with the content produced; platform::ReplaceFile in the program, a stand-in in
// tests.
using FileReplacer = std::function<platform::Status(
    const std::string& path, const std::function<bool(const platform::ChunkWriter&)>&)>;

// A line filter over basePath + ".x": a line " MeshVertexColors {" (exactly one leading
// space) starts a block that runs to the next line " }", both removed with everything
// between. Lines compare without a trailing CR, so files from Windows match; kept lines keep
// their own line ends. The file is replaced (through a uniquely named temporary file) only
// when a block was found, every block closed and every write succeeded.
VertexColourRemoval RemoveVertexColours(const std::string& basePath);
VertexColourRemoval RemoveVertexColours(const std::string& basePath, const FileReplacer& replace);

} // namespace model
