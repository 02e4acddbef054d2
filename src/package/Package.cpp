#include "package/Package.h"

#include "package/Sha256.h"
#include "platform/SafeFile.h"
#include "platform/TextFile.h"

#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace package {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHeader = "KORVELA Package";
// The manifest is a short text; anything larger is no manifest of ours.
constexpr std::uint64_t kMaxManifestBytes = std::uint64_t{4} << 20;

platform::Error Refused(std::string reason)
{
    return platform::Fail("パッケージを開けません: " + std::move(reason));
}

std::string ZipErrorText(zip_error_t* error)
{
    std::string text = zip_error_strerror(error);
    zip_error_fini(error);
    return text;
}

// Removes a folder and all it holds when it goes out of scope, unless kept.
class TemporaryFolder {
  public:
    explicit TemporaryFolder(std::string path) : path_(std::move(path)) {}
    ~TemporaryFolder()
    {
        std::error_code ignored;
        if (!kept_) fs::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::string& Path() const { return path_; }
    void Keep() { kept_ = true; }

  private:
    std::string path_;
    bool kept_ = false;
};

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

// One entry as the central directory describes it.
struct Entry {
    zip_uint64_t index = 0;
    std::string name;
    std::uint64_t size = 0;
    bool folder = false;
};

// Everything the central directory tells: names, kinds, counts, sizes and ratios.
platform::Result<std::vector<Entry>> CheckDirectory(zip_t* archive, const PackageLimits& limits)
{
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0) return Refused("壊れた zip ファイルです");
    if (static_cast<std::uint64_t>(count) > limits.entries)
        return Refused("ファイルが多すぎます（" + std::to_string(count) + " 個）");
    std::vector<Entry> entries;
    std::set<std::string> names;
    std::uint64_t total = 0;
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(count); ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, i, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME) ||
            !(stat.valid & ZIP_STAT_SIZE) || !(stat.valid & ZIP_STAT_COMP_SIZE))
            return Refused("壊れた zip ファイルです");
        Entry entry{i, stat.name, stat.size, false};
        if (!entry.name.empty() && entry.name.back() == '/') {
            entry.folder = true;
            entry.name.pop_back();
        }
        if (const std::optional<std::string> reason = RefusedName(entry.name))
            return Refused(*reason + ": " + std::string(stat.name));
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(archive, i, 0, &system, &attributes) != 0)
            return Refused("壊れた zip ファイルです");
        if (system == ZIP_OPSYS_UNIX) {
            const mode_t type = (attributes >> 16) & S_IFMT;
            if (type == S_IFLNK) return Refused("リンクは入れられません: " + entry.name);
            if (type != 0 && type != S_IFREG && type != S_IFDIR)
                return Refused("普通のファイルではありません: " + entry.name);
        }
        if (!names.insert(entry.name).second) return Refused("同じ名前が二つあります: " + entry.name);
        if (entry.folder) {
            entries.push_back(std::move(entry));
            continue;
        }
        if (stat.size > limits.entryBytes) return Refused("大きすぎるファイルがあります: " + entry.name);
        total += stat.size;
        if (total > limits.totalBytes) return Refused("展開すると大きすぎます");
        if (stat.size > limits.ratioFloor &&
            static_cast<double>(stat.size) > limits.ratio * static_cast<double>(stat.comp_size))
            return Refused("圧縮率が高すぎます: " + entry.name);
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Reads one entry into a new file under root (or into memory when target is null), never past
// its declared size; its SHA-256.
platform::Result<std::string> Extract(zip_t* archive, const Entry& entry, const std::string* target)
{
    zip_file_t* file = zip_fopen_index(archive, entry.index, 0);
    if (!file) return Refused("読めないファイルがあります: " + entry.name);
    int fd = -1;
    if (target) {
        std::error_code error;
        fs::create_directories(fs::path(*target).parent_path(), error);
        fd = ::open(target->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            zip_fclose(file);
            return Refused("書き込めないファイルがあります: " + entry.name);
        }
    }
    Sha256 sha;
    std::uint64_t read = 0;
    std::string failure;
    std::vector<char> buffer(64 << 10);
    for (;;) {
        const zip_int64_t got = zip_fread(file, buffer.data(), buffer.size());
        if (got < 0) {
            failure = "壊れたファイルがあります: " + entry.name;
            break;
        }
        if (got == 0) break;
        read += static_cast<std::uint64_t>(got);
        if (read > entry.size) {
            failure = "大きさが違うファイルがあります: " + entry.name;
            break;
        }
        sha.Add({buffer.data(), static_cast<std::size_t>(got)});
        if (fd >= 0 && !WriteAll(fd, buffer.data(), static_cast<std::size_t>(got))) {
            failure = "書き込めないファイルがあります: " + entry.name;
            break;
        }
    }
    zip_fclose(file);
    if (fd >= 0 && ::close(fd) != 0 && failure.empty()) failure = "書き込めないファイルがあります: " + entry.name;
    if (failure.empty() && read != entry.size) failure = "大きさが違うファイルがあります: " + entry.name;
    if (!failure.empty()) return Refused(failure);
    return sha.HexDigest();
}

platform::Result<std::string> ReadManifest(zip_t* archive, const std::vector<Entry>& entries)
{
    for (const Entry& entry : entries) {
        if (entry.folder || entry.name != kManifestName) continue;
        if (entry.size > kMaxManifestBytes) return Refused("package.txt が大きすぎます");
        zip_file_t* file = zip_fopen_index(archive, entry.index, 0);
        if (!file) return Refused("package.txt が読めません");
        std::string text(static_cast<std::size_t>(entry.size), '\0');
        const zip_int64_t got = text.empty() ? 0 : zip_fread(file, text.data(), text.size());
        zip_fclose(file);
        if (got != static_cast<zip_int64_t>(text.size())) return Refused("package.txt が読めません");
        return text;
    }
    return Refused("package.txt がありません");
}

// The folder's name for a map entry: the file name without its extension, when that may be a
// folder name.
std::string FolderName(std::string_view mapEntry)
{
    std::string name(mapEntry.substr(mapEntry.rfind('/') == std::string_view::npos ? 0 : mapEntry.rfind('/') + 1));
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
    if (name.empty() || name.front() == '.' || RefusedName(name)) return "layout";
    return name;
}

// Renames the checked folder to the first free "NAME", "NAME (2)", ...; never over an existing one.
platform::Result<std::string> MoveIntoPlace(const std::string& from, const std::string& parent, const std::string& name)
{
    for (int copy = 1; copy < 1000; ++copy) {
        const std::string target = parent + name + (copy == 1 ? "" : " (" + std::to_string(copy) + ")");
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return target + "/";
        if (errno != EEXIST && errno != ENOTEMPTY) return platform::Fail("フォルダを作れません: " + target);
    }
    return platform::Fail("フォルダを作れません: " + parent + name);
}

platform::Result<Unpacked> Unpack(zip_t* archive, std::string parent, const MapCheck& checkMap,
                                  const PackageLimits& limits, const std::string& folderName)
{
    platform::Result<std::vector<Entry>> entries = CheckDirectory(archive, limits);
    if (!entries) return platform::Fail(entries.error());
    platform::Result<std::string> manifestText = ReadManifest(archive, *entries);
    if (!manifestText) return platform::Fail(manifestText.error());
    platform::Result<Manifest> manifest = ParseManifest(*manifestText);
    if (!manifest) return platform::Fail(manifest.error());

    // The manifest and the entries must agree name for name.
    std::map<std::string, const ManifestFile*> listed;
    for (const ManifestFile& file : manifest->files) {
        if (RefusedName(file.name) || file.name == kManifestName || !listed.emplace(file.name, &file).second)
            return Refused("package.txt の一覧が正しくありません: " + file.name);
    }
    if (!listed.contains(manifest->map)) return Refused("package.txt のマップがありません: " + manifest->map);
    std::size_t files = 0;
    for (const Entry& entry : *entries) {
        if (entry.folder || entry.name == kManifestName) continue;
        const auto found = listed.find(entry.name);
        if (found == listed.end()) return Refused("package.txt にないファイルがあります: " + entry.name);
        if (found->second->size != entry.size) return Refused("大きさが package.txt と違います: " + entry.name);
        ++files;
    }
    if (files != listed.size()) {
        for (const Entry& entry : *entries)
            listed.erase(entry.name);
        return Refused("package.txt のファイルがありません: " + listed.begin()->first);
    }

    if (!parent.empty() && parent.back() != '/') parent += '/';
    std::error_code error;
    fs::create_directories(parent.empty() ? "." : parent, error);
    const std::string name = folderName.empty() ? FolderName(manifest->map) : folderName;
    std::string pattern = parent + "." + name + ".unpacking-XXXXXX";
    if (!::mkdtemp(pattern.data())) return platform::Fail("フォルダを作れません: " + parent);
    TemporaryFolder temporary(pattern);

    for (const Entry& entry : *entries) {
        const std::string path = temporary.Path() + "/" + entry.name;
        if (entry.folder) {
            fs::create_directories(path, error);
            continue;
        }
        if (entry.name == kManifestName) continue;
        platform::Result<std::string> sha = Extract(archive, entry, &path);
        if (!sha) return platform::Fail(sha.error());
        if (*sha != listed.at(entry.name)->sha256) return Refused("SHA-256 が package.txt と違います: " + entry.name);
    }
    if (!platform::ReplaceFile(temporary.Path() + "/" + std::string(kManifestName), *manifestText))
        return platform::Fail("フォルダに書き込めません: " + parent);
    if (checkMap) {
        if (const std::optional<std::string> reason = checkMap(temporary.Path() + "/" + manifest->map))
            return Refused(*reason);
    }

    platform::Result<std::string> folder = MoveIntoPlace(temporary.Path(), parent, name);
    if (!folder) return platform::Fail(folder.error());
    temporary.Keep();
    return Unpacked{*folder, *folder + manifest->map, *std::move(manifest)};
}

} // namespace

std::optional<std::string> RefusedName(std::string_view name)
{
    if (name.empty()) return "名前のないファイルがあります";
    if (name.front() == '/') return "絶対パスのファイルがあります";
    if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0])))
        return "ドライブ名のあるファイルがあります";
    for (const char c : name) {
        if (c == '\\') return "バックスラッシュのある名前があります";
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "制御文字のある名前があります";
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('/', start), name.size());
        const std::string_view part = name.substr(start, end - start);
        if (part == "..") return "「..」のある名前があります";
        if (part.empty() || part == ".") return "正しくない名前があります";
        start = end + 1;
    }
    return std::nullopt;
}

std::string ManifestText(const Manifest& manifest)
{
    std::string text = std::string(kHeader) + "\n";
    text += "format: " + std::to_string(manifest.format) + "\n";
    text += "map: " + manifest.map + "\n";
    text += "program: " + manifest.program + "\n";
    for (const auto& [key, folder] : manifest.folders)
        text += "folder: " + key + " " + folder + "\n";
    for (const ManifestFile& file : manifest.files)
        text += "file: " + std::to_string(file.size) + " " + file.sha256 + " " + file.name + "\n";
    return text;
}

platform::Result<Manifest> ParseManifest(std::string_view text)
{
    const auto bad = [](std::string what) { return Refused("package.txt が正しくありません（" + what + "）"); };
    Manifest manifest;
    manifest.format = 0;
    bool header = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!header) {
            if (line != kHeader) return bad("1 行目");
            header = true;
            continue;
        }
        if (line.empty()) continue;
        const std::size_t colon = line.find(": ");
        if (colon == std::string_view::npos) return bad(std::string(line.substr(0, 40)));
        const std::string_view key = line.substr(0, colon);
        const std::string_view value = line.substr(colon + 2);
        if (key == "format") {
            manifest.format = value == "1" ? 1 : -1;
            if (manifest.format != kFormatVersion) return bad("format " + std::string(value.substr(0, 20)));
        } else if (key == "map") {
            manifest.map = value;
        } else if (key == "program") {
            manifest.program = value;
        } else if (key == "folder") {
            const std::size_t space = value.find(' ');
            if (space == std::string_view::npos) return bad("folder");
            std::string folder(value.substr(space + 1));
            if (RefusedName(folder)) return bad("folder");
            manifest.folders.emplace_back(std::string(value.substr(0, space)), std::move(folder));
        } else if (key == "file") {
            const std::size_t space1 = value.find(' ');
            const std::size_t space2 = space1 == std::string_view::npos ? space1 : value.find(' ', space1 + 1);
            if (space2 == std::string_view::npos) return bad("file");
            ManifestFile file;
            const std::string_view size = value.substr(0, space1);
            if (size.empty() || size.size() > 19 || size.find_first_not_of("0123456789") != std::string_view::npos)
                return bad("file");
            file.size = std::stoull(std::string(size));
            file.sha256 = value.substr(space1 + 1, space2 - space1 - 1);
            if (file.sha256.size() != 64 || file.sha256.find_first_not_of("0123456789abcdef") != std::string::npos)
                return bad("SHA-256");
            file.name = value.substr(space2 + 1);
            manifest.files.push_back(std::move(file));
        }
    }
    if (manifest.format != kFormatVersion) return bad("format");
    if (manifest.map.empty()) return bad("map");
    return manifest;
}

platform::Status WritePackage(const std::string& packagePath, const Manifest& about,
                              const std::vector<PackEntry>& entries)
{
    Manifest manifest = about;
    manifest.files.clear();
    std::vector<std::string> contents;
    contents.reserve(entries.size() + 1);
    for (const PackEntry& entry : entries) {
        if (const std::optional<std::string> reason = RefusedName(entry.name))
            return platform::Fail(*reason + ": " + entry.name);
        platform::Result<std::string> bytes =
            entry.bytes ? platform::Result<std::string>(*entry.bytes)
                        : platform::ReadFileBytes(entry.path, PackageLimits{}.entryBytes);
        if (!bytes) return platform::Fail("ファイルが読めません: " + entry.path);
        manifest.files.push_back({entry.name, bytes->size(), Sha256Hex(*bytes)});
        contents.push_back(*std::move(bytes));
    }
    contents.push_back(ManifestText(manifest));

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!memory) return platform::Fail(ZipErrorText(&error));
    zip_source_keep(memory);
    zip_t* archive = zip_open_from_source(memory, ZIP_TRUNCATE, &error);
    if (!archive) {
        zip_source_free(memory);
        return platform::Fail(ZipErrorText(&error));
    }
    const auto add = [&](const std::string& name, const std::string& bytes) {
        zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        if (!source) return false;
        const zip_int64_t index = zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
        return zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9) == 0;
    };
    bool added = true;
    for (std::size_t i = 0; i < entries.size() && added; ++i)
        added = add(entries[i].name, contents[i]);
    if (added) added = add(std::string(kManifestName), contents.back());
    if (!added || zip_close(archive) != 0) {
        const std::string reason = zip_strerror(archive);
        zip_discard(archive);
        zip_source_free(memory);
        return platform::Fail("パッケージを書けません: " + reason);
    }

    std::string bytes;
    if (zip_source_open(memory) == 0) {
        zip_source_seek(memory, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(memory);
        zip_source_seek(memory, 0, SEEK_SET);
        bytes.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
        if (!bytes.empty() && zip_source_read(memory, bytes.data(), bytes.size()) != size) bytes.clear();
        zip_source_close(memory);
    }
    zip_source_free(memory);
    if (bytes.empty()) return platform::Fail("パッケージを書けません");
    return platform::ReplaceFile(packagePath, bytes);
}

platform::Result<Unpacked> UnpackPackage(const std::string& packagePath, const std::string& parentFolder,
                                         const MapCheck& checkMap, const PackageLimits& limits,
                                         const std::string& folderName)
{
    int code = 0;
    zip_t* archive = zip_open(packagePath.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        return Refused("zip ファイルではないか、壊れています（" + ZipErrorText(&error) + "）");
    }
    const ZipHandle handle(archive);
    return Unpack(archive, parentFolder, checkMap, limits, folderName);
}

platform::Result<Unpacked> UnpackPackageBytes(std::string_view bytes, const std::string& parentFolder,
                                              const MapCheck& checkMap, const PackageLimits& limits,
                                              const std::string& folderName)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source) return platform::Fail(ZipErrorText(&error));
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive) {
        zip_source_free(source);
        return Refused("zip ファイルではないか、壊れています（" + ZipErrorText(&error) + "）");
    }
    zip_error_fini(&error);
    const ZipHandle handle(archive);
    return Unpack(archive, parentFolder, checkMap, limits, folderName);
}

} // namespace package
