// LevelTally: what the level-complete tally asks of the game while it counts its steps.
#pragma once

namespace sprite {
class Sprite;
}

// The canvas implements it (with the board, the pools and the console); the tally's steps, their order
// and their sounds and stored values are LevelCompleteDialog's. Called on the render thread, inside the
// frame step, under the canvas lock.
class LevelTally {
public:
    virtual ~LevelTally() = default;

    virtual void playSound(int index) = 0;
    virtual int level() = 0;
    // The console's timer (0..400) and the level's timer divisor (the time number's unit).
    virtual int consoleTimer() = 0;
    virtual int timerDivisor() = 0;
    // One frame of the time-to-bonus count on the console: the timer rises by 5 toward 400.
    virtual void countConsoleTimer() = 0;
    // The console's score as the game keeps it (not the number that may still be rolling).
    virtual int consoleScore() = 0;
    virtual int consoleSuns() = 0;

    // Normal level.
    virtual void startPiecesLeaving() = 0;
    virtual void replaceTilesWithEndAnimations() = 0;
    // Pieces back on their squares, backdrop fading, highlight and console displays hidden, a carried
    // sun put back, the tutorial closed.
    virtual void clearBoardForTally() = 0;
    virtual void releasePieces() = 0;
    virtual void showFloatingBonus(int points) = 0;
    // The bonus level comes next.
    virtual void setBonusLevelNext() = 0;
    // The map's selection follows the stored progress.
    virtual void progressStored() = 0;

    // Bonus level.
    // Music out, the bonus board finished, console, tutorial and buttons hidden, backdrop fading, a
    // carried sun put back.
    virtual void startBonusTally() = 0;
    virtual int sunsHeld() = 0;
    virtual int bonusPoints() = 0;
    // The suns the bonus level's prizes won.
    virtual int bonusSuns() = 0;
    virtual void sendReport(int reason) = 0;
    virtual void putBackCarriedSun() = 0;
    virtual void hideBonusClickNumber() = 0;
    // Clears the bonus flag and puts the bonus board's blocks back on their grid.
    virtual void endBonusLevel() = 0;

    // Both.
    virtual void placeBelowTopFence(sprite::Sprite* dialog) = 0;
    virtual void setArrowCursor() = 0;
};
