// Board: the per-frame update: the timer, the move cycle (play, busy, resolving, settling), the quiet
// board's checks (goal, hint, no more moves), the watchdog and the hint display.
#include "game/rules/Board.h"

#include <algorithm>

using namespace board;

void Board::frame() {
    if (finished()) {
        updateDisplayedScore();
        pool_.advance();
        return;
    }
    ++frameCounter_;
    activity_ = false;
    if (bonusLevel_) {
        bonusStep();
        updateDisplayedScore();
        pool_.advance();
        return;
    }
    if (dropInFrames_ > 0)
        --dropInFrames_;
    if (!bonusLevel_ && !dialogShown_ && !explanationShown_ && frameCounter_ % record_.timerTickFrames == 0)
        timerTick();
    if (freezeFrames_ > 0)
        --freezeFrames_;
    if (lossDelay_ >= 0) {
        if (--lossDelay_ <= 0)
            endLevel(Outcome::Lost, LevelLoss::NoMoreMoves);
    } else {
        runMoveCycle();
        if (!finished())
            effectsStep();
    }
    if (!finished() && state_ == kPlay && frameCounter_ % kIdleCheckFrames == 0)
        idleCheck();
    // Five-match slots become dragonflies on every second frame of a quiet play state.
    if (!finished() && state_ == kPlay && frameCounter_ % 2 == 0 && piecesAtRest())
        awardFiveMatch();
    if (!finished() && state_ == kPlay && redAlertFrames_ > 0 && --redAlertFrames_ == 0)
        endLevel(Outcome::Lost, LevelLoss::Timer);
    hintAndShimmer();
    updateDisplayedScore();
    pool_.advance();
}

void Board::enterState(int state) {
    state_ = state;
    stateFrames_ = 0;
    watchdogFrames_ = 0;
}

void Board::runMoveCycle() {
    ++stateFrames_;
    switch (state_) {
        case kBusy:
            busyStep();
            break;
        case kResolving:
            resolvingStep();
            break;
        case kSettling:
            settlingStep();
            break;
        default:
            break;
    }
}

void Board::resolvingStep() {
    if (!piecesAtRest()) {
        if (stateFrames_ > kResolveWaitFrames) {
            selectedPiece_ = secondPiece_ = kNone;
            enterState(kBusy);
        }
        return;
    }
    if (swapMadeMatch() && findMatches() > 0) {
        if (pendingRemoval_ > 4)
            checkFiveMatch();
        scoreMatchPass();
        removeMarkedPieces();
        selectedPiece_ = secondPiece_ = kNone;
        enterState(kBusy);
        return;
    }
    enterState(kSettling);
    performSwap(true);
    selectedPiece_ = secondPiece_ = kNone;
}

void Board::settlingStep() {
    if (!piecesAtRest())
        return;
    // Squares marked while the swap was tried and put back (a sun placed, a beam or a strike landing
    // meanwhile) leave in the busy state's next pass. Nothing removes them here: waiting for them
    // would hold the board, and its timer, for ever.
    if (pendingRemoval_ > 0) {
        enterState(kBusy);
        return;
    }
    if (findMatches() == 0)
        enterState(emptySquareWaiting() ? kBusy : kPlay);
    else
        enterState(kBusy);
}

void Board::busyStep() {
    // Pieces wait while beams cross the board or dragonflies fly.
    if (beams_.empty() && flights_.empty())
        gravityStep();
    if (piecesAtRest()) {
        if (findMatches() > 0) {
            ++cascadeCount_;
            events_->playSound(
                cascadeCount_ < 16 ? board::kSoundCascade + cascadeCount_ : board::kSoundCascadeLast, 1.0);
        }
        // Squares marked outside the scan (a placed sun, blasts) leave with the next pass too.
        if (pendingRemoval_ > 0) {
            scoreMatchPass();
            removeMarkedPieces();
        } else if (!emptySquareWaiting() && !effectsInFlight()) {
            checkQuietBoard();
        }
    }
    if (state_ == kBusy && !finished())
        watchdogStep(activity_ || effectsInFlight());
}

bool Board::idleCheck() {
    // The goal is checked by the busy state's quiet-board check; a board gilded without a match pass
    // (the last square by a sun or a blast that left nothing to fall, or a board set up by hand) would
    // otherwise wait in play for ever.
    if (state_ != kPlay || pendingRemoval_ > 0 || effectsInFlight() || !piecesAtRest() || !allSquaresGold())
        return false;
    enterState(kBusy);
    return true;
}

void Board::checkQuietBoard() {
    if (allSquaresGold()) {
        // Seen once, the next quiet check completes the level.
        if (levelGoalSeen_)
            endLevel(Outcome::Complete, LevelLoss::Timer);
        levelGoalSeen_ = true;
        return;
    }
    if (!nearlyDone_ && playableSquares_ - goldSquareCount_ < 6) {
        nearlyDone_ = true;
        events_->explanationOffered(board::kPageNoWaitSwapping);
    }
    if (!noMoreMoves_ && findHintMove() == 1) {
        if (pendingRemoval_ == 0) {
            cascadeCount_ = 0;
            enterState(kPlay);
        }
        return;
    }
    // Run once when the flag is set, not on every busy frame that follows.
    if (noMoreMoves_ && !noMoreMovesHandled_)
        noMoreMovesRule();
}

void Board::noMoreMovesRule() {
    noMoreMovesHandled_ = true;
    if (suns_ > 0 || sunCarried_) {
        events_->noMoreMoves(true);
        if (!sunCarried_)
            events_->explanationOffered(board::kPageNoMovesButSuns);
        // The board is handed to play: the timer runs on (the busy state would hold it below the
        // red alert for ever) and the player can pick a sun up and use it.
        cascadeCount_ = 0;
        enterState(kPlay);
        return;
    }
    events_->playSound(board::kSoundNoMoves, 1.0);
    events_->noMoreMoves(false);
    lossDelay_ = kNoMoreMovesDelay;
}

void Board::endLevel(Outcome outcome, LevelLoss reason) {
    outcome_ = outcome;
    clearSelection(false);
    if (outcome == Outcome::Complete)
        events_->levelComplete();
    else
        events_->levelLost(reason);
}

// Empty squares that wait while nothing moves, spawns or leaves are squares the flow map promises but
// gravity cannot reach; after a while they are declared cut off, so the board can settle.
void Board::watchdogStep(bool activity) {
    if (!refill_ || activity || !piecesAtRest() || !emptySquareWaiting()) {
        watchdogFrames_ = 0;
        return;
    }
    if (++watchdogFrames_ < kWatchdogFrames)
        return;
    watchdogFrames_ = 0;
    int squares = 0;
    for (int i = 0; i < kSquares; ++i) {
        if (kinds_[static_cast<size_t>(i)] == kEmpty) {
            forcedCutOff_[static_cast<size_t>(i)] = true;
            ++squares;
        }
    }
    computeFlowMap();
    ++watchdogFirings_;
    events_->watchdogFired(squares);
}

void Board::hintAndShimmer() {
    if (finished() || bonusLevel_)
        return;
    ++idleFrames_;
    if (state_ != kPlay)
        return;
    if (idleFrames_ > kHintIdleFrames && !dialogShown_ && !hintVisible_ && hint_.valid()) {
        hintVisible_ = true;
        events_->hintShown(hint_.x1, hint_.y1, hint_.x2, hint_.y2);
    }
    if (nearlyDone_ && idleFrames_ > 60 && frameCounter_ % 60 == 0)
        events_->shimmer();
}

void Board::timerTick() {
    int added = 0;
    if (freezeFrames_ == 0) {
        int before = timer_;
        timer_ = std::min(kTimerFull, timer_ + record_.timerStep);
        added = timer_ - before;
    }
    if (timer_ > 329 && suns_ > 0 && !dialogShown_ && random_->nextInt(20) < 4)
        events_->sunTwinkle();
    if (timer_ > 388) {
        // Cascades hold the timer: the step is taken back while the board is busy.
        if (state_ == kBusy) {
            timer_ -= added;
        } else if (redAlertFrames_ < 0) {
            redAlertFrames_ = kRedAlertFrames;
            events_->playSound(board::kSoundTimeRunningOut, 1.0);
            events_->redAlert();
        }
    }
}
