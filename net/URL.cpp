// net::URL: cracking and rebuilding addresses with libcurl's URL API.
#include "net/URL.h"

#include <curl/curl.h>

#include <cstdlib>
#include <string>

#include "net/Curl.h"
#include "net/URLConnection.h"

namespace net {

namespace {

// A part of the cracked URL, or empty when it has none.
std::string part(CURLU* handle, CURLUPart which, unsigned flags = 0) {
    char* text = nullptr;
    std::string out;
    if (curl_url_get(handle, which, &text, flags) == CURLUE_OK && text != nullptr)
        out = text;
    curl_free(text);
    return out;
}

}  // namespace

URL::URL(const char* text) : text_(text) {
    ensureCurl();
    CURLU* handle = curl_url();
    if (handle == nullptr)
        return;
    // Spaces and bytes above 127 are encoded rather than refused: the game puts player names in
    // queries as typed.
    if (curl_url_set(handle, CURLUPART_URL, text_.chars(), CURLU_ALLOW_SPACE | CURLU_URLENCODE) ==
        CURLUE_OK) {
        std::string host = part(handle, CURLUPART_HOST);
        std::string port = part(handle, CURLUPART_PORT, CURLU_DEFAULT_PORT);
        if (!host.empty()) {
            valid_ = true;
            scheme_.assign(part(handle, CURLUPART_SCHEME).c_str());
            host_.assign(host.c_str());
            port_ = static_cast<int32_t>(std::strtol(port.c_str(), nullptr, 10));
            std::string query = part(handle, CURLUPART_QUERY);
            if (!query.empty())
                query.insert(0, "?");
            extraInfo_.assign(query.c_str());
            path_.assign((part(handle, CURLUPART_PATH) + query).c_str());
            text_.assign(part(handle, CURLUPART_URL).c_str());
        }
    }
    curl_url_cleanup(handle);
}

lang::String* URL::toString() const {
    return new lang::String(text_);
}

URLConnection* URL::openConnection() {
    if (!valid_ || !(scheme_.equals("http") || scheme_.equals("https")))
        return nullptr;
    return new URLConnection(this);
}

}  // namespace net
