#include "platform/Paths.h"

#include "platform/PathsDetail.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

struct Components {
    bool absolute = false;
    bool trailingSeparator = false;
    std::vector<std::string_view> parts;
};

// Splits on '/', dropping empty and '.' components and resolving '..' ('..' at the root stays
// at the root; leading '..' of a relative path are kept).
Components Normalise(std::string_view path)
{
    Components result;
    result.absolute = path.starts_with('/');
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (part.empty() || part == ".") {
            // nothing to add
        } else if (part == "..") {
            if (!result.parts.empty() && result.parts.back() != "..")
                result.parts.pop_back();
            else if (!result.absolute)
                result.parts.push_back(part);
        } else {
            result.parts.push_back(part);
        }
        start = end + 1;
    }
    // "a/b/" names a folder; "a/b/." and "a/b/.." end on a component, as the original gives them.
    result.trailingSeparator = path.ends_with('/') && !result.parts.empty();
    return result;
}

std::string Join(const Components& c)
{
    std::string out = c.absolute ? "/" : "";
    for (std::size_t i = 0; i < c.parts.size(); ++i) {
        if (i > 0) out += '/';
        out += c.parts[i];
    }
    if (c.trailingSeparator) out += '/';
    if (out.empty()) out = ".";
    return out;
}

// '*' any run of characters, '?' exactly one; letters compared ignoring case.
bool MatchFrom(const std::u32string& name, std::size_t n, const std::u32string& pattern, std::size_t p)
{
    while (p < pattern.size()) {
        if (pattern[p] == U'*') {
            while (p < pattern.size() && pattern[p] == U'*')
                ++p;
            if (p == pattern.size()) return true;
            for (std::size_t k = n; k <= name.size(); ++k)
                if (MatchFrom(name, k, pattern, p)) return true;
            return false;
        }
        if (n == name.size()) return false;
        if (pattern[p] != U'?' && pattern[p] != name[n]) return false;
        ++p;
        ++n;
    }
    return n == name.size();
}

std::u32string UpperCodePoints(std::string_view text)
{
    std::u32string out;
    std::size_t pos = 0;
    char32_t cp;
    while (NextCodePoint(text, pos, cp))
        out += ToUpperSimple(cp);
    return out;
}

// Entry names of a folder (without "." and ".."); empty when it cannot be read.
std::vector<std::string> ListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()), &::closedir);
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return NameLess(a, b); });
    return names;
}

bool IsDirectory(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

const std::string& CachedExecutablePath()
{
    static const std::string path = [] {
        auto result = detail::ReadLink("/proc/self/exe");
        if (!result) throw std::runtime_error("cannot find the running program: " + result.error());
        return std::move(result.value());
    }();
    return path;
}

} // namespace

namespace detail {

Result<std::string> ReadLink(const std::string& link)
{
    // readlink neither terminates nor reports truncation: grow until the answer fits with room.
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size());
        if (length < 0) return Fail(link + ": " + std::strerror(errno));
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        if (buffer.size() >= (std::size_t{1} << 24)) return Fail(link + ": link text too long");
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace detail

PathParts SplitPath(std::string_view path)
{
    PathParts parts;
    const std::size_t slash = path.find_last_of("/\\");
    std::string_view rest = path;
    if (slash != std::string_view::npos) {
        parts.folder = std::string(path.substr(0, slash + 1));
        rest = path.substr(slash + 1);
    }
    const std::size_t dot = rest.rfind('.');
    if (dot == std::string_view::npos) {
        parts.name = std::string(rest);
    } else {
        parts.name = std::string(rest.substr(0, dot));
        parts.extension = std::string(rest.substr(dot));
    }
    return parts;
}

std::string FromWindowsPath(std::string_view path)
{
    std::string out(path);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

std::string ExecutablePath()
{
    return CachedExecutablePath();
}

std::string ExecutableFolder()
{
    return SplitPath(CachedExecutablePath()).folder;
}

std::string ExecutableBaseName()
{
    return SplitPath(CachedExecutablePath()).name;
}

std::string WorkingFolder()
{
    std::unique_ptr<char, decltype(&std::free)> working(::getcwd(nullptr, 0), &std::free);
    std::string folder = working ? std::string(working.get()) : std::string("/");
    if (!folder.ends_with('/')) folder += '/';
    return folder;
}

std::string FromWorkingFolder(std::string_view path)
{
    return ToAbsolute(path, WorkingFolder());
}

std::string ToAbsolute(std::string_view path, std::string_view base)
{
    if (path.starts_with('/')) return Join(Normalise(path));
    std::string combined(base);
    if (!combined.empty() && !combined.ends_with('/')) combined += '/';
    combined += path;
    return Join(Normalise(combined));
}

std::optional<std::string> ToRelative(std::string_view target, std::string_view base)
{
    const std::string absoluteTarget = ToAbsolute(target, base);
    std::string baseFolder(base);
    if (!baseFolder.ends_with('/')) baseFolder += '/';
    const Components from = Normalise(baseFolder);
    const Components to = Normalise(absoluteTarget);
    if (!from.absolute || !to.absolute) return std::nullopt;

    // Linux file names are case-sensitive, so components must match exactly; the root alone
    // does not count as a common prefix.
    std::size_t common = 0;
    while (common < from.parts.size() && common < to.parts.size() && from.parts[common] == to.parts[common])
        ++common;
    if (common == 0) return std::nullopt;

    std::string out;
    if (common == from.parts.size()) {
        out = ".";
    } else {
        for (std::size_t i = common; i < from.parts.size(); ++i) {
            if (i > common) out += '/';
            out += "..";
        }
    }
    for (std::size_t i = common; i < to.parts.size(); ++i) {
        out += '/';
        out += to.parts[i];
    }
    if (to.trailingSeparator) out += '/';
    return out;
}

std::optional<std::string> FindFileNoCase(std::string_view path)
{
    const std::string exact(path);
    struct stat info;
    if (::stat(exact.c_str(), &info) == 0) return exact;

    const std::size_t slash = exact.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : exact.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? exact : exact.substr(slash + 1);
    if (name.empty()) return std::nullopt;
    for (const std::string& candidate : ListFolder(folder))
        if (EqualsNoCase(candidate, name)) return folder + candidate;
    return std::nullopt;
}

std::vector<std::string> FindFiles(std::string_view folder, std::string_view pattern)
{
    std::string prefix(folder);
    if (!prefix.empty() && !prefix.ends_with('/')) prefix += '/';
    // "*.*" matches every name, with or without a dot, as on Windows.
    const std::u32string wanted = UpperCodePoints(pattern == "*.*" ? std::string_view("*") : pattern);
    std::vector<std::string> found;
    for (std::string& name : ListFolder(prefix)) {
        if (!MatchFrom(UpperCodePoints(name), 0, wanted, 0)) continue;
        if (IsDirectory((prefix.empty() ? std::string("./") : prefix) + name)) continue;
        found.push_back(std::move(name));
    }
    return found;
}

} // namespace platform
