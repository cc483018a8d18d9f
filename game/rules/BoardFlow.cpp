// Board: the flow map (feeders and slide codes), gravity with diagonal slides, spawning and landing.
#include "game/rules/Board.h"

using namespace board;

namespace {

constexpr int kFedFromTop = -66;
constexpr int kUnreachable = -99;
constexpr int kUnknown = -9;

}  // namespace

// A square that is not a hole; a vine square counts as open, and meeting one is remembered.
bool Board::open(int x, int y, bool& vineSeen) const {
    if (!onBoard(x, y) || tileType(x, y) == kTileHole)
        return false;
    if (isVineSquare(x, y))
        vineSeen = true;
    return true;
}

// A square that passes no piece down: a vine square (in every row), or one whose chain of feeders passes
// a vine square or ends where nothing reaches.
bool Board::blocked(int x, int y, bool& vineSeen) const {
    if (isVineSquare(x, y)) {
        vineSeen = true;
        return true;
    }
    int f = feeder_[at(x, y)];
    for (int steps = 0; f >= 0 && steps < kSquares; ++steps) {
        if (board::isVineTile(tileType_[static_cast<size_t>(f)])) {
            vineSeen = true;
            return true;
        }
        f = feeder_[static_cast<size_t>(f)];
    }
    if (f == kUnreachable) {
        vineSeen = true;
        return true;
    }
    return false;
}

void Board::computeFlowMap() {
    for (int i = 0; i < kSquares; ++i) {
        feeder_[static_cast<size_t>(i)] = kUnknown;
        if (kinds_[static_cast<size_t>(i)] == kCutOff)
            kinds_[static_cast<size_t>(i)] = kEmpty;
    }
    spawnRow_ = 0;
    for (int y = kRows - 1; y >= 0; --y) {
        for (int x = 0; x < kColumns; ++x) {
            if (tileType(x, y) != kTileHole)
                spawnRow_ = y;
        }
    }
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kColumns; ++x) {
            size_t i = at(x, y);
            bool vineSeen = false;
            if (tileType_[i] == kTileHole) {
                feeder_[i] = kUnreachable;
                continue;
            }
            if (forcedCutOff_[i]) {
                feeder_[i] = kUnreachable;
                if (kinds_[i] == kEmpty)
                    kinds_[i] = kCutOff;
                continue;
            }
            if (y == spawnRow_) {
                feeder_[i] = kFedFromTop;
                continue;
            }
            if (y >= 1 && open(x, y - 1, vineSeen) && !blocked(x, y - 1, vineSeen)) {
                feeder_[i] = squareIndex(x, y - 1);
                continue;
            }
            if (y >= 1) {
                int first = x <= 6 ? x - 1 : x + 1;
                int second = x <= 6 ? x + 1 : x - 1;
                for (int cx : {first, second}) {
                    if (cx >= 0 && cx < kColumns && open(cx, y - 1, vineSeen) &&
                        !blocked(cx, y - 1, vineSeen)) {
                        feeder_[i] = squareIndex(cx, y - 1);
                        break;
                    }
                }
                if (feeder_[i] != kUnknown)
                    continue;
            }
            if (!vineSeen) {
                feeder_[i] = kFedFromTop;
            } else {
                feeder_[i] = kUnreachable;
                if (kinds_[i] == kEmpty)
                    kinds_[i] = kCutOff;
            }
        }
    }
    // Slide codes: 100 below-left, 10 below, 1 below-right, for each neighbour that holds a piece or is
    // empty; 0 in the bottom row and on holes.
    for (int x = 0; x < kColumns; ++x) {
        for (int y = 0; y < kRows; ++y) {
            int code = 0;
            if (y + 1 < kRows && tileType(x, y) != kTileHole) {
                auto fillable = [&](int nx) {
                    if (nx < 0 || nx >= kColumns)
                        return false;
                    int v = kinds_[at(nx, y + 1)];
                    return v >= 0 || v == kEmpty;
                };
                code = (fillable(x - 1) ? 100 : 0) + (fillable(x) ? 10 : 0) + (fillable(x + 1) ? 1 : 0);
            }
            slideCode_[at(x, y)] = code;
        }
    }
}

// A marked square waits for its removal before anything falls into it.
bool Board::emptyTarget(int x, int y) const {
    int v = kinds_[at(x, y)];
    return (v == kEmpty || v == kCutOff) && marks_[at(x, y)] != kMarked;
}

bool Board::movablePiece(int x, int y) const {
    if (!onBoard(x, y))
        return false;
    size_t i = at(x, y);
    return kinds_[i] >= 0 && !moved_[i] && marks_[i] != kMarked && pool_.find(pieceIds_[i]) != nullptr &&
           !isVineSquare(x, y);
}

// A square above that will never pass a piece straight down: off the board, a hole, a vine or cut off.
static bool neverPassesDown(int value, bool onTheBoard) {
    return !onTheBoard || value == kHole || isVineValue(value) || value == kCutOff;
}

void Board::movePiece(int fromX, int fromY, int toX, int toY) {
    size_t from = at(fromX, fromY), to = at(toX, toY);
    int id = pieceIds_[from];
    kinds_[to] = kinds_[from];
    pieceIds_[to] = id;
    // Inside a cut-off region the square left behind stays cut off.
    kinds_[from] = feeder_[from] == kUnreachable ? kCutOff : kEmpty;
    pieceIds_[from] = kNone;
    moved_[to] = true;
    Piece* p = pool_.find(id);
    p->x = toX;
    p->y = toY;
    p->motionFrames = kFallGlideFrames;
    p->bounceFrames = 0;
    p->landing = true;
    activity_ = true;
    events_->pieceMoved(id, toX, toY, kFallGlideFrames);
}

bool Board::spawnPieceAtTop(int x, int y) {
    int id = pool_.acquire(x, y);
    if (id == kNone)
        return false;  // every sprite is in use: the square tries again next frame
    int value = chooseNewPieceKind();
    // Late in the level a drawn power piece may become a clock instead.
    if (isPowerValue(value) && !bonusLevel_ && timer_ > 300 && random_->nextInt(2) == 0)
        value = drawPlainKind() + kClock;
    // Counted once, for the power piece that stays on the board.
    if (isPowerValue(value))
        ++powerPiecesOnBoard_;
    size_t i = at(x, y);
    kinds_[i] = value;
    pieceIds_[i] = id;
    moved_[i] = true;
    Piece* p = pool_.find(id);
    p->motionFrames = kFallGlideFrames;
    p->landing = true;
    activity_ = true;
    events_->pieceSpawned(id, x, y, value, kFallGlideFrames);
    return true;
}

void Board::gravityStep() {
    moved_.fill(false);
    sideRight_ = false;
    for (int x = 0; x < kColumns; ++x) {
        for (int y = 0; y < kRows; ++y) {
            size_t i = at(x, y);
            int v = kinds_[i];
            if ((v != kEmpty && v != kCutOff) || marks_[i] == kMarked)
                continue;
            if (v == kEmpty && (y == 0 || y == spawnRow_ || feeder_[i] == kFedFromTop)) {
                if (refill_)
                    spawnPieceAtTop(x, y);
                continue;
            }
            int above = y >= 1 ? kinds_[at(x, y - 1)] : kHole;
            if (neverPassesDown(above, y >= 1)) {
                int a = sideRight_ ? x + 1 : x - 1;
                int b = sideRight_ ? x - 1 : x + 1;
                sideRight_ = !sideRight_;
                if (y >= 1 && movablePiece(a, y - 1))
                    movePiece(a, y - 1, x, y);
                else if (y >= 1 && movablePiece(b, y - 1))
                    movePiece(b, y - 1, x, y);
            } else if (movablePiece(x, y - 1)) {
                movePiece(x, y - 1, x, y);
            }
        }
    }
    // Pieces that did not move may go on into an empty square below them, diagonally only into a
    // column that cannot pass a piece down from its own top.
    for (int x = kColumns - 1; x >= 0; --x) {
        for (int y = kRows - 2; y >= 0; --y) {
            int code = slideCode_[at(x, y)];
            if (code == 0 || !movablePiece(x, y))
                continue;
            if (code / 10 % 10 != 0 && emptyTarget(x, y + 1) && !moved_[at(x, y + 1)]) {
                movePiece(x, y, x, y + 1);
                continue;
            }
            bool left = code / 100 != 0 && x > 0 && emptyTarget(x - 1, y + 1) &&
                        neverPassesDown(kinds_[at(x - 1, y)], true);
            bool right = code % 10 != 0 && x + 1 < kColumns && emptyTarget(x + 1, y + 1) &&
                         neverPassesDown(kinds_[at(x + 1, y)], true);
            if (left && right) {
                left = !sideRight_;
                right = sideRight_;
                sideRight_ = !sideRight_;
            }
            if (left)
                movePiece(x, y, x - 1, y + 1);
            else if (right)
                movePiece(x, y, x + 1, y + 1);
        }
    }
    landPieces();
}

// Pieces whose fall ended land: the landing sound, softer further down, and a small bounce, except for
// every sixth pool slot, which stops at once.
void Board::landPieces() {
    for (int id = 0; id < kPoolSize; ++id) {
        Piece* p = pool_.find(id);
        if (p == nullptr || !p->landing || p->motionFrames > 0)
            continue;
        p->landing = false;
        events_->playSound(board::kSoundLand, 1.0 - 0.02 * p->y);
        LandingBounce bounce;
        if (id % 6 != 0) {
            bounce.sideways = random_->nextInt(5) / 10.0 + 0.75;
            int side = random_->nextInt(4);
            if (side <= 2)
                bounce.sideways = 0;
            else if (side == 4)
                bounce.sideways = -bounce.sideways;
            bounce.upward = random_->nextInt(6) / 10.0 + 0.5;
            bounce.mode = random_->nextInt(2);
            int r = random_->nextInt(5);
            if (bounce.mode == 0)
                bounce.frames = r == 5 ? 11 : r == 4 ? 10 : r == 0 ? 13 : 12;
            else
                bounce.frames = r == 5 ? 8 : 9;
        }
        p->bounceFrames = bounce.frames;
        events_->pieceLanded(id, bounce);
    }
}

bool Board::emptySquareWaiting() const {
    if (!refill_)
        return false;
    for (int v : kinds_) {
        if (v == kEmpty)
            return true;
    }
    return false;
}
