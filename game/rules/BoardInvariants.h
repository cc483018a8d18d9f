// BoardInvariants: the board's consistency rules, checked after every frame by the tests and the bot.
#pragma once

#include <string>

#include "game/rules/Board.h"

class BoardInvariants {
public:
    // An empty text when every rule holds, else the first broken rule with its square.
    static std::string check(const Board& board);
};
