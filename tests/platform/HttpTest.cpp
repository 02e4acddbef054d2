#include "platform/Http.h"

#include "common/LocalHttpServer.h"
#include "platform/WebAddress.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using testsupport::HttpReply;
using testsupport::LocalHttpServer;

platform::HttpOptions LoopbackOptions()
{
    platform::HttpOptions options;
    options.useEnvironmentProxy = false; // the server is on loopback
    return options;
}

std::string BinaryBody(std::size_t size)
{
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
    return body;
}

TEST(HttpGet, ReturnsTheWholeBodyOfASuccessfulAnswer)
{
    LocalHttpServer server;
    const std::string body = BinaryBody(300000); // zero bytes included
    server.SetReply("/file", HttpReply::Ok(body));
    platform::CurlHttpClient http(LoopbackOptions());

    auto result = http.Get(server.BaseUrl() + "file", 1 << 20);
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(*result, body);
    EXPECT_EQ(server.RequestedPaths(), std::vector<std::string>{"/file"});
}

TEST(HttpGet, FailsOnEveryAnswerThatIsNotAComplete2xx)
{
    LocalHttpServer server;
    server.SetReply("/error", HttpReply::Status(500, "{\\rtf1 server error page}"));
    server.SetReply("/cut", HttpReply::CutShort("{\\rtf1 only the beginn", 5000));
    platform::CurlHttpClient http(LoopbackOptions());

    auto missing = http.Get(server.BaseUrl() + "missing", 1 << 20);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("404"), std::string::npos) << missing.error();
    auto error = http.Get(server.BaseUrl() + "error", 1 << 20);
    ASSERT_FALSE(error.ok());
    EXPECT_NE(error.error().find("500"), std::string::npos) << error.error();
    EXPECT_FALSE(http.Get(server.BaseUrl() + "cut", 1 << 20).ok());
}

TEST(HttpGet, ABodyOverTheLimitIsAFailureNotACutText)
{
    LocalHttpServer server;
    server.SetReply("/big", HttpReply::Ok(BinaryBody(100001)));
    // Without a length announced, the limit must hold while the body streams in.
    server.SetReply("/streamed", HttpReply::Unsized(BinaryBody(100001)));
    server.SetReply("/exact", HttpReply::Unsized(BinaryBody(100000)));
    platform::CurlHttpClient http(LoopbackOptions());

    EXPECT_FALSE(http.Get(server.BaseUrl() + "big", 100000).ok());
    EXPECT_FALSE(http.Get(server.BaseUrl() + "streamed", 100000).ok());
    auto exact = http.Get(server.BaseUrl() + "exact", 100000);
    ASSERT_TRUE(exact.ok()) << exact.error();
    EXPECT_EQ(exact->size(), 100000u);
}

TEST(HttpGet, FollowsAFewRedirectsOnlyToWebAddresses)
{
    LocalHttpServer server;
    const std::string base = server.BaseUrl();
    server.SetReply("/old", HttpReply::Redirect(base + "new"));
    server.SetReply("/new", HttpReply::Ok("moved here"));
    server.SetReply("/loop", HttpReply::Redirect(base + "loop"));
    server.SetReply("/local", HttpReply::Redirect("file:///etc/passwd"));
    platform::CurlHttpClient http(LoopbackOptions());

    auto moved = http.Get(base + "old", 1000);
    ASSERT_TRUE(moved.ok()) << moved.error();
    EXPECT_EQ(*moved, "moved here");
    EXPECT_FALSE(http.Get(base + "loop", 1000).ok());
    EXPECT_FALSE(http.Get(base + "local", 1000).ok());
    EXPECT_FALSE(http.Get("file:///etc/passwd", 1000).ok());
}

TEST(HttpGet, TransfersRunWithShortTimeOuts)
{
    LocalHttpServer server;
    server.SetReply("/a", HttpReply::Ok("a"));
    platform::CurlHttpClient http(LoopbackOptions());
    ASSERT_TRUE(http.Get(server.BaseUrl() + "a", 12345).ok());

    const platform::HttpTransferSettings& used = http.LastTransfer();
    EXPECT_EQ(used.connectTimeoutSeconds, 5);
    EXPECT_EQ(used.totalTimeoutSeconds, 20);
    EXPECT_TRUE(used.followRedirects);
    EXPECT_EQ(used.maxRedirects, 3);
    EXPECT_EQ(used.maxBodyBytes, 12345u);
}

TEST(HttpGet, AServerThatNeverAnswersEndsInAFailure)
{
    LocalHttpServer server;
    server.SetReply("/stall", HttpReply::Stall());
    platform::HttpOptions options = LoopbackOptions();
    options.totalTimeoutSeconds = 1;
    platform::CurlHttpClient http(options);

    EXPECT_FALSE(http.Get(server.BaseUrl() + "stall", 1000).ok());
}

TEST(HttpGet, ARefusedConnectionIsAFailure)
{
    std::string base;
    {
        LocalHttpServer server;
        base = server.BaseUrl();
    } // closed: nobody listens on that port any more
    platform::CurlHttpClient http(LoopbackOptions());
    EXPECT_FALSE(http.Get(base + "x", 1000).ok());
}

TEST(WebAddresses, AreBuiltBelowTheBaseAndComeBackUnscrambled)
{
    auto web = platform::WebAddresses::FromBase("https://example.org/korvela");
    ASSERT_TRUE(web.has_value());
    EXPECT_EQ(web->help.Unscramble(), "https://example.org/korvela/help.rtf");
    EXPECT_EQ(web->messages.Unscramble(), "https://example.org/korvela/messages.rtf");
    EXPECT_EQ(web->newest.Unscramble(), "https://example.org/korvela/korvela");

    auto slash = platform::WebAddresses::FromBase(" HTTP://127.0.0.1:8080/ ");
    ASSERT_TRUE(slash.has_value());
    EXPECT_EQ(slash->help.Unscramble(), "HTTP://127.0.0.1:8080/help.rtf");

    // Bytes near the top of the range survive the shift and back.
    EXPECT_EQ(platform::ScrambledAddress("http://\xFE\xFF/~").Unscramble(), "http://\xFE\xFF/~");
}

TEST(WebAddresses, OnlyWebAddressesCountAsConfigured)
{
    for (const char* base : {"", "   ", "ftp://example.org/", "file:///tmp/", "example.org", "http://",
                             "http://exa mple.org/", "http://example.org/\n"}) {
        EXPECT_FALSE(platform::WebAddresses::FromBase(base).has_value()) << base;
    }
}

TEST(WebAddresses, ComeFromTheEnvironmentOnlyWhenTheVariableIsSet)
{
    const char* saved = std::getenv(platform::kWebBaseVariable);
    const std::string previous = saved != nullptr ? saved : "";

    ::unsetenv(platform::kWebBaseVariable);
    EXPECT_FALSE(platform::WebAddresses::FromEnvironment().has_value());
    ::setenv(platform::kWebBaseVariable, "http://127.0.0.1:9/k/", 1);
    auto web = platform::WebAddresses::FromEnvironment();
    ASSERT_TRUE(web.has_value());
    EXPECT_EQ(web->messages.Unscramble(), "http://127.0.0.1:9/k/messages.rtf");

    if (saved != nullptr) {
        ::setenv(platform::kWebBaseVariable, previous.c_str(), 1);
    } else {
        ::unsetenv(platform::kWebBaseVariable);
    }
}

} // namespace
