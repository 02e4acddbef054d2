// The package unpacker on any bytes: whatever the zip holds, it is either refused, leaving the
// target folder empty, or unpacked into exactly one new folder there whose files are those the
// manifest lists, none of them a link and none outside the folder.
#include "FuzzSupport.h"
#include "package/Package.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string gFolder;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::QuietReaders();
    char pattern[] = "/tmp/korvela-fuzz-package-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    gFolder = std::string(pattern) + "/";
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(gFolder, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace fs = std::filesystem;
    using fuzzsupport::Require;
    const std::string parent = gFolder + "layouts";
    // Small limits, so that a run spends its time on the checks rather than on writing.
    const package::PackageLimits limits{.entries = 200, .entryBytes = 1 << 20, .totalBytes = 4 << 20};
    const auto unpacked = package::UnpackPackageBytes({reinterpret_cast<const char*>(data), size}, parent,
                                                      {}, limits);
    std::size_t folders = 0;
    std::size_t files = 0;
    if (fs::exists(parent)) {
        for (const auto& entry : fs::recursive_directory_iterator(parent)) {
            Require(!entry.is_symlink());
            if (entry.path().parent_path() == fs::path(parent)) ++folders;
            if (entry.is_regular_file()) ++files;
        }
    }
    if (unpacked.ok()) {
        Require(folders == 1);
        Require(files == unpacked->manifest.files.size() + 1); // and the manifest
    } else {
        Require(folders == 0);
    }
    // Nothing may appear beside the target folder.
    for (const auto& entry : fs::directory_iterator(gFolder))
        Require(entry.path() == fs::path(parent));
    std::error_code ignored;
    fs::remove_all(parent, ignored);
    return 0;
}
