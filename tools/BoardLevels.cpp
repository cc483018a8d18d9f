// BoardLevels: loading the level table and layouts for the board tools.
#include "BoardLevels.h"

#include "io/Path.h"

BoardLevels::BoardLevels(std::string folder)
    : folder_(folder.empty() ? LUMAROO_BOARDS_DIR : std::move(folder)) {}

bool BoardLevels::loadTable(std::string& error) {
    return table_.loaded() || table_.load(io::joinPath(folder_, "leveling.txt"), error);
}

bool BoardLevels::startLevel(Board& board, int level, std::string& error) {
    if (level < 1 || level > LevelTable::kRegularLevels) {
        error = "level " + std::to_string(level) + " is not a regular level (1..60)";
        return false;
    }
    if (!loadTable(error))
        return false;
    BoardLayout layout;
    std::string path = BoardLayout::pathFor(folder_, level);
    if (!BoardLayout::load(path, layout, error))
        return false;
    if (!board.startLevel(level, table_.record(level), layout, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool BoardLevels::startBonusLevel(Board& board, int level, std::string& error) {
    int record = LevelTable::bonusRecordForLevel(level);
    if (record == 0) {
        error = "level " + std::to_string(level) + " has no bonus level (5, 10, ... 60)";
        return false;
    }
    if (!loadTable(error))
        return false;
    return board.startBonusLevel(level, table_.record(record), error);
}
