// The list of pictures (data/pictures.txt): entry names, formats, sheet geometry and recipes.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace art {

struct PictureEntry {
    std::string name;    // archive entry name, without the leading "+"
    std::string format;  // "png" or "jpg"
    int frameWidth = 0;  // 0: decided by the recipe (bitmap font glyph pictures)
    int frameHeight = 0;
    int columns = 1;
    int rows = 1;
    std::string group;                // contact-sheet group
    std::vector<std::string> recipe;  // recipe name then its arguments (quotes removed)
    std::string where;                // "file:line" for messages

    int frameCount() const { return columns * rows; }
    int sheetWidth() const { return frameWidth * columns; }
    int sheetHeight() const { return frameHeight * rows; }
    std::string arg(size_t i) const;  // recipe argument i (after the recipe name); throws when missing
    int intArg(size_t i) const;
};

// Splits a line into words; double quotes group words and are removed. Throws on an open quote.
std::vector<std::string> splitWords(const std::string& line, const std::string& where);

// Reads the list; every fault names the file and line and what was expected.
std::vector<PictureEntry> readPictureList(const std::string& path);
const PictureEntry* findPicture(const std::vector<PictureEntry>& list, const std::string& name);

// The screen layout (data/layout.txt): named rows of whole numbers, ';' starting a comment.
class Layout {
public:
    static Layout read(const std::string& path);
    // The numbers of `name`; throws naming the file when the row is missing or has fewer than `count`.
    const std::vector<int>& get(const std::string& name, size_t count) const;

private:
    std::string path_;
    std::map<std::string, std::vector<int>> rows_;
};

// Reads a board layout file (13 x 10 numbers, ';' comments, other words skipped) into codes[y][x].
std::vector<std::vector<int>> readBoardFile(const std::string& path);
// True for the layout codes that make a square (0, 2, 3, 4, 5, 6); any other code is a hole.
bool isSquareCode(int code);

}  // namespace art
