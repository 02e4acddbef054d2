// An HTTP client that never touches the network: it answers from a script and keeps every
// address it was asked for, so tests can check that nothing was fetched.
#pragma once

#include "platform/Http.h"

#include <map>
#include <string>
#include <vector>

namespace testsupport {

class FakeHttpClient : public platform::HttpClient {
  public:
    void SetBody(const std::string& url, std::string body) { answers_[url] = std::move(body); }

    platform::Result<std::string> Get(const std::string& url, std::size_t maxBodyBytes) override
    {
        requests_.push_back(url);
        const auto found = answers_.find(url);
        if (found == answers_.end()) return platform::Fail(url + ": HTTP status 404");
        if (found->second.size() > maxBodyBytes) return platform::Fail(url + ": too large");
        return found->second;
    }

    const std::vector<std::string>& Requests() const { return requests_; }

  private:
    std::map<std::string, std::string> answers_;
    std::vector<std::string> requests_;
};

} // namespace testsupport
