// The game's texts (data/text/texts.txt): "[ID]" lines, each followed by its text, packed as archive
// entries the way the game reads them (UTF-8 bytes and a closing zero byte).
#pragma once

#include <string>
#include <vector>

namespace texts {

struct TextEntry {
    std::string id;
    std::string text;   // UTF-8, lines joined with "\n", without leading or trailing blank lines
    std::string where;  // "file:line" of the [ID] line
};

// Reads and checks the texts: ids of capital letters, digits and "_", each once; no empty text; valid
// UTF-8 whose every character exists in Windows-1252 (the game's code page); no tabs, no trailing
// spaces. Throws std::runtime_error naming the file and line of the first fault.
std::vector<TextEntry> readTexts(const std::string& path);
std::vector<TextEntry> parseTexts(const std::string& content, const std::string& path);

// The bytes of an archive text entry: the UTF-8 text and a zero byte.
std::string entryBytes(const TextEntry& entry);

}  // namespace texts
