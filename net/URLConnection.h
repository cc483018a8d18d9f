// net::URLConnection: one HTTP GET of a URL, its status and its body as a stream.
#pragma once

#include <cstdint>
#include <memory>

#include "io/InputStream.h"
#include "lang/Ref.h"
#include "net/URL.h"

namespace net {

// The request is a plain GET of the URL's path and query from its host and port (no user name or
// password) with the agent "QUILLBECK.NET.URL", the referrer "QB", "Pragma: no-cache"
// and "Cache-Control: no-cache", no Accept header, no cookies and no redirects followed; only an answer
// with status 200 gives a stream. Proxies come from the usual environment variables (http_proxy, ...).
//
// Time limits: a time-out of 0 (the default) means a few seconds to connect, no more than
// kDefaultIdleTimeoutMs without a byte from the server and kDefaultTotalTimeoutMs for the whole
// request. A non-zero time-out is the limit for connecting and for every wait on the server while
// sending and receiving; the whole request then has max(kDefaultTotalTimeoutMs, time-out).
//
// A connection and its stream are used by one thread at a time.
class URLConnection : public lang::Object {
    struct Transfer;

public:
    static constexpr int32_t kDefaultConnectTimeoutMs = 5000;
    static constexpr int32_t kDefaultIdleTimeoutMs = 15000;
    static constexpr int32_t kDefaultTotalTimeoutMs = 30000;

    // The body of a 200 answer, read as it arrives. Closing it ends the request.
    class URLInputStream : public io::InputStream {
    public:
        ~URLInputStream() override;

        LANG_CLASS_NAME(URLInputStream, InputStream)

        int read(uint8_t* buffer, int offset, int length) override;
        int read() override;
        void close() override;
        // A network answer cannot be read again: the stream stays where it is.
        void reset() override {}
        int64_t skip(int64_t n) override;

    private:
        friend class URLConnection;
        explicit URLInputStream(std::unique_ptr<Transfer> transfer);
        // Waits for body bytes when none are buffered; false at the end of the body.
        bool fill();

        std::unique_ptr<Transfer> transfer_;
    };

    // Takes a reference on the URL.
    explicit URLConnection(URL* url);
    ~URLConnection() override;

    LANG_CLASS_NAME(URLConnection, Object)

    // In milliseconds; 0 for the bounded defaults above. Takes effect at the next connect.
    void setTimeout(int32_t milliseconds) { timeout_ = milliseconds < 0 ? 0 : milliseconds; }
    int32_t getTimeout() const { return timeout_; }

    // Sends the request on the first call and waits for the answer's status. The body stream (no
    // reference for the caller), or null when the request failed or the status was not 200; every
    // later call answers the same.
    URLInputStream* getInputStream();
    // The status of the answer, or 0 when none came (no connection, time-out, not yet connected).
    int32_t getResponseCode() const { return responseCode_; }

private:
    lang::Ref<URL> url_;
    int32_t timeout_ = 0;
    bool connected_ = false;
    int32_t responseCode_ = 0;
    lang::Ref<URLInputStream> stream_;
};

}  // namespace net
