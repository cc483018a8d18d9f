// Board: picking and swapping, the move search, the new-piece draw and the first board of a level.
#include "game/rules/Board.h"

#include <cstdlib>

using namespace board;

namespace {

// A view of the live board with two squares' pieces exchanged, for the move search.
struct SwappedView {
    int x1, y1, x2, y2;
    void source(int& x, int& y) const {
        if (x == x1 && y == y1) {
            x = x2, y = y2;
        } else if (x == x2 && y == y2) {
            x = x1, y = y1;
        }
    }
};

bool orthogonalNeighbours(int x1, int y1, int x2, int y2) {
    return std::abs(x1 - x2) + std::abs(y1 - y2) == 1;
}

constexpr int kMaxFillPasses = 200;
constexpr int kMaxDrawsPerSquare = 1000;

}  // namespace

void Board::clearSelection(bool withSound) {
    bool had = selectedPiece_ != kNone;
    selectedPiece_ = secondPiece_ = kNone;
    if (had)
        events_->selectionChanged(kNone, kNone);
    if (withSound)
        events_->playSound(board::kSoundRefused, 1.0);
}

void Board::pickPiece(int x, int y) {
    if (finished() || bonusLevel_ || dialogShown_ || dropInFrames_ > 0 || lossDelay_ >= 0 || !onBoard(x, y))
        return;
    // A swap being resolved or undone owns the picks until it is done.
    if (state_ == kResolving || state_ == kSettling)
        return;
    idleFrames_ = 0;
    powerGivenSinceClick_ = false;
    areaBlastsThisMove_ = 0;
    if (hintVisible_) {
        hintVisible_ = false;
        events_->hintCleared();
    }
    int id = pieceIds_[at(x, y)];
    const Piece* piece = pool_.find(id);
    if (piece == nullptr || !piece->atRest())
        return;
    if (sunCarried_) {
        placeSun(x, y);
        return;
    }
    if (noMoreMoves_ && suns_ > 0)
        events_->explanationOffered(board::kPageNoMovesButSuns);
    if (isVineSquare(x, y) || isCobweb(x, y)) {
        clearSelection(true);
        return;
    }
    const Piece* first = pool_.find(selectedPiece_);
    if (first == nullptr) {
        selectedPiece_ = id;
        events_->playSound(board::kSoundSelected, 1.0);
        events_->selectionChanged(x, y);
        return;
    }
    if (id == selectedPiece_)
        return;
    if (!orthogonalNeighbours(first->x, first->y, x, y)) {
        selectedPiece_ = id;
        events_->selectionChanged(x, y);
        return;
    }
    secondPiece_ = id;
    if (!performSwap(false)) {
        clearSelection(true);
        return;
    }
    events_->selectionChanged(kNone, kNone);
    enterState(kResolving);
}

bool Board::performSwap(bool swapBack) {
    if (level_ == 1)
        ++swapCount_;
    Piece* a = pool_.find(selectedPiece_);
    Piece* b = pool_.find(secondPiece_);
    bool ok = a != nullptr && b != nullptr && a != b && a->atRest() && b->atRest() && onBoard(a->x, a->y) &&
              onBoard(b->x, b->y) && orthogonalNeighbours(a->x, a->y, b->x, b->y);
    if (ok) {
        for (const Piece* p : {a, b})
            ok = ok && !isCobweb(p->x, p->y) && !isVineSquare(p->x, p->y);
    }
    if (!ok) {
        clearSelection(false);
        return false;
    }
    events_->playSound(swapBack ? board::kSoundSwapBack : board::kSoundSwap, 1.0);
    size_t ia = at(a->x, a->y), ib = at(b->x, b->y);
    std::swap(kinds_[ia], kinds_[ib]);
    std::swap(pieceIds_[ia], pieceIds_[ib]);
    std::swap(a->x, b->x);
    std::swap(a->y, b->y);
    for (Piece* p : {a, b}) {
        p->motionFrames = kSwapGlideFrames;
        p->bounceFrames = 0;
        p->landing = false;
        events_->pieceMoved(static_cast<int>(p == a ? selectedPiece_ : secondPiece_), p->x, p->y,
                            kSwapGlideFrames);
    }
    activity_ = true;
    return true;
}

bool Board::canSwapPair(int x1, int y1, int x2, int y2) const {
    if (!onBoard(x1, y1) || !onBoard(x2, y2))
        return false;
    for (int s = 0; s < 2; ++s) {
        int x = s == 0 ? x1 : x2, y = s == 0 ? y1 : y2;
        if (kinds_[at(x, y)] < 0 || isVineSquare(x, y) || isCobweb(x, y) || tileType(x, y) == kTileHole)
            return false;
    }
    return true;
}

int Board::runSquaresAfterSwap(int x1, int y1, int x2, int y2, std::array<bool, kSquares>* squares) const {
    if (!orthogonalNeighbours(x1, y1, x2, y2) || !canSwapPair(x1, y1, x2, y2))
        return 0;
    SwappedView view{x1, y1, x2, y2};
    auto kindAt = [&](int x, int y) {
        if (!onBoard(x, y) || isCobweb(x, y))
            return -1;
        int sx = x, sy = y;
        view.source(sx, sy);
        int v = kinds_[at(sx, sy)];
        return kindIndexOf(v) < 0 ? -1 : matchKind(v);
    };
    std::array<bool, kSquares> local{};
    std::array<bool, kSquares>& in = squares != nullptr ? *squares : local;
    in.fill(false);
    int count = 0;
    // A board without runs gains runs by a swap only through the two swapped squares.
    for (int s = 0; s < 2; ++s) {
        int x = s == 0 ? x1 : x2, y = s == 0 ? y1 : y2;
        int k = kindAt(x, y);
        if (k < 0)
            continue;
        for (int axis = 0; axis < 2; ++axis) {
            int dx = axis == 0 ? 1 : 0, dy = axis == 0 ? 0 : 1;
            int lo = 0, hi = 0;
            while (kindAt(x - (lo + 1) * dx, y - (lo + 1) * dy) == k)
                ++lo;
            while (kindAt(x + (hi + 1) * dx, y + (hi + 1) * dy) == k)
                ++hi;
            if (lo + hi + 1 < 3)
                continue;
            for (int t = -lo; t <= hi; ++t) {
                size_t i = at(x + t * dx, y + t * dy);
                if (!in[i]) {
                    in[i] = true;
                    ++count;
                }
            }
        }
    }
    return count;
}

bool Board::swapMakesRun(int x1, int y1, int x2, int y2) const {
    return runSquaresAfterSwap(x1, y1, x2, y2, nullptr) > 0;
}

// Horizontal swaps first, then vertical ones, each from the bottom-right corner.
SwapMove Board::searchMove() const {
    for (int pass = 0; pass < 2; ++pass) {
        for (int x = kColumns - 1; x >= 0; --x) {
            for (int y = kRows - 1; y >= 0; --y) {
                int x2 = pass == 0 ? x + 1 : x, y2 = pass == 0 ? y : y + 1;
                if (swapMakesRun(x, y, x2, y2))
                    return SwapMove{x, y, x2, y2};
            }
        }
    }
    return SwapMove{};
}

bool Board::hasMove() const {
    return searchMove().valid();
}

void Board::clearHint() {
    hint_ = SwapMove{};
    idleFrames_ = 0;
    if (hintVisible_) {
        hintVisible_ = false;
        events_->hintCleared();
    }
}

int Board::findHintMove() {
    SwapMove move = searchMove();
    if (move.valid()) {
        hint_ = move;
        return 1;
    }
    clearHint();
    noMoreMoves_ = true;
    return 0;
}

// The power choice of a due power piece, or -1 for none. The count of power pieces is raised by the
// caller for the piece that stays on the board, not here: a drawn piece may still be thrown away.
int Board::choosePowerChoice() {
    int allowed = 0;
    for (int a : record_.powerAllowed)
        allowed += a > 0 ? 1 : 0;
    if (allowed == 0)
        return -1;
    for (int draws = 0; draws < 2000000; ++draws) {
        if (powerPiecesOnBoard_ >= record_.maxPowerPieces)
            return -1;
        int c = random_->nextInt(6);
        if (record_.powerAllowed[static_cast<size_t>(c)] <= 0)
            continue;
        // Choice 6 carries no power.
        return c == 6 ? -1 : c;
    }
    return -1;
}

// The power a tutorial level's first board brings, or 0.
int Board::tutorialPower() const {
    switch (level_) {
        case 2:
            return kAreaBlast;
        case 4:
            return kColumnBlast;
        case 6:
            return kRowBlast;
        case 8:
            return kCrosshairBlast;
        case 14:
            return kRandomBlast;
        case 16:
            return kColourBlast;
        default:
            return 0;
    }
}

int Board::drawPlainKind() {
    int index = record_.kinds[0];
    if (record_.kindCount > 1) {
        do {
            index = record_.kinds[static_cast<size_t>(random_->nextInt(record_.kindCount - 1))];
        } while (index < 0);
    }
    if (index < 0)
        index = 0;
    return kindCode(index);
}

int Board::chooseNewPieceKind() {
    bool due = false;
    if (filling_ && powersEnabled_ && !tutorialPowerGiven_ && tutorialPower() != 0) {
        // The first draw of a tutorial level's first board is that level's power.
        tutorialPowerGiven_ = true;
        powerGivenSinceClick_ = true;
        return drawPlainKind() + tutorialPower();
    }
    if (powersEnabled_ && !powerGivenSinceClick_ && powerPiecesOnBoard_ < record_.maxPowerPieces) {
        int r = random_->nextInt(1000);
        if (r > powerChance_) {
            ++powerChance_;
        } else {
            due = true;
            powerChance_ = record_.powerChanceStart;
        }
    }
    int power = 0;
    if (due) {
        static constexpr int kPowerOfChoice[6] = {kColourBlast, kCrosshairBlast, kColumnBlast,
                                                  kRowBlast,    kAreaBlast,      kRandomBlast};
        int c = choosePowerChoice();
        if (c >= 0) {
            power = kPowerOfChoice[c];
            powerGivenSinceClick_ = true;
        }
    }
    return drawPlainKind() + power;
}

bool Board::initialFill(std::string& error) {
    filling_ = true;
    bool filled = fillPasses(error);
    filling_ = false;
    // The count follows the pieces that stand on the first board, whatever the redraws threw away.
    powerPiecesOnBoard_ = countPowerPieces();
    return filled;
}

bool Board::fillPasses(std::string& error) {
    for (int pass = 0; pass < kMaxFillPasses; ++pass) {
        // Each pass starts from empty squares, so that no old piece forbids or allows a kind.
        for (int x = 0; x < kColumns; ++x) {
            for (int y = 0; y < kRows; ++y) {
                size_t i = at(x, y);
                if (kinds_[i] >= 0) {
                    pool_.release(pieceIds_[i]);
                    pieceIds_[i] = kNone;
                    kinds_[i] = kEmpty;
                }
            }
        }
        powerPiecesOnBoard_ = 0;
        powerGivenSinceClick_ = tutorialPowerGiven_ = false;
        for (int y = 0; y < kRows; ++y) {
            for (int x = kColumns - 1; x >= 0; --x) {
                size_t i = at(x, y);
                if (kinds_[i] != kEmpty)
                    continue;
                auto pair = [&](int ax, int ay, int bx, int by, int k) {
                    return readerKind(ax, ay) == k && readerKind(bx, by) == k;
                };
                int draws = 0;
                while (true) {
                    if (++draws > kMaxDrawsPerSquare) {
                        error = "no first board without a run of three can be drawn with " +
                                std::to_string(record_.kindCount) + " kinds";
                        return false;
                    }
                    int value = chooseNewPieceKind();
                    kinds_[i] = value;
                    int k = readerKind(x, y);
                    kinds_[i] = kEmpty;
                    bool forbidden = k >= 0 && (pair(x - 1, y, x - 2, y, k) || pair(x - 2, y, x - 3, y, k) ||
                                                pair(x + 1, y, x + 2, y, k) || pair(x + 2, y, x + 3, y, k) ||
                                                pair(x - 1, y, x + 1, y, k) || pair(x, y - 1, x, y - 2, k) ||
                                                pair(x, y - 2, x, y - 3, k) || pair(x, y + 1, x, y + 2, k) ||
                                                pair(x, y + 2, x, y + 3, k) || pair(x, y - 1, x, y + 1, k));
                    if (forbidden) {
                        // A thrown-away tutorial power is drawn again for the next square.
                        if (isPowerValue(value) && tutorialPower() != 0 &&
                            matchKind(value) + tutorialPower() == value)
                            tutorialPowerGiven_ = false;
                        continue;
                    }
                    kinds_[i] = value;
                    if (isPowerValue(value))
                        ++powerPiecesOnBoard_;
                    break;
                }
                pieceIds_[i] = pool_.acquire(x, y);
            }
        }
        noMoreMoves_ = false;
        if (findHintMove() == 1)
            return true;
    }
    noMoreMoves_ = false;
    error = "no first board with a move can be drawn on this layout";
    return false;
}
