// BoardText: boards written as text, one cell a square: the format of scenario scripts and test boards.
//   .  empty        #  hole        v  one vine     V  two vines     x  cut off
//   a..r  a piece of kind index 0..17, then an optional power digit 2..9 (value = kind code + digit x
//   1000), then an optional tile mark: * gold, ~ cobweb, = double tile, - double hit once, % triple,
//   & triple hit once, $ triple hit twice. Without a mark: a plain square that is not gold.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "game/rules/Board.h"

class BoardText {
public:
    // One cell; false with `error` saying what is wrong.
    static bool parseCell(std::string_view cell, const Board& board, SquareSetup& out, std::string& error);
    // One row of 13 cells separated by single spaces (trailing white space ignored).
    static bool parseRow(std::string_view line, const Board& board, int y,
                         std::array<SquareSetup, board::kSquares>& squares, std::string& error);
    static std::string formatCell(const Board& board, int x, int y);
    static std::string formatRow(const Board& board, int y);
    // The 10 rows, each ended by a line break.
    static std::string format(const Board& board);
};
