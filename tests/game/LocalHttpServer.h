// A small HTTP server on 127.0.0.1 for the report tests: answers each request as told, or holds the
// connection without a word, and records the request lines it received.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace reporttest {

class LocalHttpServer {
public:
    // Writes the answer on the socket; may hold the connection until `released` turns true.
    using Handler = std::function<void(int socket, const std::atomic<bool>& released)>;

    explicit LocalHttpServer(Handler handler) : handler_(std::move(handler)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ok_ = listener_ >= 0 && ::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
              ::listen(listener_, 16) == 0 &&
              ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) == 0;
        port_ = ntohs(address.sin_port);
        if (ok_)
            thread_ = std::thread([this] { serve(); });
    }
    ~LocalHttpServer() { stop(); }
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool ok() const { return ok_; }
    int port() const { return port_; }
    std::string address() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // Lets held connections go (they are closed without an answer) and stops serving.
    void stop() {
        released_ = true;
        stopping_ = true;
        if (thread_.joinable())
            thread_.join();
        if (listener_ >= 0)
            ::close(listener_);
        listener_ = -1;
    }

    // The request lines ("GET /... HTTP/1.1") in the order they came.
    std::vector<std::string> requestLines() {
        std::lock_guard<std::mutex> guard(lock_);
        return lines_;
    }
    // Waits until at least `count` requests have come, at most `limitMs`.
    bool waitForRequests(size_t count, int limitMs = 10000) {
        std::unique_lock<std::mutex> guard(lock_);
        return arrived_.wait_for(guard, std::chrono::milliseconds(limitMs),
                                 [&] { return lines_.size() >= count; });
    }

    // Handlers.
    static Handler answer(std::string response) {
        return [response](int socket, const std::atomic<bool>&) { sendAll(socket, response); };
    }
    static Handler silent() {
        return [](int, const std::atomic<bool>& released) { holdUntil(released); };
    }
    static std::string status(int code, const std::string& reason, const std::string& body = "",
                              const std::string& headers = "") {
        return "HTTP/1.1 " + std::to_string(code) + " " + reason + "\r\n" + headers +
               "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    }

    static void sendAll(int socket, const std::string& text) {
        size_t sent = 0;
        while (sent < text.size()) {
            ssize_t n = ::send(socket, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += static_cast<size_t>(n);
        }
    }
    static void holdUntil(const std::atomic<bool>& released) {
        while (!released)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    // A port on 127.0.0.1 where nothing listens (bound, then closed at once).
    static int closedPort() {
        int probe = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        int port = 0;
        if (::bind(probe, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port = ntohs(address.sin_port);
        ::close(probe);
        return port;
    }

private:
    void serve() {
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
                lines_.push_back(head.substr(0, head.find("\r\n")));
            }
            arrived_.notify_all();
            handler_(socket, released_);
            ::close(socket);
        }
    }

    Handler handler_;
    bool ok_ = false;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> released_{false};
    std::thread thread_;
    std::mutex lock_;  // guards lines_
    std::condition_variable arrived_;
    std::vector<std::string> lines_;
};

}  // namespace reporttest
