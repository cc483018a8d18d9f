// Fuzz harness: the level table reader on arbitrary "leveling.txt" text, then what the game does with
// an accepted table: regular levels set up from their records on a plain and a mixed layout, and the
// bonus level of their stage, each played for a while with the board's rules checked every frame.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/BoardPlay.h"
#include "game/rules/Board.h"
#include "game/rules/BoardLayout.h"
#include "game/rules/LevelTable.h"

namespace {

// A layout with every kind of square: holes, cobwebs, vines, double and triple tiles.
const char kMixedLayout[] =
    "0 1 0 0 0 0 0 0 0 0 0 1 0\n"
    "0 0 0 3 0 0 0 0 0 3 0 0 0\n"
    "0 2 0 0 0 0 0 0 0 0 0 2 0\n"
    "0 0 0 6 6 0 0 0 6 6 0 0 0\n"
    "0 0 0 6 5 0 0 0 5 6 0 0 0\n"
    "0 0 4 0 0 2 2 2 0 0 4 0 0\n"
    "0 0 0 0 0 0 0 0 0 0 0 0 0\n"
    "0 5 5 0 0 0 0 0 0 0 5 5 0\n"
    "0 0 0 0 0 0 0 0 0 0 0 0 0\n"
    "1 1 0 0 1 0 0 0 1 0 0 1 1\n";

const BoardLayout& layout(bool mixed) {
    static const BoardLayout plain{};
    static const BoardLayout special = [] {
        BoardLayout l;
        std::string error;
        auto stream = fuzzplay::streamOf(reinterpret_cast<const uint8_t*>(kMixedLayout), sizeof kMixedLayout - 1);
        if (!BoardLayout::read(stream.get(), "mixed", l, error)) {
            std::fprintf(stderr, "leveling_fuzz: %s\n", error.c_str());
            std::abort();
        }
        return l;
    }();
    return mixed ? special : plain;
}

// What every accepted record promises the board.
void checkRecord(const LevelTable& table, int number) {
    const LevelRecord& r = table.record(number);
    bool ok = r.timerTickFrames >= 1 && r.timerStep >= 0 && r.kindCount >= 3 && r.kindCount <= 7 &&
              r.maxPowerPieces >= 0;
    for (int k = 0; ok && k < 7; ++k) {
        int kind = r.kinds[static_cast<size_t>(k)];
        ok = k < r.kindCount ? kind >= 0 && kind < board::kKindCount : kind == -1;
    }
    if (!ok) {
        std::fprintf(stderr, "leveling_fuzz: record %d accepted with impossible values\n", number);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LevelTable table;
    std::string error;
    auto stream = fuzzplay::streamOf(data, size);
    if (!table.read(stream.get(), "leveling.txt", error)) {
        // A refused table says why, and stays unloaded.
        if (error.empty() || table.loaded())
            std::abort();
        return 0;
    }
    for (int r = 1; r <= LevelTable::kRecordCount; ++r)
        checkRecord(table, r);

    const uint32_t seed = fuzzplay::seedOf(data, size);
    util::Random random(seed);
    util::Random picks(seed ^ 0x9e3779b9u);
    Board board(random);
    // Two regular levels picked by the input, one on each layout, and the bonus level of the stage.
    for (int round = 0; round < 2; ++round) {
        int level = 1 + static_cast<int>((seed >> (round * 8)) % LevelTable::kRegularLevels);
        if (board.startLevel(level, table.record(level), layout(round == 1), error)) {
            board.setSuns(static_cast<int>(seed % 3));
            fuzzplay::play(board, picks, 250, "leveling_fuzz");
        } else if (error.empty()) {
            std::abort();
        }
        int bonusLevel = 5 * (1 + (level - 1) / 5);
        int record = LevelTable::bonusRecordForLevel(bonusLevel);
        if (board.startBonusLevel(bonusLevel, table.record(record), error))
            fuzzplay::play(board, picks, 150, "leveling_fuzz");
        else if (error.empty())
            std::abort();
    }
    return 0;
}
