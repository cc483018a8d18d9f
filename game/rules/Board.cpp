// Board: construction, level set-up from a layout, hand-made boards, and the board's queries.
#include "game/rules/Board.h"

#include <algorithm>

using namespace board;

BoardEvents& Board::silentEvents() {
    static BoardEvents silent;
    return silent;
}

Board::Board(util::Random& random, BoardEvents* events) : random_(&random) {
    setEvents(events);
    for (int i = 0; i < kKindCount; ++i)
        kindCodes_[static_cast<size_t>(i)] = i;
    kinds_.fill(kHole);
    tileType_.fill(kTileHole);
    tileFrame_.fill(kFrameHidden);
    pieceIds_.fill(kNone);
    feeder_.fill(-99);
    // Until a level or a board is set: five kinds and a timer that does not run.
    record_.timerStep = 0;
    record_.timerTickFrames = 1;
    record_.kindCount = 5;
    for (int k = 0; k < 5; ++k)
        record_.kinds[static_cast<size_t>(k)] = k;
}

void Board::setKindCodes(const std::array<int, kKindCount>& codes) {
    kindCodes_ = codes;
}

int Board::kindIndexOf(int value) const {
    if (value < 0 || (value >= kPoolSize && value < kPowerBase))
        return -1;
    int base = matchKind(value);
    for (int i = 0; i < kKindCount; ++i) {
        if (kindCodes_[static_cast<size_t>(i)] == base)
            return i;
    }
    return -1;
}

void Board::clearLevelState() {
    state_ = kPlay;
    outcome_ = Outcome::None;
    stateFrames_ = 0;
    selectedPiece_ = secondPiece_ = kNone;
    cascadeCount_ = 0;
    piecesCleared_ = 0;
    pendingRemoval_ = 0;
    noMoreMoves_ = noMoreMovesHandled_ = false;
    lossDelay_ = -1;
    hint_ = SwapMove{};
    hintVisible_ = false;
    idleFrames_ = 0;
    dropInFrames_ = 0;
    watchdogFrames_ = 0;
    watchdogFirings_ = 0;
    powerPiecesOnBoard_ = powerPiecesUsed_ = 0;
    powerGivenSinceClick_ = powerFiredThisPass_ = false;
    tutorialPowerGiven_ = randomBlastPending_ = false;
    freezeFrames_ = 0;
    areaBlastsThisMove_ = 0;
    pendingStrikes_ = 0;
    beams_.clear();
    beamPhase_ = false;
    flights_.clear();
    fiveSlots_.fill(kNone);
    clearingHit_.fill(ClearingHit::Normal);
    clearBonusState();
    pool_.clear();
    marks_.fill(0);
    struck_.fill(false);
    forcedCutOff_.fill(false);
    firstPassPoints_ = 0;
    goldSquareCount_ = 0;
    nearlyDone_ = levelGoalSeen_ = false;
    frameCounter_ = 0;
    timer_ = 0;
    redAlertFrames_ = -1;
    sunCarried_ = false;
    sunsUsed_ = 0;
    swapCount_ = 0;
    scoreStep_ = 1;
    displayedScore_ = score_;
}

void Board::applyLayoutSquare(int code, int x, int y) {
    size_t i = at(x, y);
    switch (code) {
        case 0:
            tileType_[i] = kTilePlain;
            tileFrame_[i] = kFramePlain;
            kinds_[i] = kEmpty;
            break;
        case 2:
            tileType_[i] = kTileCobweb;
            tileFrame_[i] = kFrameCobweb;
            kinds_[i] = kEmpty;
            break;
        case 3:
            tileType_[i] = kTileTwoVines;
            tileFrame_[i] = kFrameTwoVines;
            kinds_[i] = kTwoVines;
            break;
        case 4:
            tileType_[i] = kTileOneVine;
            tileFrame_[i] = kFrameOneVine;
            kinds_[i] = kOneVine;
            break;
        case 5:
            tileType_[i] = kTileDouble;
            tileFrame_[i] = kFrameDouble;
            kinds_[i] = kEmpty;
            break;
        case 6:
            tileType_[i] = kTileTriple;
            tileFrame_[i] = kFrameTriple;
            kinds_[i] = kEmpty;
            break;
        default:
            tileType_[i] = kTileHole;
            tileFrame_[i] = kFrameHidden;
            kinds_[i] = kHole;
            return;
    }
    ++playableSquares_;
    if (code == 3 || code == 4)
        hasVines_ = true;
}

void Board::computeTopVineRow() {
    topVineRow_ = kRows;
    for (int x = 0; x < kColumns; ++x) {
        for (int y = 0; y < kRows; ++y) {
            if (isVineSquare(x, y))
                topVineRow_ = std::min(topVineRow_, y);
        }
    }
}

bool Board::startLevel(int level, const LevelRecord& record, const BoardLayout& layout, std::string& error) {
    if (level < 1 || level > LevelTable::kRegularLevels) {
        error = "level " + std::to_string(level) + " is not a regular level (1..60)";
        return false;
    }
    Board saved = *this;
    clearLevelState();
    level_ = level;
    bonusLevel_ = false;
    record_ = record;
    powerChance_ = record.powerChanceStart;
    pieceIds_.fill(kNone);
    gold_.fill(0);
    playableSquares_ = 0;
    hasVines_ = false;
    for (int y = 0; y < kRows; ++y) {
        for (int x = kColumns - 1; x >= 0; --x)
            applyLayoutSquare(layout.code(x, y), x, y);
    }
    computeTopVineRow();
    computeFlowMap();
    if (!initialFill(error)) {
        error = "level " + std::to_string(level) + ": " + error;
        *this = saved;
        return false;
    }
    announceFirstBoard();
    return true;
}

void Board::announceFirstBoard() {
    bool seen[5] = {};
    int longestZoom = 0;
    for (int x = 0; x < kColumns; ++x) {
        for (int y = 0; y < kRows; ++y) {
            size_t i = at(x, y);
            events_->tileChanged(x, y, tileType_[i], tileFrame_[i]);
            switch (tileType_[i]) {
                case kTileCobweb:
                    seen[0] = true;
                    break;
                case kTileTwoVines:
                    seen[1] = true;
                    break;
                case kTileOneVine:
                    seen[2] = true;
                    break;
                case kTileDouble:
                    seen[3] = true;
                    break;
                case kTileTriple:
                    seen[4] = true;
                    break;
                default:
                    break;
            }
            if (kinds_[i] >= 0) {
                // The zoom-in of the first board: 4..24 frames and 1..3 turns.
                int steps = 4 + random_->nextInt(20);
                int turns = 1 + random_->nextInt(2);
                longestZoom = std::max(longestZoom, steps);
                events_->piecePlaced(pieceIds_[i], x, y, kinds_[i], steps, turns);
            }
        }
    }
    // Picks wait until the pieces have zoomed in.
    dropInFrames_ = longestZoom;
    events_->playSound(board::kSoundBoardFill, 1.0);
    // Explanation pages of the special squares: cobweb, two vines, one vine, double and triple tile.
    for (int k = 0; k < 5; ++k) {
        if (seen[k])
            events_->explanationOffered(board::kPageCobweb + k);
    }
}

void Board::setSquares(const std::array<SquareSetup, kSquares>& squares) {
    clearLevelState();
    bonusLevel_ = false;
    playableSquares_ = 0;
    hasVines_ = false;
    powerPiecesOnBoard_ = 0;
    for (int x = 0; x < kColumns; ++x) {
        for (int y = 0; y < kRows; ++y) {
            size_t i = at(x, y);
            const SquareSetup& s = squares[i];
            kinds_[i] = s.value;
            tileType_[i] = s.tileType;
            tileFrame_[i] = s.frame;
            gold_[i] = s.gold ? 1 : 0;
            pieceIds_[i] = kNone;
            if (s.tileType != kTileHole)
                ++playableSquares_;
            if (isVineTile(s.tileType))
                hasVines_ = true;
            if (s.gold)
                ++goldSquareCount_;
            if (s.value >= 0)
                pieceIds_[i] = pool_.acquire(x, y);
            if (isPowerValue(s.value))
                ++powerPiecesOnBoard_;
            if (powerOf(s.value) == 2)
                drawDragonflySeed(pieceIds_[i]);
        }
    }
    computeTopVineRow();
    computeFlowMap();
    hint_ = searchMove();
    // Empty squares that the refill serves make the board busy until they are filled.
    if (emptySquareWaiting())
        enterState(kBusy);
}

void Board::setTimer(int timer) {
    timer_ = std::clamp(timer, 0, kTimerFull);
}

int Board::state() const {
    switch (outcome_) {
        case Outcome::Complete:
            return kLevelComplete;
        case Outcome::Lost:
            return kGameOver;
        default:
            return state_;
    }
}

bool Board::pieceAtRest(int x, int y) const {
    const Piece* p = pool_.find(pieceIds_[at(x, y)]);
    return p == nullptr || p->atRest();
}

bool Board::piecesAtRest() const {
    for (int id = 0; id < kPoolSize; ++id) {
        const Piece& p = pool_.slot(id);
        if (p.inUse && !p.atRest())
            return false;
    }
    return true;
}

bool Board::allSquaresGold() const {
    for (int i = 0; i < kSquares; ++i) {
        if (kinds_[static_cast<size_t>(i)] >= 0 && gold_[static_cast<size_t>(i)] == 0)
            return false;
    }
    return true;
}

int Board::timeUsed() const {
    return timer_ / std::max(1, 24 / record_.timerTickFrames);
}

int Board::timeLeft() const {
    return std::max(0, (kTimerFull - timer_) / std::max(1, 24 / record_.timerTickFrames) - 11);
}

LevelReport Board::collectReportValues() const {
    LevelReport r;
    r.level = level_;
    r.score = score_;
    r.timeLeft = timeLeft();
    r.bonusLevel = bonusLevel_;
    r.sunsUsed = sunsUsed_;
    r.powerPiecesUsed = powerPiecesUsed_;
    r.squaresNotGold = complete() ? 0 : std::max(0, playableSquares_ - goldSquareCount_);
    return r;
}
