// Where the program keeps its files. Run from a folder of its own (a build, a portable copy),
// everything lives beside the executable. Installed (the executable's folder is not writable,
// or it sits in a bin/ whose ../share/korvela/ holds the shipped content), the settings file
// goes to $XDG_CONFIG_HOME/korvela/ and the content to $XDG_DATA_HOME/korvela/, copied there
// from share/korvela/ on the first start. Recovery files of unsaved layouts always go to the
// user's state folder, $XDG_STATE_HOME/korvela/ (~/.local/state/korvela/), never beside a map.
#pragma once

#include "platform/Result.h"

#include <functional>
#include <string>
#include <string_view>

namespace platform {

struct ProgramFolders {
    std::string executableFolder; // ends in '/'
    std::string executableName;   // base name: the settings file's name and section
    // The folder the default folders, the default map, the key labels and the help texts are
    // found in, and the one relative paths of the settings file are taken against (ends in '/').
    std::string contentFolder;
    std::string settingsFile;
    // Holds <language>/LC_MESSAGES/korvela.mo; ends in '/'.
    std::string localeFolder;
    // Where recovery files go (ends in '/'; made when the first one is written). Empty when
    // neither XDG_STATE_HOME nor HOME says where: nothing is then kept for recovery.
    std::string recoveryFolder;
    bool installed = false;
};

// Decides the folders for an executable at executablePath and, when installed, makes the user's
// folders and copies the shipped content and settings into them when they are not there yet.
// getenv: the environment lookup (std::getenv in the program, a table in tests). Fails only when
// the user's folders cannot be made; a failed copy of the content is a failure too, leaving no
// half-copied folder behind.
Result<ProgramFolders> ResolveProgramFolders(std::string_view executablePath,
                                             const std::function<const char*(const char*)>& getenv);

// The folders of this running program, resolved once with the real environment. Throws
// std::runtime_error with the reason when they cannot be had; start-up calls it first.
const ProgramFolders& ThisProgramFolders();

// Whether the user may write into folder, judged by its permission bits (for root too, who
// could write anywhere: a folder made read-only says it should be left alone).
bool FolderWritable(const std::string& folder);

} // namespace platform
