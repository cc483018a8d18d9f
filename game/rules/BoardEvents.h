// BoardEvents: what the board model tells its view: sounds, piece motion, tiles, points, hints, the
// level's end. Every operation does nothing by default, so a listener overrides only what it shows.
#pragma once

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
};
