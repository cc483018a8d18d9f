// A small HTTP server on 127.0.0.1 for the tests: answers each request as its handler says, or holds
// the connection without a word, and records the heads of the requests it received.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class LocalHttpServer {
public:
    // Writes the answer on the socket; may hold the connection until `released` turns true (at stop()
    // or when the server goes). The socket is closed after the handler returns.
    using Handler = std::function<void(int socket, const std::atomic<bool>& released)>;

    // Listens on an ephemeral port of 127.0.0.1 and serves one connection at a time on its own thread;
    // ok() tells whether the port could be had.
    explicit LocalHttpServer(Handler handler);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool ok() const { return ok_; }
    int port() const { return port_; }
    // "http://127.0.0.1:port", with `pathAndQuery` appended.
    std::string address() const;
    std::string url(const std::string& pathAndQuery) const { return address() + pathAndQuery; }

    // Lets held connections go (they are closed without an answer) and stops serving.
    void stop();

    // The heads of the requests (request line and headers up to the blank line), in the order they came.
    std::vector<std::string> requests();
    // Only their request lines ("GET /... HTTP/1.1").
    std::vector<std::string> requestLines();
    // Waits until at least `count` requests have come, at most `limitMs`.
    bool waitForRequests(size_t count, int limitMs = 10000);

    // A handler that sends `response` whole.
    static Handler answer(std::string response);
    // A handler that holds the connection without a word until released.
    static Handler silent();
    // A complete response with a Content-Length and "Connection: close"; `headers` are whole lines.
    static std::string status(int code, const std::string& reason, const std::string& body = "",
                              const std::string& headers = "");

    // Sends all of text, as far as the client lets it.
    static void sendAll(int socket, const std::string& text);
    static void holdUntil(const std::atomic<bool>& released);

    // A port on 127.0.0.1 where nothing listens (bound, then closed at once); 0 when none could be had.
    static int closedPort();

private:
    void serve();

    Handler handler_;
    bool ok_ = false;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> released_{false};
    std::thread thread_;
    std::mutex lock_;  // guards heads_
    std::condition_variable arrived_;
    std::vector<std::string> heads_;
};

}  // namespace testsupport
