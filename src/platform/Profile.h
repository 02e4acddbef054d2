// Profile (.ini) files read the way the Windows profile functions read them, and rewritten
// keeping every line that a write does not touch.
#pragma once

#include "platform/Result.h"
#include "platform/TextFile.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// One profile file, loaded once. Reads follow GetPrivateProfileString: section and key names
// match ignoring case and surrounding blanks, the first section of a name and the first key in
// it win, values come back trimmed with one pair of surrounding quotes removed. Files may be
// code page 932, UTF-8 (with or without a byte order mark) or UTF-16LE with its mark, with
// CR LF, LF or CR line ends. Changes are kept in memory until Save rewrites the file once.
class Profile {
  public:
    // Loads path. A missing file gives an empty profile whose reads return their defaults.
    explicit Profile(std::string path);

    // A profile over bytes already in hand; Save writes them to path.
    static Profile FromBytes(std::string path, std::string_view bytes);

    const std::string& Path() const { return path_; }
    // The file was there and could be read.
    bool Exists() const { return exists_; }
    TextEncoding Encoding() const { return encoding_; }
    LineEnd LineEnds() const { return lineEnd_; }

    // The value of key in section cut to bufferSize - 1 characters, as a buffer of bufferSize
    // characters holds it (0 gives ""). When the file, section or key is missing: def with its
    // trailing spaces removed, cut the same way.
    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          std::size_t bufferSize) const;

    // GetPrivateProfileInt: optional sign and the leading decimal digits ("42A9" → 42, "B42" → 0),
    // wrapping modulo 2^32; def when the key is missing or its value is empty.
    int GetInt(std::string_view section, std::string_view key, int def) const;

    // WritePrivateProfileString in memory: an existing key gets the new value in place (its
    // spelling kept), a missing key is added after the last line of the first section of that
    // name, a missing section is added at the end. Fails, changing nothing, for a name or value
    // that could not be read back (empty name, line breaks, '=' in a key, a key starting '[').
    Status SetString(std::string_view section, std::string_view key, std::string_view value);

    // Writes the changes, if any, replacing the file safely: every untouched line keeps its
    // bytes, the encoding and line ends stay those of the file. A new file is written as
    // "[section]\r\nkey=value\r\n" in code page 932 (UTF-8 with a byte order mark when a
    // character does not fit); a code page 932 file that would lose a character becomes UTF-8
    // with a byte order mark. On failure the file on disk is unchanged and the reason returned.
    Status Save();

    // One-call forms of the Windows functions.
    static std::string ReadString(const std::string& path, std::string_view section, std::string_view key,
                                  std::string_view def, std::size_t bufferSize);
    static int ReadInt(const std::string& path, std::string_view section, std::string_view key, int def);
    static Status WriteString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view value);
    // Several keys of one section in one rewrite.
    static Status WriteStrings(const std::string& path, std::string_view section,
                               const std::vector<std::pair<std::string, std::string>>& entries);

  private:
    struct Line {
        std::string raw;  // bytes as in the file, without the line end
        std::string text; // UTF-8
        std::string end;  // "\r\n", "\n", "\r" or "" (last line)
        bool changed = false;
    };

    Profile() = default;
    void Parse(std::string_view bytes);
    // Index of the first header line naming section, or -1.
    std::ptrdiff_t FindSection(std::string_view section) const;
    // Index of the first line of key inside the section whose header is at sectionLine, or -1.
    std::ptrdiff_t FindKey(std::ptrdiff_t sectionLine, std::string_view key) const;
    void InsertLine(std::size_t at, std::string text);

    std::string path_;
    std::vector<Line> lines_;
    TextEncoding encoding_ = TextEncoding::Ascii;
    LineEnd lineEnd_ = LineEnd::CrLf;
    bool exists_ = false;
    std::string loadError_; // the file is there but could not be read: never overwrite it
    bool dirty_ = false;
};

} // namespace platform
