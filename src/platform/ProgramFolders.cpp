#include "platform/ProgramFolders.h"

#include "platform/Paths.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kProgramFolder = "korvela";

std::string AsFolder(std::string path)
{
    if (!path.ends_with('/')) path += '/';
    return path;
}

// $NAME when set to an absolute path (the XDG rule for relative ones: ignore them), else
// $HOME + fallback.
Result<std::string> BaseFolder(const std::function<const char*(const char*)>& getenv, const char* name,
                               std::string_view fallback)
{
    if (const char* value = getenv(name); value && value[0] == '/') return AsFolder(value);
    const char* home = getenv("HOME");
    if (!home || home[0] != '/') return Fail(std::string("neither ") + name + " nor HOME is set");
    return AsFolder(std::string(home)) + std::string(fallback);
}

// Copies the shipped content into a fresh folder beside target and renames it into place, so
// that a copy cut short leaves no folder that later starts would take as complete.
Status CopyContent(const std::string& shipped, const std::string& target)
{
    const fs::path destination = fs::path(target).parent_path(); // target ends in '/'
    const fs::path staging = destination.string() + ".new-" + std::to_string(::getpid());
    std::error_code error;
    fs::remove_all(staging, error);
    fs::copy(shipped, staging, fs::copy_options::recursive, error);
    if (!error) fs::rename(staging, destination, error);
    if (error) {
        std::error_code ignored;
        fs::remove_all(staging, ignored);
        return Fail("cannot copy " + shipped + " to " + target + ": " + error.message());
    }
    return Ok{};
}

} // namespace

bool FolderWritable(const std::string& folder)
{
    if (::access(folder.c_str(), W_OK) != 0) return false;
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

Result<ProgramFolders> ResolveProgramFolders(std::string_view executablePath,
                                             const std::function<const char*(const char*)>& getenv)
{
    const PathParts parts = SplitPath(executablePath);
    ProgramFolders folders;
    folders.executableFolder = AsFolder(parts.folder);
    folders.executableName = parts.name;

    const std::string shared = ToAbsolute("../share/korvela/", folders.executableFolder);
    const std::string sharedLocale = ToAbsolute("../share/locale/", folders.executableFolder);
    std::error_code error;
    const bool inInstalledTree = fs::is_directory(shared, error);
    folders.installed = inInstalledTree || !FolderWritable(folders.executableFolder);
    const std::string localLocale = folders.executableFolder + "locale/";
    folders.localeFolder = fs::is_directory(localLocale, error) ? localLocale : sharedLocale;
    if (auto state = BaseFolder(getenv, "XDG_STATE_HOME", ".local/state/"))
        folders.recoveryFolder = *state + std::string(kProgramFolder) + "/";

    if (!folders.installed) {
        folders.contentFolder = folders.executableFolder;
        folders.settingsFile = folders.executableFolder + folders.executableName + ".ini";
        return folders;
    }

    auto data = BaseFolder(getenv, "XDG_DATA_HOME", ".local/share/");
    if (!data) return Fail(data.error());
    auto config = BaseFolder(getenv, "XDG_CONFIG_HOME", ".config/");
    if (!config) return Fail(config.error());
    folders.contentFolder = *data + std::string(kProgramFolder) + "/";
    const std::string configFolder = *config + std::string(kProgramFolder) + "/";
    folders.settingsFile = configFolder + folders.executableName + ".ini";

    for (const std::string& folder : {*data, configFolder}) {
        fs::create_directories(folder, error);
        if (error) return Fail("cannot make " + folder + ": " + error.message());
    }

    // First start: the user gets a copy of the shipped content to change as they like; later
    // starts leave it as the user left it.
    if (!fs::exists(folders.contentFolder, error)) {
        if (fs::is_directory(shared, error)) {
            if (Status copied = CopyContent(shared, folders.contentFolder); !copied) return Fail(copied.error());
        } else if (!fs::create_directories(folders.contentFolder, error)) {
            return Fail("cannot make " + folders.contentFolder + ": " + error.message());
        }
    }
    // The shipped settings name the shipped content by relative paths, which now lead into the
    // user's copy of it.
    const std::string shippedSettings = shared + folders.executableName + ".ini";
    if (!fs::exists(folders.settingsFile, error) && fs::is_regular_file(shippedSettings, error))
        fs::copy_file(shippedSettings, folders.settingsFile, error);
    return folders;
}

const ProgramFolders& ThisProgramFolders()
{
    static const ProgramFolders folders = [] {
        auto resolved = ResolveProgramFolders(ExecutablePath(), [](const char* name) { return std::getenv(name); });
        if (!resolved) throw std::runtime_error(resolved.error());
        return *std::move(resolved);
    }();
    return folders;
}

} // namespace platform
