// Reading and checking the game's texts.
#include "tools/TextTable.h"

#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "lang/CodePage.h"

namespace texts {

namespace {

// Decodes one UTF-8 character at text[i]; false for a malformed or overlong sequence.
bool nextCodePoint(const std::string& text, size_t& i, char32_t& codePoint) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= text.size() + (extra == 0 ? 1 : 0))
        return false;
    codePoint = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        unsigned char d = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
        if ((d & 0xC0) != 0x80)
            return false;
        codePoint = (codePoint << 6) | (d & 0x3F);
    }
    static const char32_t smallest[4] = {0, 0x80, 0x800, 0x10000};
    if (codePoint < smallest[extra] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return false;
    i += static_cast<size_t>(extra) + 1;
    return true;
}

void checkLine(const std::string& line, const std::string& where) {
    if (line.find('\t') != std::string::npos)
        throw std::runtime_error(where + ": a tab in the text (use spaces)");
    if (!line.empty() && line.back() == ' ')
        throw std::runtime_error(where + ": a space at the end of the line");
    size_t i = 0;
    while (i < line.size()) {
        size_t at = i;
        char32_t codePoint = 0;
        if (!nextCodePoint(line, i, codePoint))
            throw std::runtime_error(where + ": malformed UTF-8 at byte " + std::to_string(at + 1));
        if (codePoint < 0x20)
            throw std::runtime_error(where + ": a control character in the text");
        if (codePoint != '?' && lang::fromUnicode(codePoint) == '?') {
            std::ostringstream hex;
            hex << std::hex << std::uppercase << static_cast<unsigned long>(codePoint);
            throw std::runtime_error(where + ": U+" + hex.str() +
                                     " has no place in Windows-1252 (the game would show \"?\")");
        }
    }
}

}  // namespace

std::vector<TextEntry> parseTexts(const std::string& content, const std::string& path) {
    std::vector<TextEntry> entries;
    std::set<std::string> ids;
    std::istringstream in(content);
    std::string line;
    int lineNumber = 0;
    auto finish = [&]() {
        if (entries.empty())
            return;
        std::string& text = entries.back().text;
        while (!text.empty() && text.back() == '\n')
            text.pop_back();
        if (text.empty())
            throw std::runtime_error(entries.back().where + ": the text of " + entries.back().id +
                                     " is empty");
    };
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::string where = path + ":" + std::to_string(lineNumber);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '#')
            continue;
        if (!line.empty() && line[0] == '[') {
            size_t close = line.find(']');
            std::string id = close == std::string::npos ? "" : line.substr(1, close - 1);
            if (close == std::string::npos || close + 1 != line.size() || id.empty() ||
                id.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") != std::string::npos)
                throw std::runtime_error(where +
                                         ": expected an id line such as [IDS_GAMETITLE] "
                                         "(capital letters, digits and \"_\")");
            if (!ids.insert(id).second)
                throw std::runtime_error(where + ": the id " + id + " is used twice");
            finish();
            entries.push_back({id, "", where});
            continue;
        }
        if (entries.empty()) {
            if (line.find_first_not_of(' ') == std::string::npos)
                continue;
            throw std::runtime_error(where + ": text before the first [ID] line");
        }
        checkLine(line, where);
        std::string& text = entries.back().text;
        if (text.empty() && line.empty())
            continue;  // blank lines before a text
        text += line;
        text += '\n';
    }
    finish();
    if (entries.empty())
        throw std::runtime_error(path + ": no text (expected [ID] lines, each followed by its text)");
    return entries;
}

std::vector<TextEntry> readTexts(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open the texts " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return parseTexts(content.str(), path);
}

std::string entryBytes(const TextEntry& entry) {
    std::string bytes = entry.text;
    bytes.push_back('\0');
    return bytes;
}

}  // namespace texts
