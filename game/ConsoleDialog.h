// ConsoleDialog: the in-game console: score, stage and level, the water timer line, red alert, suns.
#pragma once

#include "game/GameDialog.h"
#include "util/RectangleNM.h"

// The console holds the level's timer value (0..400, filled by the game's timer rules) and the value
// it shows, which follows the timer upward a step a frame and never goes down. It takes no keys: the
// game's own keys pass it by while it shows over the board.
class ConsoleDialog : public GameDialog {
public:
    static constexpr int kTimerFull = 400;
    static constexpr int kRedAlert = 351;
    static constexpr int kTipStop = 389;
    // The water tip's left edge stands this far behind the end of the water line.
    static constexpr int kTipBehind = 30;

    ConsoleDialog();
    ~ConsoleDialog() override;

    LANG_CLASS_NAME(ConsoleDialog, GameDialog)
    LANG_DECLARE_CLASS_RECORD(ConsoleDialog);

    bool takesKeys() override { return false; }

    // The level chosen on the map, and the start of a level: score, numbers, suns from the player data.
    void setLevel(int level) { level_ = level; }
    int level() const { return level_; }
    void startLevel();
    // Back to an empty timer and no alert, for a new level.
    void resetForLevel();

    // The timer's value as the game's rules set it (clamped to 0..400).
    void setTimer(int value);
    int timer() const { return timer_; }
    int displayedTimer() const { return displayed_; }
    // One frame of the display: follows the timer (counting: rises by 5 toward 400 and carries the
    // timer with it). Answers the x where the water line ends.
    int timerStep(bool counting);
    bool redAlert() const { return redAlert_; }

    int suns() const { return suns_; }
    void setSuns(int suns);
    void raiseSuns() { setSuns(suns_ + 1); }
    void setGoldGlow(bool on);
    // The score as the game keeps it (the number shown may still be rolling toward it).
    int score() const { return score_; }
    void setScore(int score);

protected:
    void setUpDialog() override;

private:
    int level_ = 1;
    int timer_ = 0;
    int displayed_ = 0;
    int suns_ = 0;
    int score_ = 0;
    bool redAlert_ = false;
    util::RectangleNM track_;
};
