// Small helpers shared by every test executable: scratch folders and the shared test data.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace testsupport {

// A fresh folder under the system temp folder, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Path of a file inside the folder, as a UTF-8 string.
    std::string File(std::string_view name) const;

private:
    std::filesystem::path path_;
};

// Writes bytes exactly as given (no line-end translation).
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& path);

// A one-triangle text .x whose mesh carries a vertex-colour block, for the "頂点カラーの削除"
// rewrite.
inline constexpr std::string_view kVertexColouredX = "xof 0303txt 0032\r\n"
                                                     "Mesh {\r\n"
                                                     " 3; 0;0;0;, 0;1;0;, 1;0;0;;\r\n"
                                                     " 1; 3; 0,1,2;;\r\n"
                                                     " MeshVertexColors {\r\n"
                                                     "  3; 0;1;0;0;1;;, 1;1;0;0;1;;, 2;1;0;0;1;;;\r\n"
                                                     " }\r\n"
                                                     "}\r\n";

// The folder of real files written by other tools, or nothing when it is not there.
std::optional<std::filesystem::path> TestDataDir();

}  // namespace testsupport

// Skips the current test, saying why, when the shared test data is missing.
#define KORVELA_REQUIRE_TESTDATA(var)                                                  \
    auto var##_opt = ::testsupport::TestDataDir();                                     \
    if (!var##_opt) GTEST_SKIP() << "shared test data folder not found; case skipped"; \
    const std::filesystem::path var = *var##_opt
