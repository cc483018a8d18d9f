// Shared by the level-file harnesses: plays a level that the board model set up, the way the level bot
// does (hint moves when the board is quiet, the console sun on a stuck board, random picks on a bonus
// grid), with the board's consistency rules checked after every frame. A broken rule aborts, so that
// libFuzzer keeps the input that broke it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/rules/Board.h"
#include "game/rules/BoardInvariants.h"
#include "io/ByteArrayInputStream.h"
#include "lang/Ref.h"
#include "lang/ResourceFile.h"
#include "util/Random.h"

namespace fuzzplay {

// The fuzzed bytes as the in-memory item a byte stream reads.
class BytesItem : public lang::ResourceItem {
public:
    BytesItem(const uint8_t* data, size_t size) : bytes_(reinterpret_cast<const char*>(data), size) {}
    const uint8_t* getData() const override { return reinterpret_cast<const uint8_t*>(bytes_.data()); }
    int getLength() const override { return static_cast<int>(bytes_.size()); }

private:
    std::string bytes_;
};

inline lang::Ref<io::InputStream> streamOf(const uint8_t* data, size_t size) {
    auto item = lang::make<BytesItem>(data, size);
    return lang::adopt<io::InputStream>(new io::ByteArrayInputStream(item.get()));
}

// A seed for the board's generator that depends on every byte, so that each input plays its own game.
inline uint32_t seedOf(const uint8_t* data, size_t size) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return h;
}

inline void checkOrAbort(const Board& board, const char* what) {
    std::string broken = BoardInvariants::check(board);
    if (!broken.empty()) {
        std::fprintf(stderr, "%s: level %d frame %d: %s\n", what, board.level(), board.frameCounter(),
                     broken.c_str());
        std::abort();
    }
}

// Plays up to `frames` frames of the level standing on `board`.
inline void play(Board& board, util::Random& picks, int frames, const char* what) {
    checkOrAbort(board, what);
    for (int f = 0; f < frames && !board.finished(); ++f) {
        if (board.bonusLevel()) {
            if (board.bonusClicksLeft() > 0 && board.bonusGrid().coveredCount() > 0) {
                int cell = picks.nextInt(BonusGrid::kCells - 1);
                board.pickBonusBlock(cell / BonusGrid::kSize, cell % BonusGrid::kSize);
            }
        } else if (board.state() == Board::kPlay && board.piecesAtRest() && !board.droppingIn()) {
            if (board.noMoreMoves() && board.suns() > 0) {
                board.clickConsoleSun();
                board.pickPiece(picks.nextInt(board::kColumns - 1), picks.nextInt(board::kRows - 1));
            } else if (board.findHintMove() > 0) {
                SwapMove move = board.hint();
                board.pickPiece(move.x1, move.y1);
                board.pickPiece(move.x2, move.y2);
            }
        }
        board.frame();
        checkOrAbort(board, what);
    }
}

}  // namespace fuzzplay
