// Fuzz harness: the layout reader on arbitrary "board<N>.txt" text, then what the game does with an
// accepted layout: the level set up on it (square codes applied, flow map, first board drawn) and played
// for a while with the board's rules checked every frame.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/BoardPlay.h"
#include "game/rules/Board.h"
#include "game/rules/BoardLayout.h"
#include "game/rules/LevelTable.h"

namespace {

// A record as the table gives them: 3 to 7 kinds, every power allowed, a fast timer so that levels
// also end by time.
LevelRecord recordFor(uint32_t seed) {
    LevelRecord r;
    r.timerStep = 1 + static_cast<int>(seed % 4);
    r.timerTickFrames = 1;
    r.kindCount = 3 + static_cast<int>((seed >> 4) % 5);
    // Kinds in table order, and no kind twice.
    for (int k = 0; k < r.kindCount; ++k)
        r.kinds[static_cast<size_t>(k)] = k + static_cast<int>((seed >> 8) % (board::kKindCount - 7));
    for (int p = 0; p < 7; ++p)
        r.powerAllowed[static_cast<size_t>(p)] = 1;
    r.maxPowerPieces = static_cast<int>((seed >> 12) % 5);
    r.powerChanceStart = static_cast<int>((seed >> 16) % 400);
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BoardLayout layout;
    std::string error;
    auto stream = fuzzplay::streamOf(data, size);
    if (!BoardLayout::read(stream.get(), "board1.txt", layout, error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    const uint32_t seed = fuzzplay::seedOf(data, size);
    util::Random random(seed);
    util::Random picks(seed ^ 0x9e3779b9u);
    Board board(random);
    int level = 1 + static_cast<int>(seed % LevelTable::kRegularLevels);
    if (!board.startLevel(level, recordFor(seed), layout, error)) {
        // Refused layouts (no first board with a move) say why.
        if (error.empty())
            std::abort();
        return 0;
    }
    board.setSuns(static_cast<int>((seed >> 20) % 3));
    fuzzplay::play(board, picks, 400, "layout_fuzz");
    return 0;
}
