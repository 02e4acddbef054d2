// Ways to make real file operations fail inside a test.
#pragma once

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace platformtest {

// While alive, any write that would make a file longer than `bytes` fails with EFBIG (the
// signal that would otherwise end the process is ignored). Works for root too.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

// Root ignores folder permissions, so read-only-folder cases cannot fail for it.
inline bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace platformtest
