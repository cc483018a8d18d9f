// GamePlayReport: clearing the record, the report address setting and the request text.
#include "game/GamePlayReport.h"

#include "lang/CodePage.h"
#include "lang/Ref.h"
#include "sprite/store/User.h"

void GamePlayReport::clearSent() {
    mode = 0;
    level = 0;
    reason = 0;
    timeLeft = 0;
    score = 0;
    bonusScore = 0;
    sunsUsed = 0;
    powerPieces = 0;
}

std::string reportAddress(sprite::User* settings) {
    std::string address = kDefaultReportAddress;
    if (settings != nullptr) {
        lang::Ref<lang::String> value =
            lang::adopt(settings->getString(kReportAddressSetting, kDefaultReportAddress));
        address.assign(value->view());
    }
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!address.empty() && (blank(address.back()) || address.back() == '/'))
        address.pop_back();
    size_t start = 0;
    while (start < address.size() && blank(address[start]))
        ++start;
    return address.substr(start);
}

std::string percentEncodeName(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string utf8 = lang::cp1252ToUtf8(text);
    std::string out;
    out.reserve(utf8.size() * 3);
    for (char c : utf8) {
        auto byte = static_cast<unsigned char>(c);
        bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                          (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                          byte == '~';
        if (unreserved) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 15]);
        }
    }
    return out;
}

std::string buildReportRequest(const GamePlayReport& report, std::string_view address) {
    if (address.empty())
        return {};
    std::string text(address);
    text += kReportPath;
    text += "?game=";
    text += kReportGame;
    text += "&version=";
    text += kReportVersion;
    auto field = [&text](const char* key, int32_t value) {
        text += key;
        text += std::to_string(value);
    };
    field("&mode=", report.mode);
    field("&level=", report.level);
    field("&score=", report.score);
    field("&data1=", report.reason);
    field("&data2=", report.replayCount);
    field("&data3=", report.timeLeft);
    field("&data4=", report.bonusScore);
    field("&data5=", report.sunsUsed);
    field("&data6=", report.powerPieces);
    field("&data7=", report.resolveCount);
    field("&data8=", report.squaresLeft);
    text += "&data9=";
    text += percentEncodeName(report.player.view());
    return text;
}
