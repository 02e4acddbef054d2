// A dialog service that never shows anything and never waits: each kind of question takes
// its answer from a queue filled beforehand, and every question is kept with its arguments.
// Tests use it to drive and check the user's side of a command; headless runs use it to
// list the messages a run raised.
#pragma once

#include "platform/DialogService.h"

#include <deque>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

enum class DialogCallKind { Message, OpenFile, SaveFile, Folder, External, Clipboard };

// One question as it was asked, with the answer it got.
struct DialogCall {
    DialogCallKind kind;
    // An opened address and copied text are kept as their text.
    std::variant<MessageRequest, FileRequest, FolderRequest, std::string> request;
    // Message boxes: the button; choosers: the path or nothing; addresses and the clipboard:
    // whether it worked.
    std::variant<MessageAnswer, std::optional<std::string>, bool> answer;
};

class RecordingDialogService : public DialogService {
  public:
    // Script. An empty queue answers as a user who only presses Enter or Escape would: a
    // message box with its first button (OK, Yes), a chooser with cancel. An answer that is
    // not one of the box's buttons is replaced by its first button.
    void QueueMessageAnswer(MessageAnswer answer) { messageAnswers_.push_back(answer); }
    void QueueOpenFile(std::optional<std::string> path) { openAnswers_.push_back(std::move(path)); }
    void QueueSaveFile(std::optional<std::string> path) { saveAnswers_.push_back(std::move(path)); }
    void QueueFolder(std::optional<std::string> folder) { folderAnswers_.push_back(std::move(folder)); }
    // Nothing is ever opened; the queue only decides what the caller is told (default: opened).
    void QueueExternalResult(bool started) { externalAnswers_.push_back(started); }

    // Every question in the order asked.
    const std::vector<DialogCall>& Calls() const { return calls_; }
    // Only the message boxes, and only their texts, in order.
    std::vector<MessageRequest> Messages() const;
    std::vector<std::string> MessageTexts() const;
    void ClearCalls() { calls_.clear(); }

    // Answers still waiting in the script (a test can check that all were used).
    std::size_t PendingAnswers() const;
    // Forgets them: a command that never asked must not leave its answer to the next one.
    void DropPendingAnswers();

  protected:
    MessageAnswer DoShowMessage(const MessageRequest& request) override;
    std::optional<std::string> DoChooseFileToOpen(const FileRequest& request) override;
    std::optional<std::string> DoChooseFileToSave(const FileRequest& request) override;
    std::optional<std::string> DoChooseFolder(const FolderRequest& request) override;
    bool DoOpenAddress(const std::string& address) override;
    // Always takes the text.
    bool DoCopyText(const std::string& text) override;

  private:
    std::deque<MessageAnswer> messageAnswers_;
    std::deque<std::optional<std::string>> openAnswers_;
    std::deque<std::optional<std::string>> saveAnswers_;
    std::deque<std::optional<std::string>> folderAnswers_;
    std::deque<bool> externalAnswers_;
    std::vector<DialogCall> calls_;
};

} // namespace platform
