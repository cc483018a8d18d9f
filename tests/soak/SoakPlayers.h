// The two players of the soak driver and what watches them: a bot that plays whole games through the
// screens with the level bot's greedy move choice, a monkey that sends random input at random frames, the count of
// what got played, and the watchdog that finds a game standing still.
#pragma once

#include <cstdint>
#include <string>

#include "game/rules/Board.h"
#include "util/Random.h"

namespace soak {

class Session;

// What the game went through, counted from the canvas's state changes whoever plays.
struct Tally {
    int levels = 0;       // regular levels completed
    int bonusLevels = 0;  // bonus levels completed
    int gameOvers = 0;
    int exceptions = 0;  // frame steps that dropped an exception (counted by the caller)

    // Call once per frame.
    void observe(Session& session);

private:
    int lastState_ = -1;
};

// No change of state, score, timer or board for `limit` frames while the board is in play with nothing
// over it is a stuck game.
class Watchdog {
public:
    static constexpr int kDefaultLimit = 3000;
    explicit Watchdog(int limit = kDefaultLimit) : limit_(limit) {}
    // Call once per frame; answers false, with `why` set, when the game is stuck.
    bool check(Session& session, std::string* why);

private:
    int limit_;
    uint64_t signature_ = 0;
    int still_ = 0;
};

class Player {
public:
    virtual ~Player() = default;
    // Called once per frame before the frame runs.
    virtual void act(Session& session) = 0;
    // The player has nothing left to do.
    virtual bool done() const { return false; }
};

// Plays from the chooser to level `lastLevel` (and its bonus level) through the screens, taking the
// side roads now and then as a player would: options, instructions, the in-game menu, the map and back,
// pauses by key and by focus loss, suns, retries and a second profile.
class BotPlayer : public Player {
public:
    // `firstLevel` above 1 starts the profile with the levels before it completed, as an earlier run
    // would have left it (the way to split a long run).
    BotPlayer(uint32_t seed, int firstLevel, int lastLevel);
    void act(Session& session) override;
    bool done() const override { return done_; }

private:
    void chooser(Session& s);
    void mainMenu(Session& s);
    void map(Session& s);
    void play(Session& s);
    void bonus(Session& s);
    void sideRoad(Session& s);
    void inGameMenu(Session& s);

    util::Random random_;
    int firstLevel_;
    int lastLevel_;
    int wait_ = 0;
    int quiet_ = 0;
    int think_ = 0;
    bool done_ = false;
    bool progressSeeded_ = false;
    // The profile round: 1 asks for the second profile (made the first time), 2 for the first again.
    int profileStep_ = 0;
    int levelsAtLastSwitch_ = 0;
    int menuPlan_ = 0;
    int sunRefusedLevel_ = 0;
    int bonusRefusedLevel_ = 0;
    std::string typing_;
};

// Random presses, drags, releases, moves, keys and focus losses at random frames, many of the presses
// on the board, a share of them on the buttons of the screens. Left alone, random input spends its
// time in the menus; so a bot guides it now and then (through the screens to a level, a move on a quiet
// board), and the random input lands on dialogs while they fade, on cascades and on the drop-in.
class MonkeyPlayer : public Player {
public:
    explicit MonkeyPlayer(uint32_t seed) : random_(seed), guide_(seed ^ 0x5bd1e995u, 1, 60) {}
    void act(Session& session) override;

private:
    void randomInput(Session& session);

    util::Random random_;
    BotPlayer guide_;
    bool holding_ = false;
    int heldX_ = 0, heldY_ = 0;
};

}  // namespace soak
