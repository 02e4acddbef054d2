// The recovery file: a layout with unsaved changes, kept in the user's state folder so that a
// crash, a kill or a logout loses nothing. It holds a few header lines (the map file the layout
// belongs to, that file's modification time and size when the edits began, and when the
// recovery file was written), then the map data text as the save writes it.
#pragma once

#include "platform/Result.h"
#include "platform/SafeFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace layout {

// First line of every recovery file.
inline constexpr std::string_view kRecoveryFileHeader = "KORVELA Recovery";

// A map file as it stands on disk; size -1 when there is no such file.
struct MapFileStamp {
    std::int64_t time = 0; // modification time in nanoseconds of the file clock
    std::int64_t size = -1;
    bool Exists() const { return size >= 0; }
    friend bool operator==(const MapFileStamp&, const MapFileStamp&) = default;
};
MapFileStamp StampOf(const std::string& path);

struct RecoveryFile {
    std::string mapPath{};      // the map file the layout belongs to (may not exist yet)
    MapFileStamp mapStamp{};    // that file when the unsaved edits began
    std::int64_t writtenAt = 0; // seconds since 1970
    std::string mapText{};      // the map data text, UTF-8

    // Whether the map file changed on disk after the edits kept here began: restoring would
    // then bring back an older layout than the file holds.
    bool MapFileNewer() const;
};

std::string RecoveryFileText(const RecoveryFile& file);
// Nothing when the text is not a complete recovery file.
std::optional<RecoveryFile> ParseRecoveryFile(std::string_view text);

// Written by safe replacement, the folder made first; the new file stays locked while the
// returned handle lives, so that no other instance takes it for one left behind.
platform::Result<platform::LockedFile> WriteRecoveryFile(const std::string& path, const RecoveryFile& file);
// Fails with the reason when the file cannot be read or is no recovery file.
platform::Result<RecoveryFile> ReadRecoveryFile(const platform::LockedFile& file, const std::string& path);
// An unreadable recovery file goes aside as path + ".bad", or ".bad.1", ".bad.2", ... when
// that exists: never deleted, never over an older one. The path it went to, or the reason it
// could not be moved.
platform::Result<std::string> SetAsideRecoveryFile(const std::string& path);

// Each running program keeps its own file in the recovery folder: "recovery-PID-START.txt"
// (START in seconds since 1970). Files of older versions were all "recovery.txt".
std::string RecoveryFileName(long pid, std::int64_t startedAt);
bool IsRecoveryFileName(std::string_view name);

// The map file a recovery file names, as an absolute path: one written relative (by older
// versions) counts from the recovery file's folder when the map is there, else from the working
// folder.
std::string ResolveRecoveredMapPath(const std::string& mapPath, const std::string& recoveryPath);

} // namespace layout
