// Tests of the report sender against a local HTTP server: what arrives, and that the game never waits.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "game/GamePlayReport.h"
#include "game/ReportSender.h"
#include "lang/CodePage.h"
#include "tests/support/LocalHttpServer.h"

namespace {

using testsupport::LocalHttpServer;
using Clock = std::chrono::steady_clock;

// One frame of the game: a report handed over inside it must leave time to spare.
constexpr auto kFrame = std::chrono::milliseconds(40);

const std::string kOk = LocalHttpServer::status(200, "OK", "thanks\n");

int decodeHex(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A query value decoded as a web server decodes a form ("+" is a space); a "%" not followed by two
// hex digits makes the whole value "<bad escape>".
std::string formDecode(const std::string& raw) {
    std::string out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '+') {
            out.push_back(' ');
        } else if (raw[i] != '%') {
            out.push_back(raw[i]);
        } else if (i + 2 < raw.size() && decodeHex(raw[i + 1]) >= 0 && decodeHex(raw[i + 2]) >= 0) {
            out.push_back(static_cast<char>(decodeHex(raw[i + 1]) * 16 + decodeHex(raw[i + 2])));
            i += 2;
        } else {
            return "<bad escape>";
        }
    }
    return out;
}

// The query of a request line ("GET /path?query HTTP/1.1") as decoded key and value pairs, in order.
std::vector<std::pair<std::string, std::string>> queryOf(const std::string& requestLine) {
    std::string target = requestLine.substr(0, requestLine.rfind(' '));
    std::string query = target.substr(target.find('?') + 1);
    std::vector<std::pair<std::string, std::string>> pairs;
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        std::string item = query.substr(start, end == std::string::npos ? std::string::npos : end - start);
        size_t equals = item.find('=');
        pairs.emplace_back(formDecode(item.substr(0, equals)),
                           equals == std::string::npos ? "" : formDecode(item.substr(equals + 1)));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return pairs;
}

GamePlayReport report(int32_t reason, int32_t level, int32_t score, const char* player) {
    GamePlayReport r;
    r.reason = reason;
    r.level = level;
    r.score = score;
    r.player.assign(player);
    return r;
}

// Waits, without holding anything the sender needs, until every sending thread has ended.
bool sendingThreadsEnd(int limitMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
    while (ReportSender::activeThreads() > 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ReportSender::activeThreads() == 0;
}

class ReportSenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The tests talk to 127.0.0.1 directly, whatever proxy the machine has.
        ::setenv("no_proxy", "127.0.0.1", 1);
        ::setenv("NO_PROXY", "127.0.0.1", 1);
    }
    void TearDown() override {
        EXPECT_TRUE(sendingThreadsEnd(20000)) << "a sending thread outlived its test";
    }
};

TEST_F(ReportSenderTest, EachReasonArrivesAsOneExactRequestLine) {
    LocalHttpServer server(LocalHttpServer::answer(kOk));
    ASSERT_TRUE(server.ok());
    ReportSender sender;
    for (int32_t reason = GamePlayReport::kLevelComplete; reason <= GamePlayReport::kExit; ++reason) {
        GamePlayReport r = report(reason, 10 + reason, 1000 * reason, "Ann");
        r.mode = reason == GamePlayReport::kLevelComplete ? 1 : 0;
        r.timeLeft = reason == GamePlayReport::kTimeUp ? 0 : 40 - reason;
        r.replayCount = reason == GamePlayReport::kNoMoreMoves ? 101 : 0;
        r.squaresLeft = reason == GamePlayReport::kLevelComplete ? 0 : 7;
        sender.send(buildReportRequest(r, server.address()));
        ASSERT_TRUE(server.waitForRequests(static_cast<size_t>(reason)));
    }
    EXPECT_TRUE(sender.shutdown(10000));
    const std::string p = "GET /developers/game-play-collect.jsp?game=LUMA&version=1.0.0.31";
    const std::vector<std::string> expected = {
        p + "&mode=1&level=11&score=1000&data1=1&data2=0&data3=39&data4=0&data5=0&data6=0&data7=0&data8=0"
            "&data9=Ann HTTP/1.1",
        p + "&mode=0&level=12&score=2000&data1=2&data2=0&data3=0&data4=0&data5=0&data6=0&data7=0&data8=7"
            "&data9=Ann HTTP/1.1",
        p + "&mode=0&level=13&score=3000&data1=3&data2=101&data3=37&data4=0&data5=0&data6=0&data7=0&data8=7"
            "&data9=Ann HTTP/1.1",
        p + "&mode=0&level=14&score=4000&data1=4&data2=0&data3=36&data4=0&data5=0&data6=0&data7=0&data8=7"
            "&data9=Ann HTTP/1.1",
        p + "&mode=0&level=15&score=5000&data1=5&data2=0&data3=35&data4=0&data5=0&data6=0&data7=0&data8=7"
            "&data9=Ann HTTP/1.1",
        p + "&mode=0&level=16&score=6000&data1=6&data2=0&data3=34&data4=0&data5=0&data6=0&data7=0&data8=7"
            "&data9=Ann HTTP/1.1",
    };
    EXPECT_EQ(server.requestLines(), expected);
    EXPECT_EQ(sender.delivered(), 6);
    EXPECT_EQ(sender.failed(), 0);
    EXPECT_EQ(sender.dropped(), 0);
}

TEST_F(ReportSenderTest, HostileNamesArriveIntactAsTheLastValue) {
    LocalHttpServer server(LocalHttpServer::answer(kOk));
    ASSERT_TRUE(server.ok());
    const std::vector<std::string> names = {"A#1", "Tom&Jerry", "50%", "a+b", "Ann Lee", "Zo\xEB \x80"};
    ReportSender sender;
    for (size_t i = 0; i < names.size(); ++i) {
        sender.send(
            buildReportRequest(report(GamePlayReport::kEndGame, 1, 0, names[i].c_str()), server.address()));
        ASSERT_TRUE(server.waitForRequests(i + 1));
    }
    EXPECT_TRUE(sender.shutdown(10000));
    std::vector<std::string> lines = server.requestLines();
    ASSERT_EQ(lines.size(), names.size());
    const std::vector<std::string> keys = {"game",  "version", "mode",  "level", "score", "data1", "data2",
                                           "data3", "data4",   "data5", "data6", "data7", "data8", "data9"};
    for (size_t i = 0; i < names.size(); ++i) {
        // Nothing in the name cut the query, added a key or changed a character on the way.
        auto pairs = queryOf(lines[i]);
        std::vector<std::string> got;
        for (const auto& pair : pairs)
            got.push_back(pair.first);
        EXPECT_EQ(got, keys) << lines[i];
        EXPECT_EQ(pairs.back().second, lang::cp1252ToUtf8(names[i])) << lines[i];
    }
}

TEST_F(ReportSenderTest, RedirectsErrorsAndAMissingServerFailSilently) {
    LocalHttpServer moved(LocalHttpServer::answer(
        LocalHttpServer::status(302, "Found", "", "Location: http://127.0.0.1:1/elsewhere\r\n")));
    LocalHttpServer broken(
        LocalHttpServer::answer(LocalHttpServer::status(500, "Internal Server Error", "oops\n")));
    ASSERT_TRUE(moved.ok());
    ASSERT_TRUE(broken.ok());
    std::string down = "http://127.0.0.1:" + std::to_string(LocalHttpServer::closedPort());

    ReportSender sender;
    GamePlayReport r = report(GamePlayReport::kToMap, 2, 10, "Cy");
    sender.send(buildReportRequest(r, moved.address()));
    sender.send(buildReportRequest(r, broken.address()));
    sender.send(buildReportRequest(r, down));
    sender.send(buildReportRequest(r, "not a url"));
    EXPECT_TRUE(sender.shutdown(10000));
    EXPECT_EQ(sender.failed(), 4);
    EXPECT_EQ(sender.delivered(), 0);
    // The redirect is not followed: one request each.
    EXPECT_EQ(moved.requestLines().size(), 1u);
    EXPECT_EQ(broken.requestLines().size(), 1u);
}

TEST_F(ReportSenderTest, ReadsAtMostTenLinesOfTheAnswer) {
    // Ten lines, then the server goes quiet with more promised: a reader after line eleven would wait.
    std::string body;
    for (int i = 0; i < 10; ++i)
        body += "line " + std::to_string(i) + "\n";
    std::string head =
        "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size() + 1000) + "\r\n\r\n";
    LocalHttpServer server([head, body](int socket, const std::atomic<bool>& released) {
        LocalHttpServer::sendAll(socket, head + body);
        LocalHttpServer::holdUntil(released);
    });
    ASSERT_TRUE(server.ok());
    ReportSender sender;
    sender.send(buildReportRequest(report(GamePlayReport::kLevelComplete, 1, 1, "Di"), server.address()));
    EXPECT_TRUE(sender.shutdown(10000));
    EXPECT_EQ(sender.delivered(), 1);
}

TEST_F(ReportSenderTest, TheGameNeverWaitsForASilentServer) {
    LocalHttpServer server(LocalHttpServer::silent());
    ASSERT_TRUE(server.ok());
    ReportSender sender;
    std::string request = buildReportRequest(report(GamePlayReport::kTimeUp, 4, 99, "Ed"), server.address());

    auto before = Clock::now();
    sender.send(request);
    EXPECT_LT(Clock::now() - before, kFrame);
    // The request is in flight and unanswered, and the game has long gone on.
    ASSERT_TRUE(server.waitForRequests(1));
    for (int frame = 0; frame < 25; ++frame) {
        before = Clock::now();
        sender.send(request);
        EXPECT_LT(Clock::now() - before, kFrame) << "frame " << frame;
    }
    // One in flight; of the 25 queued behind it only the newest kQueueLimit are kept.
    EXPECT_EQ(sender.dropped(), 25 - ReportSender::kQueueLimit);

    // At exit the wait is bounded: about two seconds, then the request is abandoned.
    before = Clock::now();
    EXPECT_FALSE(sender.shutdown());
    auto waited = Clock::now() - before;
    EXPECT_GE(waited, std::chrono::milliseconds(ReportSender::kShutdownWaitMs - 100));
    EXPECT_LT(waited, std::chrono::milliseconds(ReportSender::kShutdownWaitMs + 1000));
    EXPECT_EQ(sender.dropped(), 25);
    EXPECT_EQ(server.requestLines().size(), 1u);
    // Reports after shutdown are ignored.
    sender.send(request);
    EXPECT_EQ(sender.dropped(), 25);
    // The abandoned thread ends on its own once the server lets the connection go; TearDown checks it.
    server.stop();
}

TEST_F(ReportSenderTest, AnAbandonedSenderMayBeDestroyedBeforeItsThreadEnds) {
    LocalHttpServer server(LocalHttpServer::silent());
    ASSERT_TRUE(server.ok());
    {
        ReportSender sender;
        sender.send(buildReportRequest(report(GamePlayReport::kExit, 9, 9, "Flo"), server.address()));
        ASSERT_TRUE(server.waitForRequests(1));
        EXPECT_FALSE(sender.shutdown(50));
        EXPECT_EQ(ReportSender::activeThreads(), 1);
    }
    // The sender is gone; its thread still holds the connection and owns what it uses.
    EXPECT_EQ(ReportSender::activeThreads(), 1);
    server.stop();
    EXPECT_TRUE(sendingThreadsEnd(20000));
}

TEST_F(ReportSenderTest, QueuedReportsAreSentBeforeShutdownReturns) {
    // The first request is held until the others are queued; then every request is answered.
    std::atomic<int> connections{0};
    std::atomic<bool> letGo{false};
    LocalHttpServer server([&](int socket, const std::atomic<bool>&) {
        if (connections++ == 0)
            LocalHttpServer::holdUntil(letGo);
        LocalHttpServer::sendAll(socket, kOk);
    });
    ASSERT_TRUE(server.ok());
    ReportSender sender;
    for (int level = 1; level <= 1 + ReportSender::kQueueLimit + 2; ++level) {
        sender.send(
            buildReportRequest(report(GamePlayReport::kLevelComplete, level, 0, "Gus"), server.address()));
        if (level == 1) {
            ASSERT_TRUE(server.waitForRequests(1));
        }
    }
    EXPECT_EQ(sender.dropped(), 2);
    letGo = true;
    EXPECT_TRUE(sender.shutdown(10000));
    std::vector<std::string> lines = server.requestLines();
    ASSERT_EQ(lines.size(), 1u + ReportSender::kQueueLimit);
    // The oldest waiting (levels 2 and 3) were pushed out; the rest went in order.
    EXPECT_NE(lines[0].find("&level=1&"), std::string::npos);
    for (int i = 1; i <= ReportSender::kQueueLimit; ++i)
        EXPECT_NE(lines[static_cast<size_t>(i)].find("&level=" + std::to_string(i + 3) + "&"),
                  std::string::npos)
            << lines[static_cast<size_t>(i)];
    EXPECT_EQ(sender.delivered(), 1 + ReportSender::kQueueLimit);
}

TEST_F(ReportSenderTest, NothingToSendStartsNoThread) {
    ReportSender sender;
    sender.send("");
    EXPECT_EQ(ReportSender::activeThreads(), 0);
    EXPECT_TRUE(sender.shutdown(1));
}

}  // namespace
