#include "platform/DialogService.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find(separator, start);
        if (end == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

} // namespace

std::vector<FileFilter> ParseFileFilter(std::string_view text)
{
    std::vector<FileFilter> filters;
    const auto fields = Split(text, '|');
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        // An empty description is the list's terminator ("||").
        if (fields[i].empty()) break;
        FileFilter filter{std::string(fields[i]), {}};
        for (auto pattern : Split(fields[i + 1], ';')) {
            pattern = Trim(pattern);
            if (!pattern.empty()) filter.patterns.emplace_back(pattern);
        }
        if (!filter.patterns.empty()) filters.push_back(std::move(filter));
    }
    return filters;
}

bool LaunchDetached(const std::vector<std::string>& argv)
{
    if (argv.empty() || argv.front().empty()) return false;
    // Everything the children need is prepared before fork: between fork and exec only
    // async-signal-safe calls are allowed.
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    // The pipe closes on a successful exec; a failed exec writes its errno into it.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;

    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (child == 0) {
        // Double fork: the launched program is adopted by init, so we never leave a zombie
        // and never wait for it.
        close(fds[0]);
        const pid_t grandchild = fork();
        if (grandchild < 0) {
            const int error = errno;
            [[maybe_unused]] auto written = write(fds[1], &error, sizeof error);
            _exit(1);
        }
        if (grandchild > 0) _exit(0);
        setsid();
        execvp(args[0], args.data());
        const int error = errno;
        [[maybe_unused]] auto written = write(fds[1], &error, sizeof error);
        _exit(127);
    }

    close(fds[1]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(fds[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(fds[0]);
    return got == 0;
}

std::optional<std::string> DialogService::ChooseFolder(const FolderRequest& request)
{
    auto folder = DoChooseFolder(request);
    if (!folder || folder->empty()) return std::nullopt;
    if (folder->back() != '/') folder->push_back('/');
    return folder;
}

MessageAnswer DefaultAnswer(MessageButtons buttons)
{
    // Nobody to ask about unsaved changes (a script): go on without saving, as before there was
    // a question.
    if (buttons == MessageButtons::YesNoCancel) return MessageAnswer::No;
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

bool AnswerFits(MessageButtons buttons, MessageAnswer answer)
{
    switch (buttons) {
    case MessageButtons::Ok:
        return answer == MessageAnswer::Ok;
    case MessageButtons::OkCancel:
        return answer == MessageAnswer::Ok || answer == MessageAnswer::Cancel;
    case MessageButtons::YesNo:
        return answer == MessageAnswer::Yes || answer == MessageAnswer::No;
    case MessageButtons::YesNoCancel:
        return answer == MessageAnswer::Yes || answer == MessageAnswer::No || answer == MessageAnswer::Cancel;
    }
    return false;
}

} // namespace platform
