// net::URL: an address cracked into scheme, host, port, path and query, and rebuilt from those parts.
#pragma once

#include <cstdint>

#include "lang/String.h"

namespace net {

class URLConnection;

// The text is cracked once, when the URL is made. A text that cannot be cracked (no scheme, no host,
// a port out of range, control characters) leaves the URL invalid: it opens no connection. Spaces and
// bytes above 127 are allowed and percent-encoded (a space in the query becomes "+"), so that a
// player's name can be sent as typed.
class URL : public lang::Object {
public:
    explicit URL(const char* text);
    explicit URL(const lang::String& text) : URL(text.chars()) {}

    LANG_CLASS_NAME(URL, Object)
    // The text rebuilt from the parts, or the text as given when the URL is invalid.
    lang::String* toString() const override;

    bool isValid() const { return valid_; }
    // "http", "https", ...: lower case.
    const lang::String& getScheme() const { return scheme_; }
    const lang::String& getHost() const { return host_; }
    // The port given, or the scheme's default port; 0 for an invalid URL.
    int32_t getPort() const { return port_; }
    // The path with the query ("extra information") appended: what a request asks for.
    const lang::String& getPath() const { return path_; }
    // The query with its "?", or empty.
    const lang::String& getExtraInfo() const { return extraInfo_; }

    // A new connection (one reference for the caller) for a valid http or https URL; null otherwise.
    // Nothing is sent until the connection's input stream is asked for.
    URLConnection* openConnection();

private:
    bool valid_ = false;
    lang::String text_;
    lang::String scheme_;
    lang::String host_;
    int32_t port_ = 0;
    lang::String path_;
    lang::String extraInfo_;
};

}  // namespace net
