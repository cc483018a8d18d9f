// The soak driver's players, tally and watchdog.
#include "tests/soak/SoakPlayers.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>
#include <vector>

#include "game/ChoosePlayer.h"
#include "game/KolbaxCanvas.h"
#include "game/MenuMapDialog.h"
#include "game/PlayerData.h"
#include "game/rules/BoardText.h"
#include "game/rules/GreedyPlayer.h"
#include "lang/Object.h"
#include "sprite/ButtonSprite.h"
#include "sprite/Sprite.h"
#include "tests/soak/SoakSession.h"

namespace soak {

namespace {

constexpr const char* kFirstProfile = "Soak";
constexpr const char* kSecondProfile = "Other";
constexpr int kEnter = 13;
// Letters (the pause and sound keys among them) and the window's key codes: Enter, Escape, Backspace, the
// arrows, F1 and Delete.
constexpr int kMonkeyKeys[] = {'p', 'P', 's',   'x',   ' ',   'a',   'Z',   '7',  kEnter,
                               27,  8,   0x40D, 0x40E, 0x40F, 0x410, 0x458, 0x416};
// The buttons of every screen, so that random presses also find the narrow ones.
constexpr const char* kButtons[] = {"MainMenu/bStart1",
                                    "MainMenu/bMenuOptions",
                                    "MainMenu/bMenuInstructions",
                                    "MainMenu/ChangePlayer",
                                    "MainMenu/bMenuExit",
                                    "MenuMap/bstartgame",
                                    "MenuMap/mapconsoleforwardarrow",
                                    "MenuMap/mapconsolebackarrow",
                                    "MenuMap/bbacktomainmenu",
                                    "MenuMap/scrollmapleft",
                                    "MenuMap/scrollmapright",
                                    "ExitDialog/bMenuOptionsFromExit",
                                    "ExitDialog/bMenuInstructionsFromExit",
                                    "ExitDialog/mapbutton",
                                    "ExitDialog/EndGame",
                                    "ExitDialog/ExitClose",
                                    "Options/bOptionsClose",
                                    "Options/fullscreenhotspot",
                                    "Options/tutorialhotspot",
                                    "Options/butfxknob",
                                    "Instructions/bInstructionsNext",
                                    "Instructions/bInstructionsBack",
                                    "Instructions/bInstructionsClose",
                                    "GameOver/retry",
                                    "GameOver/OverMenu",
                                    "LevelComplete/ibtncontinue",
                                    "ChoosePlayer/Hilite0",
                                    "ChoosePlayer/Hilite1",
                                    "ChoosePlayer/acceptProfile",
                                    "ChoosePlayer/deleteProfile",
                                    "ChoosePlayer/createNewProfile",
                                    "ChoosePlayer/inputPrompt/submitNewProfile",
                                    "ChoosePlayer/inputPrompt/cancelAddProfile",
                                    "ChoosePlayer/genericDialog/b1OK",
                                    "ChoosePlayer/genericDialog/b2Cancel",
                                    "GenericDialog/b1OK",
                                    "itutorial/btn_tutorialClose",
                                    "btn_consolesun",
                                    "btn_MenuOnConsole"};

int below(util::Random& r, int n) {
    return n <= 1 ? 0 : r.nextInt(n - 1);
}

bool chance(util::Random& r, int oneIn) {
    return below(r, oneIn) == 0;
}

// The middle of a board square (the real scene's squares are 44 pixels).
util::Point squareCentre(KolbaxCanvas& c, int x, int y) {
    util::Point p = c.squareToScreen(x, y);
    return util::Point(p.x + 22, p.y + 22);
}

bool boardState(int state) {
    return state >= KolbaxCanvas::kPlay && state <= KolbaxCanvas::kSettling;
}

uint64_t mix(uint64_t h, uint64_t v) {
    return (h ^ v) * 1099511628211ull;
}

int buttonState(Session& s, const char* path) {
    sprite::Sprite* b = s.find(path);
    return b != nullptr && b->instanceOf("ButtonSprite") ? static_cast<sprite::ButtonSprite*>(b)->getState()
                                                         : -1;
}

}  // namespace

// ---- the tally and the watchdog ----

void Tally::observe(Session& session) {
    KolbaxCanvas* c = session.canvas();
    const int state = c->state();
    if (state != lastState_) {
        if (state == KolbaxCanvas::kLevelComplete) {
            if (c->bonusLevel())
                ++bonusLevels;
            else
                ++levels;
        } else if (state == KolbaxCanvas::kGameOver) {
            ++gameOvers;
        }
    }
    lastState_ = state;
}

bool Watchdog::check(Session& session, std::string* why) {
    KolbaxCanvas* c = session.canvas();
    lang::Synchronized guard(c);
    const int state = c->state();
    // Only a board in play with nothing over it must move on by itself (or run its timer down).
    if (!boardState(state) || c->anyScreenShowing() || session.shown("itutorial") || c->paused()) {
        still_ = 0;
        return true;
    }
    const Board& b = c->board();
    uint64_t h =
        mix(mix(mix(1469598103934665603ull, static_cast<uint64_t>(state)), static_cast<uint64_t>(b.score())),
            static_cast<uint64_t>(b.timer()));
    h = mix(h, static_cast<uint64_t>(b.state()));
    for (int x = 0; x < board::kColumns; ++x)
        for (int y = 0; y < board::kRows; ++y)
            h = mix(mix(h, static_cast<uint64_t>(b.value(x, y) + 100)), b.gold(x, y) ? 1 : 2);
    if (b.bonusLevel())
        h = mix(mix(h, static_cast<uint64_t>(b.bonusGrid().coveredCount())),
                static_cast<uint64_t>(b.bonusClicksLeft()));
    if (h != signature_) {
        signature_ = h;
        still_ = 0;
        return true;
    }
    if (++still_ < limit_)
        return true;
    // What a replay needs to see at once: the counters of the move cycle and the board itself.
    *why = "stuck: no change of state, score, timer or board for " + std::to_string(limit_) +
           " frames in play (level " + std::to_string(c->level()) + (c->bonusLevel() ? " bonus" : "") +
           ", canvas state " + std::to_string(state) + ", board state " + std::to_string(b.state()) +
           ", pieces at rest " + std::to_string(b.piecesAtRest()) + ", pending removal " +
           std::to_string(b.piecesPendingRemoval()) + ", beams " + std::to_string(b.beamsInFlight()) +
           ", dragonflies " + std::to_string(b.dragonfliesFlying()) + ", strikes " +
           std::to_string(b.pendingStrikes()) + ", sun carried " + std::to_string(b.sunCarried()) +
           ", selected " + std::to_string(b.selectedPiece()) + ")\n" + BoardText::format(b);
    still_ = 0;
    return false;
}

// ---- the bot ----

BotPlayer::BotPlayer(uint32_t seed, int firstLevel, int lastLevel)
    : random_(seed), firstLevel_(std::clamp(firstLevel, 1, 60)), lastLevel_(std::clamp(lastLevel, 1, 60)) {}

void BotPlayer::act(Session& s) {
    if (wait_ > 0) {
        --wait_;
        return;
    }
    KolbaxCanvas& c = *s.canvas();
    wait_ = 4 + below(random_, 8);
    if (s.shown("ChoosePlayer")) {
        chooser(s);
        return;
    }
    if (s.shown("itutorial")) {
        s.clickNamed("itutorial/btn_tutorialClose");
        return;
    }
    if (s.shown("GenericDialog")) {
        s.clickNamed("GenericDialog/b1OK");
        return;
    }
    if (s.shown("Instructions")) {
        // A page or two forward, then closed.
        if (!chance(random_, 3) || !s.clickNamed("Instructions/bInstructionsNext"))
            s.clickNamed("Instructions/bInstructionsClose");
        return;
    }
    if (s.shown("Options")) {
        if (chance(random_, 4))
            s.clickNamed("Options/tutorialhotspot");
        else
            s.clickNamed("Options/bOptionsClose");
        return;
    }
    if (s.shown("ExitDialog")) {
        inGameMenu(s);
        return;
    }
    switch (c.state()) {
        case KolbaxCanvas::kMainMenu:
            mainMenu(s);
            return;
        case KolbaxCanvas::kMap:
            map(s);
            return;
        case KolbaxCanvas::kPaused: {
            // The sign takes any click as the end of the pause.
            util::Point at;
            if (sprite::Sprite* sign = s.find("pausesign", &at); sign != nullptr && sign->isVisible())
                s.click(at.x + sign->getWidth() / 2, at.y + sign->getHeight() / 2);
            else
                s.key('p');
            return;
        }
        case KolbaxCanvas::kGameOver:
            // Mostly the retry (a sun more each time); now and then back to the menu and in again.
            if (!chance(random_, 5) || !s.clickNamed("GameOver/OverMenu"))
                s.clickNamed("GameOver/retry");
            return;
        case KolbaxCanvas::kLevelComplete:
            if (c.levelCompleteCountdown() == 0 && c.bonusCompleteCountdown() == 0)
                s.clickNamed("LevelComplete/ibtncontinue");
            return;
        default:
            break;
    }
    if (boardState(c.state()) || c.state() == KolbaxCanvas::kBonusPlay) {
        wait_ = 0;
        if (c.bonusLevel())
            bonus(s);
        else
            play(s);
    }
}

void BotPlayer::chooser(Session& s) {
    if (s.shown("ChoosePlayer/genericDialog")) {
        s.clickNamed("ChoosePlayer/genericDialog/b1OK");
        return;
    }
    auto* chooser = static_cast<ChoosePlayer*>(s.find("ChoosePlayer"));
    const std::vector<std::string>& names = chooser->names();
    const std::string wanted = profileStep_ == 1 ? kSecondProfile : kFirstProfile;
    if (s.shown("ChoosePlayer/inputPrompt")) {
        // The name, a key at a time, then the prompt's button.
        if (typing_.size() < wanted.size()) {
            s.key(wanted[typing_.size()]);
            typing_.push_back(wanted[typing_.size()]);
            wait_ = 1;
        } else {
            s.clickNamed("ChoosePlayer/inputPrompt/submitNewProfile");
            typing_.clear();
        }
        return;
    }
    const auto row = std::find(names.begin(), names.end(), wanted);
    if (row == names.end()) {
        typing_.clear();
        s.clickNamed("ChoosePlayer/createNewProfile");
        return;
    }
    if (chooser->selectedName() != wanted) {
        s.clickNamed("ChoosePlayer/Hilite" + std::to_string(row - names.begin()));
        return;
    }
    s.clickNamed("ChoosePlayer/acceptProfile");
}

void BotPlayer::mainMenu(Session& s) {
    KolbaxCanvas& c = *s.canvas();
    if (!s.shown("MainMenu"))
        return;
    PlayerData* data = c.playerData();
    if (!progressSeeded_ && data->currentProfile() == kFirstProfile) {
        // A split run: the levels before the first one count as an earlier run's.
        if (firstLevel_ > 1 && data->highestLevel() < firstLevel_ - 1)
            data->setHighestLevel(firstLevel_ - 1);
        progressSeeded_ = true;
    }
    // After a few levels, a second player takes a turn at the chooser, then the first comes back; each
    // step is done once the menu greets the player it asked for.
    const int played = data->highestLevel();
    const std::string current = data->currentProfile();
    if (profileStep_ == 0 && played >= levelsAtLastSwitch_ + 3 && played >= firstLevel_ + 1)
        profileStep_ = 1;
    if (profileStep_ == 1 && current == kSecondProfile)
        profileStep_ = 2;
    if (profileStep_ == 2 && current == kFirstProfile) {
        profileStep_ = 0;
        levelsAtLastSwitch_ = played;
    }
    if (profileStep_ != 0) {
        s.clickNamed("MainMenu/ChangePlayer");
        return;
    }
    const int road = below(random_, 20);
    if (road == 0)
        s.clickNamed("MainMenu/bMenuOptions");
    else if (road == 1)
        s.clickNamed("MainMenu/bMenuInstructions");
    else
        s.clickNamed("MainMenu/bStart1");
}

void BotPlayer::map(Session& s) {
    KolbaxCanvas& c = *s.canvas();
    if (!s.shown("MenuMap"))
        return;
    auto* m = static_cast<MenuMapDialog*>(s.find("MenuMap"));
    const int highest = c.playerData()->highestLevel();
    if (highest >= lastLevel_ || profileStep_ != 0 ||
        (highest >= levelsAtLastSwitch_ + 3 && highest >= firstLevel_ + 1)) {
        // Done, or the chooser is due: back to the menu.
        if (highest >= lastLevel_ && !c.bonusNext())
            done_ = true;
        s.clickNamed("MenuMap/bbacktomainmenu");
        return;
    }
    const int target = std::min(60, highest + 1);
    if (m->selectedLevel() < target)
        s.clickNamed("MenuMap/mapconsoleforwardarrow");
    else if (m->selectedLevel() > target)
        s.clickNamed("MenuMap/mapconsolebackarrow");
    else
        s.clickNamed("MenuMap/bstartgame");
}

void BotPlayer::inGameMenu(Session& s) {
    // The plan drawn when the menu was opened: close it, visit the options or the instructions, or
    // leave for the map (the level is then played again from the map).
    switch (menuPlan_) {
        case 1:
            menuPlan_ = 0;
            s.clickNamed("ExitDialog/bMenuOptionsFromExit");
            return;
        case 2:
            menuPlan_ = 0;
            s.clickNamed("ExitDialog/bMenuInstructionsFromExit");
            return;
        case 3:
            menuPlan_ = 0;
            s.clickNamed("ExitDialog/mapbutton");
            return;
        default:
            s.clickNamed("ExitDialog/ExitClose");
    }
}

void BotPlayer::sideRoad(Session& s) {
    switch (below(random_, 4)) {
        case 0:
            s.key('p');
            break;
        case 1:
            s.focusLost();
            break;
        default:
            menuPlan_ = below(random_, 4);
            s.clickNamed("btn_MenuOnConsole");
    }
    wait_ = 10 + below(random_, 40);
}

void BotPlayer::play(Session& s) {
    KolbaxCanvas& c = *s.canvas();
    SwapMove move;
    int sunX = 0, sunY = 0;
    bool useSun = false, carried = false;
    {
        lang::Synchronized guard(&c);
        Board& b = c.board();
        // A board without moves waits, busy, for the player's sun.
        const bool waitsForSun = b.noMoreMoves() && (b.suns() > 0 || b.sunCarried());
        const bool quiet = (c.state() == KolbaxCanvas::kPlay || waitsForSun) && b.piecesAtRest() &&
                           !b.droppingIn() && !c.initialShowPhase() && !c.anyScreenShowing();
        quiet_ = quiet ? quiet_ + 1 : 0;
        if (!quiet || quiet_ <= think_)
            return;
        const int left = b.playableSquares() - b.goldSquareCount();
        // A sun still carried (its explanation came up as it was picked up) goes down first.
        carried = b.sunCarried() && GreedyPlayer::sunTarget(b, sunX, sunY);
        useSun = carried ||
                 (b.suns() > 0 && (b.noMoreMoves() || left <= 3) && GreedyPlayer::sunTarget(b, sunX, sunY));
        if (!useSun)
            move = GreedyPlayer::chooseMove(b);
    }
    quiet_ = 0;
    think_ = 2 + below(random_, 10);
    if (chance(random_, 120)) {
        sideRoad(s);
        return;
    }
    if (useSun && !carried) {
        s.clickNamed("btn_consolesun");
        if (!c.sunCarried()) {
            // The press did not pick the sun up: the bot says so once a level and plays on with swaps.
            if (sunRefusedLevel_ != c.level())
                std::fprintf(
                    stderr,
                    "soak: WARNING frame %d level %d: a press on the console sun picked up none of %d "
                    "suns (button state %d)\n",
                    s.frames(), c.level(), c.board().suns(), buttonState(s, "btn_consolesun"));
            sunRefusedLevel_ = c.level();
            useSun = false;
        }
    }
    if (useSun) {
        util::Point p = squareCentre(c, sunX, sunY);
        s.click(p.x, p.y);
        return;
    }
    if (!move.valid()) {
        lang::Synchronized guard(&c);
        move = GreedyPlayer::chooseMove(c.board());
        if (!move.valid())
            return;
    }
    util::Point a = squareCentre(c, move.x1, move.y1), b = squareCentre(c, move.x2, move.y2);
    if (chance(random_, 3)) {
        // A drag onto the neighbour.
        s.press(a.x, a.y);
        s.drag((a.x + b.x) / 2, (a.y + b.y) / 2);
        s.drag(b.x, b.y);
        s.release(b.x, b.y);
    } else {
        s.click(a.x, a.y);
        s.click(b.x, b.y);
    }
}

void BotPlayer::bonus(Session& s) {
    KolbaxCanvas& c = *s.canvas();
    {
        lang::Synchronized guard(&c);
        Board& b = c.board();
        if (c.initialShowPhase() || b.bonusClicksLeft() <= 0 || b.bonusBlastRunning() ||
            b.bonusGrid().coveredCount() == 0)
            return;
    }
    // A covered block, shown on the grid, at random.
    std::vector<sprite::Sprite*> blocks;
    for (int cell = 0; cell < BonusGrid::kCells; ++cell)
        if (sprite::Sprite* block = c.bonusBlock(cell);
            block != nullptr && block->isVisible() &&
            c.board().bonusGrid().covered(cell / BonusGrid::kSize, cell % BonusGrid::kSize))
            blocks.push_back(block);
    if (blocks.empty())
        return;
    sprite::Sprite* block = blocks[static_cast<size_t>(below(random_, static_cast<int>(blocks.size())))];
    const int before = c.board().bonusClicksLeft();
    s.click(block->getX() + block->getWidth() / 2, block->getY() + block->getHeight() / 2);
    if (c.board().bonusClicksLeft() == before && bonusRefusedLevel_ != c.level()) {
        bonusRefusedLevel_ = c.level();
        std::fprintf(stderr,
                     "soak: WARNING frame %d bonus level %d: a click on the block at %d,%d took no pick\n",
                     s.frames(), c.level(), block->getX(), block->getY());
    }
    wait_ = 30 + below(random_, 30);
}

// ---- the monkey ----

void MonkeyPlayer::act(Session& s) {
    KolbaxCanvas& c = *s.canvas();
    // The guide leads half of the time outside play and a quarter of the time in play.
    const bool inPlay = boardState(c.state()) && !c.anyScreenShowing();
    if (below(random_, inPlay ? 4 : 2) == 0)
        guide_.act(s);
    // About one random input in eight frames.
    if (chance(random_, 8))
        randomInput(s);
}

void MonkeyPlayer::randomInput(Session& s) {
    KolbaxCanvas& c = *s.canvas();
    const int what = below(random_, 100);
    if (holding_) {
        // A press in progress goes on as a drag or ends with a release.
        if (what < 60) {
            heldX_ = std::clamp(heldX_ + below(random_, 91) - 45, 0, 799);
            heldY_ = std::clamp(heldY_ + below(random_, 91) - 45, 0, 599);
            s.drag(heldX_, heldY_);
        } else {
            s.release(heldX_, heldY_);
            holding_ = false;
        }
        return;
    }
    int x = below(random_, 800), y = below(random_, 600);
    if (what < 40) {
        // On the board, near the middle of a square.
        util::Point p = squareCentre(c, below(random_, board::kColumns), below(random_, board::kRows));
        x = p.x + below(random_, 21) - 10;
        y = p.y + below(random_, 21) - 10;
    } else if (what < 65) {
        util::Point at;
        const char* name = kButtons[below(random_, static_cast<int>(std::size(kButtons)))];
        if (sprite::Sprite* b = s.find(name, &at); b != nullptr) {
            x = at.x + below(random_, std::max(1, b->getWidth()));
            y = at.y + below(random_, std::max(1, b->getHeight()));
        }
    } else if (what < 80) {
        s.key(kMonkeyKeys[below(random_, static_cast<int>(std::size(kMonkeyKeys)))]);
        return;
    } else if (what < 83) {
        if (chance(random_, 2))
            s.focusLost();
        else
            s.focusGained();
        return;
    } else if (what < 90) {
        s.move(x, y);
        return;
    }
    if (chance(random_, 3)) {
        s.press(x, y);
        holding_ = true;
        heldX_ = x, heldY_ = y;
    } else {
        s.click(x, y);
    }
}

}  // namespace soak
