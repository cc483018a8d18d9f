// net::URLConnection: the HTTP GET on libcurl, driven step by step so that the body streams in order.
#include "net/URLConnection.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>

#include "net/Curl.h"

namespace net {

void ensureCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

namespace {

int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Longest single wait inside libcurl before the idle limit is looked at again.
constexpr int kPollSliceMs = 100;

}  // namespace

// One request: libcurl's handles, the body bytes received and not yet read, and the transfer's state.
// The multi interface lets the stream pull the body as the reader asks for it, so at most what the
// server has sent since the last read is held in memory.
struct URLConnection::Transfer {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    std::string body;
    size_t position = 0;
    bool headersDone = false;
    bool finished = false;
    CURLcode result = CURLE_OK;
    int32_t idleLimitMs = kDefaultIdleTimeoutMs;
    int64_t lastActivity = 0;

    ~Transfer() { close(); }

    void close() {
        if (multi != nullptr && easy != nullptr)
            curl_multi_remove_handle(multi, easy);
        if (easy != nullptr)
            curl_easy_cleanup(easy);
        if (multi != nullptr)
            curl_multi_cleanup(multi);
        curl_slist_free_all(headers);
        easy = nullptr;
        multi = nullptr;
        headers = nullptr;
        finished = true;
        body.clear();
        position = 0;
    }

    size_t buffered() const { return body.size() - position; }

    static size_t onBody(char* data, size_t size, size_t count, void* context) {
        auto* self = static_cast<Transfer*>(context);
        size_t length = size * count;
        if (self->position == self->body.size()) {
            self->body.clear();
            self->position = 0;
        }
        self->body.append(data, length);
        self->lastActivity = nowMs();
        return length;
    }

    static size_t onHeader(char* data, size_t size, size_t count, void* context) {
        auto* self = static_cast<Transfer*>(context);
        size_t length = size * count;
        self->lastActivity = nowMs();
        // The empty line that ends a header block; a 1xx block is followed by the real answer's.
        bool blank = (length == 2 && data[0] == '\r' && data[1] == '\n') || (length == 1 && data[0] == '\n');
        if (blank) {
            long status = 0;
            curl_easy_getinfo(self->easy, CURLINFO_RESPONSE_CODE, &status);
            if (status >= 200)
                self->headersDone = true;
        }
        return length;
    }

    // Drives the transfer until done() holds or the transfer ends; the idle limit counts from the
    // start of each call and from every byte received. Answers done().
    template <class Done>
    bool drive(Done done) {
        lastActivity = nowMs();
        while (!done() && !finished) {
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                finished = true;
                result = CURLE_FAILED_INIT;
                break;
            }
            int queued = 0;
            while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
                if (message->msg == CURLMSG_DONE) {
                    finished = true;
                    result = message->data.result;
                }
            }
            if (done() || finished)
                break;
            int64_t idle = nowMs() - lastActivity;
            if (idle >= idleLimitMs) {
                finished = true;
                result = CURLE_OPERATION_TIMEDOUT;
                break;
            }
            int wait = static_cast<int>(std::min<int64_t>(kPollSliceMs, idleLimitMs - idle));
            curl_multi_poll(multi, nullptr, 0, wait, nullptr);
        }
        return done();
    }
};

URLConnection::URLInputStream::URLInputStream(std::unique_ptr<Transfer> transfer)
    : transfer_(std::move(transfer)) {}

URLConnection::URLInputStream::~URLInputStream() = default;

bool URLConnection::URLInputStream::fill() {
    if (!transfer_)
        return false;
    Transfer& t = *transfer_;
    if (t.buffered() > 0)
        return true;
    if (t.finished)
        return false;
    return t.drive([&t] { return t.buffered() > 0; });
}

int URLConnection::URLInputStream::read(uint8_t* buffer, int offset, int length) {
    if (buffer == nullptr || offset < 0 || length < 1 || !fill())
        return 0;
    Transfer& t = *transfer_;
    size_t count = std::min(static_cast<size_t>(length), t.buffered());
    std::memcpy(buffer + offset, t.body.data() + t.position, count);
    t.position += count;
    return static_cast<int>(count);
}

int URLConnection::URLInputStream::read() {
    if (!fill())
        return -1;
    Transfer& t = *transfer_;
    return static_cast<unsigned char>(t.body[t.position++]);
}

int64_t URLConnection::URLInputStream::skip(int64_t n) {
    int64_t moved = 0;
    while (moved < n && fill()) {
        Transfer& t = *transfer_;
        size_t step = static_cast<size_t>(std::min<int64_t>(n - moved, static_cast<int64_t>(t.buffered())));
        t.position += step;
        moved += static_cast<int64_t>(step);
    }
    return moved;
}

void URLConnection::URLInputStream::close() {
    transfer_.reset();
}

URLConnection::URLConnection(URL* url) : url_(lang::share(url)) {
    ensureCurl();
}

URLConnection::~URLConnection() = default;

URLConnection::URLInputStream* URLConnection::getInputStream() {
    if (connected_)
        return stream_.get();
    connected_ = true;
    if (!url_ || !url_->isValid())
        return nullptr;

    auto transfer = std::make_unique<Transfer>();
    Transfer& t = *transfer;
    t.multi = curl_multi_init();
    t.easy = curl_easy_init();
    if (t.multi == nullptr || t.easy == nullptr)
        return nullptr;

    // The request goes to the host and port for the path with its query: a user name or password in
    // the address is never sent, and neither is the fragment.
    std::string text = std::string(url_->getScheme().view()) + "://" + std::string(url_->getHost().view()) +
                       ":" + std::to_string(url_->getPort()) + std::string(url_->getPath().view());
    int32_t connectMs = timeout_ > 0 ? timeout_ : kDefaultConnectTimeoutMs;
    t.idleLimitMs = timeout_ > 0 ? timeout_ : kDefaultIdleTimeoutMs;
    int32_t totalMs = std::max(kDefaultTotalTimeoutMs, timeout_);

    // "Accept:" with no value keeps libcurl from sending its own Accept header.
    for (const char* header : {"Pragma: no-cache", "Cache-Control: no-cache", "Accept:"}) {
        curl_slist* longer = curl_slist_append(t.headers, header);
        if (longer == nullptr)
            return nullptr;
        t.headers = longer;
    }
    CURL* e = t.easy;
    bool configured =
        curl_easy_setopt(e, CURLOPT_URL, text.c_str()) == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L) == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_USERAGENT, "QUILLBECK.NET.URL") == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_REFERER, "QB") == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, t.headers) == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK &&
        // No signals: the game calls this from worker threads.
        curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L) == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectMs)) == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, static_cast<long>(totalMs)) == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Transfer::onBody) == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_WRITEDATA, &t) == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Transfer::onHeader) == CURLE_OK &&
        curl_easy_setopt(e, CURLOPT_HEADERDATA, &t) == CURLE_OK &&
        curl_multi_add_handle(t.multi, e) == CURLM_OK;
    if (!configured)
        return nullptr;

    t.drive([&t] { return t.headersDone; });
    if (!t.headersDone)
        return nullptr;
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    responseCode_ = static_cast<int32_t>(status);
    if (status != 200)
        return nullptr;
    stream_ = lang::adopt(new URLInputStream(std::move(transfer)));
    return stream_.get();
}

}  // namespace net
