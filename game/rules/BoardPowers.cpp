// Board: firing power pieces: the area, colour and line blasts, the clock, the random blast's strikes
// and the dragonfly's take-off; five-matches and the dragonflies they award; the power preview.
#include "game/rules/Board.h"

#include <algorithm>

using namespace board;

namespace {

struct Offset {
    int dx, dy;
};

// A five-match shape seen from its first square: the other squares tested and the centre.
struct FiveShape {
    Offset squares[3];
    int count;
    Offset centre;
};

constexpr FiveShape kFiveShapes[] = {
    {{{4, 0}}, 1, {2, 0}},                    // a line to the right
    {{{0, 4}}, 1, {0, 2}},                    // a line downwards
    {{{2, 0}, {2, -1}, {2, -2}}, 3, {2, 0}},  // row, then a column up from its right end
    {{{0, 2}, {1, 2}, {2, 2}}, 3, {0, 2}},    // column, then a row right from its bottom end
    {{{2, 0}, {2, 1}, {2, 2}}, 3, {2, 0}},    // row, then a column down from its right end
    {{{2, 0}, {0, 1}, {0, 2}}, 3, {0, 0}},    // row, then a column down from its left end
};

}  // namespace

void Board::firePower(int x, int y) {
    if (!onBoard(x, y) || !isPowerValue(kinds_[at(x, y)]))
        return;
    // A power fires as its square is marked, once; a square already marked has fired.
    if (marks_[at(x, y)] != kMarked)
        markSquareMatched(x, y);
}

// The effect of the power on (x, y), run by markSquareMatched right after it marked the square, so that
// a chain reaching the square again finds it marked and stops there.
void Board::powerEffect(int x, int y) {
    int v = kinds_[at(x, y)];
    ++powerPiecesUsed_;
    powerFiredThisPass_ = true;
    if (powerPiecesOnBoard_ > 0)
        --powerPiecesOnBoard_;
    events_->powerFired(x, y, v);
    switch (powerOf(v)) {
        case 9:
            randomBlastPending_ = true;
            break;
        case 8:
            lineBlast(x, y, false, true);
            break;
        case 7:
            events_->playSound(board::kSoundClock, 1.0);
            if (!bonusLevel_) {
                freezeFrames_ = kClockFreezeFrames;
                events_->timerFrozen(kClockFreezeFrames);
            }
            break;
        case 6:
            colourBlast(matchKind(v));
            break;
        case 5:
            lineBlast(x, y, true, true);
            break;
        case 4:
            lineBlast(x, y, true, false);
            break;
        case 3: {
            // The first area blast of a move reaches ring 1, the second rings 1-2, the third 1-3; later
            // ones clear only their own square.
            int rings = ++areaBlastsThisMove_ <= 3 ? areaBlastsThisMove_ : 0;
            for (int r = 1; r <= rings; ++r)
                areaBlast(x, y, r);
            break;
        }
        case 2:
            takeOff(x, y);
            break;
        default:
            break;
    }
}

void Board::areaBlast(int x, int y, int ring) {
    events_->playSound(board::kSoundAreaBlast, 1.0);
    if (!onBoard(x, y))
        return;
    if (marks_[at(x, y)] != kMarked && isPowerValue(kinds_[at(x, y)]))
        markSquareMatched(x, y);
    events_->areaBlastShown(x, y, ring);
    events_->pointsLabel(x, y, 1);
    const Offset ringSquares[8] = {{0, -ring},    {-ring, -ring}, {ring, -ring}, {0, ring},
                                   {-ring, ring}, {ring, ring},   {-ring, 0},    {ring, 0}};
    for (const Offset& o : ringSquares) {
        int bx = x + o.dx, by = y + o.dy;
        if (onBoard(bx, by) && kinds_[at(bx, by)] >= 0)
            blastSquare(bx, by);
    }
    computeFlowMap();
    if (state_ == kPlay)
        enterState(kBusy);
}

void Board::colourBlast(int kind) {
    events_->playSound(board::kSoundColourBlast, 1.0);
    for (int x = 0; x < kColumns; ++x) {
        for (int y = 0; y < kRows; ++y) {
            size_t i = at(x, y);
            int v = kinds_[i];
            if (marks_[i] == kMarked || kindIndexOf(v) < 0 || matchKind(v) != kind)
                continue;
            if (isCobweb(x, y))
                removeCobweb(x, y);
            // Its removal steps a double or triple tile on once and gilds no plain square.
            if (clearingHit_[i] == ClearingHit::Normal)
                clearingHit_[i] = ClearingHit::ColourBlast;
            markSquareMatched(x, y);
        }
    }
    if (state_ != kResolving)
        clearSelection(false);
}

void Board::lineBlast(int x, int y, bool row, bool column) {
    if (kinds_[at(x, y)] < 0)
        return;
    if (row)
        walkLineForFiveMatch(y, true);
    if (column)
        walkLineForFiveMatch(x, false);
    events_->playSound(row && column ? board::kSoundCrosshair : board::kSoundBeam, 1.0);
    if (!gold_[at(x, y)])
        events_->pointsLabel(x, y, 1);
    // The start square is blasted once for all beams; the beams take the squares beyond it.
    blastSquare(x, y);
    if (column) {
        launchBeam(Heading::Up, x, y);
        launchBeam(Heading::Down, x, y);
    }
    if (row) {
        launchBeam(Heading::Right, x, y);
        launchBeam(Heading::Left, x, y);
    }
}

// Walks a row (x = 0..12) or a column (y = 0..9) counting pieces of one kind; squares without a piece,
// vines and cobwebs are skipped without breaking the count. The first kind counts from 1, a later kind
// from 0; once the count passes 3 the square before the current one gets a five-match slot.
void Board::walkLineForFiveMatch(int fixed, bool row) {
    int length = row ? kColumns : kRows;
    int kind = -1, count = 0;
    for (int n = 0; n < length; ++n) {
        int x = row ? n : fixed, y = row ? fixed : n;
        int v = kinds_[at(x, y)];
        if (v < 0 || isVineSquare(x, y) || isCobweb(x, y) || kindIndexOf(v) < 0)
            continue;
        int k = matchKind(v);
        if (kind < 0) {
            kind = k;
            count = 1;
        } else if (k == kind) {
            ++count;
        } else {
            kind = k;
            count = 0;
        }
        if (count > 3) {
            recordFiveMatch(row ? n - 1 : x, row ? y : n - 1);
            return;
        }
    }
}

void Board::recordFiveMatch(int x, int y) {
    for (int s = 0; s < 2; ++s) {
        if (fiveSlots_[static_cast<size_t>(s)] == kNone) {
            fiveSlots_[static_cast<size_t>(s)] = squareIndex(x, y);
            events_->fiveMatchFlash(s, x, y);
            return;
        }
    }
}

BoardSquare Board::fiveMatchSlot(int slot) const {
    int i = fiveSlots_[static_cast<size_t>(slot)];
    if (i == kNone)
        return BoardSquare{kNone, kNone};
    return BoardSquare{i / kRows, i % kRows};
}

void Board::checkFiveMatch() {
    int kinds[2], found = 0;
    for (int k = 0; k < kKindCount; ++k) {
        if (matchCounters_[static_cast<size_t>(k)] >= 5) {
            if (found == 2)
                return;
            kinds[found++] = k;
        }
    }
    const Piece* a = pool_.find(selectedPiece_);
    const Piece* b = pool_.find(secondPiece_);
    auto swapped = [&](int x, int y) {
        return (a != nullptr && a->x == x && a->y == y) || (b != nullptr && b->x == x && b->y == y);
    };
    for (int f = 0; f < found; ++f) {
        int k = kinds[f];
        auto holds = [&](int x, int y) {
            return onBoard(x, y) && marks_[at(x, y)] == kMarked && kindIndexOf(kinds_[at(x, y)]) == k;
        };
        for (int x = 0; x < kColumns; ++x) {
            for (int y = 0; y < kRows; ++y) {
                if (!holds(x, y))
                    continue;
                for (const FiveShape& shape : kFiveShapes) {
                    bool all = true, touchesSwap = swapped(x, y);
                    for (int s = 0; s < shape.count && all; ++s) {
                        int sx = x + shape.squares[s].dx, sy = y + shape.squares[s].dy;
                        all = holds(sx, sy);
                        touchesSwap = touchesSwap || swapped(sx, sy);
                    }
                    if (all && (cascadeCount_ == 0 || touchesSwap))
                        recordFiveMatch(x + shape.centre.dx, y + shape.centre.dy);
                }
            }
        }
    }
}

void Board::awardFiveMatch() {
    for (int s = 0; s < 2; ++s) {
        int i = fiveSlots_[static_cast<size_t>(s)];
        if (i == kNone)
            continue;
        fiveSlots_[static_cast<size_t>(s)] = kNone;
        events_->fiveMatchFlashHidden(s);
        size_t si = static_cast<size_t>(i);
        int v = kinds_[si];
        // Only a plain piece becomes a dragonfly piece; a power piece keeps its power.
        if (v < 0 || isPowerValue(v) || kindIndexOf(v) < 0 || marks_[si] == kMarked)
            continue;
        int id = pieceIds_[si];
        kinds_[si] = v + kDragonfly;
        ++powerPiecesOnBoard_;
        drawDragonflySeed(id);
        events_->pieceChanged(id, kinds_[si]);
        events_->dragonflyLanded(id, i / kRows, i % kRows);
    }
}

void Board::takeOff(int x, int y) {
    events_->playSound(board::kSoundDragonfly, 1.0);
    int id = pieceIds_[at(x, y)];
    uint32_t seed = PiecePool::validId(id) ? dragonflySeed(id) : 0;
    Flight f;
    f.id = nextFlight_++;
    f.path = planPath(x, y, seed, &f.heading);
    f.frames = kDragonflyFramesPerSquare;
    // While it flies it counts as a power piece on the board again.
    ++powerPiecesOnBoard_;
    events_->dragonflyTookOff(f.id, x, y, f.path, kDragonflyFramesPerSquare);
    flights_.push_back(std::move(f));
}

// A path of straight lines turning at random between horizontal and vertical, never leaving the board;
// drawn from the dragonfly's own seed so that its preview shows the path it will fly.
std::vector<BoardSquare> Board::planPath(int x, int y, uint32_t seed, Heading* last) const {
    static constexpr Offset kStep[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    static constexpr Heading kHeading[4] = {Heading::Up, Heading::Right, Heading::Down, Heading::Left};
    util::Random r(seed);
    std::vector<BoardSquare> path;
    int d = r.nextInt(3);
    auto fits = [&](int dir) { return onBoard(x + kStep[dir].dx, y + kStep[dir].dy); };
    for (int step = 0; step < kDragonflyPathSquares; ++step) {
        bool turn = step > 0 && r.nextInt(3) == 0;
        if (turn || !fits(d)) {
            int a = (d + 1) % 4, b = (d + 3) % 4;
            if (r.nextInt(1) == 1)
                std::swap(a, b);
            d = fits(a) ? a : fits(b) ? b : (d + 2) % 4;
        }
        x += kStep[d].dx;
        y += kStep[d].dy;
        path.push_back({x, y});
    }
    if (last != nullptr)
        *last = kHeading[d];
    return path;
}

void Board::drawDragonflySeed(int id) {
    if (PiecePool::validId(id))
        dragonflySeed(id) = static_cast<uint32_t>(random_->nextInt(0x7fffffff));
}

std::vector<BoardSquare> Board::dragonflyPath(int x, int y) const {
    if (!onBoard(x, y) || powerOf(kinds_[at(x, y)]) != 2)
        return {};
    int id = pieceIds_[at(x, y)];
    return planPath(x, y, PiecePool::validId(id) ? dragonflySeeds_[static_cast<size_t>(id)] : 0, nullptr);
}

std::vector<BoardSquare> Board::powerReach(int x, int y) const {
    std::vector<BoardSquare> lit;
    if (!onBoard(x, y))
        return lit;
    int v = kinds_[at(x, y)];
    int power = powerOf(v);
    auto lineSquares = [&](bool row) {
        int length = row ? kColumns : kRows;
        for (int n = 0; n < length; ++n) {
            int sx = row ? n : x, sy = row ? y : n;
            int sv = kinds_[at(sx, sy)];
            if ((sx != x || sy != y) && sv != kHole && sv != kEmpty && sv != kCutOff)
                lit.push_back({sx, sy});
        }
    };
    auto strikable = [&](int sx, int sy) {
        size_t i = at(sx, sy);
        return tileType_[i] != kTileHole && gold_[i] == 0 && marks_[i] != kMarked;
    };
    switch (power) {
        case 4:
            lineSquares(true);
            break;
        case 8:
            lineSquares(false);
            break;
        case 5:
            lineSquares(true);
            lineSquares(false);
            break;
        case 3:
            // What the first area blast of a move hits: the neighbours that hold a piece.
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    if ((dx != 0 || dy != 0) && onBoard(x + dx, y + dy) && kinds_[at(x + dx, y + dy)] >= 0)
                        lit.push_back({x + dx, y + dy});
                }
            }
            break;
        case 6:
            // Every unmarked piece of the kind, power pieces included: the blast clears them all.
            for (int sy = 0; sy < kRows; ++sy) {
                for (int sx = 0; sx < kColumns; ++sx) {
                    int sv = kinds_[at(sx, sy)];
                    if (marks_[at(sx, sy)] != kMarked && kindIndexOf(sv) >= 0 &&
                        matchKind(sv) == matchKind(v))
                        lit.push_back({sx, sy});
                }
            }
            break;
        case 9: {
            bool first = false, second = false;
            for (int n = 0; n < kSquares && !first; ++n) {
                if (strikable(n % kColumns, n / kColumns)) {
                    lit.push_back({n % kColumns, n / kColumns});
                    first = true;
                }
            }
            for (int n = kSquares - 1; n >= 0 && !second; --n) {
                BoardSquare s{n % kColumns, n / kColumns};
                if (strikable(s.x, s.y)) {
                    if (lit.empty() || !(lit.front() == s))
                        lit.push_back(s);
                    second = true;
                }
            }
            break;
        }
        case 2:
            for (const BoardSquare& s : dragonflyPath(x, y)) {
                if (std::find(lit.begin(), lit.end(), s) == lit.end())
                    lit.push_back(s);
            }
            break;
        default:
            break;
    }
    return lit;
}

void Board::previewPower(int x, int y) {
    events_->previewShown(powerReach(x, y));
}

int Board::countPowerPieces() const {
    int n = 0;
    for (int i = 0; i < kSquares; ++i) {
        if (isPowerValue(kinds_[static_cast<size_t>(i)]) && marks_[static_cast<size_t>(i)] != kMarked)
            ++n;
    }
    return n;
}
