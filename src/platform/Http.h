// Fetching a document over HTTP(S): the stand-in for the internet session the help viewer and
// the update check use. Transfers are short and bounded (time-outs, redirect count, body size)
// because they run on the user-interface thread.
#pragma once

#include "platform/Result.h"

#include <cstddef>
#include <string>

namespace platform {

struct HttpOptions {
    long connectTimeoutSeconds = 5;
    long totalTimeoutSeconds = 20;
    long maxRedirects = 3;
    // Proxy settings from the environment (http_proxy, no_proxy, ...). Tests that talk to a
    // server on loopback switch them off.
    bool useEnvironmentProxy = true;
};

// What a transfer was configured with, as handed to the transfer library.
struct HttpTransferSettings {
    long connectTimeoutSeconds = 0;
    long totalTimeoutSeconds = 0;
    long maxRedirects = 0;
    bool followRedirects = false;
    std::size_t maxBodyBytes = 0;
};

class HttpClient {
  public:
    virtual ~HttpClient() = default;

    // The whole body of url. Fails on any connection or transfer error, on a status outside
    // 200..299, on a transfer cut short and when the body would exceed maxBodyBytes.
    virtual Result<std::string> Get(const std::string& url, std::size_t maxBodyBytes) = 0;
};

// The real client, on libcurl: HTTP and HTTPS only, no shell, no cookies, no credentials.
class CurlHttpClient : public HttpClient {
  public:
    explicit CurlHttpClient(HttpOptions options = {});

    Result<std::string> Get(const std::string& url, std::size_t maxBodyBytes) override;

    const HttpOptions& Options() const { return options_; }
    // The settings given to the last transfer (zeros before the first).
    const HttpTransferSettings& LastTransfer() const { return last_; }

  private:
    HttpOptions options_;
    HttpTransferSettings last_;
};

} // namespace platform
