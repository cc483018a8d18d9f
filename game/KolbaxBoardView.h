// KolbaxBoardView: the board model's events drawn as sprites of the game canvas.
#pragma once

#include <map>

#include "game/rules/BoardEvents.h"
#include "lang/Ref.h"
#include "window/Image.h"

namespace sprite {
class AnimateSprite;
}

class KolbaxCanvas;

// Runs inside the model's calls, so always under the canvas lock.
class KolbaxBoardView : public BoardEvents {
public:
    explicit KolbaxBoardView(KolbaxCanvas& canvas) : canvas_(canvas) {}

    // One cell of a sprite sheet as a picture of its own (the zoom pictures of the pieces); null when
    // the sheet has no such cell.
    static lang::Ref<window::Image> cellImage(sprite::AnimateSprite& sheet, int frame);

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
    // The kind frame and power overlay of a value.
    void showValue(int id, int value);

    // An effect shown on square (x, y).
    void onSquare(const char* templateName, int x, int y, const char* label);

    KolbaxCanvas& canvas_;
    // Beams in flight by heading and pool slot; the two five-match flashes.
    std::map<int, lang::Ref<sprite::AnimateSprite>> beams_;
    std::array<lang::Ref<sprite::AnimateSprite>, 2> flashes_;
};
