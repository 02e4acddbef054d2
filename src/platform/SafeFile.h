// Replacing user files without ever losing them: write a uniquely named temporary file in the
// same folder, check every write and the close, then rename it over the target.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace platform {

// Receives chunks of the new content; returns false when a write failed.
using ChunkWriter = std::function<bool(std::string_view)>;

// Calls produce(writer) to write the new content into a temporary file beside path, then
// renames it over path. On any failure (produce returns false, a write or the close fails,
// the rename fails) the original file is left as it was, the temporary file is removed and
// the reason is returned.
Status ReplaceFile(const std::string& path, const std::function<bool(const ChunkWriter&)>& produce);

// Convenience form for content already in memory.
Status ReplaceFile(const std::string& path, std::string_view content);

// A file held open under an exclusive advisory lock (flock): while one process holds it, no
// other LockedFile of that file can be had. The lock goes with the last close.
class LockedFile {
  public:
    enum class Outcome {
        Locked,     // open and locked
        Missing,    // nothing at the path
        Busy,       // a running process holds the lock
        NotRegular, // a link, a FIFO, a folder, a device: never opened for reading
        Failed,     // could not be opened or locked
    };
    struct Opened;

    LockedFile() = default;
    ~LockedFile();
    LockedFile(LockedFile&& other) noexcept;
    LockedFile& operator=(LockedFile&& other) noexcept;
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Opens path without following a link and without waiting (a FIFO cannot block), and
    // takes the lock only when free. Locked only for a regular file that is still the one at
    // path once locked (a writer that replaced it meanwhile holds the new one).
    static Opened Open(const std::string& path);

    bool IsOpen() const { return fd_ >= 0; }
    // The whole file from its start; fails beyond maxBytes.
    Result<std::string> Read(std::size_t maxBytes) const;
    // Removes path while it is still this file; false otherwise.
    bool RemoveIfSame(const std::string& path) const;
    void Close();

  private:
    friend Result<LockedFile> ReplaceFileLocked(const std::string& path, std::string_view content);
    explicit LockedFile(int fd) : fd_(fd) {}
    int fd_ = -1;
};

struct LockedFile::Opened {
    Outcome outcome = Outcome::Failed;
    LockedFile file{};
    std::string reason{}; // for NotRegular and Failed
};

// As ReplaceFile, and the new file is locked before it takes path's place, so that the file at
// path is never seen unlocked while the returned LockedFile lives.
Result<LockedFile> ReplaceFileLocked(const std::string& path, std::string_view content);

// Renames path to path + suffix, or when that exists to path + suffix + ".1", ".2", ...: never
// over an existing file. The new path, or the reason it could not be moved.
Result<std::string> MoveAsideNumbered(const std::string& path, std::string_view suffix);

}  // namespace platform
