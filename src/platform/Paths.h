// Paths: the executable's folder and name, splitting, absolute/relative conversions, file lookup.
// Paths are UTF-8 strings with '/' separators; folders end with '/'.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct PathParts {
    std::string folder;    // everything up to and including the last separator ("" when none)
    std::string name;      // file name without extension
    std::string extension; // from the last '.' of the name, dot included ("" when none)
};

// Like the C runtime's path splitter: '/' and '\' both separate, the extension starts at the last dot.
PathParts SplitPath(std::string_view path);

// Turns the '\' separators of paths read from Windows files into '/'.
std::string FromWindowsPath(std::string_view path);

// Folder of the running executable (ending in '/') and its base name (no extension).
// The full path is taken with no length limit, read once and kept. When the running program
// cannot be found (no /proc), the first call throws std::runtime_error: start-up calls these
// first and stops with that message.
std::string ExecutableFolder();
std::string ExecutableBaseName();
std::string ExecutablePath();

// Absolute form of path relative to base (a folder ending in '/'): '.' and '..' resolved,
// repeated separators collapsed, a trailing separator kept. An absolute path stays absolute.
// '..' at the root stays at the root. Only '/' separates: convert Windows text with
// FromWindowsPath first.
std::string ToAbsolute(std::string_view path, std::string_view base);
// The process's working folder, ending in '/' ("/" when it cannot be had).
std::string WorkingFolder();
// Absolute form of path relative to the working folder.
std::string FromWorkingFolder(std::string_view path);

// Path of target relative to the folder base, "./sub/x" style as the original gives it, or
// nothing when the two share no common prefix (the root alone does not count; the caller then
// keeps the path absolute). Components must match exactly, since Linux names are case-sensitive.
// A relative target is taken relative to base. A trailing '/' of target is kept, so
// ToAbsolute(*ToRelative(p, base), base) gives the normalised p back.
// With base "/a/k/": "/a/k/" → "./", "/a/k/sub/" → "./sub/", "/a/x/" → "../x/", "/a/" → "../",
// "/b/" → nothing.
std::optional<std::string> ToRelative(std::string_view target, std::string_view base);

// The existing file at path: the exact name when it exists, otherwise a file in the same folder
// whose name matches ignoring letter case (the first by name order). Nothing when none exists.
std::optional<std::string> FindFileNoCase(std::string_view path);

// Names (not paths) of the files in folder matching a wildcard pattern ('*' and '?'),
// case-insensitively, sorted by name so that runs are repeatable (NameLess). Long names only:
// "*.ini" does not match "a.inix". Folders are left out; a missing folder gives no names.
std::vector<std::string> FindFiles(std::string_view folder, std::string_view pattern);

} // namespace platform
