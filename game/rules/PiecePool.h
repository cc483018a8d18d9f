// PiecePool: the 250 piece slots of the board, with the frames each piece still glides or bounces, so
// that "at rest" is decided by the model alike in the game and headless.
#pragma once

#include <array>
#include <cstddef>

#include "game/rules/BoardValues.h"

struct Piece {
    bool inUse = false;
    int x = board::kNone;  // the square the piece belongs to
    int y = board::kNone;
    int motionFrames = 0;  // frames of glide left
    int bounceFrames = 0;  // frames of landing bounce left
    bool landing = false;  // falling; lands when its glide ends
    bool atRest() const { return motionFrames == 0 && bounceFrames == 0; }
};

class PiecePool {
public:
    // The first free id, now in use at (x, y); board::kNone when all 250 are taken.
    int acquire(int x, int y);
    // Frees an id; an id out of range or already free is ignored.
    void release(int id);
    void clear();

    static bool validId(int id) { return id >= 0 && id < board::kPoolSize; }
    // Null for an id out of range or a free slot.
    Piece* find(int id);
    const Piece* find(int id) const;
    const Piece& slot(int id) const { return pieces_[static_cast<std::size_t>(id)]; }

    int inUseCount() const { return inUse_; }
    // One frame of sprite motion: glides and bounces count down.
    void advance();

private:
    std::array<Piece, board::kPoolSize> pieces_{};
    int inUse_ = 0;
};
