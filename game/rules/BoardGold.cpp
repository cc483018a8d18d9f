// Board: points of a match pass, the counting score, gold squares with double and triple tiles, tile
// hits (cobwebs, vines), and suns.
#include "game/rules/Board.h"

#include <algorithm>

using namespace board;

void Board::scoreMatchPass() {
    if (cascadeCount_ == 0)
        firstPassPoints_ = 0;
    int p = piecesCleared_;
    addPoints(p);
    PassPoints shown;
    shown.left = kColumns, shown.right = -1, shown.top = kRows, shown.bottom = -1;
    for (int x = 0; x < kColumns; ++x) {
        for (int y = 0; y < kRows; ++y) {
            size_t i = at(x, y);
            if (marks_[i] != kMarked)
                continue;
            shown.left = std::min(shown.left, x), shown.right = std::max(shown.right, x);
            shown.top = std::min(shown.top, y), shown.bottom = std::max(shown.bottom, y);
            // The clearing that completes a square: plain, last hit of a double or triple tile,
            // a cobweb, the last vine.
            int f = tileFrame_[i];
            if (f == kFramePlain || f == kFrameDoubleHit || f == kFrameTripleHitTwice || f == kFrameCobweb ||
                f == kFrameOneVine) {
                p += 50;
                addPoints(50);
            }
        }
    }
    if (cascadeCount_ > 1) {
        p *= cascadeCount_ + 1;
        addPoints(cascadeCount_ * p);
    }
    shown.points = p;
    shown.cascade = cascadeCount_;
    if (shown.right >= 0)
        events_->pointsShown(shown);
    if (firstPassPoints_ == 0)
        firstPassPoints_ = p;
}

void Board::updateDisplayedScore() {
    if (displayedScore_ >= score_) {
        displayedScore_ = score_;
        scoreStep_ = 1;
        return;
    }
    int s = scoreStep_;
    while (s > 0 && displayedScore_ + s > score_)
        s /= 2;
    if (s == 0)
        s = 1;
    displayedScore_ += s;
    scoreStep_ = s + s / 5 + 1;
}

void Board::setTile(int x, int y, int tileType, int frame) {
    size_t i = at(x, y);
    tileType_[i] = tileType;
    tileFrame_[i] = frame;
    events_->tileChanged(x, y, tileType, frame);
}

void Board::setTileFrame(int x, int y, int frame) {
    size_t i = at(x, y);
    if (frame != kFrameGold) {
        tileFrame_[i] = frame;
        events_->tileChanged(x, y, tileType_[i], frame);
        return;
    }
    if (bonusLevel_)
        return;
    tileFrame_[i] = kFrameGold;
    if (gold_[i] == 0) {
        ++goldSquareCount_;
        gold_[i] = 1;
        events_->squareTurnedGold(x, y);
    }
}

void Board::advanceMultiTile(int x, int y) {
    size_t i = at(x, y);
    int type = tileType_[i], f = tileFrame_[i];
    if (type == kTileDouble) {
        if (f == kFrameDouble) {
            setTile(x, y, kTileDouble, kFrameDoubleHit);
            return;
        }
    } else if (type == kTileTriple) {
        if (f == kFrameTriple || f == kFrameTripleHit) {
            setTile(x, y, kTileTriple, f + 1);
            return;
        }
    } else {
        return;
    }
    tileType_[i] = kTilePlain;
    setTileFrame(x, y, kFrameGold);
}

void Board::turnSquareGold(int x, int y) {
    if (bonusLevel_)
        return;
    size_t i = at(x, y);
    if (struck_[i]) {
        struck_[i] = false;
        tileType_[i] = kTileChanged;
        events_->tileChanged(x, y, tileType_[i], tileFrame_[i]);
        return;
    }
    if (tileType_[i] == kTileDouble || tileType_[i] == kTileTriple) {
        advanceMultiTile(x, y);
        return;
    }
    setTileFrame(x, y, kFrameGold);
}

void Board::makeGold(int x, int y) {
    size_t i = at(x, y);
    if (gold_[i] != 0)
        return;
    if (tileType_[i] != kTilePlain)
        tileType_[i] = kTileChanged;
    setTileFrame(x, y, kFrameGold);
}

// A blast on a square: the cobweb or the vines go, and the square ends gold at once (a double or
// triple tile too), marked for removal if it was not. A square already marked is gilded here as well,
// so that its removal gives it no second hit.
void Board::blastSquare(int x, int y) {
    if (!onBoard(x, y) || tileType(x, y) == kTileHole)
        return;
    events_->squareMatched(x, y);
    if (isCobweb(x, y))
        removeCobweb(x, y);
    while (isVineSquare(x, y))
        damageVine(x, y, false);
    makeGold(x, y);
    if (marks_[at(x, y)] != kMarked)
        markSquareMatched(x, y);
}

void Board::removeCobweb(int x, int y) {
    if (!isCobweb(x, y))
        return;
    events_->playSound(board::kSoundCobweb, 1.0);
    setTile(x, y, kTileChanged, kFramePlain);
    events_->cobwebRemoved(x, y);
}

void Board::damageVine(int x, int y, bool byMatch) {
    size_t i = at(x, y);
    if (tileType_[i] == kTileTwoVines) {
        kinds_[i] = kOneVine;
        setTile(x, y, kTileOneVine, kFrameOneVine);
        events_->vineDamaged(x, y, 1);
        return;
    }
    if (tileType_[i] != kTileOneVine)
        return;
    kinds_[i] = kEmpty;
    setTile(x, y, kTileChanged, kFramePlain);
    events_->vineDamaged(x, y, 0);
    if (byMatch)
        ++piecesCleared_;
    computeTopVineRow();
    computeFlowMap();
    // The freed square and any square cut off behind the vine are filled from above.
    if (state_ == kPlay && emptySquareWaiting())
        enterState(kBusy);
}

void Board::clickConsoleSun() {
    if (finished() || dialogShown_)
        return;
    if (sunCarried_) {
        sunCarried_ = false;
        events_->sunCarriedChanged(false);
        return;
    }
    if (suns_ <= 0)
        return;
    sunCarried_ = true;
    noMoreMoves_ = false;
    noMoreMovesHandled_ = false;
    events_->sunCarriedChanged(true);
    if (!allSquaresGold())
        events_->explanationOffered(board::kPageConsoleSun);
}

void Board::putSunBack() {
    if (!sunCarried_)
        return;
    sunCarried_ = false;
    events_->sunCarriedChanged(false);
}

void Board::placeSun(int x, int y) {
    if (!sunCarried_ || suns_ <= 0 || !onBoard(x, y) || kinds_[at(x, y)] < 0)
        return;
    ++sunsUsed_;
    bool wasVine = isVineSquare(x, y);
    // Marking fires a power piece; a square already marked has fired.
    markSquareMatched(x, y);
    blastSquare(x, y);
    makeGold(x, y);
    --suns_;
    sunCarried_ = false;
    events_->playSound(board::kSoundSun, 1.0);
    events_->sunPlaced(x, y, suns_);
    events_->sunCarriedChanged(false);
    if (allSquaresGold())
        clearSelection(false);
    if (wasVine)
        computeFlowMap();
    if (state_ == kPlay)
        enterState(kBusy);
}
