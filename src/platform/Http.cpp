#include "platform/Http.h"

#include <curl/curl.h>
#include <memory>
#include <mutex>

namespace platform {
namespace {

void InitialiseCurlOnce()
{
    // Process-wide set-up; left in place until the program ends.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct BodySink {
    std::string body;
    std::size_t limit = 0;
    bool overflow = false;
};

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user)
{
    auto* sink = static_cast<BodySink*>(user);
    const std::size_t bytes = size * count;
    if (bytes > sink->limit - sink->body.size()) {
        sink->overflow = true;
        return 0; // a short count makes the transfer fail
    }
    sink->body.append(data, bytes);
    return bytes;
}

using CurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

} // namespace

CurlHttpClient::CurlHttpClient(HttpOptions options) : options_(options) {}

Result<std::string> CurlHttpClient::Get(const std::string& url, std::size_t maxBodyBytes)
{
    InitialiseCurlOnce();
    CurlHandle curl(curl_easy_init(), &curl_easy_cleanup);
    if (!curl) return Fail("the transfer could not be started");

    last_.connectTimeoutSeconds = options_.connectTimeoutSeconds;
    last_.totalTimeoutSeconds = options_.totalTimeoutSeconds;
    last_.maxRedirects = options_.maxRedirects;
    last_.followRedirects = options_.maxRedirects > 0;
    last_.maxBodyBytes = maxBodyBytes;

    BodySink sink;
    sink.limit = maxBodyBytes;
    char errorText[CURL_ERROR_SIZE] = {};
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    // Only web addresses; never file://, scp:// or anything else a redirect might point to.
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, last_.followRedirects ? 1L : 0L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, last_.maxRedirects);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, last_.connectTimeoutSeconds);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, last_.totalTimeoutSeconds);
    // Refuse early when the server announces a body over the limit.
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBodyBytes));
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L); // time-outs without SIGALRM
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "korvela");
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorText);
    if (!options_.useEnvironmentProxy) curl_easy_setopt(handle, CURLOPT_PROXY, "");

    const CURLcode code = curl_easy_perform(handle);
    if (sink.overflow || code == CURLE_FILESIZE_EXCEEDED) {
        return Fail(url + ": the document is larger than " + std::to_string(maxBodyBytes) + " bytes");
    }
    if (code != CURLE_OK) {
        return Fail(url + ": " + (errorText[0] != '\0' ? std::string(errorText) : curl_easy_strerror(code)));
    }
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299) return Fail(url + ": HTTP status " + std::to_string(status));
    return std::move(sink.body);
}

} // namespace platform
