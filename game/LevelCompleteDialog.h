// LevelCompleteDialog: the level-complete dialog and the tally counted down through it.
#pragma once

#include "game/GameDialog.h"

class LevelTally;

// The tally runs one step a frame: the game lowers its countdown (1000 on entering level complete) and
// hands the new value to tallyStep, which answers the countdown to go on from. Stored progress is
// written at the step that earns it, each value in its own store operation, so that a game killed
// during the tally keeps what was already counted.
class LevelCompleteDialog : public GameDialog {
public:
    static constexpr int kStartCountdown = 1000;
    static constexpr int kTimerFull = 400;

    LevelCompleteDialog();
    ~LevelCompleteDialog() override;

    LANG_CLASS_NAME(LevelCompleteDialog, GameDialog)
    LANG_DECLARE_CLASS_RECORD(LevelCompleteDialog);

    // Resets the tally (bonus points, count) for a new level complete.
    void beginTally();
    // One frame of the normal-level tally; answers the countdown to continue from (0: done).
    int tallyStep(int countdown, LevelTally& game);
    int bonusTallyStep(int countdown, LevelTally& game);

    void showContinue(bool on);
    bool continueHit(int x, int y);
    void showSunsAcquired(int suns);
    void setTime(int value);
    void showTime(bool on);
    void showScore(int value);
    void showBonus(int value);
    int bonusValue() const { return bonus_; }
    void addBonus20();
    int total() const { return total_; }
    bool isCounting() const { return counting_; }

protected:
    void setUpDialog() override;
    const char* closeButtonName() const override { return "ibtncontinue"; }
    const char* defaultButtonName() const override { return "ibtncontinue"; }

private:
    void countFrame(LevelTally& game);
    void showTotal(int score, LevelTally& game);
    void storeProgress(LevelTally& game);

    int bonus_ = 0;
    int total_ = 0;
    int countSteps_ = 0;
    bool counting_ = false;
};
