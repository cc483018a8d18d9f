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
#include "sprite/User.h"
#include "window/Cursor.h"

extern char** environ;

namespace {

// Effects that only hide when their animation ends.
constexpr const char* kHideLabels[] = {"Stop Shimmer",
                                       "Hide Cobweb",
                                       "Hide Sunburst",
                                       "Hide Fiver Flash",
                                       "Hide Vine",
                                       "Hide Big Power Piece Explosions",
                                       "Hide Gold Twinkle",
                                       "Hide Gold Sun Twinkle",
                                       "Hide Arrow",
                                       "Hide turned to gold anim",
                                       "Hide sun explosion",
                                       "Hide hopping sun",
                                       "Hide Suns When They Arrive At Console Sun"};
// Effects that leave the scene when their animation ends.
constexpr const char* kRemoveLabels[] = {"Hide match out sparkle bling", "Hide Random Bomb Explosion",
                                         "Hide lightning", "Hide static ball", "Remove effect"};

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

bool KolbaxCanvas::spriteAction(lang::Object* source, const lang::String& label) {
    sprite::AnimateSprite* fx = animated(source);
    for (const char* text : kHideLabels)
        if (is(label, text)) {
            if (fx != nullptr) {
                fx->setNotify(nullptr, nullptr);
                fx->setVisible(false);
                // A copy made for this one effect has no name: it leaves the scene, so that effects
                // never pile up in the sprite list over a long game.
                if (fx->getName().length() == 0)
                    removeSprite(fx);
            }
            return true;
        }
    for (const char* text : kRemoveLabels)
        if (is(label, text)) {
            if (fx != nullptr) {
                fx->setNotify(nullptr, nullptr);
                removeSprite(fx);
            }
            return true;
        }
    if (is(label, "Fade out bonus level text")) {
        if (sprite::AnimateSprite* text = namedAnimated("ibonuslevelstarttext"))
            text->fadeTo(0, 30, 1);
        return true;
    }
    // Flights of points and suns: the sprite glides to its target, fading, and bursts there.
    struct Flight {
        const char* label;
        util::Point to;
        const char* arrival;
        int fadeMode;
    };
    const Flight flights[] = {
        {"Send points to click location", view_->clickPoint(), "Do burst at click area", 0},
        {"Send points to console sun location", consoleSunPoint(), "Do burst at console sun", 0},
        {"Send points to score location", scorePoint(), "Do burst at score area", 0}};
    for (const Flight& f : flights)
        if (is(label, f.label)) {
            if (fx != nullptr) {
                fx->moveTo(f.to.x, f.to.y, 8);
                fx->fadeTo(0, 8, f.fadeMode);
                auto arrival = lang::make<lang::String>(f.arrival);
                fx->setNotify(this, arrival.get());
            }
            return true;
        }
    if (is(label, "Do burst at click area") || is(label, "Do burst at console sun") ||
        is(label, "Do burst at score area")) {
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
    if (is(label, "Turn this grid square to gold")) {
        if (fx != nullptr) {
            fx->setNotify(nullptr, nullptr);
            const int carried = fx->getUserValue() - 1;
            if (carried >= 0 && carried < board::kSquares)
                board_.turnSquareGold(carried / board::kRows, carried % board::kRows);
        }
        return true;
    }
    if (is(label, "Give gold sun")) {
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
    if (is(label, "Bonus block broken")) {
        // The pick was counted by the prize grid when the block was picked.
        if (fx != nullptr) {
            fx->setNotify(nullptr, nullptr);
            fx->setVisible(false);
        }
        return true;
    }
    if (is(label, "Hide turned to gold anim and show gold tile")) {
        if (fx != nullptr) {
            fx->setNotify(nullptr, nullptr);
            view_->showGoldTile(fx->getUserValue());
            removeSprite(fx);
        }
        return true;
    }
    if (startsWith(label, "Slow cascading")) {
        if (fx != nullptr) {
            fx->fadeTo(0, 25, 1);
            fx->moveTo(fx->getX(), fx->getY() - 40, 30);
            // The copy leaves the scene once it has risen and faded.
            auto text = lang::make<lang::String>("Remove effect");
            fx->setNotify(this, text.get());
        }
        return true;
    }
    if (is(label, "Initial loading done, show real gamepieces")) {
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
    if (is(label, "Hide Piece")) {
        if (fx != nullptr) {
            resetBoardScene();
            fx->setVisible(false);
        }
        return true;
    }
    return false;
}

bool KolbaxCanvas::flowAction(lang::Object* source, const lang::String& label) {
    (void)source;
    if (is(label, kFocusLostLabel)) {
        // Queued by onDeactivate: the frame lost the focus while the board was in play.
        if (boardActive() && !paused_ && state_ != kPaused) {
            paused_ = true;
            pausedState_ = state_;
            state_ = kPaused;
            fadeAllClips(kMusicFadeFrames);
            pauseBoard();
        }
        return true;
    }
    if (is(label, "btn_tutorialClose")) {
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
    if (is(label, "Hide Gold Tile Glow")) {
        if (console_)
            console_->setGoldGlow(false);
        return false;
    }
    if (is(label, "Delay bonus level complete")) {
        enterState(kLevelComplete);
        return true;
    }
    if (is(label, "StartMainMenuMusic")) {
        switchMusic(kMusicNone, kMusicMainMenu);
        return true;
    }
    if (is(label, "ibtncontinue")) {
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
    if (is(label, "Delay exit dialog because sun has to go back to console")) {
        openExitDialog();
        return false;
    }
    if (is(label, "Delay gameover state for no more moves dialog")) {
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
    return false;
}

bool KolbaxCanvas::buttonAction(const lang::String& label) {
    if (is(label, "bMenuExit")) {
        sendReport(GamePlayReport::kExit);
        replayCount_ = 0;
        GameCanvas::playSound(board::kSoundButton);
        setCursor(window::Cursor::waitCursor());
        requestExit();
        return true;
    }
    if (is(label, "ChangeProfile")) {
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
    if (startsWith(label, "profile:")) {
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
    if (is(label, "bbacktomainmenu")) {
        GameCanvas::playSound(board::kSoundButton);
        show("MenuMap", false);
        switchMusic(kMusicMap, kMusicNone);
        enterState(kMainMenu);
        return true;
    }
    if (is(label, "starteditor")) {
        setCursor(window::Cursor::waitCursor());
        for (const char* name : {"ExitDialog", "MainMenu", "MenuMap"})
            show(name, false);
        switchMusic(kMusicMap, kMusicNone);
        enterState(kEditor);
        return true;
    }
    if (is(label, "bMenuInstructions") || is(label, "bMenuInstructionsFromExit")) {
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
    if (is(label, "bInstructionsClose")) {
        // Opened from the in-game menu, the instructions give way to that menu again, still over the
        // dimmer with the game paused; from the main menu there is nothing to return to.
        if (instructionsFromExit_ && levelInProgress_ && !anyScreenShowing())
            openExitDialog();
        instructionsFromExit_ = false;
        return true;
    }
    if (is(label, "bStart1")) {
        GameCanvas::playSound(board::kSoundButton);
        show("MainMenu", false);
        switchMusic(kMusicMainMenu, kMusicNone);
        enterState(kMap);
        return true;
    }
    if (is(label, "bstartgame")) {
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
    if (is(label, "mapbutton") || is(label, "EndGame")) {
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
    if (is(label, "OverMenu")) {
        resetBoardScene();
        levelInProgress_ = false;
        switchMusic(kMusicInGame, kMusicNone);
        enterState(kMainMenu);
        return true;
    }
    if (is(label, "retry")) {
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
    if (is(label, "upsellQB")) {
        GameCanvas::playSound(board::kSoundButton);
        leaveFullScreen();
        std::string address = playerData_ ? playerData_->visitUrl() : std::string();
        if (address.empty())
            address = getWebAddress().chars();
        if (!openInBrowser(address))
            std::fprintf(stderr, "KolbaxCanvas: cannot open %s: xdg-open did not start\n", address.c_str());
        return true;
    }
    if (is(label, "crossCursor")) {
        setCursor(window::Cursor::shared(window::Cursor::kCross));
        return true;
    }
    if (is(label, "CLOSED")) {
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
    if (is(label, "bMenuOptions") || is(label, "bMenuOptionsFromExit")) {
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
    return false;
}

void KolbaxCanvas::handleAction(lang::Object* source, const lang::String& command) {
    lang::Synchronized guard(this, true);
    if (spriteAction(source, command))
        return;
    // Only the tutorial's close button ends the handling in the flow group.
    if (flowAction(source, command) && std::strcmp(command.chars(), "btn_tutorialClose") == 0)
        return;
    if (buttonAction(command))
        return;
    GameCanvas2::handleAction(source, command);
}
