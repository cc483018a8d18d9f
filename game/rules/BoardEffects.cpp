// Board: power effects that take frames: beams crossing the board, random strikes from the cloud drops,
// and dragonflies flying their paths. The board stays busy while any of them is at work.
#include "game/rules/Board.h"

using namespace board;

namespace {

constexpr int kBeamsPerDirection = 10;
constexpr int kCloudDrops = 20;
constexpr int kStrikeTries = 200;

int headingIndex(Heading h) {
    return static_cast<int>(h) - static_cast<int>(Heading::Up);
}

}  // namespace

void Board::launchBeam(Heading heading, int x, int y) {
    int& next = nextBeam_[static_cast<size_t>(headingIndex(heading))];
    Beam beam{heading, next, x, y};
    next = (next + 1) % kBeamsPerDirection;
    beams_.push_back(beam);
    events_->beamLaunched(heading, beam.beam, x, y);
}

void Board::effectsStep() {
    if (!beams_.empty()) {
        // Beams move one square every second frame.
        beamPhase_ = !beamPhase_;
        if (!beamPhase_)
            beamStep();
    } else {
        beamPhase_ = false;
    }
    if (!flights_.empty())
        flightStep();
    if (pendingStrikes_ > 0)
        strikeStep();
}

void Board::beamStep() {
    // Beams launched by a power that a beam reaches start moving on the next step.
    size_t moving = beams_.size();
    std::vector<bool> done(moving, false);
    for (size_t b = 0; b < moving; ++b) {
        Beam beam = beams_[b];
        switch (beam.heading) {
            case Heading::Up:
                --beam.y;
                break;
            case Heading::Right:
                ++beam.x;
                break;
            case Heading::Down:
                ++beam.y;
                break;
            case Heading::Left:
                --beam.x;
                break;
        }
        beams_[b] = beam;
        if (!onBoard(beam.x, beam.y)) {
            done[b] = true;
            events_->beamLeft(beam.heading, beam.beam);
            continue;
        }
        events_->beamMoved(beam.heading, beam.beam, beam.x, beam.y);
        // A beam crosses holes without stopping.
        if (tileType(beam.x, beam.y) != kTileHole)
            beamOver(beam.x, beam.y);
    }
    std::vector<Beam> left;
    for (size_t b = 0; b < beams_.size(); ++b) {
        if (b >= moving || !done[b])
            left.push_back(beams_[b]);
    }
    beams_ = std::move(left);
}

// A beam over a square: a piece there is cleared with a points label, a power there fires, and the
// square ends gold. The piece leaves with the next removal; gravity fills no marked square before that,
// so the beam clears exactly the squares it crosses.
void Board::beamOver(int x, int y) {
    size_t i = at(x, y);
    if (kinds_[i] >= 0 && marks_[i] != kMarked)
        events_->pointsLabel(x, y, 1);
    blastSquare(x, y);
}

void Board::flightStep() {
    size_t flying = flights_.size();
    std::vector<bool> done(flying, false);
    for (size_t f = 0; f < flying; ++f) {
        if (--flights_[f].frames > 0)
            continue;
        flights_[f].frames = kDragonflyFramesPerSquare;
        if (flights_[f].next < flights_[f].path.size()) {
            BoardSquare s = flights_[f].path[flights_[f].next++];
            events_->dragonflyMoved(flights_[f].id, s.x, s.y);
            // A visit may fire a dragonfly piece: the new flight joins the list (references go stale).
            dragonflyVisit(s.x, s.y);
            continue;
        }
        done[f] = true;
        events_->dragonflyLeft(flights_[f].id, flights_[f].heading);
        if (powerPiecesOnBoard_ > 0)
            --powerPiecesOnBoard_;
    }
    std::vector<Flight> left;
    bool landed = false;
    for (size_t f = 0; f < flights_.size(); ++f) {
        if (f < flying && done[f])
            landed = true;
        else
            left.push_back(std::move(flights_[f]));
    }
    flights_ = std::move(left);
    if (landed) {
        computeFlowMap();
        if (!finished())
            enterState(kBusy);
    }
}

// A dragonfly over a square: a piece there is marked (its power fires), vines and cobweb go, and the
// square gets one hit towards gold; a double or triple tile steps on once per visit.
void Board::dragonflyVisit(int x, int y) {
    if (tileType(x, y) == kTileHole)
        return;
    size_t i = at(x, y);
    if (kinds_[i] >= 0 && marks_[i] != kMarked)
        markSquareMatched(x, y);
    events_->pointsLabel(x, y, 1);
    while (isVineSquare(x, y))
        damageVine(x, y, false);
    if (isCobweb(x, y))
        removeCobweb(x, y);
    if (gold_[i] == 0 && clearingHit_[i] != ClearingHit::Done)
        turnSquareGold(x, y);
    if (marks_[i] == kMarked)
        clearingHit_[i] = ClearingHit::Done;
}

void Board::launchRandomStrikes(int count) {
    for (int s = 0; s < count; ++s) {
        int cloud = nextCloud_;
        nextCloud_ = (nextCloud_ + 1) % kCloudDrops;
        events_->cloudDropShown(cloud, 200 + random_->nextInt(600));
    }
    pendingStrikes_ += count;
}

// The first square of up to 200 random tries whose tile is visible, not gold and not marked; else the
// first such square in board order (rows from the top, each from the left).
bool Board::strikeTarget(int& tx, int& ty) {
    auto fits = [&](int x, int y) {
        size_t i = at(x, y);
        return tileType_[i] != kTileHole && gold_[i] == 0 && marks_[i] != kMarked;
    };
    for (int t = 0; t < kStrikeTries; ++t) {
        int x = random_->nextInt(kColumns - 1), y = random_->nextInt(kRows - 1);
        if (fits(x, y)) {
            tx = x, ty = y;
            return true;
        }
    }
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kColumns; ++x) {
            if (fits(x, y)) {
                tx = x, ty = y;
                return true;
            }
        }
    }
    return false;
}

void Board::strikeStep() {
    if (allSquaresGold()) {
        pendingStrikes_ = 0;
        return;
    }
    // Strikes come from the cloud drops in the order they appeared.
    int cloud = ((nextCloud_ - pendingStrikes_) % kCloudDrops + kCloudDrops) % kCloudDrops;
    --pendingStrikes_;
    int x = 0, y = 0;
    // With nothing left to strike the strike is spent and does nothing.
    if (!strikeTarget(x, y))
        return;
    events_->strikeShown(x, y, cloud);
    events_->playSound(board::kSoundStrike, 1.0);
    events_->playSound(board::kSoundLightning + random_->nextInt(2), 1.0);
    size_t i = at(x, y);
    int v = kinds_[i];
    if (v == kHole || v == kEmpty || v == kCutOff || marks_[i] == kMarked)
        return;
    blastSquare(x, y);
}
