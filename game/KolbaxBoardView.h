// KolbaxBoardView: the board's picture: the piece, tile, zoom and dragonfly pools, the bonus level's blocks
// and prizes, the board geometry, and the board model's events drawn as sprites of the game canvas.
#pragma once

#include <array>
#include <map>
#include <vector>

#include "game/BoardViewHost.h"
#include "game/rules/Board.h"
#include "game/rules/BoardEvents.h"
#include "lang/Ref.h"
#include "util/Point.h"
#include "window/Image.h"

class DragonflySprite;
class GamePieceSprite;
class MagnifySprite;
class TileGridSprite;

// Runs inside the model's calls and the canvas's operations, so always under the canvas lock. The model
// is the canvas's; the view reads it and, for the effects that end on the board, drives it.
class KolbaxBoardView : public BoardEvents {
public:
    KolbaxBoardView(BoardViewHost& host, Board& board);
    ~KolbaxBoardView() override;

    // One cell of a sprite sheet as a picture of its own (the zoom pictures of the pieces); null when
    // the sheet has no such cell.
    static lang::Ref<window::Image> cellImage(sprite::AnimateSprite& sheet, int frame);

    // ---- set-up from the loaded scene ----
    // The tile template fixes the square size and, by where it stands, the board's origin.
    void readGeometry();
    // The pools made from the templates: a tile and a zoom picture per square, the pieces, the dragonflies.
    void makePools();

    // ---- the pictures and where they stand ----
    GamePieceSprite* pieceSprite(int id);
    TileGridSprite* tileSprite(int x, int y);
    MagnifySprite* magnifySprite(int x, int y);
    DragonflySprite* dragonflySprite(int i);
    // The block of a bonus cell (row * 6 + column), or null outside a bonus level.
    sprite::AnimateSprite* bonusBlock(int cell);
    bool hasBonusBlocks() const { return !bonusBlocks_.empty(); }
    // Square (x, y)'s screen position; findSquareAt answers (-1, -1) when no tile stands exactly there.
    util::Point squareToScreen(int x, int y) const;
    BoardSquare findSquareAt(int px, int py) const;
    // The square under a canvas point, or (kNone, kNone).
    BoardSquare squareUnder(int px, int py) const;
    // The pool id of the resting piece under a canvas point, or kNone.
    int pieceUnder(int px, int py);
    // The bonus block under a canvas point (its row * 6 + column), or -1.
    int bonusBlockUnder(int px, int py);
    // The piece the pointer rests on (kNone: none); a piece that leaves the board is forgotten.
    int hoverPiece() const { return hoverPiece_; }
    void setHoverPiece(int id) { hoverPiece_ = id; }
    // Where the last points of a match showed: their flights and bursts start there.
    util::Point clickPoint() const { return click_; }

    // ---- scene work the canvas asks for ----
    // A copy of the floating score number showing `value`, as BoardViewHost::effectFrom.
    lang::Ref<sprite::AnimateSprite> floatingNumber(int x, int y, int value, const char* label);
    // The carried sun's pictures on the pointer: hidden, or centred on a canvas point.
    void hideSunCursor();
    void moveSunCursor(int x, int y);
    void hidePieces();
    // Nothing of a board stays: pieces, tiles, dragonflies, the hover, the bonus grid and every effect.
    void reset();
    void clearBonusGrid();
    // The prize grid gives way to the tally's panel.
    void hideBonusGrid();
    // A gold effect's end: the square it carries (index + 1; 0 carries none) shows gold when it is gold.
    void showGoldTile(int carried);
    // The end of the arrival: the zoom pictures give way to the real pieces and tiles.
    void showRealPieces();
    // A board set by hand shown at once, every piece at rest on its square.
    void showSquares();
    // One step of the arrival: zoom pictures appear at random; true once all of them show.
    bool arrivalStep();
    // One step of the pieces leaving at a level's end; true once every one has left.
    bool departuresStep();
    void resetDepartures() { departed_.fill(false); }
    // The tally's phases: the tiles burst away; the pieces stop on their squares and the dragonflies go.
    void replaceTilesWithEndAnimations();
    void settlePieces();

    // ---- BoardEvents ----
    void playSound(int effect, double volume) override;
    void piecePlaced(int id, int x, int y, int value, int zoomSteps, int turns) override;
    void pieceSpawned(int id, int x, int y, int value, int frames) override;
    void pieceMoved(int id, int x, int y, int frames) override;
    void pieceLanded(int id, const LandingBounce& bounce) override;
    void pieceChanged(int id, int value) override;
    void squareMatched(int x, int y) override;
    void pieceLeaving(int id, int x, int y) override;
    void tileChanged(int x, int y, int tileType, int frame) override;
    void squareTurnedGold(int x, int y) override;
    void pointsShown(const PassPoints& points) override;
    void selectionChanged(int x, int y) override;
    void hintShown(int x1, int y1, int x2, int y2) override;
    void hintCleared() override;
    void sunPlaced(int x, int y, int sunsLeft) override;
    void redAlert() override;
    void noMoreMoves(bool withSuns) override;
    void levelComplete() override;
    void levelLost(LevelLoss reason) override;
    void dragonflyLanded(int id, int x, int y) override;
    void dragonflyTookOff(int flight, int x, int y, const std::vector<BoardSquare>& path,
                          int framesPerSquare) override;
    void dragonflyMoved(int flight, int x, int y) override;
    void dragonflyLeft(int flight, Heading heading) override;
    void previewShown(const std::vector<BoardSquare>& squares) override;

    // Effects.
    void explanationOffered(int page) override;
    void shimmer() override;
    void sunTwinkle() override;
    void sunCarriedChanged(bool carried) override;
    void powerFired(int x, int y, int value) override;
    void pointsLabel(int x, int y, int points) override;
    void areaBlastShown(int x, int y, int ring) override;
    void beamLaunched(Heading heading, int beam, int x, int y) override;
    void beamMoved(Heading heading, int beam, int x, int y) override;
    void beamLeft(Heading heading, int beam) override;
    void cloudDropShown(int cloud, int screenX) override;
    void strikeShown(int x, int y, int cloud) override;
    void timerFrozen(int frames) override;
    void fiveMatchFlash(int slot, int x, int y) override;
    void fiveMatchFlashHidden(int slot) override;
    void cobwebRemoved(int x, int y) override;
    void vineDamaged(int x, int y, int vinesLeft) override;

    // The bonus level's prize grid.
    void bonusGridDealt(const std::array<int, 36>& prizes) override;
    void bonusPicksChanged(int picks) override;
    void bonusBlockBroken(int row, int column, int prize, bool awarded) override;
    void bonusBlastStarted(BonusBlast blast, int row, int column) override;
    void bonusPointsSent(int row, int column, int points, int frames) override;
    void bonusPointsArrived(int points) override;
    void bonusSunsSent(int row, int column, int suns, int frames) override;
    void sunDelivered(int sunsHeld) override;

    // Every effect still running leaves the scene (a level's end or start).
    void clearEffects();

private:
    sprite::Sprite* named(const char* name);
    sprite::AnimateSprite* namedAnimated(const char* name);
    void show(const char* name, bool on);
    // The kind frame and power overlay of a value.
    void showValue(int id, int value);
    // An effect shown on square (x, y).
    void onSquare(const char* templateName, int x, int y, const char* label);

    BoardViewHost& host_;
    Board& board_;

    // Geometry.
    int boardOriginX_ = 0;
    int boardOriginY_ = 0;
    int squareWidth_ = 44;
    int squareHeight_ = 44;

    std::vector<lang::Ref<GamePieceSprite>> pieces_;
    std::vector<lang::Ref<TileGridSprite>> tiles_;
    std::vector<lang::Ref<MagnifySprite>> magnifiers_;
    std::vector<lang::Ref<DragonflySprite>> dragonflies_;
    std::vector<int> flightDragonfly_;  // model flight id -> dragonfly index
    // The bonus level's 36 blocks and the prizes under them, row by row (empty outside a bonus level).
    std::vector<lang::Ref<sprite::AnimateSprite>> bonusBlocks_;
    std::vector<lang::Ref<sprite::AnimateSprite>> bonusPrizes_;
    // Beams in flight by heading and pool slot; the two five-match flashes.
    std::map<int, lang::Ref<sprite::AnimateSprite>> beams_;
    std::array<lang::Ref<sprite::AnimateSprite>, 2> flashes_;
    // Squares whose piece has left in the leaving phase of the tally.
    std::array<bool, board::kSquares> departed_{};
    int hoverPiece_ = board::kNone;
    util::Point click_;
};
