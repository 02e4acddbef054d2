#include "platform/SafeFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

std::string Reason(const std::string& what, int error)
{
    return what + ": " + std::strerror(error);
}

// The temporary file: closed and removed unless it was renamed into place.
class TempFile {
  public:
    TempFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~TempFile()
    {
        if (fd_ >= 0) ::close(fd_);
        if (!kept_) ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }

    // Closes the file; close can report a delayed write error, so its result matters.
    int Close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }
    void Keep() { kept_ = true; }

  private:
    int fd_;
    std::string path_;
    bool kept_ = false;
};

// Replacing a link would cut it; replace the file it points to instead.
std::string ResolveLink(const std::string& path)
{
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

mode_t ModeForNewFile()
{
    // umask can only be read by setting it; the program does its file work on one thread.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd); // best effort: the rename itself has already succeeded
    ::close(fd);
}

// Writes through a temporary file and renames it over path; with lockedFd set, the temporary
// file is locked before the rename and stays open in *lockedFd.
Status Replace(const std::string& path, const std::function<bool(const ChunkWriter&)>& produce,
               int* lockedFd)
{
    if (path.empty()) return Fail("no file name given");
    const std::string target = ResolveLink(path);

    struct stat original;
    bool existed = false;
    if (::stat(target.c_str(), &original) == 0) {
        if (!S_ISREG(original.st_mode)) return Fail(target + " is not a regular file");
        if (::access(target.c_str(), W_OK) != 0) return Fail(Reason("cannot replace " + target, errno));
        existed = true;
    } else if (errno != ENOENT) {
        return Fail(Reason("cannot examine " + target, errno));
    }

    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // A hidden, random name that no user file has; a long name is shortened to stay a legal name.
    std::string pattern = folder + "." + name.substr(0, 200) + ".tmp-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0)
        return Fail(Reason("cannot create a temporary file in " + (folder.empty() ? "." : folder), errno));
    TempFile temp(fd, buffer.data());

    if (existed) {
        if (::fchown(fd, original.st_uid, original.st_gid) != 0) {
            // Only the owner's own group or root may keep another owner; the mode still follows.
        }
        ::fchmod(fd, original.st_mode & 07777);
    } else {
        ::fchmod(fd, ModeForNewFile());
    }

    int writeError = 0;
    const ChunkWriter writer = [&](std::string_view chunk) {
        if (writeError != 0) return false;
        while (!chunk.empty()) {
            const ssize_t written = ::write(temp.Fd(), chunk.data(), chunk.size());
            if (written < 0) {
                if (errno == EINTR) continue;
                writeError = errno;
                return false;
            }
            chunk.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    };
    const bool produced = produce(writer);
    if (writeError != 0) return Fail(Reason("cannot write " + temp.Path(), writeError));
    if (!produced) return Fail("the new content of " + target + " could not be produced");
    if (::fsync(temp.Fd()) != 0) return Fail(Reason("cannot write " + temp.Path(), errno));
    int kept = -1;
    if (lockedFd) {
        kept = ::dup(temp.Fd());
        if (kept < 0 || ::flock(kept, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (kept >= 0) ::close(kept);
            return Fail(Reason("cannot lock " + temp.Path(), error));
        }
    }
    if (temp.Close() != 0 || ::rename(temp.Path().c_str(), target.c_str()) != 0) {
        const int error = errno;
        if (kept >= 0) ::close(kept);
        return Fail(Reason("cannot replace " + target, error));
    }
    temp.Keep();
    SyncFolder(folder.empty() ? "." : folder);
    if (lockedFd) *lockedFd = kept;
    return Ok{};
}

bool SameFile(int fd, const std::string& path)
{
    struct stat open, named;
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

} // namespace

Status ReplaceFile(const std::string& path, const std::function<bool(const ChunkWriter&)>& produce)
{
    return Replace(path, produce, nullptr);
}

Status ReplaceFile(const std::string& path, std::string_view content)
{
    return ReplaceFile(path, [content](const ChunkWriter& write) { return write(content); });
}

Result<LockedFile> ReplaceFileLocked(const std::string& path, std::string_view content)
{
    int fd = -1;
    const Status written = Replace(path, [content](const ChunkWriter& write) { return write(content); }, &fd);
    if (!written) return Fail(written.error());
    return LockedFile(fd);
}

LockedFile::~LockedFile()
{
    Close();
}

LockedFile::LockedFile(LockedFile&& other) noexcept : fd_(other.fd_)
{
    other.fd_ = -1;
}

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void LockedFile::Close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

LockedFile::Opened LockedFile::Open(const std::string& path)
{
    Opened opened;
    // Replaced by its writer between the open and the lock: the next try finds the new file.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            if (error == ENOENT) {
                opened.outcome = Outcome::Missing;
            } else if (error == ELOOP || error == ENXIO || error == ENODEV) {
                opened.outcome = Outcome::NotRegular;
                opened.reason = path + " is not a regular file";
            } else {
                opened.outcome = Outcome::Failed;
                opened.reason = Reason("cannot open " + path, error);
            }
            return opened;
        }
        LockedFile file(fd);
        struct stat info;
        if (::fstat(fd, &info) != 0) {
            opened.reason = Reason("cannot examine " + path, errno);
            return opened;
        }
        if (!S_ISREG(info.st_mode)) {
            opened.outcome = Outcome::NotRegular;
            opened.reason = path + " is not a regular file";
            return opened;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            opened.outcome = error == EWOULDBLOCK ? Outcome::Busy : Outcome::Failed;
            if (error != EWOULDBLOCK) opened.reason = Reason("cannot lock " + path, error);
            return opened;
        }
        if (!SameFile(fd, path)) continue;
        opened.outcome = Outcome::Locked;
        opened.file = std::move(file);
        return opened;
    }
    opened.outcome = Outcome::Busy;
    return opened;
}

Result<std::string> LockedFile::Read(std::size_t maxBytes) const
{
    if (fd_ < 0) return Fail("no file open");
    std::string bytes;
    char buffer[65536];
    for (off_t at = 0;;) {
        const ssize_t got = ::pread(fd_, buffer, sizeof buffer, at);
        if (got < 0) {
            if (errno == EINTR) continue;
            return Fail(Reason("cannot read", errno));
        }
        if (got == 0) return bytes;
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) return Fail("the file is too large");
        bytes.append(buffer, static_cast<std::size_t>(got));
        at += got;
    }
}

bool LockedFile::RemoveIfSame(const std::string& path) const
{
    return fd_ >= 0 && SameFile(fd_, path) && ::unlink(path.c_str()) == 0;
}

Result<std::string> MoveAsideNumbered(const std::string& path, std::string_view suffix)
{
    for (int number = 0; number < 10000; ++number) {
        std::string aside = path + std::string(suffix);
        if (number > 0) aside += "." + std::to_string(number);
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) return aside;
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS) return Fail(Reason("cannot rename " + path, errno));
        // A file system without the no-replace rename: a hard link cannot replace either.
        if (::link(path.c_str(), aside.c_str()) == 0) {
            ::unlink(path.c_str());
            return aside;
        }
        if (errno == EEXIST) continue;
        return Fail(Reason("cannot rename " + path, errno));
    }
    return Fail("cannot rename " + path + ": too many set aside already");
}

} // namespace platform
