#include "platform/DialogService.h"

#include "platform/RecordingDialogService.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using platform::DialogCallKind;
using platform::FileFilter;
using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::RecordingDialogService;

TEST(FileFilter, ReadsTheWindowsFilterString)
{
    EXPECT_EQ(platform::ParseFileFilter("*.txt|*.txt|*.*|*.*||"),
              (std::vector<FileFilter>{{"*.txt", {"*.txt"}}, {"*.*", {"*.*"}}}));
    EXPECT_EQ(platform::ParseFileFilter("Meshes|*.x; *.X|"),
              (std::vector<FileFilter>{{"Meshes", {"*.x", "*.X"}}}));
    // A description without patterns, or a dangling one, gives no entry.
    EXPECT_EQ(platform::ParseFileFilter("Empty||*.x"), std::vector<FileFilter>{});
    EXPECT_EQ(platform::ParseFileFilter("Lonely"), std::vector<FileFilter>{});
    EXPECT_EQ(platform::ParseFileFilter(""), std::vector<FileFilter>{});
}

TEST(RecordingDialogService, UnscriptedQuestionsGetEnterOrEscape)
{
    RecordingDialogService dialogs;
    EXPECT_EQ(dialogs.ShowMessage({.text = "a"}), MessageAnswer::Ok);
    EXPECT_EQ(dialogs.ShowMessage({.text = "b", .buttons = MessageButtons::OkCancel}), MessageAnswer::Ok);
    EXPECT_EQ(dialogs.ShowMessage({.text = "c", .buttons = MessageButtons::YesNo}), MessageAnswer::Yes);
    EXPECT_EQ(dialogs.ChooseFileToOpen({.title = "open"}), std::nullopt);
    EXPECT_EQ(dialogs.ChooseFileToSave({.title = "save"}), std::nullopt);
    EXPECT_EQ(dialogs.ChooseFolder({.title = "folder"}), std::nullopt);
    EXPECT_TRUE(dialogs.OpenAddress("https://example.invalid/"));
    EXPECT_EQ(dialogs.Calls().size(), 7u);
}

TEST(RecordingDialogService, AnswersEachKindFromItsOwnQueue)
{
    RecordingDialogService dialogs;
    dialogs.QueueOpenFile("/maps/a.txt");
    dialogs.QueueOpenFile(std::nullopt);
    dialogs.QueueSaveFile("/maps/b.txt");
    dialogs.QueueFolder("/trains");
    dialogs.QueueFolder("/planes/");
    dialogs.QueueFolder("");
    dialogs.QueueMessageAnswer(MessageAnswer::Cancel);
    dialogs.QueueMessageAnswer(MessageAnswer::No); // does not fit an OK box
    dialogs.QueueExternalResult(false);

    // Asked out of order: each kind still takes its own answers in order.
    EXPECT_EQ(dialogs.ChooseFolder({}), "/trains/");
    EXPECT_EQ(dialogs.ChooseFileToSave({}), "/maps/b.txt");
    EXPECT_EQ(dialogs.ChooseFileToOpen({}), "/maps/a.txt");
    EXPECT_EQ(dialogs.ChooseFileToOpen({}), std::nullopt);
    EXPECT_EQ(dialogs.ChooseFolder({}), "/planes/");
    EXPECT_EQ(dialogs.ChooseFolder({}), std::nullopt) << "an empty choice is no folder";
    EXPECT_EQ(dialogs.ShowMessage({.buttons = MessageButtons::OkCancel}), MessageAnswer::Cancel);
    EXPECT_EQ(dialogs.ShowMessage({.buttons = MessageButtons::Ok}), MessageAnswer::Ok);
    EXPECT_FALSE(dialogs.OpenAddress("x"));
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);

    // The record holds what the caller got, the folder with its separator.
    const auto& first = dialogs.Calls().front();
    EXPECT_EQ(first.kind, DialogCallKind::Folder);
    EXPECT_EQ(std::get<std::optional<std::string>>(first.answer), "/trains/");
}

TEST(RecordingDialogService, RecordsEveryArgument)
{
    RecordingDialogService dialogs;
    dialogs.ShowMessage(
        {.text = "ファイルオープン失敗", .caption = "", .icon = MessageIcon::Error, .owner = 102});
    dialogs.ChooseFileToSave({.title = "マップデータの保存（フォルダの変更禁止）",
                              .defaultExtension = ".txt",
                              .initialFile = "/home/u/RailData.txt",
                              .filters = platform::ParseFileFilter("*.txt|*.txt|*.*|*.*||"),
                              .options = {},
                              .owner = 102});
    dialogs.ChooseFolder({.title = "電車フォルダの選択", .startFolder = "/home/u/trains/"});
    dialogs.OpenAddress("https://example.invalid/a b");
    dialogs.ShowMessage({.text = "マップデータを保存しました。"});

    const auto& calls = dialogs.Calls();
    ASSERT_EQ(calls.size(), 5u);
    const auto& message = std::get<platform::MessageRequest>(calls[0].request);
    EXPECT_EQ(message.icon, MessageIcon::Error);
    EXPECT_EQ(message.owner, 102);

    EXPECT_EQ(calls[1].kind, DialogCallKind::SaveFile);
    const auto& save = std::get<platform::FileRequest>(calls[1].request);
    EXPECT_EQ(save.defaultExtension, ".txt");
    EXPECT_EQ(save.initialFile, "/home/u/RailData.txt");
    EXPECT_EQ(save.filters.size(), 2u);
    EXPECT_FALSE(save.options.overwritePrompt);

    EXPECT_EQ(std::get<platform::FolderRequest>(calls[2].request).startFolder, "/home/u/trains/");
    EXPECT_EQ(std::get<std::string>(calls[3].request), "https://example.invalid/a b");

    EXPECT_EQ(dialogs.MessageTexts(),
              (std::vector<std::string>{"ファイルオープン失敗", "マップデータを保存しました。"}));
    dialogs.ClearCalls();
    EXPECT_TRUE(dialogs.Calls().empty());
}

} // namespace
