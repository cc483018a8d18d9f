// Tests of net::URL: cracking into parts, invalid texts, and the text rebuilt from the parts.
#include <gtest/gtest.h>

#include <string>

#include "lang/Ref.h"
#include "net/URL.h"
#include "net/URLConnection.h"

namespace {

std::string textOf(const net::URL& url) {
    lang::Ref<lang::String> text = lang::adopt(url.toString());
    return std::string(text->view());
}

TEST(URL, CracksSchemeHostPortPathAndQuery) {
    net::URL url("http://stats.example.org:8080/developers/game-play-collect.jsp?game=LUMA&level=3#top");
    ASSERT_TRUE(url.isValid());
    EXPECT_STREQ(url.getScheme().chars(), "http");
    EXPECT_STREQ(url.getHost().chars(), "stats.example.org");
    EXPECT_EQ(url.getPort(), 8080);
    // The request asks for the path with the query; the fragment never leaves the program.
    EXPECT_STREQ(url.getPath().chars(), "/developers/game-play-collect.jsp?game=LUMA&level=3");
    EXPECT_STREQ(url.getExtraInfo().chars(), "?game=LUMA&level=3");
    EXPECT_EQ(textOf(url),
              "http://stats.example.org:8080/developers/game-play-collect.jsp?game=LUMA&level=3#top");

    net::URL plain(lang::String("HTTP://Example.org"));
    ASSERT_TRUE(plain.isValid());
    EXPECT_STREQ(plain.getScheme().chars(), "http");
    EXPECT_EQ(plain.getPort(), 80);
    EXPECT_STREQ(plain.getPath().chars(), "/");
    EXPECT_STREQ(plain.getExtraInfo().chars(), "");
    EXPECT_EQ(textOf(plain), "http://Example.org/");

    EXPECT_EQ(net::URL("https://example.org/x").getPort(), 443);
}

TEST(URL, SpacesAndAccentedLettersInANameAreEncodedNotRefused) {
    // "Zoë Ann" in Windows-1252, as a player's name lands in the report's query.
    net::URL url(
        "http://example.org/collect?game=LUMA&data9=Zo\xEB"
        " Ann");
    ASSERT_TRUE(url.isValid());
    EXPECT_STREQ(url.getExtraInfo().chars(), "?game=LUMA&data9=Zo%eb+Ann");
    net::URL path("http://example.org/a b/c");
    ASSERT_TRUE(path.isValid());
    EXPECT_STREQ(path.getPath().chars(), "/a%20b/c");
    // Text that is already encoded stays as it is.
    EXPECT_EQ(textOf(net::URL("http://example.org/a%20b?x=%41")), "http://example.org/a%20b?x=%41");
}

TEST(URL, TextThatCannotBeCrackedGivesAnInvalidURLAndNoConnection) {
    const char* texts[] = {
        "",
        "not a url",
        "example.org/no-scheme",
        "http://",
        "http://example.org:99999/",
        "http://example.org/\x01"
        "control",
    };
    for (const char* text : texts) {
        net::URL url(text);
        EXPECT_FALSE(url.isValid()) << text;
        EXPECT_EQ(url.getPort(), 0) << text;
        EXPECT_STREQ(url.getHost().chars(), "") << text;
        EXPECT_EQ(url.openConnection(), nullptr) << text;
        // The text as given, for messages.
        EXPECT_EQ(textOf(url), text);
    }
    net::URL nullText(static_cast<const char*>(nullptr));
    EXPECT_FALSE(nullText.isValid());
}

TEST(URL, OnlyHttpAndHttpsOpenConnections) {
    net::URL ftp("ftp://example.org/file");
    EXPECT_TRUE(ftp.isValid());
    EXPECT_EQ(ftp.openConnection(), nullptr);

    auto url = lang::make<net::URL>("http://example.org/");
    lang::Ref<net::URLConnection> connection = lang::adopt(url->openConnection());
    ASSERT_TRUE(connection);
    EXPECT_EQ(connection->getTimeout(), 0);
    EXPECT_EQ(connection->getResponseCode(), 0);
    connection->setTimeout(-5);
    EXPECT_EQ(connection->getTimeout(), 0);
    // The connection keeps its URL alive.
    EXPECT_EQ(url->referenceCount(), 2);
}

}  // namespace
