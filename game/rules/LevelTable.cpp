// LevelTable: reading and checking "leveling.txt".
#include "game/rules/LevelTable.h"

#include <cmath>

#include "game/rules/BoardValues.h"
#include "game/rules/RulesTokenizer.h"

namespace {

const char* const kFieldNames[LevelTable::kFieldsPerRecord] = {
    "level number",   "timerStep",      "timerTickFrames", "kind flag 0",    "kind flag 1",
    "kind flag 2",    "kind flag 3",    "kind flag 4",     "kind flag 5",    "kind flag 6",
    "kind flag 7",    "kind flag 8",    "kind flag 9",     "kind flag 10",   "kind flag 11",
    "kind flag 12",   "kind flag 13",   "kind flag 14",    "kind flag 15",   "kind flag 16",
    "kind flag 17",   "powerAllowed 0", "powerAllowed 1",  "powerAllowed 2", "powerAllowed 3",
    "powerAllowed 4", "powerAllowed 5", "powerAllowed 6",  "maxPowerPieces", "powerChanceStart"};

}  // namespace

bool LevelTable::load(const std::string& path, std::string& error) {
    lang::Ref<io::InputStream> stream = openRulesFile(path, error);
    return stream && read(stream.get(), path, error);
}

bool LevelTable::read(io::InputStream* stream, const std::string& name, std::string& error) {
    std::array<LevelRecord, kRecordCount> records{};
    RulesTokenizer tokens(stream, name);
    for (int r = 1; r <= kRecordCount; ++r) {
        LevelRecord& record = records[static_cast<size_t>(r - 1)];
        int values[kFieldsPerRecord];
        int firstLine = 0;
        for (int f = 0; f < kFieldsPerRecord; ++f) {
            std::string what = "record " + std::to_string(r) + ", " + kFieldNames[f];
            if (!tokens.nextInteger(values[f], what, error))
                return false;
            if (f == 0)
                firstLine = tokens.line();
        }
        auto fail = [&](const std::string& message) {
            error = name + ": record " + std::to_string(r) + " (line " + std::to_string(firstLine) +
                    "): " + message;
            return false;
        };
        record.timerStep = values[1];
        record.timerTickFrames = values[2];
        if (record.timerStep < 0)
            return fail("timerStep must not be negative, found " + std::to_string(values[1]));
        // The tick divides the frame counter.
        if (record.timerTickFrames < 1)
            return fail("timerTickFrames must be at least 1, found " + std::to_string(values[2]));
        int count = 0;
        for (int k = 0; k < board::kKindCount; ++k) {
            if (values[3 + k] != 1)
                continue;
            if (count == board::kMaxKindsInPlay)
                return fail("more than 7 kind flags are 1");
            record.kinds[static_cast<size_t>(count++)] = k;
        }
        // With fewer than three kinds a first board without runs of three cannot always be drawn.
        if (count < 3)
            return fail("at least 3 kind flags must be 1, found " + std::to_string(count));
        record.kindCount = count;
        for (int p = 0; p < 7; ++p)
            record.powerAllowed[static_cast<size_t>(p)] = values[21 + p];
        record.maxPowerPieces = values[28];
        record.powerChanceStart = values[29];
        if (record.maxPowerPieces < 0)
            return fail("maxPowerPieces must not be negative, found " + std::to_string(values[28]));
    }
    if (tokens.hasMore()) {
        error = name + ": line " + std::to_string(tokens.line()) + ": more numbers after record " +
                std::to_string(kRecordCount);
        return false;
    }
    records_ = records;
    loaded_ = true;
    return true;
}

int LevelTable::stageOfLevel(int level) {
    if (level >= 1 && level <= 60)
        return (level - 1) / 5 + 1;
    if (level >= 61 && level <= 65)
        return 13;
    return 1;
}

int LevelTable::bonusRecordForLevel(int level) {
    if (level < 5 || level > 60 || level % 5 != 0)
        return 0;
    return kRegularLevels + level / 5;
}
