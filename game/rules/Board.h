// Board: the rules of the board as a plain model: the 13x10 grid with its per-square arrays, the piece
// pool, the move cycle (states 0-3), matching, cascades, gravity, scoring, gold, the timer, suns, the
// level goal, power pieces with their effects in flight, and the bonus level's prize grid. The canvas
// owns one, calls it with its lock held (the model has no locks of its own), drives it once a frame and
// turns its events into sprites. Time is counted in frames.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "game/rules/BoardEvents.h"
#include "game/rules/BoardIds.h"
#include "game/rules/BoardLayout.h"
#include "game/rules/BoardValues.h"
#include "game/rules/BonusGrid.h"
#include "game/rules/LevelTable.h"
#include "game/rules/PiecePool.h"
#include "util/Random.h"

// What a square holds, for a board set up by hand (tests, scenarios, a level editor).
struct SquareSetup {
    int value = board::kEmpty;
    int tileType = board::kTilePlain;
    int frame = board::kFramePlain;
    bool gold = false;
};

// The values a finished level reports.
struct LevelReport {
    int level = 0;
    int score = 0;
    int timeLeft = 0;
    bool bonusLevel = false;
    int sunsUsed = 0;
    int powerPiecesUsed = 0;
    int squaresNotGold = 0;
};

struct SwapMove {
    int x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    bool valid() const { return x1 >= 0; }
};

class Board {
public:
    // Board states of the move cycle, and the canvas states the level ends in.
    static constexpr int kPlay = board::kPlay;
    static constexpr int kBusy = board::kBusy;
    static constexpr int kResolving = board::kResolving;
    static constexpr int kSettling = board::kSettling;
    static constexpr int kGameOver = board::kGameOver;
    static constexpr int kLevelComplete = board::kLevelComplete;

    static constexpr int kTimerFull = 400;
    static constexpr int kSwapGlideFrames = 6;
    static constexpr int kFallGlideFrames = 2;
    static constexpr int kResolveWaitFrames = 31;
    static constexpr int kRedAlertFrames = 120;
    static constexpr int kNoMoreMovesDelay = 40;
    static constexpr int kHintIdleFrames = 175;
    // How often the quiet play state looks for a board that is all gold.
    static constexpr int kIdleCheckFrames = 8;
    // Busy frames with nothing moving, spawning or leaving before empty squares are declared cut off.
    static constexpr int kWatchdogFrames = 48;
    // Powers: the clock's freeze, a dragonfly's longest path and its glide per square.
    static constexpr int kClockFreezeFrames = 241;
    static constexpr int kDragonflyPathSquares = 52;
    static constexpr int kDragonflyFramesPerSquare = 4;
    // Bonus level: a bonus blast breaks a pair of blocks per step; prizes fly to the score or the
    // console; owed suns arrive one at a time; the end of the last pick.
    static constexpr int kBonusPicks = 5;
    static constexpr int kBonusBlastStepFrames = 6;
    static constexpr int kPrizeFlightFrames = 25;
    static constexpr int kSunDeliveryFrames = 12;
    static constexpr int kBreakRestDelay = 50;
    static constexpr int kBonusEndDelay = 100;

    // The generator is the game's shared one (tests and the bot seed their own); `events` may be null.
    explicit Board(util::Random& random, BoardEvents* events = nullptr);

    void setEvents(BoardEvents* events) { events_ = events != nullptr ? events : &silentEvents(); }
    // The 18 kind codes of the kind table, in table order (by default 0..17).
    void setKindCodes(const std::array<int, board::kKindCount>& codes);
    // The record of a hand-made board; the power chance starts from it.
    void setRecord(const LevelRecord& record) {
        record_ = record;
        powerChance_ = record.powerChanceStart;
    }
    const LevelRecord& record() const { return record_; }

    // Sets up regular level 1..60 from its record and layout and fills the first board. On a bad level
    // number, or a layout on which no first board with a move can be drawn, returns false with
    // `error` set and leaves the board as it was.
    bool startLevel(int level, const LevelRecord& record, const BoardLayout& layout, std::string& error);
    // Sets up the bonus level played after regular level 5, 10, ... 60 with its bonus record and deals
    // the prize grid; false with `error` set for any other level.
    bool startBonusLevel(int level, const LevelRecord& record, std::string& error);
    // Replaces every square (a hand-made board): new pool ids, no marks, the flow map rebuilt, quiet in
    // the play state, or busy while the refill has empty squares to fill.
    void setSquares(const std::array<SquareSetup, board::kSquares>& squares);

    // One frame of the per-frame update: timer, move cycle, gravity, then one frame of piece motion.
    void frame();

    // The idle check, run by frame every kIdleCheckFrames frames: a quiet board in play that is all
    // gold goes busy, where the goal check completes the level. True when it did.
    bool idleCheck();

    // Input. A pick of square (x, y) as a click or the end of a drag on it.
    void pickPiece(int x, int y);
    // The console sun: picks a sun up, or puts the carried one back.
    void clickConsoleSun();
    // A carried sun goes back to the console whatever is on show (a level's end, leaving the level).
    void putSunBack();
    // A pick of a bonus block, row and column 0..5.
    void pickBonusBlock(int row, int column);
    // The pointer rests on (x, y): lights what the power there would reach (previewShown).
    void previewPower(int x, int y);
    // While a dialog is shown the timer stops, no hint shows and picks are ignored.
    void setDialogShown(bool shown) { dialogShown_ = shown; }
    // While an explanation is shown the timer stops too, but the player may go on playing under it.
    void setExplanationShown(bool shown) { explanationShown_ = shown; }
    // The player counts as idle long enough for the hint to show at the next quiet frame (the first
    // lesson points at the hinted move).
    void showHintSoon() { idleFrames_ = kHintIdleFrames + 1; }

    // Settings of a session: off, emptied squares are not refilled; off, the draw gives no power pieces.
    void setRefill(bool on) { refill_ = on; }
    bool refill() const { return refill_; }
    // Picks wait while the first pieces of a level zoom in.
    bool droppingIn() const { return dropInFrames_ > 0; }
    void setPowersEnabled(bool on) { powersEnabled_ = on; }
    void setTimer(int timer);
    void setSuns(int suns) { suns_ = suns < 0 ? 0 : suns; }
    void setScore(int score) { score_ = displayedScore_ = score; }

    // Squares.
    int value(int x, int y) const { return kinds_[at(x, y)]; }
    int tileType(int x, int y) const { return tileType_[at(x, y)]; }
    int tileFrame(int x, int y) const { return tileFrame_[at(x, y)]; }
    bool gold(int x, int y) const { return gold_[at(x, y)] != 0; }
    int pieceId(int x, int y) const { return pieceIds_[at(x, y)]; }
    int mark(int x, int y) const { return marks_[at(x, y)]; }
    int feeder(int x, int y) const { return feeder_[at(x, y)]; }
    const PiecePool& pool() const { return pool_; }
    // Kind-table index of a value (a power piece by its base kind), or -1 when it is no kind.
    int kindIndexOf(int value) const;
    int kindCode(int index) const { return kindCodes_[static_cast<size_t>(index)]; }
    bool isCobweb(int x, int y) const { return tileType(x, y) == board::kTileCobweb; }
    bool isVineSquare(int x, int y) const { return board::isVineTile(tileType(x, y)); }

    // State: 0-3 the move cycle, 7 game over, 8 level complete.
    int state() const;
    bool finished() const { return outcome_ != Outcome::None; }
    bool complete() const { return outcome_ == Outcome::Complete; }
    int level() const { return level_; }
    int score() const { return score_; }
    int displayedScore() const { return displayedScore_; }
    int goldSquareCount() const { return goldSquareCount_; }
    int playableSquares() const { return playableSquares_; }
    int timer() const { return timer_; }
    int suns() const { return suns_; }
    bool sunCarried() const { return sunCarried_; }
    int cascadeCount() const { return cascadeCount_; }
    // Swaps tried on level 1 (the first lessons follow them); 0 on any other level.
    int swapCount() const { return swapCount_; }
    int frameCounter() const { return frameCounter_; }
    int redAlertFrames() const { return redAlertFrames_; }
    bool noMoreMoves() const { return noMoreMoves_; }
    bool nearlyDone() const { return nearlyDone_; }
    int piecesCleared() const { return piecesCleared_; }
    int piecesPendingRemoval() const { return pendingRemoval_; }
    int powerPiecesOnBoard() const { return powerPiecesOnBoard_; }
    int watchdogFirings() const { return watchdogFirings_; }
    int powerPiecesUsed() const { return powerPiecesUsed_; }
    int areaBlastsThisMove() const { return areaBlastsThisMove_; }
    int pendingStrikes() const { return pendingStrikes_; }
    int beamsInFlight() const { return static_cast<int>(beams_.size()); }
    int dragonfliesFlying() const { return static_cast<int>(flights_.size()); }
    int freezeFrames() const { return freezeFrames_; }
    // A five-match slot's square, or (-13, -13) when the slot is free.
    BoardSquare fiveMatchSlot(int slot) const;
    // Beams, strikes or dragonflies still at work: the board is not quiet while any is.
    bool effectsInFlight() const { return !beams_.empty() || !flights_.empty() || pendingStrikes_ > 0; }
    // The squares a power piece on (x, y) would reach, as its preview shows them.
    std::vector<BoardSquare> powerReach(int x, int y) const;
    // The path the dragonfly resting on (x, y) will fly when its piece is cleared.
    std::vector<BoardSquare> dragonflyPath(int x, int y) const;

    // Bonus level.
    bool bonusLevel() const { return bonusLevel_; }
    const BonusGrid& bonusGrid() const { return bonusGrid_; }
    // Replaces the dealt prizes (tests and scenarios); every block covered again.
    void setBonusPrizes(const BonusGrid::Prizes& prizes) { bonusGrid_.set(prizes); }
    int bonusClicksLeft() const { return bonusClicksLeft_; }
    int bonusClicks() const { return bonusClicks_; }
    int bonusPoints() const { return bonusPoints_; }
    int bonusSuns() const { return bonusSuns_; }
    int sunsOwed() const { return sunsOwed_; }
    int bonusSunsDelivered() const { return bonusSunsDelivered_; }
    bool bonusBlastRunning() const { return !bonusBlasts_.empty(); }
    int matchCounter(int kindIndex) const { return matchCounters_[static_cast<size_t>(kindIndex)]; }
    int spawnRow() const { return spawnRow_; }
    int topVineRow() const { return topVineRow_; }
    const SwapMove& hint() const { return hint_; }
    int selectedPiece() const { return selectedPiece_; }

    bool piecesAtRest() const;
    bool pieceAtRest(int x, int y) const;
    // The level goal: every square holding a piece is gold.
    bool allSquaresGold() const;
    // Whether a swap that makes a run exists, without touching the recorded hint.
    bool hasMove() const;
    // Whether swapping the pieces of two neighbouring squares makes a run (false when they cannot swap).
    bool swapMakesRun(int x1, int y1, int x2, int y2) const;
    // Squares of the runs the swap would make (each once); 0 when it makes none.
    int runSquaresAfterSwap(int x1, int y1, int x2, int y2, std::array<bool, board::kSquares>* squares) const;
    LevelReport collectReportValues() const;
    // The score stored in the profile after the level's time bonus: the score itself, not the counting
    // display, which may lag behind.
    int storedScore(int timeBonus) const { return score_ + timeBonus; }
    // Time used and time left in the units of the level-complete tally.
    int timeUsed() const;
    int timeLeft() const;

    // The rules, public so that the powers, the view and the tests drive them one by one.
    int findMatches();
    bool markSquareMatched(int x, int y);
    void removeMarkedPieces();
    bool swapMadeMatch() const;
    bool performSwap(bool swapBack);
    int findHintMove();
    void gravityStep();
    void computeFlowMap();
    int chooseNewPieceKind();
    void scoreMatchPass();
    void turnSquareGold(int x, int y);
    void setTileFrame(int x, int y, int frame);
    void blastSquare(int x, int y);
    void removeCobweb(int x, int y);
    void damageVine(int x, int y, bool byMatch);
    void placeSun(int x, int y);
    void timerTick();
    void updateDisplayedScore();
    // Fires the power of a piece (values 2000 and above only).
    void firePower(int x, int y);
    int choosePowerChoice();
    void areaBlast(int x, int y, int ring);
    void colourBlast(int kind);
    void launchRandomStrikes(int count);
    void strikeStep();
    void checkFiveMatch();
    void awardFiveMatch();
    void advanceMultiTile(int x, int y);
    void addBonusPicks(int n);

private:
    enum class Outcome { None, Complete, Lost };

    static size_t at(int x, int y) { return static_cast<size_t>(board::squareIndex(x, y)); }
    int& kindAt(int x, int y) { return kinds_[at(x, y)]; }

    // Set-up.
    void clearLevelState();
    void applyLayoutSquare(int code, int x, int y);
    void computeTopVineRow();
    bool initialFill(std::string& error);
    bool fillPasses(std::string& error);
    void announceFirstBoard();

    // Move cycle.
    void runMoveCycle();
    void resolvingStep();
    void settlingStep();
    void busyStep();
    void enterState(int state);
    void checkQuietBoard();
    void noMoreMovesRule();
    void endLevel(Outcome outcome, LevelLoss reason);
    void watchdogStep(bool activity);
    void hintAndShimmer();
    void clearSelection(bool withSound);
    void clearHint();

    // Matching.
    int readerKind(int x, int y) const;
    bool matchesAtRest(int x, int y, int kind) const;
    bool startsRun(int x, int y);
    int countKindsMatched() const;
    bool squareInRun(const std::array<int, board::kSquares>& values, int x, int y) const;
    int kindOnGrid(const std::array<int, board::kSquares>& values, int x, int y) const;
    bool canSwapPair(int x1, int y1, int x2, int y2) const;
    SwapMove searchMove() const;

    // Gravity.
    bool blocked(int x, int y, bool& vineSeen) const;
    bool open(int x, int y, bool& vineSeen) const;
    bool emptyTarget(int x, int y) const;
    bool movablePiece(int x, int y) const;
    void movePiece(int fromX, int fromY, int toX, int toY);
    bool spawnPieceAtTop(int x, int y);
    void landPieces();
    bool emptySquareWaiting() const;

    // Gold and tiles.
    void setTile(int x, int y, int tileType, int frame);
    void makeGold(int x, int y);
    void addPoints(int points) { score_ += points; }

    // Powers.
    struct Beam {
        Heading heading;
        int beam;  // 0..9 within its direction's pool
        int x, y;
    };
    struct Flight {
        int id;
        std::vector<BoardSquare> path;
        size_t next = 0;
        int frames = 0;
        Heading heading = Heading::Up;
    };
    void powerEffect(int x, int y);
    int tutorialPower() const;
    int drawPlainKind();
    void lineBlast(int x, int y, bool row, bool column);
    void walkLineForFiveMatch(int fixed, bool row);
    void recordFiveMatch(int x, int y);
    void launchBeam(Heading heading, int x, int y);
    void effectsStep();
    void beamStep();
    void beamOver(int x, int y);
    void flightStep();
    void dragonflyVisit(int x, int y);
    bool strikeTarget(int& tx, int& ty);
    void takeOff(int x, int y);
    uint32_t& dragonflySeed(int id) { return dragonflySeeds_[static_cast<size_t>(id)]; }
    void drawDragonflySeed(int id);
    std::vector<BoardSquare> planPath(int x, int y, uint32_t seed, Heading* last) const;
    int countPowerPieces() const;

    // Bonus level.
    struct PrizeFlight {
        int frames;
        int points;
        int suns;
    };
    struct BonusBlastRun {
        BonusBlast blast;
        int row, column;
        int step;
        int frames;
    };
    void clearBonusState();
    void buildBonusGrid();
    void bonusStep();
    void breakBonusBlock(int row, int column, bool byPick);
    void revealBonusPrize(int row, int column, int prize, bool byPick);
    void bonusBlastStep(BonusBlastRun& run, bool& more);
    void breakAllBonusBlocks();

    static BoardEvents& silentEvents();

    util::Random* random_;
    BoardEvents* events_;
    std::array<int, board::kKindCount> kindCodes_{};
    LevelRecord record_{};

    // Per-square arrays.
    std::array<int, board::kSquares> kinds_{};
    std::array<int, board::kSquares> gold_{};
    std::array<int, board::kSquares> pieceIds_{};
    std::array<int, board::kSquares> marks_{};
    std::array<int, board::kSquares> tileType_{};
    std::array<int, board::kSquares> tileFrame_{};
    std::array<bool, board::kSquares> struck_{};  // cobweb-struck mark
    std::array<int, board::kSquares> feeder_{};
    std::array<int, board::kSquares> slideCode_{};
    std::array<bool, board::kSquares> moved_{};
    // Squares the watchdog declared cut off; the flow map keeps them so until the level restarts.
    std::array<bool, board::kSquares> forcedCutOff_{};
    PiecePool pool_;
    std::array<int, board::kKindCount> matchCounters_{};

    // Level.
    int level_ = 0;
    bool bonusLevel_ = false;
    bool hasVines_ = false;
    int playableSquares_ = 0;
    int topVineRow_ = board::kRows;
    int spawnRow_ = 0;

    // Move cycle.
    int state_ = kPlay;
    Outcome outcome_ = Outcome::None;
    int stateFrames_ = 0;
    int selectedPiece_ = board::kNone;
    int secondPiece_ = board::kNone;
    int swapCount_ = 0;
    int cascadeCount_ = 0;
    int piecesCleared_ = 0;
    int pendingRemoval_ = 0;
    bool noMoreMoves_ = false;
    bool noMoreMovesHandled_ = false;
    int lossDelay_ = -1;
    SwapMove hint_;
    bool hintVisible_ = false;
    int idleFrames_ = 0;
    int dropInFrames_ = 0;
    bool dialogShown_ = false;
    bool explanationShown_ = false;
    bool refill_ = true;
    bool powersEnabled_ = true;
    bool sideRight_ = false;
    bool activity_ = false;  // something spawned, moved or left this frame
    int watchdogFrames_ = 0;
    int watchdogFirings_ = 0;

    // Powers.
    int powerPiecesOnBoard_ = 0;
    int powerPiecesUsed_ = 0;
    int powerChance_ = 0;
    bool powerGivenSinceClick_ = false;
    bool powerFiredThisPass_ = false;
    bool filling_ = false;  // the first board of a level is being drawn
    bool tutorialPowerGiven_ = false;
    bool randomBlastPending_ = false;
    int freezeFrames_ = 0;
    int areaBlastsThisMove_ = 0;
    int pendingStrikes_ = 0;
    int nextCloud_ = 0;
    std::array<int, 4> nextBeam_{};
    std::vector<Beam> beams_;
    bool beamPhase_ = false;
    std::vector<Flight> flights_;
    int nextFlight_ = 0;
    std::array<int, 2> fiveSlots_{board::kNone, board::kNone};
    // Per pool id: the seed of the path of the dragonfly resting on that piece.
    std::array<uint32_t, board::kPoolSize> dragonflySeeds_{};
    // How the removal hits the tile of a marked square: normally once towards gold; after a colour
    // blast only a double or triple tile steps on; after a dragonfly's visit not at all (it hit it).
    enum class ClearingHit : unsigned char { Normal, ColourBlast, Done };
    std::array<ClearingHit, board::kSquares> clearingHit_{};

    // Bonus level.
    BonusGrid bonusGrid_;
    int bonusClicksLeft_ = 0;
    int bonusClicks_ = 0;
    int bonusPoints_ = 0;
    int bonusSuns_ = 0;
    int sunsOwed_ = 0;
    int sunsArrived_ = 0;  // owed suns that reached the console and wait to be delivered
    int bonusSunsDelivered_ = 0;
    int deliveryFrames_ = 0;
    bool sunRevealed_ = false;
    std::vector<PrizeFlight> prizeFlights_;
    std::vector<BonusBlastRun> bonusBlasts_;
    int bonusEndPhase_ = 0;  // 0 picking, 1 waiting to break the rest, 2 waiting to complete
    int bonusEndFrames_ = 0;

    // Scoring, gold, timer, suns.
    int score_ = 0;
    int displayedScore_ = 0;
    int scoreStep_ = 1;
    int firstPassPoints_ = 0;
    int goldSquareCount_ = 0;
    bool nearlyDone_ = false;
    bool levelGoalSeen_ = false;
    int frameCounter_ = 0;
    int timer_ = 0;
    int redAlertFrames_ = -1;  // -1: no red alert yet
    int suns_ = 0;
    bool sunCarried_ = false;
    int sunsUsed_ = 0;
};
