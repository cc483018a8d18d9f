// Tests of the game-play report's record, address setting and request text.
#include <gtest/gtest.h>

#include <string>

#include "game/GamePlayReport.h"
#include "tests/support/ScratchSettings.h"

namespace {

GamePlayReport filledReport() {
    GamePlayReport report;
    report.mode = 1;
    report.level = 17;
    report.reason = GamePlayReport::kTimeUp;
    report.timeLeft = 0;
    report.score = 123456;
    report.bonusScore = 800;
    report.sunsUsed = 3;
    report.powerPieces = 5;
    report.replayCount = 201;
    report.resolveCount = -2;
    report.squaresLeft = 14;
    report.player.assign("Ann");
    return report;
}

TEST(GamePlayReport, RequestHasTheFixedPathAndEveryKeyInOrder) {
    EXPECT_EQ(buildReportRequest(filledReport(), "http://reports.test:8080"),
              "http://reports.test:8080/developers/game-play-collect.jsp?game=LUMA&version=1.0.0.31"
              "&mode=1&level=17&score=123456&data1=2&data2=201&data3=0&data4=800&data5=3&data6=5"
              "&data7=-2&data8=14&data9=Ann");
}

TEST(GamePlayReport, NameIsOneQueryValueWhateverItHolds) {
    // Characters that would end the value, start another key, or be read as an escape or a space.
    EXPECT_EQ(percentEncodeName("A#1"), "A%231");
    EXPECT_EQ(percentEncodeName("Tom&Jerry"), "Tom%26Jerry");
    EXPECT_EQ(percentEncodeName("50%"), "50%25");
    EXPECT_EQ(percentEncodeName("a+b"), "a%2Bb");
    EXPECT_EQ(percentEncodeName("Ann Lee"), "Ann%20Lee");
    EXPECT_EQ(percentEncodeName("k=v?x/y"), "k%3Dv%3Fx%2Fy");
    // Unreserved characters stay as they are.
    EXPECT_EQ(percentEncodeName("Az09-._~"), "Az09-._~");
    // Windows-1252 letters travel as UTF-8: e-diaeresis (0xEB) and the euro sign (0x80).
    EXPECT_EQ(percentEncodeName("Zo\xEB"), "Zo%C3%AB");
    EXPECT_EQ(percentEncodeName("\x80"), "%E2%82%AC");
    EXPECT_EQ(percentEncodeName(""), "");

    GamePlayReport report = filledReport();
    report.player.assign("Tom&Jerry");
    std::string request = buildReportRequest(report, "http://h");
    EXPECT_EQ(request.substr(request.rfind('&')), "&data9=Tom%26Jerry");
}

TEST(GamePlayReport, ClearingAfterSendingKeepsWhatTheNextFillingOverwrites) {
    GamePlayReport report = filledReport();
    report.clearSent();
    EXPECT_EQ(report.mode, 0);
    EXPECT_EQ(report.level, 0);
    EXPECT_EQ(report.reason, 0);
    EXPECT_EQ(report.timeLeft, 0);
    EXPECT_EQ(report.score, 0);
    EXPECT_EQ(report.bonusScore, 0);
    EXPECT_EQ(report.sunsUsed, 0);
    EXPECT_EQ(report.powerPieces, 0);
    EXPECT_EQ(report.replayCount, 201);
    EXPECT_EQ(report.resolveCount, -2);
    EXPECT_EQ(report.squaresLeft, 14);
    EXPECT_TRUE(report.player.equals("Ann"));
}

TEST(GamePlayReport, AddressComesFromTheSettingsWithAReservedDefault) {
    testsupport::ScratchSettings settings;
    EXPECT_EQ(reportAddress(nullptr), kDefaultReportAddress);
    EXPECT_EQ(reportAddress(settings.user()), kDefaultReportAddress);
    EXPECT_NE(std::string(kDefaultReportAddress).find(".example"), std::string::npos);

    settings.user()->setString(kReportAddressSetting, " http://127.0.0.1:8080/ ");
    EXPECT_EQ(reportAddress(settings.user()), "http://127.0.0.1:8080");
    EXPECT_EQ(buildReportRequest(filledReport(), reportAddress(settings.user()))
                  .rfind("http://127.0.0.1:8080/developers/game-play-collect.jsp?game=LUMA&", 0),
              0u);

    // An empty value turns reporting off.
    settings.user()->setString(kReportAddressSetting, "");
    EXPECT_EQ(reportAddress(settings.user()), "");
    EXPECT_EQ(buildReportRequest(filledReport(), reportAddress(settings.user())), "");
}

}  // namespace
