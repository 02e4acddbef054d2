#include "app/dialogs/UpdateCheck.h"

#include "app/dialogs/FakeHttpClient.h"
#include "common/LocalHttpServer.h"
#include "common/TestSupport.h"
#include "platform/RecordingDialogService.h"

#include <gtest/gtest.h>

namespace {

using app::UpdateCheckOutcome;
using testsupport::HttpReply;

constexpr std::size_t kOldPrefix = 409600; // how far the first check of this kind looked

std::string Executable(std::size_t size, char seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + seed) & 0xFF);
    return bytes;
}

class UpdateCheck : public ::testing::Test {
  protected:
    UpdateCheck() : http_(LoopbackOptions())
    {
        services_.web = platform::WebAddresses::FromBase(server_.BaseUrl());
    }
    static platform::HttpOptions LoopbackOptions()
    {
        platform::HttpOptions options;
        options.useEnvironmentProxy = false;
        return options;
    }
    void InstallLocal(const std::string& bytes) { testsupport::WriteBytes(services_.executablePath, bytes); }
    // The address handed to the desktop, empty when none was.
    std::string Opened() const
    {
        std::string address;
        for (const auto& call : dialogs_.Calls()) {
            if (call.kind == platform::DialogCallKind::External)
                address = std::get<std::string>(call.request);
        }
        return address;
    }

    testsupport::TempDir dir_;
    testsupport::LocalHttpServer server_;
    platform::RecordingDialogService dialogs_;
    platform::CurlHttpClient http_;
    app::OnlineServices services_{dir_.Path().string() + "/", dir_.File("korvela"), dialogs_, &http_, {}};
};

TEST_F(UpdateCheck, TheSameFileIsTheNewestVersion)
{
    const std::string local = Executable(kOldPrefix + 5000, 1);
    InstallLocal(local);
    server_.SetReply("/korvela", HttpReply::Ok(local));

    EXPECT_EQ(app::RunUpdateCheck(services_), UpdateCheckOutcome::UpToDate);
    EXPECT_EQ(dialogs_.MessageTexts(), std::vector<std::string>{std::string(app::kUpToDate)});
    EXPECT_TRUE(Opened().empty());
}

TEST_F(UpdateCheck, AnyDifferenceIsANewerVersionWhoseDownloadIsOpened)
{
    const std::string local = Executable(kOldPrefix + 5000, 1);
    InstallLocal(local);
    std::string beyondPrefix = local;
    beyondPrefix[kOldPrefix + 10] ^= 0x01; // the same first 409600 bytes
    std::string longer = local + "x";
    std::string sameSum = local; // equal byte sums, different bytes
    sameSum[100] = static_cast<char>(sameSum[100] + 1);
    sameSum[200] = static_cast<char>(sameSum[200] - 1);

    for (const std::string& newest : {beyondPrefix, longer, sameSum}) {
        dialogs_.ClearCalls();
        server_.SetReply("/korvela", HttpReply::Ok(newest));
        EXPECT_EQ(app::RunUpdateCheck(services_), UpdateCheckOutcome::NewerFound);
        EXPECT_EQ(dialogs_.MessageTexts(), (std::vector<std::string>{std::string(app::kNewerFound),
                                                                     std::string(app::kReplaceAfterExit)}));
        EXPECT_EQ(Opened(), server_.BaseUrl() + "korvela");
    }
}

TEST_F(UpdateCheck, AFailedEmptyOrCutDownloadIsAFailedCheckAndOpensNothing)
{
    InstallLocal(Executable(1000, 1));
    const HttpReply failures[] = {HttpReply::Status(404, "Not Found"), HttpReply::Status(500),
                                  HttpReply::Ok(""), HttpReply::CutShort(Executable(500, 1), 1000)};
    for (const HttpReply& reply : failures) {
        dialogs_.ClearCalls();
        server_.SetReply("/korvela", reply);
        EXPECT_EQ(app::RunUpdateCheck(services_), UpdateCheckOutcome::CheckFailed);
        const auto shown = dialogs_.Messages();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_TRUE(shown[0].text.starts_with(app::kUpdateCheckFailed)) << shown[0].text;
        EXPECT_EQ(shown[0].icon, platform::MessageIcon::Error);
        EXPECT_TRUE(Opened().empty());
    }
}

TEST_F(UpdateCheck, AnUnreadableLocalExecutableIsReported)
{
    server_.SetReply("/korvela", HttpReply::Ok(Executable(1000, 1)));
    services_.executablePath = dir_.File("not-there");

    EXPECT_EQ(app::RunUpdateCheck(services_), UpdateCheckOutcome::LocalUnreadable);
    EXPECT_EQ(dialogs_.MessageTexts(), std::vector<std::string>{std::string(app::kLocalExecutableError)});
    EXPECT_TRUE(Opened().empty());
}

TEST_F(UpdateCheck, ADownloadThatCannotBeHandedOnIsNotReportedAsStarted)
{
    InstallLocal(Executable(1000, 1));
    server_.SetReply("/korvela", HttpReply::Ok(Executable(1000, 2)));
    dialogs_.QueueExternalResult(false);

    EXPECT_EQ(app::RunUpdateCheck(services_), UpdateCheckOutcome::OpenFailed);
    // The message gives the address, so that the user can fetch the file by hand.
    EXPECT_EQ(dialogs_.MessageTexts(), (std::vector<std::string>{std::string(app::kNewerFound),
                                                                 std::string(app::kDownloadStartError) +
                                                                     "\n" + server_.BaseUrl() + "korvela"}));
}

TEST(UpdateCheckOffline, WithoutABaseAddressNothingIsFetched)
{
    testsupport::TempDir dir;
    platform::RecordingDialogService dialogs;
    testsupport::FakeHttpClient http;
    app::OnlineServices services{dir.Path().string() + "/", dir.File("korvela"), dialogs, &http,
                                 std::nullopt};
    testsupport::WriteBytes(services.executablePath, "binary");

    EXPECT_EQ(app::RunUpdateCheck(services), UpdateCheckOutcome::NotConfigured);
    EXPECT_TRUE(http.Requests().empty());
    const auto shown = dialogs.Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, app::kUpdateNotConfigured);
    EXPECT_EQ(dialogs.Calls().size(), 1u); // nothing opened
}

} // namespace
