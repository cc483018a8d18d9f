// BoardLevels: the level data the board tools play: the boards folder, its level table and layouts.
#pragma once

#include <string>

#include "game/rules/Board.h"
#include "game/rules/LevelTable.h"

class BoardLevels {
public:
    // The folder given, or the source tree's data/boards when it is empty.
    explicit BoardLevels(std::string folder);

    const std::string& folder() const { return folder_; }
    // Reads "leveling.txt" once; false with `error` naming file, record and line.
    bool loadTable(std::string& error);
    // Loads the table if needed and the level's layout, and starts the level as the game does.
    bool startLevel(Board& board, int level, std::string& error);
    // Starts the bonus level played after level 5, 10, ... 60, with its bonus record.
    bool startBonusLevel(Board& board, int level, std::string& error);

private:
    std::string folder_;
    LevelTable table_;
};
