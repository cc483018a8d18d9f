// BoardInvariants: legal values and tiles, pool ids, marks, gold count, the count of power pieces, the
// quiet play state, and the bonus level's picks and suns.
#include "game/rules/BoardInvariants.h"

#include <array>

using namespace board;

namespace {

std::string where(int x, int y) {
    return " at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

bool legalTile(int type, int frame) {
    switch (type) {
        case kTilePlain:
        case kTileChanged:
            return frame == kFramePlain || frame == kFrameGold;
        case kTileDouble:
            return frame == kFrameDouble || frame == kFrameDoubleHit;
        case kTileTriple:
            return frame >= kFrameTriple && frame <= kFrameTripleHitTwice;
        case kTileCobweb:
            return frame == kFrameCobweb;
        case kTileTwoVines:
            return frame == kFrameTwoVines;
        case kTileOneVine:
            return frame == kFrameOneVine;
        case kTileHole:
            return frame == kFrameHidden;
        default:
            return false;
    }
}

}  // namespace

std::string BoardInvariants::check(const Board& b) {
    std::array<int, kPoolSize> owners;
    owners.fill(-1);
    int pieces = 0, marks = 0, golds = 0, powers = 0;
    for (int x = 0; x < kColumns; ++x) {
        for (int y = 0; y < kRows; ++y) {
            int v = b.value(x, y), type = b.tileType(x, y), frame = b.tileFrame(x, y);
            if (!legalTile(type, frame))
                return "tile type " + std::to_string(type) + " with frame " + std::to_string(frame) +
                       where(x, y);
            bool piece = v >= 0;
            if (piece) {
                if (b.kindIndexOf(v) < 0 || (v >= 1000 && v < kPowerBase))
                    return "illegal piece value " + std::to_string(v) + where(x, y);
            } else if (v != kEmpty && v != kHole && v != kCutOff && !isVineValue(v)) {
                return "illegal value " + std::to_string(v) + where(x, y);
            }
            if ((type == kTileHole) != (v == kHole))
                return "hole tile and value disagree" + where(x, y);
            if (isVineTile(type) != isVineValue(v) || (isVineTile(type) && type != v))
                return "vine tile and value disagree" + where(x, y);
            int id = b.pieceId(x, y);
            if (piece) {
                const Piece* p = b.pool().find(id);
                if (p == nullptr)
                    return "piece without a pool id" + where(x, y);
                if (owners[static_cast<size_t>(id)] >= 0)
                    return "pool id " + std::to_string(id) + " used twice" + where(x, y);
                owners[static_cast<size_t>(id)] = squareIndex(x, y);
                if (p->x != x || p->y != y)
                    return "pool id " + std::to_string(id) + " thinks it is elsewhere" + where(x, y);
                ++pieces;
            } else if (id != kNone) {
                return "pool id on a square without a piece" + where(x, y);
            }
            if (b.mark(x, y) == kMarked)
                ++marks;
            // A marked power piece has fired and is only waiting for its removal.
            else if (isPowerValue(v))
                ++powers;
            if (b.gold(x, y)) {
                ++golds;
                if (frame != kFrameGold)
                    return "gold square without the gold frame" + where(x, y);
            } else if (frame == kFrameGold) {
                return "gold frame on a square that is not gold" + where(x, y);
            }
        }
    }
    if (pieces != b.pool().inUseCount())
        return std::to_string(b.pool().inUseCount()) + " pool ids in use for " + std::to_string(pieces) +
               " pieces";
    if (marks != b.piecesPendingRemoval())
        return "pending removals " + std::to_string(b.piecesPendingRemoval()) + " but " +
               std::to_string(marks) + " marks";
    if (golds != b.goldSquareCount())
        return "gold count " + std::to_string(b.goldSquareCount()) + " but " + std::to_string(golds) +
               " gold squares";
    if (b.powerPiecesOnBoard() != powers + b.dragonfliesFlying())
        return "power pieces counted " + std::to_string(b.powerPiecesOnBoard()) + " but " +
               std::to_string(powers) + " on the board and " + std::to_string(b.dragonfliesFlying()) +
               " dragonflies flying";
    if (b.bonusLevel()) {
        int left = b.bonusClicksLeft();
        if (left != -99 && (left < 0 || left > BonusGrid::kCells))
            return "bonus picks left " + std::to_string(left);
        if (b.sunsOwed() < 0 || b.bonusSunsDelivered() + b.sunsOwed() != b.bonusSuns())
            return "bonus suns " + std::to_string(b.bonusSuns()) + " but " +
                   std::to_string(b.bonusSunsDelivered()) + " delivered and " + std::to_string(b.sunsOwed()) +
                   " owed";
    }
    if (b.state() == Board::kPlay) {
        for (int x = 0; x < kColumns; ++x) {
            for (int y = 0; y < kRows; ++y) {
                if (b.refill() && b.value(x, y) == kEmpty)
                    return "empty reachable square in the play state" + where(x, y);
                auto kind = [&](int px, int py) {
                    if (!onBoard(px, py) || b.isCobweb(px, py) || b.kindIndexOf(b.value(px, py)) < 0)
                        return -1;
                    return matchKind(b.value(px, py));
                };
                int k = kind(x, y);
                if (k >= 0 && ((kind(x + 1, y) == k && kind(x + 2, y) == k) ||
                               (kind(x, y + 1) == k && kind(x, y + 2) == k)))
                    return "run of three in the play state" + where(x, y);
            }
        }
    }
    return "";
}
