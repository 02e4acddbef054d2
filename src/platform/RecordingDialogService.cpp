#include "platform/RecordingDialogService.h"

namespace platform {

namespace {

template <class T> std::optional<T> TakeFront(std::deque<T>& queue)
{
    if (queue.empty()) return std::nullopt;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

} // namespace

std::vector<MessageRequest> RecordingDialogService::Messages() const
{
    std::vector<MessageRequest> messages;
    for (const auto& call : calls_) {
        if (call.kind == DialogCallKind::Message) messages.push_back(std::get<MessageRequest>(call.request));
    }
    return messages;
}

std::vector<std::string> RecordingDialogService::MessageTexts() const
{
    std::vector<std::string> texts;
    for (const auto& message : Messages())
        texts.push_back(message.text);
    return texts;
}

std::size_t RecordingDialogService::PendingAnswers() const
{
    return messageAnswers_.size() + openAnswers_.size() + saveAnswers_.size() + folderAnswers_.size() +
           externalAnswers_.size();
}

void RecordingDialogService::DropPendingAnswers()
{
    messageAnswers_.clear();
    openAnswers_.clear();
    saveAnswers_.clear();
    folderAnswers_.clear();
    externalAnswers_.clear();
}

MessageAnswer RecordingDialogService::DoShowMessage(const MessageRequest& request)
{
    auto answer = TakeFront(messageAnswers_).value_or(DefaultAnswer(request));
    if (!AnswerFits(request.buttons, answer)) answer = DefaultAnswer(request);
    calls_.push_back({DialogCallKind::Message, request, answer});
    return answer;
}

std::optional<std::string> RecordingDialogService::DoChooseFileToOpen(const FileRequest& request)
{
    auto answer = TakeFront(openAnswers_).value_or(std::nullopt);
    calls_.push_back({DialogCallKind::OpenFile, request, answer});
    return answer;
}

std::optional<std::string> RecordingDialogService::DoChooseFileToSave(const FileRequest& request)
{
    auto answer = TakeFront(saveAnswers_).value_or(std::nullopt);
    calls_.push_back({DialogCallKind::SaveFile, request, answer});
    return answer;
}

std::optional<std::string> RecordingDialogService::DoChooseFolder(const FolderRequest& request)
{
    auto answer = TakeFront(folderAnswers_).value_or(std::nullopt);
    // Recorded as the caller will receive it.
    if (answer && answer->empty()) answer.reset();
    if (answer && answer->back() != '/') answer->push_back('/');
    calls_.push_back({DialogCallKind::Folder, request, answer});
    return answer;
}

bool RecordingDialogService::DoOpenAddress(const std::string& address)
{
    const bool opened = TakeFront(externalAnswers_).value_or(true);
    calls_.push_back({DialogCallKind::External, address, opened});
    return opened;
}

bool RecordingDialogService::DoCopyText(const std::string& text)
{
    calls_.push_back({DialogCallKind::Clipboard, text, true});
    return true;
}

} // namespace platform
