// Board: the bonus level: the prize grid, picks, prizes with their flights to the score and the console
// sun, the row, column and area bonus blasts, and the end after the last pick.
#include "game/rules/Board.h"

using namespace board;

bool Board::startBonusLevel(int level, const LevelRecord& record, std::string& error) {
    if (LevelTable::bonusRecordForLevel(level) == 0) {
        error = "level " + std::to_string(level) + " has no bonus level (5, 10, ... 60)";
        return false;
    }
    clearLevelState();
    level_ = level;
    bonusLevel_ = true;
    record_ = record;
    powerChance_ = record.powerChanceStart;
    pieceIds_.fill(kNone);
    gold_.fill(0);
    // The prize grid replaces the board: no square holds a piece.
    kinds_.fill(kHole);
    tileType_.fill(kTileHole);
    tileFrame_.fill(kFrameHidden);
    playableSquares_ = 0;
    hasVines_ = false;
    computeTopVineRow();
    computeFlowMap();
    buildBonusGrid();
    // Before the first bonus level its explanation is offered.
    if (level == 5)
        events_->explanationOffered(board::kPageBonusLevel);
    return true;
}

void Board::buildBonusGrid() {
    bonusPoints_ = bonusSuns_ = sunsOwed_ = 0;
    bonusGrid_.deal(*random_);
    events_->bonusGridDealt(bonusGrid_.prizes());
    events_->bonusPicksChanged(bonusClicksLeft_);
}

void Board::clearBonusState() {
    bonusClicksLeft_ = kBonusPicks;
    bonusClicks_ = bonusPoints_ = bonusSuns_ = sunsOwed_ = sunsArrived_ = bonusSunsDelivered_ = 0;
    deliveryFrames_ = 0;
    sunRevealed_ = false;
    prizeFlights_.clear();
    bonusBlasts_.clear();
    bonusEndPhase_ = bonusEndFrames_ = 0;
}

void Board::addBonusPicks(int n) {
    if (bonusEndPhase_ != 0)
        return;
    bonusClicksLeft_ += n;
    if (bonusClicksLeft_ < 0 && bonusClicksLeft_ > -5)
        bonusClicksLeft_ = 0;
    events_->bonusPicksChanged(bonusClicksLeft_);
}

void Board::pickBonusBlock(int row, int column) {
    if (!bonusLevel_ || finished() || dialogShown_ || bonusClicksLeft_ <= 0 || bonusEndPhase_ != 0 ||
        !BonusGrid::onGrid(row, column) || !bonusGrid_.covered(row, column))
        return;
    ++bonusClicks_;
    // The last pick of a level that showed no sun yet shows a sun prize, and awards it.
    if (bonusClicksLeft_ == 1 && !sunRevealed_)
        bonusGrid_.setPrize(row, column, 5 + random_->nextInt(2));
    breakBonusBlock(row, column, true);
    addBonusPicks(-1);
}

void Board::breakBonusBlock(int row, int column, bool byPick) {
    bonusGrid_.uncover(row, column);
    events_->playSound(board::kSoundBlockBreak, 1.0);
    int prize = bonusGrid_.prize(row, column);
    events_->bonusBlockBroken(row, column, prize, true);
    revealBonusPrize(row, column, prize, byPick);
}

void Board::revealBonusPrize(int row, int column, int prize, bool byPick) {
    if (int points = BonusGrid::pointsOf(prize); points > 0) {
        if (prize == 4)
            events_->playSound(board::kSoundBigPrize, 1.0);
        bonusPoints_ += points;
        prizeFlights_.push_back({kPrizeFlightFrames, points, 0});
        events_->bonusPointsSent(row, column, points, kPrizeFlightFrames);
    } else if (int suns = BonusGrid::sunsOf(prize); suns > 0) {
        sunRevealed_ = true;
        bonusSuns_ += suns;
        sunsOwed_ += suns;
        prizeFlights_.push_back({kPrizeFlightFrames, 0, suns});
        events_->bonusSunsSent(row, column, suns, kPrizeFlightFrames);
        events_->sunsOwedChanged(sunsOwed_);
    } else if (BonusGrid::isBlast(prize)) {
        BonusBlast blast = static_cast<BonusBlast>(prize);
        bonusBlasts_.push_back({blast, row, column, 0, kBonusBlastStepFrames});
        events_->bonusBlastStarted(blast, row, column);
    } else if (prize == BonusGrid::kExtraPick) {
        addBonusPicks(1);
        // A pick that finds one more pick is not counted.
        if (byPick)
            --bonusClicks_;
    }
}

// One step of a bonus blast: the next pair of blocks outward along its row or column, or the blocks
// around it. Blocks already broken are passed over.
void Board::bonusBlastStep(BonusBlastRun& run, bool& more) {
    ++run.step;
    std::vector<std::pair<int, int>> cells;
    switch (run.blast) {
        case BonusBlast::Row:
            cells = {{run.row, run.column - run.step}, {run.row, run.column + run.step}};
            break;
        case BonusBlast::Column:
            cells = {{run.row - run.step, run.column}, {run.row + run.step, run.column}};
            break;
        case BonusBlast::Area:
            for (int dr = -1; dr <= 1; ++dr) {
                for (int dc = -1; dc <= 1; ++dc) {
                    if (dr != 0 || dc != 0)
                        cells.push_back({run.row + dr, run.column + dc});
                }
            }
            break;
    }
    more = false;
    for (auto [r, c] : cells) {
        if (!BonusGrid::onGrid(r, c))
            continue;
        if (run.blast != BonusBlast::Area)
            more = true;
        if (bonusGrid_.covered(r, c))
            breakBonusBlock(r, c, false);
    }
}

void Board::breakAllBonusBlocks() {
    for (int r = 0; r < BonusGrid::kSize; ++r) {
        for (int c = 0; c < BonusGrid::kSize; ++c) {
            if (!bonusGrid_.covered(r, c))
                continue;
            bonusGrid_.uncover(r, c);
            events_->bonusBlockBroken(r, c, bonusGrid_.prize(r, c), false);
        }
    }
}

void Board::bonusStep() {
    // Prizes in flight: points join the score on arrival, suns become deliverable.
    std::vector<PrizeFlight> flying;
    for (PrizeFlight f : prizeFlights_) {
        if (--f.frames > 0) {
            flying.push_back(f);
            continue;
        }
        if (f.points > 0) {
            addPoints(f.points);
            events_->bonusPointsArrived(f.points);
        }
        sunsArrived_ += f.suns;
    }
    prizeFlights_ = std::move(flying);
    if (deliveryFrames_ > 0)
        --deliveryFrames_;
    if (sunsArrived_ > 0 && deliveryFrames_ == 0) {
        --sunsArrived_;
        --sunsOwed_;
        ++suns_;
        ++bonusSunsDelivered_;
        events_->playSound(board::kSoundSun, 1.0);
        events_->sunDelivered(suns_);
        events_->sunsOwedChanged(sunsOwed_);
        deliveryFrames_ = kSunDeliveryFrames;
    }
    // Blasts revealed by a blast start on the next frame.
    size_t running = bonusBlasts_.size();
    std::vector<bool> done(running, false);
    for (size_t b = 0; b < running; ++b) {
        if (--bonusBlasts_[b].frames > 0)
            continue;
        BonusBlastRun run = bonusBlasts_[b];
        bool more = false;
        bonusBlastStep(run, more);
        run.frames = kBonusBlastStepFrames;
        bonusBlasts_[b] = run;
        done[b] = !more;
    }
    std::vector<BonusBlastRun> left;
    for (size_t b = 0; b < bonusBlasts_.size(); ++b) {
        if (b >= running || !done[b])
            left.push_back(bonusBlasts_[b]);
    }
    bonusBlasts_ = std::move(left);
    switch (bonusEndPhase_) {
        case 0:
            // The last pick ends the level once its blast has run, so a pick it finds is not lost; a
            // grid with no covered block left ends it too.
            if ((bonusClicksLeft_ == 0 || bonusGrid_.coveredCount() == 0) && bonusBlasts_.empty()) {
                bonusClicksLeft_ = -99;
                events_->bonusPicksChanged(bonusClicksLeft_);
                events_->playSound(board::kSoundLastPick, 1.0);
                bonusEndPhase_ = 1;
                bonusEndFrames_ = kBreakRestDelay;
            }
            break;
        case 1:
            if (--bonusEndFrames_ <= 0) {
                breakAllBonusBlocks();
                bonusEndPhase_ = 2;
                bonusEndFrames_ = kBonusEndDelay;
            }
            break;
        default:
            // Completes once every prize in flight has arrived and every owed sun is delivered.
            if (bonusEndFrames_ > 0)
                --bonusEndFrames_;
            if (bonusEndFrames_ == 0 && prizeFlights_.empty() && sunsOwed_ == 0)
                endLevel(Outcome::Complete, LevelLoss::Timer);
            break;
    }
}
