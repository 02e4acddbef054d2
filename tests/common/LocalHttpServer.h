// A tiny HTTP server on 127.0.0.1 for tests of downloads: started by the test, on a port the
// system picks, answering each path with a scripted reply. It serves one connection at a time
// and never runs longer than its lifetime cap, even when the test forgets to stop it.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

struct HttpReply {
    int status = 200;
    std::string body{};
    // The Content-Length sent (the body's size when not set); a value above the body's size
    // makes a transfer that is cut short.
    std::optional<std::size_t> announcedLength{};
    bool sendLength = true; // false: no Content-Length, the end of the body is the connection's end
    std::string location{}; // sent as a Location header when not empty (redirects)
    bool stall = false;     // read the request and never answer

    static HttpReply Ok(std::string body) { return HttpReply{200, std::move(body)}; }
    static HttpReply Status(int status, std::string body = {}) { return HttpReply{status, std::move(body)}; }
    // The head announces `announced` bytes, but only body is sent before the connection closes.
    static HttpReply CutShort(std::string body, std::size_t announced)
    {
        HttpReply reply = Ok(std::move(body));
        reply.announcedLength = announced;
        return reply;
    }
    static HttpReply Unsized(std::string body)
    {
        HttpReply reply = Ok(std::move(body));
        reply.sendLength = false;
        return reply;
    }
    static HttpReply Redirect(std::string location)
    {
        HttpReply reply = Status(302);
        reply.location = std::move(location);
        return reply;
    }
    static HttpReply Stall()
    {
        HttpReply reply;
        reply.stall = true;
        return reply;
    }
};

class LocalHttpServer {
  public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // "http://127.0.0.1:<port>/"
    std::string BaseUrl() const;
    int Port() const { return port_; }

    // The reply for a path ("/help.rtf"); paths without one get 404.
    void SetReply(const std::string& path, HttpReply reply);

    // Paths of the requests received so far, in order.
    std::vector<std::string> RequestedPaths() const;

    void Stop();

  private:
    void Serve();
    void Answer(int connection);

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::map<std::string, HttpReply> replies_;
    std::vector<std::string> requested_;
    std::chrono::steady_clock::time_point deadline_;
    std::thread thread_;
};

} // namespace testsupport
