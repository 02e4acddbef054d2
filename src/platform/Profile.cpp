#include "platform/Profile.h"

#include "platform/SafeFile.h"
#include "platform/Utf8.h"

#include <cerrno>
#include <cstdint>
#include <limits>
#include <sys/stat.h>

namespace platform {

namespace {

// The blanks the Windows reader trims: tab to carriage return, space and ^Z. Not U+3000.
bool IsBlank(char c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A;
}

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view Trim(std::string_view s)
{
    return TrimRight(TrimLeft(s));
}

struct Entry {
    enum class Kind { Other, Header, Key } kind = Kind::Other;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // key lines: the value, trimmed
};

Entry Classify(std::string_view text)
{
    const std::string_view line = Trim(text);
    Entry entry;
    if (line.starts_with('[')) {
        // A header needs a ']'; the name runs to the last one and the rest is ignored.
        const std::size_t close = line.rfind(']');
        if (close != std::string_view::npos) {
            entry.kind = Entry::Kind::Header;
            entry.name = Trim(line.substr(1, close - 1));
            return entry;
        }
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return entry;
    entry.kind = Entry::Kind::Key;
    entry.name = TrimRight(line.substr(0, equals));
    entry.value = TrimLeft(line.substr(equals + 1));
    return entry;
}

std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string CutForBuffer(std::string_view text, std::size_t bufferSize)
{
    return CutToChars(text, bufferSize == 0 ? 0 : bufferSize - 1);
}

bool HasLineBreak(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

Profile::Profile(std::string path) : path_(std::move(path))
{
    struct stat info;
    if (::stat(path_.c_str(), &info) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) loadError_ = path_ + " cannot be examined";
        return;
    }
    auto bytes = ReadFileBytes(path_, kMaxProfileBytes);
    if (!bytes) {
        loadError_ = bytes.error();
        return;
    }
    exists_ = true;
    Parse(*bytes);
}

Profile Profile::FromBytes(std::string path, std::string_view bytes)
{
    Profile profile;
    profile.path_ = std::move(path);
    profile.exists_ = true;
    profile.Parse(bytes);
    return profile;
}

void Profile::Parse(std::string_view bytes)
{
    encoding_ = DetectEncoding(bytes);
    const std::string_view bom = ByteOrderMark(encoding_);
    if (bytes.starts_with(bom)) bytes.remove_prefix(bom.size());

    // Lines are split on the encoded units of CR and LF, so untouched lines keep their bytes.
    const std::size_t unit = encoding_ == TextEncoding::Utf16LeBom ? 2 : 1;
    const auto at = [&](std::size_t i) -> unsigned {
        unsigned value = static_cast<unsigned char>(bytes[i]);
        if (unit == 2) value |= static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        return value;
    };
    bool endSeen = false;
    std::size_t start = 0, i = 0;
    while (i + unit <= bytes.size()) {
        const unsigned c = at(i);
        if (c != '\r' && c != '\n') {
            i += unit;
            continue;
        }
        Line line;
        line.raw = std::string(bytes.substr(start, i - start));
        if (c == '\r' && i + 2 * unit <= bytes.size() && at(i + unit) == '\n') {
            line.end = "\r\n";
            i += 2 * unit;
        } else {
            line.end = c == '\r' ? "\r" : "\n";
            i += unit;
        }
        if (!endSeen) {
            lineEnd_ = line.end == "\r\n" ? LineEnd::CrLf : (line.end == "\n" ? LineEnd::Lf : LineEnd::Cr);
            endSeen = true;
        }
        lines_.push_back(std::move(line));
        start = i;
    }
    if (start < bytes.size()) lines_.push_back(Line{std::string(bytes.substr(start)), {}, {}, false});
    for (Line& line : lines_)
        line.text = DecodeBody(line.raw, encoding_);
}

std::ptrdiff_t Profile::FindSection(std::string_view section) const
{
    section = Trim(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Entry entry = Classify(lines_[i].text);
        if (entry.kind == Entry::Kind::Header && EqualsNoCase(entry.name, section))
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

std::ptrdiff_t Profile::FindKey(std::ptrdiff_t sectionLine, std::string_view key) const
{
    key = Trim(key);
    for (std::size_t i = static_cast<std::size_t>(sectionLine) + 1; i < lines_.size(); ++i) {
        const Entry entry = Classify(lines_[i].text);
        if (entry.kind == Entry::Kind::Header) break;
        if (entry.kind == Entry::Kind::Key && EqualsNoCase(entry.name, key))
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

std::string Profile::GetString(std::string_view section, std::string_view key, std::string_view def,
                               std::size_t bufferSize) const
{
    const std::ptrdiff_t sectionLine = FindSection(section);
    const std::ptrdiff_t keyLine = sectionLine < 0 ? -1 : FindKey(sectionLine, key);
    if (keyLine < 0) {
        while (!def.empty() && def.back() == ' ')
            def.remove_suffix(1);
        return CutForBuffer(def, bufferSize);
    }
    return CutForBuffer(Unquote(Classify(lines_[static_cast<std::size_t>(keyLine)].text).value), bufferSize);
}

int Profile::GetInt(std::string_view section, std::string_view key, int def) const
{
    const std::string value = GetString(section, key, "", std::numeric_limits<std::size_t>::max());
    if (value.empty()) return def;
    std::size_t i = 0;
    bool negative = false;
    if (value[0] == '+' || value[0] == '-') {
        negative = value[0] == '-';
        ++i;
    }
    std::uint32_t number = 0; // unsigned, so that overflow wraps as the original does
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        number = number * 10u + (value[i] - '0');
    if (negative) number = 0u - number;
    return static_cast<std::int32_t>(number);
}

void Profile::InsertLine(std::size_t at, std::string text)
{
    const std::string end(LineEndChars(lineEnd_));
    if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = end;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{{}, std::move(text), end, true});
}

Status Profile::SetString(std::string_view section, std::string_view key, std::string_view value)
{
    section = Trim(section);
    key = Trim(key);
    if (section.empty() || key.empty()) return Fail("a profile section or key name is empty");
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return Fail("a profile name or value contains a line break");
    if (key.find('=') != std::string_view::npos || key.starts_with('['))
        return Fail("the profile key \"" + std::string(key) + "\" could not be read back");
    if (!IsValidUtf8(section) || !IsValidUtf8(key) || !IsValidUtf8(value))
        return Fail("a profile name or value is not valid text");

    const std::ptrdiff_t sectionLine = FindSection(section);
    if (sectionLine < 0) {
        InsertLine(lines_.size(), "[" + std::string(section) + "]");
        InsertLine(lines_.size(), std::string(key) + "=" + std::string(value));
        dirty_ = true;
        return Ok{};
    }
    const std::ptrdiff_t keyLine = FindKey(sectionLine, key);
    if (keyLine >= 0) {
        // Keep everything up to the value (indentation, the key's spelling, blanks around '=').
        Line& line = lines_[static_cast<std::size_t>(keyLine)];
        std::size_t valueStart = line.text.find('=') + 1;
        while (valueStart < line.text.size() && IsBlank(line.text[valueStart]))
            ++valueStart;
        std::string text = line.text.substr(0, valueStart) + std::string(value);
        if (text != line.text) {
            line.text = std::move(text);
            line.changed = true;
            dirty_ = true;
        }
        return Ok{};
    }
    // After the section's last non-blank line, so a blank line before the next section stays.
    std::size_t last = static_cast<std::size_t>(sectionLine);
    for (std::size_t i = last + 1; i < lines_.size(); ++i) {
        if (Classify(lines_[i].text).kind == Entry::Kind::Header) break;
        if (!Trim(lines_[i].text).empty()) last = i;
    }
    InsertLine(last + 1, std::string(key) + "=" + std::string(value));
    dirty_ = true;
    return Ok{};
}

Status Profile::Save()
{
    if (!dirty_) return Ok{};
    if (!loadError_.empty()) return Fail(loadError_);

    std::string changedText;
    for (const Line& line : lines_)
        if (line.changed) changedText += line.text;
    const TextEncoding encoding = EncodingForRewrite(encoding_, changedText);
    // Plain ASCII lines read the same in every encoding but UTF-16.
    const bool keepRaw =
        encoding == encoding_ || (encoding_ == TextEncoding::Ascii && encoding != TextEncoding::Utf16LeBom);

    std::vector<std::string> raws;
    raws.reserve(lines_.size());
    std::string content(ByteOrderMark(encoding));
    for (const Line& line : lines_) {
        raws.push_back(keepRaw && !line.changed ? line.raw : EncodeBody(line.text, encoding));
        content += raws.back();
        content += EncodeBody(line.end, encoding);
    }
    if (Status written = ReplaceFile(path_, content); !written) return written;

    for (std::size_t i = 0; i < lines_.size(); ++i) {
        lines_[i].raw = std::move(raws[i]);
        lines_[i].changed = false;
    }
    encoding_ = encoding;
    exists_ = true;
    dirty_ = false;
    return Ok{};
}

std::string Profile::ReadString(const std::string& path, std::string_view section, std::string_view key,
                                std::string_view def, std::size_t bufferSize)
{
    return Profile(path).GetString(section, key, def, bufferSize);
}

int Profile::ReadInt(const std::string& path, std::string_view section, std::string_view key, int def)
{
    return Profile(path).GetInt(section, key, def);
}

Status Profile::WriteString(const std::string& path, std::string_view section, std::string_view key,
                            std::string_view value)
{
    Profile profile(path);
    if (Status set = profile.SetString(section, key, value); !set) return set;
    return profile.Save();
}

Status Profile::WriteStrings(const std::string& path, std::string_view section,
                             const std::vector<std::pair<std::string, std::string>>& entries)
{
    Profile profile(path);
    for (const auto& [key, value] : entries)
        if (Status set = profile.SetString(section, key, value); !set) return set;
    return profile.Save();
}

} // namespace platform
