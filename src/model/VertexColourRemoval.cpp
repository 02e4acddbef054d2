#include "model/VertexColourRemoval.h"

#include "model/XFile.h"
#include "platform/Paths.h"

#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace model {
namespace {

using Outcome = VertexColourRemoval::Outcome;

VertexColourRemoval Result(Outcome outcome, std::string reason = {})
{
    return {outcome, std::move(reason)};
}

} // namespace

VertexColourRemoval RemoveVertexColours(const std::string& basePath)
{
    return RemoveVertexColours(basePath, [](const std::string& path, const auto& produce) {
        return platform::ReplaceFile(path, produce);
    });
}

VertexColourRemoval RemoveVertexColours(const std::string& basePath, const FileReplacer& replace)
{
    const std::string path = platform::FindFileNoCase(basePath + ".x").value_or(basePath + ".x");
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || !std::filesystem::is_regular_file(path, ec))
        return Result(Outcome::Failed, "cannot open " + path);
    if (size > kMaxXFileSize) return Result(Outcome::Failed, path + " is too large for a model file");
    std::ifstream in(path, std::ios::binary);
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (!in || static_cast<std::size_t>(in.gcount()) != text.size())
        return Result(Outcome::Failed, "cannot read " + path);

    // Byte ranges to keep, each a run of whole lines with their line ends.
    std::vector<std::pair<std::size_t, std::size_t>> keep;
    bool inside = false, found = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t eol = text.find('\n', pos);
        const std::size_t next = eol == std::string::npos ? text.size() : eol + 1;
        std::string_view line(text.data() + pos, (eol == std::string::npos ? text.size() : eol) - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (inside) {
            if (line == " }") inside = false;
        } else if (line == " MeshVertexColors {") {
            inside = found = true;
        } else if (!keep.empty() && keep.back().second == pos) {
            keep.back().second = next;
        } else {
            keep.emplace_back(pos, next);
        }
        pos = next;
    }
    if (!found) return Result(Outcome::Unchanged);
    if (inside) return Result(Outcome::Unchanged, "a vertex colour block in " + path + " is never closed");

    const platform::Status status = replace(path, [&](const platform::ChunkWriter& write) {
        for (const auto& [first, last] : keep) {
            if (!write(std::string_view(text).substr(first, last - first))) return false;
        }
        return true;
    });
    if (!status) return Result(Outcome::Failed, status.error());
    return Result(Outcome::Changed);
}

} // namespace model
