// BoardEvents: what the board model tells its view: sounds, piece motion, tiles, points, hints, powers in
// flight, the bonus grid, the level's end. Every operation does nothing by default, so a listener overrides
// only what it shows.
#pragma once

#include <array>
#include <vector>

// The landing bounce of a piece, drawn by the model so that a seed replays the same game with or
// without a view; the view shapes the curve from these.
struct LandingBounce {
    int frames = 0;       // 0: the piece stops at once
    double sideways = 0;  // sideways factor
    double upward = 0;    // upward factor
    int mode = 0;         // 0..2
};

// The points of one match pass and where they are shown: the marked squares' bounding columns and rows.
struct PassPoints {
    int points = 0;
    int cascade = 0;
    int left = 0, right = 0, top = 0, bottom = 0;
};

enum class LevelLoss { Timer, NoMoreMoves };

struct BoardSquare {
    int x = 0, y = 0;
    bool operator==(const BoardSquare&) const = default;
};

// Beam and dragonfly directions.
enum class Heading { Up = 2, Right = 3, Down = 4, Left = 5 };

// The three bonus blasts of the prize grid.
enum class BonusBlast { Row = 8, Column = 9, Area = 10 };

class BoardEvents {
public:
    virtual ~BoardEvents() = default;

    // An effect of the sound table at a volume 0..1.
    virtual void playSound(int /*effect*/, double /*volume*/) {}

    // A piece of the first board of a level, shown by its zoom-in of `zoomSteps` frames and `turns` turns.
    virtual void piecePlaced(int /*id*/, int /*x*/, int /*y*/, int /*value*/, int /*zoomSteps*/,
                             int /*turns*/) {}
    // A new piece enters above (x, y) and glides into it over `frames` frames.
    virtual void pieceSpawned(int /*id*/, int /*x*/, int /*y*/, int /*value*/, int /*frames*/) {}
    // A piece glides to (x, y) over `frames` frames.
    virtual void pieceMoved(int /*id*/, int /*x*/, int /*y*/, int /*frames*/) {}
    // A falling piece arrived; it bounces for bounce.frames frames.
    virtual void pieceLanded(int /*id*/, const LandingBounce& /*bounce*/) {}
    // A piece's value changed in place (it gained a power); its look follows the value.
    virtual void pieceChanged(int /*id*/, int /*value*/) {}
    // A square was marked for clearing: its match-out sparkle.
    virtual void squareMatched(int /*x*/, int /*y*/) {}
    // A piece leaves the board; its pool id is free from now on.
    virtual void pieceLeaving(int /*id*/, int /*x*/, int /*y*/) {}

    // A tile shows another type or frame (frame -1: hidden).
    virtual void tileChanged(int /*x*/, int /*y*/, int /*tileType*/, int /*frame*/) {}
    // A square turned gold: the "turned to gold" animation.
    virtual void squareTurnedGold(int /*x*/, int /*y*/) {}
    virtual void pointsShown(const PassPoints& /*points*/) {}

    // The picked square, or (-13, -13) when the selection is cleared.
    virtual void selectionChanged(int /*x*/, int /*y*/) {}
    virtual void hintShown(int /*x1*/, int /*y1*/, int /*x2*/, int /*y2*/) {}
    virtual void hintCleared() {}
    // A tutorial page the game may show now (the game decides whether this player sees it).
    virtual void explanationOffered(int /*page*/) {}
    // Every not-gold square shimmers once.
    virtual void shimmer() {}
    virtual void sunTwinkle() {}
    virtual void sunCarriedChanged(bool /*carried*/) {}
    virtual void sunPlaced(int /*x*/, int /*y*/, int /*sunsLeft*/) {}

    virtual void redAlert() {}
    // No move is left; with suns the level goes on, without them it is lost 40 frames later.
    virtual void noMoreMoves(bool /*withSuns*/) {}
    virtual void levelComplete() {}
    virtual void levelLost(LevelLoss /*reason*/) {}
    // Empty squares that never filled were declared cut off (a layout the flow map does not serve).
    virtual void watchdogFired(int /*squares*/) {}

    // Powers. A power piece on (x, y) fired; the explanation on screen, if any, is hidden.
    virtual void powerFired(int /*x*/, int /*y*/, int /*value*/) {}
    // A points label ("1") over a square that a power cleared.
    virtual void pointsLabel(int /*x*/, int /*y*/, int /*points*/) {}
    // An area blast of the given ring around (x, y).
    virtual void areaBlastShown(int /*x*/, int /*y*/, int /*ring*/) {}
    // A beam of a direction's pool (`beam` 0..9 within it) starts on (x, y), moves a square every second
    // frame, and leaves the board (the view lets it glide off the screen).
    virtual void beamLaunched(Heading /*heading*/, int /*beam*/, int /*x*/, int /*y*/) {}
    virtual void beamMoved(Heading /*heading*/, int /*beam*/, int /*x*/, int /*y*/) {}
    virtual void beamLeft(Heading /*heading*/, int /*beam*/) {}
    // A random blast's cloud drop `cloud` (0..19) appears at screen x `screenX` above the board.
    virtual void cloudDropShown(int /*cloud*/, int /*screenX*/) {}
    // A strike from a cloud drop on (x, y), with its thunder sound.
    virtual void strikeShown(int /*x*/, int /*y*/, int /*cloud*/) {}
    // The clock stopped the level timer for `frames` frames.
    virtual void timerFrozen(int /*frames*/) {}
    // A five-match flash in slot 0 or 1, shown on the square that will get a dragonfly, and hidden
    // again when the dragonfly is awarded or the slot dropped.
    virtual void fiveMatchFlash(int /*slot*/, int /*x*/, int /*y*/) {}
    virtual void fiveMatchFlashHidden(int /*slot*/) {}
    // A resting dragonfly flew over to the dragonfly piece of pool id `id`.
    virtual void dragonflyLanded(int /*id*/, int /*x*/, int /*y*/) {}
    // Dragonfly `flight` took off from (x, y) and will fly `path`, one square every `framesPerSquare`.
    virtual void dragonflyTookOff(int /*flight*/, int /*x*/, int /*y*/,
                                  const std::vector<BoardSquare>& /*path*/, int /*framesPerSquare*/) {}
    virtual void dragonflyMoved(int /*flight*/, int /*x*/, int /*y*/) {}
    // Its path is used up: it flies off the screen heading `heading`.
    virtual void dragonflyLeft(int /*flight*/, Heading /*heading*/) {}
    // A cobweb's removal animation; a vine square lost a vine (`vinesLeft` 1 or 0).
    virtual void cobwebRemoved(int /*x*/, int /*y*/) {}
    virtual void vineDamaged(int /*x*/, int /*y*/, int /*vinesLeft*/) {}
    // The pieces a power would reach, lit while the pointer rests on it; an empty list unlights them.
    virtual void previewShown(const std::vector<BoardSquare>& /*squares*/) {}

    // Bonus level. The 36 prizes dealt row by row, every block covered.
    virtual void bonusGridDealt(const std::array<int, 36>& /*prizes*/) {}
    // The picks counter shows `picks`; -99 hides it.
    virtual void bonusPicksChanged(int /*picks*/) {}
    // A block broke and shows `prize`; `awarded` is false for the blocks broken at the end.
    virtual void bonusBlockBroken(int /*row*/, int /*column*/, int /*prize*/, bool /*awarded*/) {}
    virtual void bonusBlastStarted(BonusBlast /*blast*/, int /*row*/, int /*column*/) {}
    // Points on their way to the score, and their arrival (the score already holds them then).
    virtual void bonusPointsSent(int /*row*/, int /*column*/, int /*points*/, int /*frames*/) {}
    virtual void bonusPointsArrived(int /*points*/) {}
    // Suns on their way to the console sun; once there they are owed and delivered one at a time.
    virtual void bonusSunsSent(int /*row*/, int /*column*/, int /*suns*/, int /*frames*/) {}
    virtual void sunsOwedChanged(int /*owed*/) {}
    virtual void sunDelivered(int /*sunsHeld*/) {}
};
