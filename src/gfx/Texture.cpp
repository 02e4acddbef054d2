#include "gfx/Texture.h"

#include <filesystem>
#include <system_error>

namespace gfx {

std::optional<std::string> TextureFileKey(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path p = fs::path(path);
    if (!fs::is_regular_file(p, ec)) return std::nullopt;
    const auto size = fs::file_size(p, ec);
    if (ec) return std::nullopt;
    const auto time = fs::last_write_time(p, ec);
    if (ec) return std::nullopt;
    fs::path canonical = fs::weakly_canonical(p, ec);
    if (ec) canonical = p;
    return canonical.string() + '\n' + std::to_string(size) + '\n' +
           std::to_string(time.time_since_epoch().count());
}

} // namespace gfx
