#include "model/ModelTexture.h"

#include "platform/Cp932.h"
#include "platform/Paths.h"
#include "platform/Utf8.h"

#include <filesystem>
#include <system_error>

namespace model {

std::string BareTextureName(const std::string& textureFile)
{
    const std::string name =
        platform::IsValidUtf8(textureFile) ? textureFile : platform::Cp932ToUtf8(textureFile);
    const auto slash = name.rfind('\\');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::optional<std::string> FindModelTexture(const std::string& basePath,
                                            const std::vector<MeshMaterial>& materials)
{
    for (const MeshMaterial& material : materials) {
        if (!material.textureFile) continue;
        // Only the first material that names a texture counts, even when its file is missing.
        const std::string bare = BareTextureName(*material.textureFile);
        if (bare.empty()) return std::nullopt;
        const std::string folder = platform::SplitPath(basePath).folder;
        const auto found = platform::FindFileNoCase(folder + bare);
        std::error_code ec;
        if (!found || !std::filesystem::is_regular_file(*found, ec)) return std::nullopt;
        return found;
    }
    return std::nullopt;
}

} // namespace model
