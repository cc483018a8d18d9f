// GamePlayReport: the summary of a finished game, and the HTTP request text that carries it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lang/String.h"

namespace sprite {
class User;
}

// The record the canvas fills when a game ends (fields in the order of the report's table). The
// canvas owns it and fills and builds it under its lock; only the finished request text leaves for
// the sending thread, so the record itself is never shared between threads.
struct GamePlayReport {
    // Why the report is sent (the "data1" value).
    static constexpr int32_t kLevelComplete = 1;  // a normal level completed, or a bonus tally ended
    static constexpr int32_t kTimeUp = 2;         // game over with moves left: the time ran out
    static constexpr int32_t kNoMoreMoves = 3;    // no move left and no sun to break a piece
    static constexpr int32_t kToMap = 4;          // left to the map from the in-game menu
    static constexpr int32_t kEndGame = 5;        // ended from the in-game menu
    static constexpr int32_t kExit = 6;           // the program closes while a level exists

    int32_t mode = 0;  // 1 in a bonus level
    int32_t level = 0;
    int32_t reason = 0;
    int32_t timeLeft = 0;
    int32_t score = 0;
    int32_t bonusScore = 0;
    int32_t sunsUsed = 0;
    int32_t powerPieces = 0;
    int32_t replayCount = 0;
    int32_t resolveCount = 0;
    int32_t squaresLeft = 0;
    lang::String player;  // Windows-1252, as typed

    // After a sending (or a retry): the per-game values go back to 0. Replay count, resolve count,
    // squares left and the player's name stay; the next filling overwrites them.
    void clearSent();
};

// The settings value holding where reports go: the endpoint's scheme, host and optional port, such as
// "http://reports.example.net:8080". An empty value turns reporting off.
inline constexpr const char* kReportAddressSetting = "REPORTURL";
// Used when the value is missing: a host under the reserved ".example" domain, so that nothing is sent
// anywhere real unless the settings say so.
inline constexpr const char* kDefaultReportAddress = "http://reports.lumaroo.example";
// The fixed part of every request after the address.
inline constexpr const char* kReportPath = "/developers/game-play-collect.jsp";
inline constexpr const char* kReportGame = "LUMA";
inline constexpr const char* kReportVersion = "1.0.0.31";

// The report address from the settings store's current key (kDefaultReportAddress when the value is
// missing or the store is null), without surrounding blanks or trailing "/"; empty when reporting is
// off.
std::string reportAddress(sprite::User* settings);

// The bytes of a Windows-1252 text as UTF-8, percent-encoded except for the unreserved characters
// A-Z a-z 0-9 - . _ ~, so that any name travels as one query value ("Tom&Jerry" -> "Tom%26Jerry").
std::string percentEncodeName(std::string_view text);

// The request: address, path, "?game=", "&version=", then mode, level, score, data1 to data9 in that
// order, integers in decimal, the player's name percent-encoded. Empty when the address is empty.
std::string buildReportRequest(const GamePlayReport& report, std::string_view address);
