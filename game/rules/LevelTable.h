// LevelTable: the level records read from "leveling.txt": timer pace, kinds in play and power settings.
#pragma once

#include <array>
#include <string>

#include "io/InputStream.h"

// One record of the table. Records 1..60 are the regular levels, 61..72 the bonus levels.
struct LevelRecord {
    int timerStep = 0;        // added to the level timer at each tick
    int timerTickFrames = 1;  // a tick happens on every frame whose counter is a multiple of this
    int kindCount = 0;
    // Kind-table indexes in play, in table order; unused entries are -1.
    std::array<int, 7> kinds{-1, -1, -1, -1, -1, -1, -1};
    std::array<int, 7> powerAllowed{};  // per power choice 0..6; positive = may appear
    int maxPowerPieces = 0;
    int powerChanceStart = 0;  // thousandths
};

class LevelTable {
public:
    static constexpr int kRecordCount = 72;
    static constexpr int kRegularLevels = 60;
    static constexpr int kFieldsPerRecord = 30;

    // Reads the table from a file. On failure returns false, leaves the table as it was and sets
    // `error` to a message naming the file, the record and the line.
    bool load(const std::string& path, std::string& error);
    // The same from a stream; `name` is the file name used in messages.
    bool read(io::InputStream* stream, const std::string& name, std::string& error);

    // Record 1..72.
    const LevelRecord& record(int number) const { return records_.at(static_cast<size_t>(number - 1)); }
    bool loaded() const { return loaded_; }

    // Five levels a stage: 1..5 give 1, 56..60 give 12; 61..65 give 13 and anything above 65 gives 1.
    static int stageOfLevel(int level);
    // The record of the bonus level played after level 5k: 60 + k; 0 for a level that has none.
    static int bonusRecordForLevel(int level);

private:
    std::array<LevelRecord, kRecordCount> records_{};
    bool loaded_ = false;
};
