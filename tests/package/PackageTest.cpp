#include "package/Package.h"
#include "package/Sha256.h"

#include "common/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <random>

namespace {

namespace fs = std::filesystem;

struct ZipEntry {
    std::string name;
    std::string bytes;
    bool link = false;
};

// The bytes of a zip holding the entries, deflated, as any zip tool would write them.
std::string MakeZip(const std::vector<ZipEntry>& entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(memory);
    zip_t* archive = zip_open_from_source(memory, ZIP_TRUNCATE, &error);
    for (const ZipEntry& entry : entries) {
        zip_source_t* source = zip_source_buffer(archive, entry.bytes.data(), entry.bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        EXPECT_GE(index, 0) << entry.name;
        if (entry.link)
            zip_file_set_external_attributes(archive, static_cast<zip_uint64_t>(index), 0, ZIP_OPSYS_UNIX,
                                             (S_IFLNK | 0777u) << 16);
    }
    EXPECT_EQ(zip_close(archive), 0);
    zip_source_open(memory);
    zip_source_seek(memory, 0, SEEK_END);
    std::string bytes(static_cast<std::size_t>(zip_source_tell(memory)), '\0');
    zip_source_seek(memory, 0, SEEK_SET);
    zip_source_read(memory, bytes.data(), bytes.size());
    zip_source_close(memory);
    zip_source_free(memory);
    return bytes;
}

std::string Noise(std::size_t size)
{
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

constexpr std::string_view kMap = "KORVELA Map Data\r\n:Background\r\n\r\n:Object Name\r\n:Map Data\r\n";

// A package of the entries with a manifest that tells the truth about them, unless lie changes it.
std::string MakePackage(std::vector<ZipEntry> entries,
                        const std::function<void(package::Manifest&)>& lie = {})
{
    package::Manifest manifest;
    manifest.map = "objects/m.txt";
    manifest.program = "test";
    for (const ZipEntry& entry : entries)
        manifest.files.push_back({entry.name, entry.bytes.size(), package::Sha256Hex(entry.bytes)});
    if (lie) lie(manifest);
    entries.push_back({"package.txt", package::ManifestText(manifest)});
    return MakeZip(entries);
}

std::optional<std::string> CheckMap(const std::string& path)
{
    if (!testsupport::ReadBytes(path).starts_with("KORVELA Map Data")) return "データファイルではありません";
    return std::nullopt;
}

bool Empty(const fs::path& folder)
{
    return !fs::exists(folder) || fs::directory_iterator(folder) == fs::directory_iterator();
}

TEST(Sha256Test, MatchesTheStandardVectors)
{
    EXPECT_EQ(package::Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(package::Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(package::Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    package::Sha256 pieces;
    for (int i = 0; i < 1000; ++i)
        pieces.Add(std::string(1000, 'a'));
    EXPECT_EQ(pieces.HexDigest(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// What is written unpacks to the same files, and a second copy never touches the first.
TEST(PackageTest, WrittenPackagesUnpackIntoNewFoldersWithTheirFiles)
{
    testsupport::TempDir dir;
    testsupport::WriteBytes(dir.Path() / "m.txt", kMap);
    testsupport::WriteBytes(dir.Path() / "tex.png", Noise(5000));
    package::Manifest about{.map = "objects/m.txt", .program = "KORVELA 1.0", .files = {}, .folders = {{"train1", "trains"}}};
    const std::vector<package::PackEntry> entries = {{"objects/m.txt", dir.File("m.txt"), {}},
                                                     {"objects/sub/tex.png", dir.File("tex.png"), {}},
                                                     {"trains/a.txt", {}, std::string("cars")}};
    ASSERT_TRUE(package::WritePackage(dir.File("p.korvela.zip"), about, entries).ok());

    const std::string parent = dir.File("layouts");
    const auto first = package::UnpackPackage(dir.File("p.korvela.zip"), parent, CheckMap);
    ASSERT_TRUE(first.ok()) << first.error();
    EXPECT_EQ(first->folder, parent + "/m/");
    EXPECT_EQ(first->mapPath, parent + "/m/objects/m.txt");
    EXPECT_EQ(testsupport::ReadBytes(parent + "/m/objects/m.txt"), kMap);
    EXPECT_EQ(testsupport::ReadBytes(parent + "/m/objects/sub/tex.png"), Noise(5000));
    EXPECT_EQ(testsupport::ReadBytes(parent + "/m/trains/a.txt"), "cars");
    EXPECT_EQ(first->manifest.program, "KORVELA 1.0");
    EXPECT_EQ(first->manifest.folders, about.folders);
    ASSERT_EQ(first->manifest.files.size(), 3u);
    EXPECT_EQ(first->manifest.files[1].sha256, package::Sha256Hex(Noise(5000)));

    testsupport::WriteBytes(parent + "/m/objects/m.txt", "mine");
    const auto second = package::UnpackPackage(dir.File("p.korvela.zip"), parent, CheckMap);
    ASSERT_TRUE(second.ok()) << second.error();
    EXPECT_EQ(second->folder, parent + "/m (2)/");
    EXPECT_EQ(testsupport::ReadBytes(parent + "/m/objects/m.txt"), "mine");
    // Nothing but the two folders: no temporary one stays.
    EXPECT_EQ(std::distance(fs::directory_iterator(parent), fs::directory_iterator()), 2);
}

// Every package a stranger could send to break out of the folder, fill the disk or slip in
// what the manifest does not say is refused with its reason, and leaves nothing anywhere.
TEST(PackageTest, HostilePackagesAreRefusedWithTheirReasonAndLeaveNothing)
{
    const ZipEntry map{"objects/m.txt", std::string(kMap)};
    const std::string good = MakePackage({map, {"objects/a.x", Noise(3000)}});
    std::vector<ZipEntry> many = {map};
    for (int i = 0; i < 20000; ++i)
        many.push_back({"objects/" + std::to_string(i), ""});

    const struct {
        const char* label;
        std::string bytes;
        std::string reason;
        package::PackageLimits limits{};
    } cases[] = {
        {"zip-slip", MakePackage({map, {"../evil.txt", "x"}}), "「..」"},
        {"zip-slip inside", MakePackage({map, {"objects/../../evil.txt", "x"}}), "「..」"},
        {"absolute", MakePackage({map, {"/tmp/evil.txt", "x"}}), "絶対パス"},
        {"backslash", MakePackage({map, {"objects\\..\\..\\evil.txt", "x"}}), "バックスラッシュ"},
        {"drive letter", MakePackage({map, {"C:/evil.txt", "x"}}), "ドライブ名"},
        {"symlink", MakePackage({map, {"objects/link", "/etc/passwd", true}}), "リンク"},
        {"bomb", MakePackage({map, {"objects/zeros", std::string(std::size_t{16} << 20, '\0')}}), "圧縮率"},
        {"entry over the limit", MakePackage({map, {"objects/big", Noise(2000)}}), "大きすぎるファイル",
         {.entryBytes = 1000}},
        {"whole over the limit", MakePackage({map, {"objects/a", Noise(2000)}, {"objects/b", Noise(2000)}}),
         "展開すると大きすぎます", {.totalBytes = 3000}},
        {"20 000 entries", MakePackage(many), "多すぎます"},
        {"manifest lies about a hash",
         MakePackage({map, {"objects/a.x", Noise(3000)}}, [](auto& m) { m.files[1].sha256 = std::string(64, '0'); }),
         "SHA-256"},
        {"manifest lies about a size",
         MakePackage({map, {"objects/a.x", Noise(3000)}}, [](auto& m) { m.files[1].size = 2999; }), "大きさ"},
        {"manifest lists a file not there",
         MakePackage({map}, [](auto& m) { m.files.push_back({"objects/gone.x", 1, std::string(64, 'a')}); }),
         "package.txt のファイルがありません"},
        {"file the manifest does not list",
         MakePackage({map, {"objects/a.x", "x"}}, [](auto& m) { m.files.pop_back(); }), "package.txt にない"},
        {"no manifest", MakeZip({map}), "package.txt がありません"},
        {"truncated", good.substr(0, good.size() / 2), "zip ファイルではないか"},
        {"no zip at all", "hello", "zip ファイルではないか"},
        {"a map the reader refuses", MakePackage({{"objects/m.txt", "hello"}}), "データファイルではありません"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        testsupport::TempDir dir;
        const fs::path parent = dir.Path() / "layouts";
        const auto unpacked = package::UnpackPackageBytes(c.bytes, parent.string(), CheckMap, c.limits);
        ASSERT_FALSE(unpacked.ok());
        EXPECT_NE(unpacked.error().find(c.reason), std::string::npos) << unpacked.error();
        EXPECT_TRUE(Empty(parent));
        for (const auto& left : fs::recursive_directory_iterator(dir.Path()))
            EXPECT_EQ(left.path(), parent);
    }
    testsupport::TempDir dir;
    EXPECT_TRUE(package::UnpackPackageBytes(good, dir.File("layouts"), CheckMap).ok());
}

} // namespace
