// Board: the match scan, marking and removal of matched squares, and the swap's match test.
#include "game/rules/Board.h"

using namespace board;

// The kind a neighbour reader sees: -1 off the board, under a cobweb, or for anything but a piece of
// the kind table.
int Board::readerKind(int x, int y) const {
    if (!onBoard(x, y) || isCobweb(x, y))
        return -1;
    int v = kinds_[at(x, y)];
    if (kindIndexOf(v) < 0)
        return -1;
    return matchKind(v);
}

bool Board::matchesAtRest(int x, int y, int kind) const {
    return kind >= 0 && readerKind(x, y) == kind && pieceAtRest(x, y);
}

int Board::findMatches() {
    matchCounters_.fill(0);
    for (int x = kColumns - 1; x >= 0; --x) {
        for (int y = kRows - 1; y >= 0; --y) {
            if (!pieceAtRest(x, y) || isVineSquare(x, y) || isCobweb(x, y) || kinds_[at(x, y)] == kHole)
                continue;
            startsRun(x, y);
        }
    }
    return countKindsMatched();
}

// Acts on the first of six tests that holds; the other runs through the square are found from their
// other squares, and every test marks the square itself, so every square of every run gets marked.
bool Board::startsRun(int x, int y) {
    int k = readerKind(x, y);
    if (k < 0)
        return false;
    auto m = [&](int px, int py) { return matchesAtRest(px, py, k); };
    if (x - 2 >= 0 && m(x - 1, y) && m(x - 2, y)) {
        markSquareMatched(x, y);
        markSquareMatched(x - 1, y);
        markSquareMatched(x - 2, y);
        if (m(x - 3, y))
            markSquareMatched(x - 3, y);
    } else if (x + 2 < kColumns && m(x + 1, y) && m(x + 2, y)) {
        markSquareMatched(x, y);
        markSquareMatched(x + 1, y);
        markSquareMatched(x + 2, y);
        if (m(x + 3, y))
            markSquareMatched(x + 3, y);
    } else if (x - 1 >= 0 && x + 1 < kColumns && m(x - 1, y) && m(x + 1, y)) {
        markSquareMatched(x - 1, y);
        markSquareMatched(x, y);
        markSquareMatched(x + 1, y);
        if (m(x - 2, y)) {
            markSquareMatched(x - 2, y);
            if (m(x - 3, y))
                markSquareMatched(x - 3, y);
        }
        if (m(x + 2, y)) {
            markSquareMatched(x + 2, y);
            if (m(x + 3, y))
                markSquareMatched(x + 3, y);
        }
    } else if (y - 2 >= 0 && m(x, y - 1) && m(x, y - 2)) {
        markSquareMatched(x, y - 2);
        markSquareMatched(x, y - 1);
        markSquareMatched(x, y);
        if (m(x, y - 3))
            markSquareMatched(x, y - 3);
    } else if (y + 2 < kRows && m(x, y + 1) && m(x, y + 2)) {
        markSquareMatched(x, y);
        markSquareMatched(x, y + 1);
        markSquareMatched(x, y + 2);
        if (m(x, y + 3))
            markSquareMatched(x, y + 3);
    } else if (y - 1 >= 0 && y + 1 < kRows && m(x, y - 1) && m(x, y + 1)) {
        markSquareMatched(x, y - 1);
        markSquareMatched(x, y);
        markSquareMatched(x, y + 1);
        if (m(x, y - 2)) {
            markSquareMatched(x, y - 2);
            if (m(x, y - 3))
                markSquareMatched(x, y - 3);
        }
        if (m(x, y + 2)) {
            markSquareMatched(x, y + 2);
            if (m(x, y + 3))
                markSquareMatched(x, y + 3);
        }
    } else {
        return false;
    }
    return true;
}

int Board::countKindsMatched() const {
    int n = 0;
    for (int c : matchCounters_)
        n += c > 0 ? 1 : 0;
    return n;
}

bool Board::markSquareMatched(int x, int y) {
    if (!onBoard(x, y))
        return false;
    size_t i = at(x, y);
    if (marks_[i] == kMarked || kinds_[i] == kHole)
        return false;
    bool heldPiece = kinds_[i] >= 0;
    if (isVineSquare(x, y))
        damageVine(x, y, true);
    int kind = kindIndexOf(kinds_[i]);
    if (kind >= 0)
        ++matchCounters_[static_cast<size_t>(kind)];
    if (kinds_[i] != kCutOff) {
        marks_[i] = kMarked;
        ++pendingRemoval_;
        events_->squareMatched(x, y);
    }
    if (heldPiece)
        ++piecesCleared_;
    const int dx[4] = {0, 0, 1, -1};
    const int dy[4] = {1, -1, 0, 0};
    for (int d = 0; d < 4; ++d) {
        if (onBoard(x + dx[d], y + dy[d]) && isCobweb(x + dx[d], y + dy[d]))
            removeCobweb(x + dx[d], y + dy[d]);
    }
    // The power fires after the mark is set, so that a chain coming back to this square (two colour
    // blasts of one kind, a beam crossing a blast) finds it marked and stops. Only values of 2000 and
    // above are powers: vines, empty and cut-off squares fire nothing.
    if (isPowerValue(kinds_[i]) && marks_[i] == kMarked)
        powerEffect(x, y);
    return true;
}

void Board::removeMarkedPieces() {
    for (int x = 0; x < kColumns; ++x) {
        for (int y = 0; y < kRows; ++y) {
            size_t i = at(x, y);
            if (marks_[i] != kMarked)
                continue;
            // A vine square keeps what is left of its vines; the vine rules change it, not the removal.
            if (!isVineValue(kinds_[i])) {
                bool underCobweb = isCobweb(x, y);
                int id = pieceIds_[i];
                if (pool_.find(id) != nullptr) {
                    events_->pieceLeaving(id, x, y);
                    pool_.release(id);
                    activity_ = true;
                }
                pieceIds_[i] = kNone;
                bool hadPiece = kinds_[i] >= 0;
                kinds_[i] = kEmpty;
                if (hadPiece && !underCobweb && gold_[i] == 0) {
                    if (clearingHit_[i] == ClearingHit::Normal)
                        turnSquareGold(x, y);
                    else if (clearingHit_[i] == ClearingHit::ColourBlast)
                        advanceMultiTile(x, y);
                }
            }
            clearingHit_[i] = ClearingHit::Normal;
            marks_[i] = kClearedMark;
            --pendingRemoval_;
        }
    }
    if (randomBlastPending_) {
        // Strikes by the squares cleared in the pass: 3 below five, then one more a square up to 6.
        int cleared = piecesCleared_;
        launchRandomStrikes(cleared < 5 ? 3 : cleared == 5 ? 4 : cleared == 6 ? 5 : 6);
        randomBlastPending_ = false;
    }
    powerFiredThisPass_ = false;
    piecesCleared_ = 0;
    computeFlowMap();
}

bool Board::swapMadeMatch() const {
    const Piece* a = pool_.find(selectedPiece_);
    const Piece* b = pool_.find(secondPiece_);
    if (a == nullptr || b == nullptr || !onBoard(a->x, a->y) || !onBoard(b->x, b->y))
        return false;
    for (const Piece* p : {a, b}) {
        int x = p->x, y = p->y;
        if (isCobweb(x, y))
            return false;
    }
    for (const Piece* p : {a, b}) {
        int x = p->x, y = p->y;
        int k = readerKind(x, y);
        if (k < 0)
            continue;
        auto same = [&](int px, int py) { return readerKind(px, py) == k; };
        if ((same(x, y - 1) && same(x, y - 2)) || (same(x, y - 1) && same(x, y + 1)) ||
            (same(x, y + 1) && same(x, y + 2)) || (same(x - 1, y) && same(x - 2, y)) ||
            (same(x - 1, y) && same(x + 1, y)) || (same(x + 1, y) && same(x + 2, y)))
            return true;
    }
    return false;
}
