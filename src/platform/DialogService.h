// The questions the program asks the user through the system's standard dialogs: message
// boxes, file and folder choosers, handing an address or file to another program, and the
// clipboard.
// The window front end answers them with real dialogs; tests and headless runs answer them
// from a script (RecordingDialogService), so the core never waits on a person.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Program: the program's own icon, for the About box; its first line is shown as the heading.
enum class MessageIcon { None, Information, Warning, Error, Program };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Dialog resource id of the window that owns a message box or chooser; the front end maps it
// to its window. kNoOwner means the main window's application-wide default.
inline constexpr int kNoOwner = 0;

struct MessageRequest {
    std::string text{};
    std::string caption{}; // empty: the program's own title, as the original's boxes without a caption
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    int owner = kNoOwner;
    // Texts of the buttons in order (Yes, No, Cancel), when they are not the standard ones.
    std::vector<std::string> labels{};
    // The second button (No) answers Enter instead of the first.
    bool secondIsDefault = false;
};

// One entry of a file chooser's type list: "*.txt" shown, files matching any pattern listed.
struct FileFilter {
    std::string description{};
    std::vector<std::string> patterns{};

    bool operator==(const FileFilter&) const = default;
};

struct FileDialogOptions {
    bool hideReadOnly = false;
    bool keepCurrentFolder = false; // the chooser must not change the process's working folder
    bool fileMustExist = false;
    bool overwritePrompt = false; // ask before an existing file is replaced (the map save does not)
};

struct FileRequest {
    std::string title{};
    std::string defaultExtension{}; // added when the typed name has none, e.g. ".txt"
    std::string initialFile{};      // full path: the chooser opens in its folder with its name filled in
    std::vector<FileFilter> filters{};
    FileDialogOptions options{};
    int owner = kNoOwner;
};

struct FolderRequest {
    std::string title{};
    std::string startFolder{}; // the folder selected when the chooser opens
    int owner = kNoOwner;
};

// Reads a filter list written the Windows way: "description|patterns|description|patterns||",
// patterns separated by ';'. An entry without patterns is dropped.
std::vector<FileFilter> ParseFileFilter(std::string_view text);

// Every text of a request goes through the user-interface language here, on its way out of
// the core: the implementations (and what a recording service records) see translated texts.
class DialogService {
  public:
    virtual ~DialogService() = default;

    MessageAnswer ShowMessage(const MessageRequest& request);

    // The chosen path, or nothing when the user cancelled.
    std::optional<std::string> ChooseFileToOpen(const FileRequest& request);
    std::optional<std::string> ChooseFileToSave(const FileRequest& request);

    // The chosen folder, always ending in '/', or nothing when the user cancelled or chose
    // something that is not a folder of the file system.
    std::optional<std::string> ChooseFolder(const FolderRequest& request);

    // Opens a web address with the desktop's handler for it (a browser, a download manager).
    // False when no handler could be started.
    bool OpenAddress(const std::string& address) { return DoOpenAddress(address); }

    // Puts text on the desktop's clipboard; false when the clipboard could not take it.
    bool CopyText(const std::string& text) { return DoCopyText(text); }

  protected:
    virtual MessageAnswer DoShowMessage(const MessageRequest& request) = 0;
    virtual std::optional<std::string> DoChooseFileToOpen(const FileRequest& request) = 0;
    virtual std::optional<std::string> DoChooseFileToSave(const FileRequest& request) = 0;
    virtual std::optional<std::string> DoChooseFolder(const FolderRequest& request) = 0;
    virtual bool DoOpenAddress(const std::string& address) = 0;
    virtual bool DoCopyText(const std::string& text) = 0;
};

// The button a box answers with when the user just presses Enter: its first button.
MessageAnswer DefaultAnswer(MessageButtons buttons);
// The same for a whole request, which may make its second button the default.
MessageAnswer DefaultAnswer(const MessageRequest& request);

// Whether answer is one of the buttons a box with these buttons shows.
bool AnswerFits(MessageButtons buttons, MessageAnswer answer);

} // namespace platform
