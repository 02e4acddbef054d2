#include "platform/DialogService.h"
#include "platform/Translation.h"

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

namespace {

FileRequest Translated(FileRequest request)
{
    request.title = Tr(request.title);
    for (FileFilter& filter : request.filters)
        filter.description = Tr(filter.description);
    return request;
}

} // namespace

MessageAnswer DialogService::ShowMessage(const MessageRequest& request)
{
    MessageRequest shown = request;
    shown.text = Tr(request.text);
    shown.caption = Tr(request.caption);
    for (std::string& label : shown.labels)
        label = Tr(label);
    return DoShowMessage(shown);
}

std::optional<std::string> DialogService::ChooseFileToOpen(const FileRequest& request)
{
    return DoChooseFileToOpen(Translated(request));
}

std::optional<std::string> DialogService::ChooseFileToSave(const FileRequest& request)
{
    return DoChooseFileToSave(Translated(request));
}

std::optional<std::string> DialogService::ChooseFolder(const FolderRequest& request)
{
    FolderRequest shown = request;
    shown.title = Tr(request.title);
    auto folder = DoChooseFolder(shown);
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

MessageAnswer DefaultAnswer(const MessageRequest& request)
{
    const bool yesNo = request.buttons == MessageButtons::YesNo || request.buttons == MessageButtons::YesNoCancel;
    if (request.secondIsDefault && yesNo) return MessageAnswer::No;
    return DefaultAnswer(request.buttons);
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
