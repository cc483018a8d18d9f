// KolbaxBoardView: the board model's events drawn as sprites of the game canvas.
#pragma once

#include "game/rules/BoardEvents.h"

class KolbaxCanvas;

// Runs inside the model's calls, so always under the canvas lock.
class KolbaxBoardView : public BoardEvents {
public:
    explicit KolbaxBoardView(KolbaxCanvas& canvas) : canvas_(canvas) {}

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

private:
    // The kind frame and power overlay of a value.
    void showValue(int id, int value);

    KolbaxCanvas& canvas_;
};
