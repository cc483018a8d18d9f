// A small HTTP server on 127.0.0.1 for the tests, on plain sockets.
#include "tests/support/LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace testsupport {

namespace {

// Binds a new socket to an ephemeral port of 127.0.0.1; returns the socket (or -1) and sets `port`.
int bindLoopback(int& port) {
    int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    if (socket < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(socket, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        ::close(socket);
        return -1;
    }
    port = ntohs(address.sin_port);
    return socket;
}

}  // namespace

LocalHttpServer::LocalHttpServer(Handler handler) : handler_(std::move(handler)) {
    listener_ = bindLoopback(port_);
    ok_ = listener_ >= 0 && ::listen(listener_, 16) == 0;
    if (ok_)
        thread_ = std::thread([this] { serve(); });
}

LocalHttpServer::~LocalHttpServer() {
    stop();
}

std::string LocalHttpServer::address() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

void LocalHttpServer::stop() {
    released_ = true;
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ >= 0)
        ::close(listener_);
    listener_ = -1;
}

std::vector<std::string> LocalHttpServer::requests() {
    std::lock_guard<std::mutex> guard(lock_);
    return heads_;
}

std::vector<std::string> LocalHttpServer::requestLines() {
    std::vector<std::string> lines = requests();
    for (std::string& line : lines)
        line = line.substr(0, line.find("\r\n"));
    return lines;
}

bool LocalHttpServer::waitForRequests(size_t count, int limitMs) {
    std::unique_lock<std::mutex> guard(lock_);
    return arrived_.wait_for(guard, std::chrono::milliseconds(limitMs),
                             [&] { return heads_.size() >= count; });
}

LocalHttpServer::Handler LocalHttpServer::answer(std::string response) {
    return [response = std::move(response)](int socket, const std::atomic<bool>&) {
        sendAll(socket, response);
    };
}

LocalHttpServer::Handler LocalHttpServer::silent() {
    return [](int, const std::atomic<bool>& released) { holdUntil(released); };
}

std::string LocalHttpServer::status(int code, const std::string& reason, const std::string& body,
                                    const std::string& headers) {
    return "HTTP/1.1 " + std::to_string(code) + " " + reason + "\r\n" + headers +
           "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

void LocalHttpServer::sendAll(int socket, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
        ssize_t n = ::send(socket, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<size_t>(n);
    }
}

void LocalHttpServer::holdUntil(const std::atomic<bool>& released) {
    while (!released)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

int LocalHttpServer::closedPort() {
    int port = 0;
    int probe = bindLoopback(port);
    if (probe < 0)
        return 0;
    ::close(probe);
    return port;
}

void LocalHttpServer::serve() {
    while (!stopping_) {
        pollfd ready{listener_, POLLIN, 0};
        if (::poll(&ready, 1, 10) <= 0)
            continue;
        int socket = ::accept(listener_, nullptr, nullptr);
        if (socket < 0)
            continue;
        std::string head;
        char buffer[4096];
        while (!stopping_ && head.find("\r\n\r\n") == std::string::npos) {
            pollfd in{socket, POLLIN, 0};
            if (::poll(&in, 1, 10) <= 0)
                continue;
            ssize_t n = ::recv(socket, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            head.append(buffer, static_cast<size_t>(n));
        }
        {
            std::lock_guard<std::mutex> guard(lock_);
            heads_.push_back(head);
        }
        arrived_.notify_all();
        handler_(socket, released_);
        ::close(socket);
    }
}

}  // namespace testsupport
