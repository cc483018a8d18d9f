// BoardLayout: one level's layout file: 10 rows of 13 square codes.
#pragma once

#include <array>
#include <string>

#include "game/rules/BoardValues.h"
#include "io/InputStream.h"

struct BoardLayout {
    // Layout codes: 0 square, 2 cobweb, 3 two vines, 4 one vine, 5 double tile, 6 triple tile; any other
    // value is a hole. Indexed like the board, x * 10 + y.
    std::array<int, board::kSquares> codes{};

    int code(int x, int y) const { return codes[static_cast<size_t>(board::squareIndex(x, y))]; }

    // "<folder>/board<level>.txt".
    static std::string pathFor(const std::string& folder, int level);

    // Reads the 130 codes, row by row, top row first; words and comments are skipped and line breaks
    // carry no meaning. A file with fewer numbers is an error naming the file and its last line; on
    // any error `out` is left untouched.
    static bool load(const std::string& path, BoardLayout& out, std::string& error);
    static bool read(io::InputStream* stream, const std::string& name, BoardLayout& out, std::string& error);
};
