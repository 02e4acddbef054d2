// Paths: the executable's folder and name, splitting, absolute/relative conversions, file lookup.
// Paths are UTF-8 strings with '/' separators; folders end with '/'.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct PathParts {
    std::string folder;     // everything up to and including the last separator ("" when none)
    std::string name;       // file name without extension
    std::string extension;  // from the last '.' of the name, dot included ("" when none)
};

// Like the C runtime's path splitter: '/' and '\' both separate, the extension starts at the last dot.
PathParts SplitPath(std::string_view path);

// Turns the '\' separators of paths read from Windows files into '/'.
std::string FromWindowsPath(std::string_view path);

// Folder of the running executable (ending in '/') and its base name (no extension).
// The full path is taken with no length limit.
std::string ExecutableFolder();
std::string ExecutableBaseName();
std::string ExecutablePath();

// Absolute form of path relative to base (a folder ending in '/'): '.' and '..' resolved,
// repeated separators collapsed, a trailing separator kept. An absolute path stays absolute.
std::string ToAbsolute(std::string_view path, std::string_view base);

// Path of target relative to the folder base, "./sub/x" style as the original gives it, or
// nothing when the two share no common prefix.
std::optional<std::string> ToRelative(std::string_view target, std::string_view base);

// The existing file at path: the exact name when it exists, otherwise a file in the same folder
// whose name matches ignoring letter case (the first by name order). Nothing when none exists.
std::optional<std::string> FindFileNoCase(std::string_view path);

// Names (not paths) of the files in folder matching a wildcard pattern ('*' and '?'),
// case-insensitively, sorted by name so that runs are repeatable.
std::vector<std::string> FindFiles(std::string_view folder, std::string_view pattern);

}  // namespace platform
