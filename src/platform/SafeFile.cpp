#include "platform/SafeFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
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

} // namespace

Status ReplaceFile(const std::string& path, const std::function<bool(const ChunkWriter&)>& produce)
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
    if (temp.Close() != 0) return Fail(Reason("cannot write " + temp.Path(), errno));
    if (::rename(temp.Path().c_str(), target.c_str()) != 0)
        return Fail(Reason("cannot replace " + target, errno));
    temp.Keep();
    SyncFolder(folder.empty() ? "." : folder);
    return Ok{};
}

Status ReplaceFile(const std::string& path, std::string_view content)
{
    return ReplaceFile(path, [content](const ChunkWriter& write) { return write(content); });
}

} // namespace platform
