// The 16-byte header ("xof 0303txt 0032") picks the tokenizer; compressed files are inflated
// first and then read like their uncompressed twins.
#include "model/XFile.h"

#include "model/MsZip.h"
#include "model/XBinaryTokenizer.h"
#include "model/XFileParser.h"
#include "model/XMeshBuilder.h"
#include "model/XTextTokenizer.h"
#include "platform/Paths.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace model {

platform::Result<LoadedMesh> ParseXFile(std::string_view bytes)
{
    if (bytes.size() < 16 || bytes.substr(0, 4) != "xof ") return platform::Fail("not a .x file");
    const std::string_view version = bytes.substr(4, 4);
    if (version != "0302" && version != "0303") {
        return platform::Fail("unsupported .x version '" + std::string(version) + "'");
    }
    const std::string_view format = bytes.substr(8, 4);
    const std::string_view floatBits = bytes.substr(12, 4);
    int floatSize = 0;
    if (floatBits == "0032") {
        floatSize = 4;
    } else if (floatBits == "0064") {
        floatSize = 8;
    } else {
        return platform::Fail("unsupported .x float size '" + std::string(floatBits) + "'");
    }

    std::string inflated;
    std::string_view body = bytes.substr(16);
    bool binary = false;
    if (format == "txt " || format == "bin ") {
        binary = format == "bin ";
    } else if (format == "tzip" || format == "bzip") {
        auto result = InflateMsZip(body);
        if (!result) return platform::Fail(result.error());
        inflated = std::move(result).value();
        body = inflated;
        binary = format == "bzip";
    } else {
        return platform::Fail("unsupported .x format '" + std::string(format) + "'");
    }

    auto content = [&]() {
        if (binary) {
            XBinaryTokenizer tokens(body, floatSize);
            return ParseXObjects(tokens);
        }
        XTextTokenizer tokens(body);
        return ParseXObjects(tokens);
    }();
    if (!content) return platform::Fail(content.error());
    return BuildLoadedMesh(std::move(content).value());
}

platform::Result<LoadedMesh> LoadXFile(const std::string& requested)
{
    // Folders made on Windows name their files in any letter case.
    const std::string path = platform::FindFileNoCase(requested).value_or(requested);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return platform::Fail("cannot open " + path);
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return platform::Fail("cannot open " + path);
    if (size > kMaxXFileSize) return platform::Fail(path + " is too large for a model file");
    std::ifstream in(path, std::ios::binary);
    if (!in) return platform::Fail("cannot open " + path);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::size_t>(in.gcount()) != bytes.size()) return platform::Fail("cannot read " + path);
    auto result = ParseXFile(bytes);
    if (!result) return platform::Fail(path + ": " + result.error());
    return result;
}

} // namespace model
