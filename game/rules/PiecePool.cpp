// PiecePool: slot bookkeeping and the per-frame count-down of motion.
#include "game/rules/PiecePool.h"

int PiecePool::acquire(int x, int y) {
    for (int id = 0; id < board::kPoolSize; ++id) {
        Piece& p = pieces_[static_cast<std::size_t>(id)];
        if (!p.inUse) {
            p = Piece{};
            p.inUse = true;
            p.x = x;
            p.y = y;
            ++inUse_;
            return id;
        }
    }
    return board::kNone;
}

void PiecePool::release(int id) {
    Piece* p = find(id);
    if (p == nullptr)
        return;
    *p = Piece{};
    --inUse_;
}

void PiecePool::clear() {
    pieces_.fill(Piece{});
    inUse_ = 0;
}

Piece* PiecePool::find(int id) {
    if (!validId(id) || !pieces_[static_cast<std::size_t>(id)].inUse)
        return nullptr;
    return &pieces_[static_cast<std::size_t>(id)];
}

const Piece* PiecePool::find(int id) const {
    if (!validId(id) || !pieces_[static_cast<std::size_t>(id)].inUse)
        return nullptr;
    return &pieces_[static_cast<std::size_t>(id)];
}

void PiecePool::advance() {
    for (Piece& p : pieces_) {
        if (!p.inUse)
            continue;
        if (p.motionFrames > 0)
            --p.motionFrames;
        else if (p.bounceFrames > 0)
            --p.bounceFrames;
    }
}
