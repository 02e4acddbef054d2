#include "app/dialogs/CMessage.h"

#include "app/dialogs/FakeHttpClient.h"
#include "app/dialogs/HelpTexts.h"
#include "common/LocalHttpServer.h"
#include "common/TestSupport.h"
#include "platform/RecordingDialogService.h"
#include "ui/RichTextReader.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

using app::CMessage;
using app::ViewerKind;
using testsupport::HttpReply;

const std::string kFirstHelp = "{\\rtf1\\ansi{\\b \\u20351?\\u12356?\\u26041?} one\\par}";
const std::string kSecondHelp = "{\\rtf1\\ansi second\\par}";
const std::string kOldMessages = "{\\rtf1 old news\\par}";
const std::string kNewMessages = "{\\rtf1 fresh news\\par}";

std::string PlainText(const CMessage& viewer)
{
    return viewer.Document().PlainText();
}

// Viewers wired to a server on loopback, as with KORVELA_WEB_BASE pointing at it.
class OnlineViewer : public ::testing::Test {
  protected:
    OnlineViewer() : http_(LoopbackOptions()), services_{Folder(), "", dialogs_, &http_, {}}
    {
        services_.web = platform::WebAddresses::FromBase(server_.BaseUrl());
    }

    static platform::HttpOptions LoopbackOptions()
    {
        platform::HttpOptions options;
        options.useEnvironmentProxy = false;
        options.totalTimeoutSeconds = 2; // for the server that never answers
        return options;
    }
    std::string Folder() const { return dir_.Path().string() + "/"; }
    std::string FileText(std::string_view name) const { return testsupport::ReadBytes(dir_.Path() / name); }

    testsupport::TempDir dir_;
    testsupport::LocalHttpServer server_;
    platform::RecordingDialogService dialogs_;
    platform::CurlHttpClient http_;
    app::OnlineServices services_;
};

TEST_F(OnlineViewer, HelpKeyTwiceShowsThenHidesAndEachShowingFetchesAgain)
{
    server_.SetReply("/help.rtf", HttpReply::Ok(kFirstHelp));
    CMessage help(ViewerKind::Help, services_);
    EXPECT_EQ(help.Title(), "使い方");
    EXPECT_FALSE(help.IsVisible());

    help.Toggle();
    EXPECT_TRUE(help.IsVisible());
    EXPECT_EQ(FileText("使い方.rtf"), kFirstHelp);
    EXPECT_EQ(PlainText(help), "使い方 one");

    server_.SetReply("/help.rtf", HttpReply::Ok(kSecondHelp));
    help.Toggle();
    EXPECT_FALSE(help.IsVisible());
    EXPECT_EQ(server_.RequestedPaths().size(), 1u); // hiding fetches nothing

    help.Toggle();
    EXPECT_TRUE(help.IsVisible());
    EXPECT_EQ(FileText("使い方.rtf"), kSecondHelp);
    EXPECT_EQ(PlainText(help), "second");
    EXPECT_EQ(server_.RequestedPaths(), (std::vector<std::string>{"/help.rtf", "/help.rtf"}));
    EXPECT_TRUE(dialogs_.Calls().empty());
}

TEST_F(OnlineViewer, MessagesCommandReloadsAVisibleViewerAndKeepsItShown)
{
    server_.SetReply("/messages.rtf", HttpReply::Ok(kOldMessages));
    CMessage messages(ViewerKind::Messages, services_);
    int notifications = 0;
    messages.SetObserver([&](const CMessage&) { ++notifications; });

    ASSERT_TRUE(messages.Open());
    const auto firstRevision = messages.DocumentRevision();
    server_.SetReply("/messages.rtf", HttpReply::Ok(kNewMessages));
    ASSERT_TRUE(messages.Open());

    EXPECT_TRUE(messages.IsVisible());
    EXPECT_EQ(PlainText(messages), "fresh news");
    EXPECT_GT(messages.DocumentRevision(), firstRevision);
    EXPECT_EQ(FileText("メッセージ.rtf"), kNewMessages);
    EXPECT_GE(notifications, 3); // loaded, shown, reloaded
}

TEST_F(OnlineViewer, AFailedOrRefusedDownloadChangesNeitherTheFileNorTheViewer)
{
    const std::pair<const char*, HttpReply> failures[] = {
        {"404", HttpReply::Status(404, "{\\rtf1 not found}")},
        {"500", HttpReply::Status(500)},
        {"empty", HttpReply::Ok("")},
        {"html", HttpReply::Ok("<html><body>maintenance</body></html>")},
        {"cut short", HttpReply::CutShort("{\\rtf1 half a te", 400)},
        {"stalled", HttpReply::Stall()},
    };
    for (const auto& [what, reply] : failures) {
        SCOPED_TRACE(what);
        testsupport::LocalHttpServer server;
        services_.web = platform::WebAddresses::FromBase(server.BaseUrl());
        server.SetReply("/messages.rtf", HttpReply::Ok(kOldMessages));
        CMessage messages(ViewerKind::Messages, services_);
        ASSERT_TRUE(messages.Open());
        const auto revision = messages.DocumentRevision();

        server.SetReply("/messages.rtf", reply);
        dialogs_.ClearCalls();
        EXPECT_FALSE(messages.Open());

        EXPECT_EQ(FileText("メッセージ.rtf"), kOldMessages);
        EXPECT_EQ(PlainText(messages), "old news");
        EXPECT_EQ(messages.DocumentRevision(), revision);
        EXPECT_TRUE(messages.IsVisible());
        const auto shown = dialogs_.Messages();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_TRUE(shown[0].text.starts_with(CMessage::kMessageDownloadError)) << shown[0].text;
        EXPECT_EQ(shown[0].icon, platform::MessageIcon::Error);
        server.Stop();
    }
}

TEST_F(OnlineViewer, AFailedHelpDownloadLeavesAHiddenViewerHidden)
{
    testsupport::WriteBytes(dir_.Path() / "使い方.rtf", kFirstHelp);
    server_.SetReply("/help.rtf", HttpReply::Ok("Not RTF at all"));
    CMessage help(ViewerKind::Help, services_);

    help.Toggle();
    EXPECT_FALSE(help.IsVisible());
    EXPECT_TRUE(help.Document().Empty());
    EXPECT_EQ(FileText("使い方.rtf"), kFirstHelp);
    ASSERT_EQ(dialogs_.MessageTexts().size(), 1u);
    EXPECT_TRUE(dialogs_.MessageTexts()[0].starts_with(CMessage::kHelpDownloadError));
}

TEST_F(OnlineViewer, AFolderThatCannotBeWrittenIsReportedAndChangesNothing)
{
    server_.SetReply("/help.rtf", HttpReply::Ok(kFirstHelp));
    services_.executableFolder = (dir_.Path() / "missing").string() + "/";
    CMessage help(ViewerKind::Help, services_);

    help.Toggle();
    EXPECT_FALSE(help.IsVisible());
    EXPECT_TRUE(help.Document().Empty());
    ASSERT_EQ(dialogs_.MessageTexts().size(), 1u);
    EXPECT_TRUE(dialogs_.MessageTexts()[0].starts_with(CMessage::kHelpFileError));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path() / "missing"));
}

// Without a base address nothing may be fetched: the texts that ship with the program show.
class OfflineViewer : public ::testing::Test {
  protected:
    std::string Folder() const { return dir_.Path().string() + "/"; }

    testsupport::TempDir dir_;
    platform::RecordingDialogService dialogs_;
    testsupport::FakeHttpClient http_;
    app::OnlineServices services_{Folder(), "", dialogs_, &http_, std::nullopt};
};

TEST_F(OfflineViewer, ShowsTheBuiltInTextsAndFetchesNothing)
{
    CMessage help(ViewerKind::Help, services_);
    CMessage messages(ViewerKind::Messages, services_);
    help.Toggle();
    messages.Open();

    EXPECT_TRUE(help.IsVisible());
    EXPECT_TRUE(messages.IsVisible());
    EXPECT_EQ(help.Document(), *ui::ReadRtf(app::BundledHelpRtf()));
    EXPECT_EQ(messages.Document(), *ui::ReadRtf(app::BundledMessagesRtf()));
    EXPECT_TRUE(http_.Requests().empty());
    EXPECT_TRUE(dialogs_.Calls().empty());
    // Nothing is written beside the executable either.
    EXPECT_TRUE(std::filesystem::is_empty(dir_.Path()));

    help.Toggle();
    EXPECT_FALSE(help.IsVisible());
}

TEST_F(OfflineViewer, PrefersTheCopyBesideTheExecutable)
{
    testsupport::WriteBytes(dir_.Path() / "メッセージ.rtf", kOldMessages);
    testsupport::WriteBytes(dir_.Path() / "使い方.rtf", "damaged, not RTF");
    CMessage messages(ViewerKind::Messages, services_);
    CMessage help(ViewerKind::Help, services_);
    messages.Open();
    help.Open();

    EXPECT_EQ(PlainText(messages), "old news");
    EXPECT_EQ(help.Document(), *ui::ReadRtf(app::BundledHelpRtf())); // a broken copy is passed over
    EXPECT_TRUE(http_.Requests().empty());
}

// The source tree's assets folder, found from this file's place in the tree.
std::filesystem::path AssetsFolder()
{
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path() / "assets";
}

TEST(BundledTexts, MatchTheShippedFilesAndNameTheProgramsKeysAndMenus)
{
    const auto assets = AssetsFolder();
    if (!std::filesystem::exists(assets)) GTEST_SKIP() << "source tree not found beside the test";
    EXPECT_EQ(testsupport::ReadBytes(assets / "使い方.rtf"), app::BundledHelpRtf());
    EXPECT_EQ(testsupport::ReadBytes(assets / "メッセージ.rtf"), app::BundledMessagesRtf());

    for (std::string_view rtf : {app::BundledHelpRtf(), app::BundledMessagesRtf()}) {
        for (char c : rtf)
            ASSERT_LT(static_cast<unsigned char>(c), 0x80u); // readable in any code page
    }
    const auto help = ui::ReadRtf(app::BundledHelpRtf());
    ASSERT_TRUE(help.has_value());
    const std::string text = help->PlainText();
    for (const char* phrase : {"マップデータの読込み", "名前を付けて保存", "上書き保存", "起  動", "QAZ", "P;/", "逆 QAZ",
                               "ポイント切り替え(P)", "マップの作成", "カメラ(F7)", "F5", "F6", "テンキー",
                               "End", "配置", "オブジェクト", "つなぐ"}) {
        EXPECT_NE(text.find(phrase), std::string::npos) << phrase;
    }
}

} // namespace
