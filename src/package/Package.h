// Layout packages: one zip file holding a map and every file it needs, with a manifest
// ("package.txt": format version, map, program version, and each file's size and SHA-256).
//
// A package comes from strangers. Opening one checks everything before a byte is kept: entry
// names (no absolute path, no "..", no backslash, no drive letter, no link), the number and
// sizes of the entries, their compression ratio, the manifest against the entries, and the map
// through the caller's check. It unpacks into a temporary folder beside the target and renames
// that into place only when every check passed; a refused package leaves nothing behind, and
// an existing folder is never written into (a second copy gets a new name).
#pragma once

#include "platform/Result.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace package {

inline constexpr std::string_view kManifestName = "package.txt";
inline constexpr int kFormatVersion = 1;

// What a package may hold.
struct PackageLimits {
    std::size_t entries = 10000;
    std::uint64_t entryBytes = std::uint64_t{64} << 20;
    std::uint64_t totalBytes = std::uint64_t{1} << 30;
    double ratio = 200;
    // Entries up to this size are not held to the ratio (a small file of one repeated byte
    // packs far beyond it and costs nothing).
    std::uint64_t ratioFloor = std::uint64_t{64} << 10;
};

struct ManifestFile {
    std::string name;
    std::uint64_t size = 0;
    std::string sha256;
};

struct Manifest {
    int format = kFormatVersion;
    std::string map;     // the map's entry name
    std::string program; // the version of the program that wrote it
    std::vector<ManifestFile> files;
    // Which folder of the package each of the program's folders is ("train1" to "train6",
    // "plane", "helicopter", "car"), for the layout once it is opened.
    std::vector<std::pair<std::string, std::string>> folders;
};

std::string ManifestText(const Manifest& manifest);
platform::Result<Manifest> ParseManifest(std::string_view text);

// Why an entry name is refused, or nothing for a name that may be unpacked: relative, '/'
// separated, without "." or ".." parts, backslashes, drive letters or control characters.
std::optional<std::string> RefusedName(std::string_view name);

// One file to pack: its name in the package and the file it is read from, or its bytes.
struct PackEntry {
    std::string name;
    std::string path;
    std::optional<std::string> bytes;
};

// Writes the package (replacing packagePath only once it is complete): the entries, then the
// manifest naming mapEntry as the map.
platform::Status WritePackage(const std::string& packagePath, const Manifest& about,
                              const std::vector<PackEntry>& entries);

// The caller's check of the unpacked map (its path): the reason it is refused, or nothing.
using MapCheck = std::function<std::optional<std::string>(const std::string& mapPath)>;

struct Unpacked {
    std::string folder;  // the new folder, ending in '/'
    std::string mapPath; // the map in it
    Manifest manifest;
};

// Checks the package and unpacks it into a new folder in parentFolder named folderName, or after
// the map when that is empty ("NAME", else "NAME (2)" and so on). Every refusal names its reason.
platform::Result<Unpacked> UnpackPackage(const std::string& packagePath, const std::string& parentFolder,
                                         const MapCheck& checkMap = {}, const PackageLimits& limits = {},
                                         const std::string& folderName = {});
// The same from the package's bytes.
platform::Result<Unpacked> UnpackPackageBytes(std::string_view bytes, const std::string& parentFolder,
                                              const MapCheck& checkMap = {}, const PackageLimits& limits = {},
                                              const std::string& folderName = {});

} // namespace package
