// KolbaxCanvas: the named and timed actions: sprite clean-ups, flow labels, buttons and commands.
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "game/ChoosePlayer.h"
#include "game/ConsoleDialog.h"
#include "game/GamePieceSprite.h"
#include "game/InstructDialog.h"
#include "game/KolbaxBoardView.h"
#include "game/KolbaxCanvas.h"
#include "game/LevelCompleteDialog.h"
#include "game/MagnifySprite.h"
#include "game/MenuMapDialog.h"
#include "game/MenuSprite.h"
#include "game/OptionsSprite.h"
#include "game/PlayerData.h"
#include "game/TileGridSprite.h"
#include "game/TutorialDialog.h"
#include "sprite/AnimateSprite.h"
#include "sprite/NumberSprite.h"
#include "sprite/store/User.h"
#include "window/Cursor.h"

extern char** environ;

namespace {

bool is(const lang::String& label, const char* text) {
    return std::strcmp(label.chars(), text) == 0;
}

bool startsWith(const lang::String& label, const char* prefix) {
    return std::strncmp(label.chars(), prefix, std::strlen(prefix)) == 0;
}

sprite::AnimateSprite* animated(lang::Object* source) {
    return source != nullptr && source->instanceOf("AnimateSprite")
               ? static_cast<sprite::AnimateSprite*>(source)
               : nullptr;
}

// Opens an address in the desktop's browser without a shell (the address is never parsed as a
// command). The game does not wait: a detached thread reaps xdg-open whenever it ends, so it never
// lingers as a zombie. False when it could not be started.
bool openInBrowser(const std::string& address) {
    pid_t child = 0;
    char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(address.c_str()), nullptr};
    if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ) != 0)
        return false;
    std::thread([child] {
        int status = 0;
        waitpid(child, &status, 0);
    }).detach();
    return true;
}

}  // namespace

lang::Ref<sprite::AnimateSprite> KolbaxCanvas::effectFrom(const char* templateName, int x, int y,
                                                          const char* label) {
    sprite::AnimateSprite* t = namedAnimated(templateName);
    if (t == nullptr)
        return {};
    auto fx = lang::adopt(static_cast<sprite::AnimateSprite*>(t->clone()));
    fx->setLocation(x, y);
    fx->setFrame(fx->getFirstFrame());
    fx->setFrameStep(1, false);
    fx->setVisible(true);
    auto text = lang::make<lang::String>(label);
    fx->setNotify(this, text.get());
    placeBelow(fx.get(), "ipicketfence3");
    return fx;
}

bool KolbaxCanvas::hideEffect(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)label;
    if (fx != nullptr) {
        fx->setNotify(nullptr, nullptr);
        fx->setVisible(false);
        // A copy made for this one effect has no name: it leaves the scene, so that effects never
        // pile up in the sprite list over a long game.
        if (fx->getName().length() == 0)
            removeSprite(fx);
    }
    return true;
}

bool KolbaxCanvas::removeEffect(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)label;
    if (fx != nullptr) {
        fx->setNotify(nullptr, nullptr);
        removeSprite(fx);
    }
    return true;
}

bool KolbaxCanvas::flyToTarget(sprite::AnimateSprite* fx, const lang::String& label) {
    // Flights of points and suns: the sprite glides to its target, fading, and bursts there.
    struct Flight {
        const char* label;
        util::Point to;
        const char* arrival;
    };
    const Flight flights[] = {
        {"Send points to click location", view_->clickPoint(), "Do burst at click area"},
        {"Send points to console sun location", consoleSunPoint(), "Do burst at console sun"},
        {"Send points to score location", scorePoint(), "Do burst at score area"}};
    for (const Flight& f : flights)
        if (is(label, f.label) && fx != nullptr) {
            fx->moveTo(f.to.x, f.to.y, 8);
            fx->fadeTo(0, 8, 0);
            auto arrival = lang::make<lang::String>(f.arrival);
            fx->setNotify(this, arrival.get());
        }
    return true;
}

bool KolbaxCanvas::fadeBonusText(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    if (sprite::AnimateSprite* text = namedAnimated("ibonuslevelstarttext"))
        text->fadeTo(0, 30, 1);
    return true;
}

bool KolbaxCanvas::burstAtTarget(sprite::AnimateSprite* fx, const lang::String& label) {
    if (fx != nullptr) {
        fx->setNotify(nullptr, nullptr);
        if (fx->getName().length() == 0)
            removeSprite(fx);
    }
    int x = scoreX_, y = scoreY_;
    if (is(label, "Do burst at click area")) {
        GameCanvas::playSound(board::kSoundBurstClick);
        x = view_->clickPoint().x, y = view_->clickPoint().y;
    } else if (is(label, "Do burst at console sun")) {
        x = consoleSunX_, y = consoleSunY_;
    } else {
        GameCanvas::playSound(board::kSoundBurstScore);
    }
    effectFrom("bonussparkle", x, y, "Remove effect");
    return true;
}

bool KolbaxCanvas::turnSquareGold(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)label;
    if (fx != nullptr) {
        fx->setNotify(nullptr, nullptr);
        const int carried = fx->getUserValue() - 1;
        if (carried >= 0 && carried < board::kSquares)
            board_.turnSquareGold(carried / board::kRows, carried % board::kRows);
    }
    return true;
}

bool KolbaxCanvas::giveGoldSun(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)label;
    // The model has counted the sun already (it delivers owed suns one at a time): the console
    // shows the new count and its glow lights up for a moment.
    if (console_) {
        console_->setSuns(board_.suns());
        console_->setGoldGlow(true);
        scheduleNotify(kGoldGlowFrames, lang::String("Hide Gold Tile Glow"), 0, nullptr, nullptr);
    }
    effectFrom("newsunanim", consoleSunX_, consoleSunY_, "Hide sun explosion");
    if (fx != nullptr) {
        fx->setNotify(nullptr, nullptr);
        fx->setVisible(false);
    }
    return true;
}

bool KolbaxCanvas::hideBonusBlockEffect(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)label;
    // The pick was counted by the prize grid when the block was picked.
    if (fx != nullptr) {
        fx->setNotify(nullptr, nullptr);
        fx->setVisible(false);
    }
    return true;
}

bool KolbaxCanvas::showGoldTile(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)label;
    if (fx != nullptr) {
        fx->setNotify(nullptr, nullptr);
        view_->showGoldTile(fx->getUserValue());
        removeSprite(fx);
    }
    return true;
}

bool KolbaxCanvas::slowCascade(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)label;
    if (fx != nullptr) {
        fx->fadeTo(0, 25, 1);
        fx->moveTo(fx->getX(), fx->getY() - 40, 30);
        // The copy leaves the scene once it has risen and faded.
        auto text = lang::make<lang::String>("Remove effect");
        fx->setNotify(this, text.get());
    }
    return true;
}

bool KolbaxCanvas::showRealPieces(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    view_->showRealPieces();
    initialShowPhase_ = false;
    arrivalScheduled_ = false;
    // The new board starts with no pick and no hint on it (the model forgot both with the last one).
    view_->selectionChanged(board::kNone, board::kNone);
    view_->hintCleared();
    board_.findHintMove();
    if (tutorial_ && !anyScreenShowing()) {
        tutorial_->reset();
        const SwapMove& hint = board_.hint();
        if (level_ == 1 && hint.valid() && !tutorial_->isShowing()) {
            // The first lesson points at the move the hint would show.
            util::Point p = squareToScreen(hint.x1, hint.y1);
            if (tutorial_->offerIfDueAt(board::kPageGeneral, level_, p.x, p.y)) {
                placeBelow(tutorial_.get(), "ipicketfence3");
                board_.showHintSoon();
            }
        } else if (level_ != 1 && level_ % 4 == 0) {
            offerTutorial(board::kPageNoWaitSwapping);
        }
    }
    // Play starts here: the power pieces the first board holds are explained as play is entered.
    offerPowerTutorial();
    return true;
}

bool KolbaxCanvas::hidePieceEffect(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)label;
    if (fx != nullptr) {
        resetBoardScene();
        fx->setVisible(false);
    }
    return true;
}

bool KolbaxCanvas::focusLost(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    // Queued by onDeactivate: the frame lost the focus while the board was in play.
    if (boardActive() && !paused_ && state_ != kPaused) {
        paused_ = true;
        pausedState_ = state_;
        state_ = kPaused;
        fadeAllClips(kMusicFadeFrames);
        pauseBoard();
    }
    return false;
}

bool KolbaxCanvas::closeTutorial(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    GameCanvas::playSound(board::kSoundButton);
    if (tutorialShowing()) {
        show("dim", false);
        if (tutorial_) {
            tutorial_->recordSeen();
            tutorial_->close();
        } else {
            show("itutorial", false);
        }
        playedUnderTutorial_ = false;
        return true;
    }
    return false;
}

bool KolbaxCanvas::hideGoldGlow(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    if (console_)
        console_->setGoldGlow(false);
    return false;
}

bool KolbaxCanvas::completeBonusLevel(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    enterState(kLevelComplete);
    return false;
}

bool KolbaxCanvas::startMainMenuMusic(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    switchMusic(kMusicNone, kMusicMainMenu);
    return false;
}

bool KolbaxCanvas::continueAfterLevel(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    show("LevelComplete", false);
    stopSound(board::kSoundLevelComplete);
    stopSound(board::kSoundTimeRunningOut);
    levelCompleteCountdown_ = bonusCompleteCountdown_ = 0;
    if (bonusNext_) {
        bonusNext_ = false;
        startLevel(level_, true);
        return false;
    }
    // After a bonus level the progress is the level it followed; after a regular one the level
    // itself (the tally stored it already unless it had no dialog to count with).
    const bool afterBonus = board_.bonusLevel();
    bonusLevel_ = false;
    if (afterBonus || level_ > highestLevel())
        raiseHighestLevel(level_);
    if (map_)
        map_->prepare();
    setSelectedLevel(highestLevel() + 1);
    ++level_;
    enterState(kMap);
    if (map_)
        map_->markLevelCompleted(level_ - 1);
    return false;
}

bool KolbaxCanvas::openDelayedExitDialog(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    openExitDialog();
    return false;
}

bool KolbaxCanvas::endByNoMoreMoves(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    if (board_.allSquaresGold()) {
        // The goal check of the move cycle completes the level.
        show("inomoremoves", false);
    } else if (shown("inomoremoves") && state_ != kGameOver) {
        show("inomoremoves", false);
        lostByNoMoves_ = true;
        enterState(kGameOver);
    }
    return false;
}

bool KolbaxCanvas::menuExit(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    sendReport(GamePlayReport::kExit);
    replayCount_ = 0;
    GameCanvas::playSound(board::kSoundButton);
    setCursor(window::Cursor::waitCursor());
    requestExit();
    return true;
}

bool KolbaxCanvas::changeProfile(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    if (sprite::Sprite* chooser = named("ChoosePlayer");
        chooser != nullptr && chooser->instanceOf("ChoosePlayer"))
        static_cast<ChoosePlayer*>(chooser)->prepare(std::string(profileName_.view()));
    for (const char* name : {"dim", "ChoosePlayer"})
        if (sprite::Sprite* s = named(name)) {
            placeOnTop(s);
            s->setVisible(true);
        }
    return true;
}

bool KolbaxCanvas::chooseProfile(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    // The chooser's selection is the profile; the label's text only says that one was chosen.
    std::string name(label.view().substr(std::strlen("profile:")));
    if (sprite::Sprite* chooser = named("ChoosePlayer");
        chooser != nullptr && chooser->instanceOf("ChoosePlayer"))
        name = static_cast<ChoosePlayer*>(chooser)->selectedName();
    if (playerData_ && !name.empty())
        playerData_->selectProfile(name);
    profileName_.assign(name.c_str());
    show("ChoosePlayer", false);
    show("dim", false);
    if (sprite::Sprite* menu = named("MainMenu"); menu != nullptr && menu->instanceOf("MenuSprite"))
        static_cast<MenuSprite*>(menu)->setProfileName(name);
    show("MainMenu", true);
    applyVolumes();
    return true;
}

bool KolbaxCanvas::backToMainMenu(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    GameCanvas::playSound(board::kSoundButton);
    show("MenuMap", false);
    switchMusic(kMusicMap, kMusicNone);
    enterState(kMainMenu);
    return true;
}

bool KolbaxCanvas::startEditor(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    setCursor(window::Cursor::waitCursor());
    for (const char* name : {"ExitDialog", "MainMenu", "MenuMap"})
        show(name, false);
    switchMusic(kMusicMap, kMusicNone);
    enterState(kEditor);
    return true;
}

bool KolbaxCanvas::openInstructions(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    GameCanvas::playSound(board::kSoundButton);
    sprite::Sprite* instructions = named("Instructions");
    if (instructions == nullptr)
        return true;
    instructionsFromExit_ = !is(label, "bMenuInstructions");
    if (!instructionsFromExit_) {
        placeOnTop(instructions);
    } else {
        show("ExitDialog", false);
        placeAbove(instructions, "dim");
    }
    if (instructions->instanceOf("InstructDialog"))
        static_cast<InstructDialog*>(instructions)->open();
    instructions->setVisible(true);
    return true;
}

bool KolbaxCanvas::closeInstructions(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    // Opened from the in-game menu, the instructions give way to that menu again, still over the
    // dimmer with the game paused; from the main menu there is nothing to return to.
    if (instructionsFromExit_ && levelInProgress_ && !anyScreenShowing())
        openExitDialog();
    instructionsFromExit_ = false;
    return true;
}

bool KolbaxCanvas::openMap(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    GameCanvas::playSound(board::kSoundButton);
    show("MainMenu", false);
    switchMusic(kMusicMainMenu, kMusicNone);
    enterState(kMap);
    return true;
}

bool KolbaxCanvas::startGame(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    switchMusic(kMusicMap, kMusicNone);
    GameCanvas::playSound(board::kSoundButton);
    for (const char* name :
         {"MenuMap", "MainMenu", "Options", "Instructions", "ExitDialog", "LevelComplete", "GameOver",
          "ChoosePlayer", "GenericDialog", "highlight", "dim"})
        show(name, false);
    int selected = map_ ? map_->selectedLevel() : playerData_ ? playerData_->selectedLevel() : level_;
    selected = clampSelectableLevel(selected);
    if (startLevel(selected, false) && selected <= highestLevel())
        replayCount_ = 1;
    setCursor(window::Cursor::arrow());
    return true;
}

bool KolbaxCanvas::leaveLevel(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    const bool toMap = is(label, "mapbutton");
    sendReport(toMap ? GamePlayReport::kToMap : GamePlayReport::kEndGame);
    replayCount_ = 0;
    storeSunCarryOver();
    GameCanvas::playSound(board::kSoundButton);
    show("ExitDialog", false);
    show("dim", false);
    paused_ = false;
    // Leaving a bonus level keeps the level it followed as completed. Leaving a regular level
    // completes nothing: the highest level is only ever raised by a level actually won.
    if (bonusLevel_)
        raiseHighestLevel(level_);
    bonusLevel_ = false;
    resetBoardScene();
    levelInProgress_ = false;
    switchMusic(kMusicInGame, kMusicNone);
    enterState(toMap ? kMap : kMainMenu);
    return true;
}

bool KolbaxCanvas::overMenu(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    resetBoardScene();
    levelInProgress_ = false;
    switchMusic(kMusicInGame, kMusicNone);
    enterState(kMainMenu);
    return true;
}

bool KolbaxCanvas::retry(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    show("highlight", false);
    stopSound(board::kSoundTimeRunningOut);
    ++retries_;
    replayCount_ += 100;
    report_.clearSent();
    show("inomoremoves", false);
    show("GameOver", false);
    show("dim", false);
    view_->hidePieces();
    if (startLevel(level_, false)) {
        // Each retry in a row gives one more sun.
        board_.setSuns(board_.suns() + retries_);
        if (console_)
            console_->setSuns(board_.suns());
        if (playerData_)
            playerData_->setSuns(board_.suns());
    }
    return true;
}

bool KolbaxCanvas::openUpsell(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    GameCanvas::playSound(board::kSoundButton);
    leaveFullScreen();
    std::string address = playerData_ ? playerData_->visitUrl() : std::string();
    if (address.empty())
        address = getWebAddress().chars();
    if (!openInBrowser(address))
        std::fprintf(stderr, "KolbaxCanvas: cannot open %s: xdg-open did not start\n", address.c_str());
    return true;
}

bool KolbaxCanvas::crossCursor(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    setCursor(window::Cursor::shared(window::Cursor::kCross));
    return true;
}

bool KolbaxCanvas::closeDialog(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    (void)label;
    applyVolumes();
    GameCanvas::playSound(board::kSoundButton);
    if (state_ == kLevelComplete) {
        show("LevelComplete", false);
        if (bonusLevel_)
            startLevel(level_, true);
        else
            enterState(kMap);
        return true;
    }
    if (silencedMusic_ != kMusicNone) {
        switchMusic(kMusicNone, silencedMusic_);
        silencedMusic_ = kMusicNone;
    }
    paused_ = false;
    show("dim", false);
    if (!anyScreenShowing())
        state_ = previousState_;
    return true;
}

bool KolbaxCanvas::openOptions(sprite::AnimateSprite* fx, const lang::String& label) {
    (void)fx;
    GameCanvas::playSound(board::kSoundButton);
    if (sprite::Sprite* options = named("Options");
        options != nullptr && options->instanceOf("OptionsSprite"))
        static_cast<OptionsSprite*>(options)->load();
    if (is(label, "bMenuOptions")) {
        // Over the main menu: the dimmer just above it, the options above the dimmer.
        placeAbove(named("dim"), "MainMenu");
        placeAbove(named("Options"), "dim");
    } else {
        show("ExitDialog", false);
        placeBelow(named("dim"), "ipicketfence3");
        placeBelow(named("Options"), "ipicketfence3");
    }
    show("dim", true);
    show("Options", true);
    silencedMusic_ = currentMusic_;
    switchMusic(currentMusic_, kMusicNone);
    return true;
}

std::span<const KolbaxCanvas::NamedAction> KolbaxCanvas::namedActions() {
    // Tried in this order; a prefix entry takes every label that starts with it.
    static const NamedAction table[] = {
        // Effects: what ends an animation. Each ends the handling.
        {"Stop Shimmer", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide Cobweb", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide Sunburst", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide Fiver Flash", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide Vine", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide Big Power Piece Explosions", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide Gold Twinkle", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide Gold Sun Twinkle", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide Arrow", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide turned to gold anim", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide sun explosion", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide hopping sun", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide Suns When They Arrive At Console Sun", &KolbaxCanvas::hideEffect, kEffect},
        {"Hide match out sparkle bling", &KolbaxCanvas::removeEffect, kEffect},
        {"Hide Random Bomb Explosion", &KolbaxCanvas::removeEffect, kEffect},
        {"Hide lightning", &KolbaxCanvas::removeEffect, kEffect},
        {"Hide static ball", &KolbaxCanvas::removeEffect, kEffect},
        {"Remove effect", &KolbaxCanvas::removeEffect, kEffect},
        {"Fade out bonus level text", &KolbaxCanvas::fadeBonusText, kEffect},
        {"Send points to click location", &KolbaxCanvas::flyToTarget, kEffect},
        {"Send points to console sun location", &KolbaxCanvas::flyToTarget, kEffect},
        {"Send points to score location", &KolbaxCanvas::flyToTarget, kEffect},
        {"Do burst at click area", &KolbaxCanvas::burstAtTarget, kEffect},
        {"Do burst at console sun", &KolbaxCanvas::burstAtTarget, kEffect},
        {"Do burst at score area", &KolbaxCanvas::burstAtTarget, kEffect},
        {"Turn this grid square to gold", &KolbaxCanvas::turnSquareGold, kEffect},
        {"Give gold sun", &KolbaxCanvas::giveGoldSun, kEffect},
        {"Bonus block broken", &KolbaxCanvas::hideBonusBlockEffect, kEffect},
        {"Hide turned to gold anim and show gold tile", &KolbaxCanvas::showGoldTile, kEffect},
        {"Slow cascading", &KolbaxCanvas::slowCascade, kEffect | kPrefix},
        {"Initial loading done, show real gamepieces", &KolbaxCanvas::showRealPieces, kEffect},
        {"Hide Piece", &KolbaxCanvas::hidePieceEffect, kEffect},
        // The flow: these go on to the base class, except the tutorial's close with a tutorial showing.
        {kFocusLostLabel, &KolbaxCanvas::focusLost, kFlow},
        {"btn_tutorialClose", &KolbaxCanvas::closeTutorial, kFlow},
        {"Hide Gold Tile Glow", &KolbaxCanvas::hideGoldGlow, kFlow},
        {"Delay bonus level complete", &KolbaxCanvas::completeBonusLevel, kFlow},
        {"StartMainMenuMusic", &KolbaxCanvas::startMainMenuMusic, kFlow},
        {"ibtncontinue", &KolbaxCanvas::continueAfterLevel, kFlow},
        {"Delay exit dialog because sun has to go back to console", &KolbaxCanvas::openDelayedExitDialog, kFlow},
        {"Delay gameover state for no more moves dialog", &KolbaxCanvas::endByNoMoreMoves, kFlow},
        // Buttons and commands. Each ends the handling.
        {"bMenuExit", &KolbaxCanvas::menuExit, kButton},
        {"ChangeProfile", &KolbaxCanvas::changeProfile, kButton},
        {"profile:", &KolbaxCanvas::chooseProfile, kButton | kPrefix},
        {"bbacktomainmenu", &KolbaxCanvas::backToMainMenu, kButton},
        {"starteditor", &KolbaxCanvas::startEditor, kButton},
        {"bMenuInstructions", &KolbaxCanvas::openInstructions, kButton},
        {"bMenuInstructionsFromExit", &KolbaxCanvas::openInstructions, kButton},
        {"bInstructionsClose", &KolbaxCanvas::closeInstructions, kButton},
        {"bStart1", &KolbaxCanvas::openMap, kButton},
        {"bstartgame", &KolbaxCanvas::startGame, kButton},
        {"mapbutton", &KolbaxCanvas::leaveLevel, kButton},
        {"EndGame", &KolbaxCanvas::leaveLevel, kButton},
        {"OverMenu", &KolbaxCanvas::overMenu, kButton},
        {"retry", &KolbaxCanvas::retry, kButton},
        {"upsellQB", &KolbaxCanvas::openUpsell, kButton},
        {"crossCursor", &KolbaxCanvas::crossCursor, kButton},
        {"CLOSED", &KolbaxCanvas::closeDialog, kButton},
        {"bMenuOptions", &KolbaxCanvas::openOptions, kButton},
        {"bMenuOptionsFromExit", &KolbaxCanvas::openOptions, kButton},
    };
    return table;
}

const KolbaxCanvas::NamedAction* KolbaxCanvas::findAction(const lang::String& label) {
    for (const NamedAction& action : namedActions())
        if ((action.flags & kPrefix) != 0 ? startsWith(label, action.label) : is(label, action.label))
            return &action;
    return nullptr;
}

void KolbaxCanvas::handleAction(lang::Object* source, const lang::String& command) {
    lang::Synchronized guard(this, true);
    // A handler answers whether the handling ends here; a label without one, or whose handler lets it
    // go on, reaches the base class (and through it the visible dialogs).
    if (const NamedAction* action = findAction(command))
        if ((this->*action->handler)(animated(source), command))
            return;
    GameCanvas2::handleAction(source, command);
}
