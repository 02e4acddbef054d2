#include "layout/RecoveryFile.h"

#include "layout/MapFile.h"
#include "platform/Paths.h"
#include "platform/SafeFile.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <system_error>

namespace layout {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMapKey = "map=";
constexpr std::string_view kTimeKey = "map-time=";
constexpr std::string_view kSizeKey = "map-size=";
constexpr std::string_view kWrittenKey = "written=";

// A path on one line: backslashes and line ends escaped.
std::string Escape(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        if (text[i] == '\\') out += '\\';
        else if (text[i] == 'n') out += '\n';
        else if (text[i] == 'r') out += '\r';
        else return std::nullopt;
    }
    return out;
}

std::optional<std::int64_t> Number(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The next line of text from at (its end removed), moving at past it.
std::optional<std::string_view> NextLine(std::string_view text, std::size_t& at)
{
    if (at >= text.size()) return std::nullopt;
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) return std::nullopt; // a header line is always ended
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    return line;
}

} // namespace

MapFileStamp StampOf(const std::string& path)
{
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error) return {};
    const auto time = fs::last_write_time(path, error);
    if (error) return {};
    return {.time = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count(),
            .size = static_cast<std::int64_t>(size)};
}

bool RecoveryFile::MapFileNewer() const
{
    const MapFileStamp now = StampOf(mapPath);
    return now.Exists() && now != mapStamp;
}

std::string RecoveryFileText(const RecoveryFile& file)
{
    std::string text;
    text += kRecoveryFileHeader;
    text += '\n';
    text += std::string(kMapKey) + Escape(file.mapPath) + '\n';
    text += std::string(kTimeKey) + std::to_string(file.mapStamp.time) + '\n';
    text += std::string(kSizeKey) + std::to_string(file.mapStamp.size) + '\n';
    text += std::string(kWrittenKey) + std::to_string(file.writtenAt) + '\n';
    text += file.mapText;
    return text;
}

std::optional<RecoveryFile> ParseRecoveryFile(std::string_view text)
{
    std::size_t at = 0;
    const auto header = NextLine(text, at);
    if (!header || *header != kRecoveryFileHeader) return std::nullopt;
    RecoveryFile file;
    const auto field = [&](std::string_view key) -> std::optional<std::string_view> {
        const auto line = NextLine(text, at);
        if (!line || !line->starts_with(key)) return std::nullopt;
        return line->substr(key.size());
    };
    const auto path = field(kMapKey);
    const auto time = field(kTimeKey);
    const auto size = field(kSizeKey);
    const auto written = field(kWrittenKey);
    if (!path || !time || !size || !written) return std::nullopt;
    const auto mapPath = Unescape(*path);
    const auto mapTime = Number(*time);
    const auto mapSize = Number(*size);
    const auto writtenAt = Number(*written);
    if (!mapPath || !mapTime || !mapSize || !writtenAt) return std::nullopt;
    file.mapPath = *mapPath;
    file.mapStamp = {.time = *mapTime, .size = *mapSize};
    file.writtenAt = *writtenAt;
    file.mapText = std::string(text.substr(at));
    // The map text must at least begin as a map file does.
    if (!file.mapText.starts_with(kMapFileHeader)) return std::nullopt;
    return file;
}

platform::Result<platform::LockedFile> WriteRecoveryFile(const std::string& path, const RecoveryFile& file)
{
    std::error_code error;
    fs::create_directories(fs::path(path).parent_path(), error);
    if (error) return platform::Fail("cannot make the folder of " + path + ": " + error.message());
    return platform::ReplaceFileLocked(path, RecoveryFileText(file));
}

platform::Result<RecoveryFile> ReadRecoveryFile(const platform::LockedFile& locked, const std::string& path)
{
    // A map file's limit and room for the header.
    platform::Result<std::string> bytes = locked.Read(platform::kMaxMapFileBytes + 8192);
    if (!bytes) return platform::Fail(path + ": " + bytes.error());
    std::optional<RecoveryFile> file = ParseRecoveryFile(*bytes);
    if (!file) return platform::Fail(path + " is no complete recovery file");
    return *std::move(file);
}

platform::Result<std::string> SetAsideRecoveryFile(const std::string& path)
{
    return platform::MoveAsideNumbered(path, ".bad");
}

std::string RecoveryFileName(long pid, std::int64_t startedAt)
{
    return "recovery-" + std::to_string(pid) + "-" + std::to_string(startedAt) + ".txt";
}

bool IsRecoveryFileName(std::string_view name)
{
    if (name == "recovery.txt") return true;
    constexpr std::string_view kStart = "recovery-", kEnd = ".txt";
    if (!name.starts_with(kStart) || !name.ends_with(kEnd)) return false;
    const std::string_view middle = name.substr(kStart.size(), name.size() - kStart.size() - kEnd.size());
    const std::size_t dash = middle.find('-');
    const auto digits = [](std::string_view text) {
        return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return dash != std::string_view::npos && digits(middle.substr(0, dash)) && digits(middle.substr(dash + 1));
}

std::string ResolveRecoveredMapPath(const std::string& mapPath, const std::string& recoveryPath)
{
    if (mapPath.empty() || mapPath.front() == '/') return mapPath;
    const std::string besideRecovery =
        platform::ToAbsolute(mapPath, platform::FromWorkingFolder(platform::SplitPath(recoveryPath).folder));
    std::error_code error;
    if (fs::exists(besideRecovery, error)) return besideRecovery;
    return platform::FromWorkingFolder(mapPath);
}

} // namespace layout
