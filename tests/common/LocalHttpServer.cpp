#include "common/LocalHttpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {
namespace {

using Clock = std::chrono::steady_clock;

// No test server outlives this, whatever happens to the test.
constexpr auto kLifetime = std::chrono::seconds(120);
constexpr int kPollMilliseconds = 50;
constexpr auto kRequestTimeout = std::chrono::seconds(5);
constexpr std::size_t kMaxRequestBytes = 64 * 1024;

const char* ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

bool SendAll(int fd, const std::string& data)
{
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

LocalHttpServer::LocalHttpServer() : deadline_(Clock::now() + kLifetime)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) throw std::runtime_error("test server: no socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(listener_);
        throw std::runtime_error(std::string("test server: ") + std::strerror(errno));
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

LocalHttpServer::~LocalHttpServer()
{
    Stop();
    ::close(listener_);
}

void LocalHttpServer::Stop()
{
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

std::string LocalHttpServer::BaseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

void LocalHttpServer::SetReply(const std::string& path, HttpReply reply)
{
    std::lock_guard lock(mutex_);
    replies_[path] = std::move(reply);
}

std::vector<std::string> LocalHttpServer::RequestedPaths() const
{
    std::lock_guard lock(mutex_);
    return requested_;
}

void LocalHttpServer::Serve()
{
    while (!stop_ && Clock::now() < deadline_) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, kPollMilliseconds) <= 0) continue;
        const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) continue;
        Answer(connection);
        ::close(connection);
    }
}

void LocalHttpServer::Answer(int connection)
{
    // Read the request head, within a time limit.
    std::string request;
    const auto requestDeadline = Clock::now() + kRequestTimeout;
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes) {
        if (stop_ || Clock::now() > requestDeadline) return;
        pollfd readable{connection, POLLIN, 0};
        if (::poll(&readable, 1, kPollMilliseconds) <= 0) continue;
        char buffer[4096];
        const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) return;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    // "GET /path HTTP/1.1"
    const std::size_t pathStart = request.find(' ');
    const std::size_t pathEnd = pathStart == std::string::npos ? pathStart : request.find(' ', pathStart + 1);
    const std::string path =
        pathEnd == std::string::npos ? std::string() : request.substr(pathStart + 1, pathEnd - pathStart - 1);

    HttpReply reply;
    {
        std::lock_guard lock(mutex_);
        requested_.push_back(path);
        const auto found = replies_.find(path);
        if (found != replies_.end()) {
            reply = found->second;
        } else {
            reply.status = 404;
            reply.body = "<html><body>not found</body></html>";
        }
    }
    if (reply.stall) {
        // Hold the connection open without a word until the test stops the server.
        while (!stop_ && Clock::now() < deadline_) {
            ::poll(nullptr, 0, kPollMilliseconds);
        }
        return;
    }
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + ReasonPhrase(reply.status) + "\r\n";
    if (reply.sendLength) {
        head +=
            "Content-Length: " + std::to_string(reply.announcedLength.value_or(reply.body.size())) + "\r\n";
    }
    if (!reply.location.empty()) head += "Location: " + reply.location + "\r\n";
    head += "Connection: close\r\n\r\n";
    if (SendAll(connection, head)) SendAll(connection, reply.body);
}

} // namespace testsupport
