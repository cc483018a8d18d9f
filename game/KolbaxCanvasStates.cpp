// KolbaxCanvas: the screen states with their entry steps, and the per-frame update.
#include <algorithm>

#include "game/ConsoleDialog.h"
#include "game/DragonflySprite.h"
#include "game/GamePieceSprite.h"
#include "game/KolbaxBoardView.h"
#include "game/KolbaxCanvas.h"
#include "game/LevelCompleteDialog.h"
#include "game/MagnifySprite.h"
#include "game/MenuMapDialog.h"
#include "game/MenuSprite.h"
#include "game/PlayerData.h"
#include "game/TileGridSprite.h"
#include "game/TutorialDialog.h"
#include "sprite/AnimateSprite.h"
#include "sprite/ButtonSprite.h"
#include "sprite/store/User.h"
#include "window/Cursor.h"

namespace {

constexpr const char* kDialogs[] = {"MenuMap",      "MainMenu",      "Options",  "Instructions",
                                    "ExitDialog",   "LevelComplete", "GameOver", "consoledialog",
                                    "ChoosePlayer", "GenericDialog"};

}  // namespace

void KolbaxCanvas::enterState(int state) {
    lang::Synchronized guard(this, true);
    previousState_ = state_;
    applyEntry(state);
}

void KolbaxCanvas::applyEntry(int state) {
    switch (state) {
        case kPlay:
            show("layoutname", false);
            if (!initialShowPhase_)
                setCursor(window::Cursor::arrow());
            if (state_ == kPaused) {
                show("dim", false);
                show("pausesign", false);
                state = pausedState_;
            }
            if (tutorial_)
                tutorial_->reset();
            offerPowerTutorial();
            break;
        case kBusy:
            show("hinthighlight1", false);
            show("hinthighlight2", false);
            // The model forgets its picks as a move resolves: the ring and the piece's look go too.
            view_->selectionChanged(board::kNone, board::kNone);
            break;
        case kResolving:
            ++resolveDepth_;
            break;
        case kSettling:
            --resolveDepth_;
            break;
        case kPaused:
            fadeAllClips(kMusicFadeFrames);
            if (boardActive() && !anyScreenShowing())
                pauseBoard();
            break;
        case kMainMenu:
            show("itutorial", false);
            stopSound(board::kSoundTimeRunningOut);
            putBackCarriedSun();
            scheduleNotify(15, lang::String("StartMainMenuMusic"), 0, nullptr, nullptr);
            for (const char* name : kDialogs)
                show(name, false);
            show("highlight", false);
            show("dim", false);
            resetBoardScene();
            levelInProgress_ = false;
            if (sprite::Sprite* menu = named("MainMenu")) {
                placeBelow(menu, "ipicketfence3");
                if (menu->instanceOf("MenuSprite"))
                    static_cast<MenuSprite*>(menu)->setProfileName(std::string(profileName_.view()));
                menu->setVisible(true);
            }
            state_ = kMainMenu;
            if (profileName_.length() == 0)
                handleAction(nullptr, lang::String("ChangeProfile"));
            return;
        case kMap: {
            setCursor(window::Cursor::waitCursor());
            paused_ = false;
            resetBoardScene();
            levelCompleteCountdown_ = bonusCompleteCountdown_ = 0;
            show("itutorial", false);
            levelInProgress_ = false;
            switchMusic(kMusicNone, kMusicMap);
            if (sprite::Sprite* b = named("btn_MenuOnConsole"); b != nullptr && b->instanceOf("ButtonSprite"))
                static_cast<sprite::ButtonSprite*>(b)->setState(0);
            showBackgrounds(false, level_);
            show("consoledialog", false);
            show("btn_consolesun", false);
            stopSound(board::kSoundTimeRunningOut);
            putBackCarriedSun();
            // After a fifth level (and its bonus level) the map moves on to the next stage; otherwise
            // it shows the level the player selected last.
            if (level_ % 5 == 0) {
                ++level_;
                setSelectedLevel(level_);
            }
            // A level past the last one, or past what is unlocked, has no marker on the map and no layout.
            level_ = clampSelectableLevel(level_);
            show("dim", false);
            if (map_)
                map_->prepare();
            if (sprite::Sprite* map = named("MenuMap")) {
                placeBelow(map, "ipicketfence3");
                map->setVisible(true);
            }
            show("highlight", false);
            setCursor(window::Cursor::arrow());
            break;
        }
        case kGameOver:
            show("itutorial", false);
            show("highlight", false);
            // No hint on a lost board.
            show("hinthighlight1", false);
            show("hinthighlight2", false);
            putBackCarriedSun();
            fadeAllClips(kMusicFadeFrames);
            stopSound(board::kSoundTimeRunningOut);
            if (lostByNoMoves_) {
                sendReport(GamePlayReport::kNoMoreMoves);
                show("inomoremoves", false);
            } else {
                sendReport(GamePlayReport::kTimeUp);
                replayCount_ = 0;
            }
            lostByNoMoves_ = false;
            GameCanvas::playSound(board::kSoundGameOver);
            for (const char* name : {"dim", "GameOver"})
                if (sprite::Sprite* s = named(name)) {
                    placeBelow(s, "ipicketfence3");
                    s->setVisible(true);
                }
            break;
        case kLevelComplete:
            show("itutorial", false);
            fadeAllClips(kMusicFadeFrames);
            stopSound(board::kSoundTimeRunningOut);
            show("bonusclicknumber", false);
            show("highlight", false);
            retries_ = 0;
            if (!bonusLevel_)
                sendReport(GamePlayReport::kLevelComplete);
            else
                report_.bonusScore = board_.bonusPoints();
            replayCount_ = 0;
            GameCanvas::playSound(board::kSoundLevelComplete);
            setSelectedLevel(map_ ? map_->selectedLevel() : level_);
            if (bonusLevel_)
                bonusCompleteCountdown_ = kCountdownStart;
            else
                levelCompleteCountdown_ = kCountdownStart;
            show("MainMenu", false);
            // The tally shows the dialog at its own step.
            if (levelDialog_)
                levelDialog_->beginTally();
            break;
        default:
            break;
    }
    state_ = state;
}

void KolbaxCanvas::pauseBoard() {
    for (const char* name : {"dim", "pausesign"})
        if (sprite::Sprite* s = named(name)) {
            placeBelow(s, "ipicketfence3");
            s->setVisible(true);
        }
    switchMusic(bonusLevel_ ? kMusicBonus : kMusicInGame, kMusicNone);
}

void KolbaxCanvas::tick() {
    {
        lang::Synchronized guard(this, true);
        gameFrame();
    }
    GameCanvas2::tick();
}

void KolbaxCanvas::syncBoardState() {
    if (!boardActive() || initialShowPhase_)
        return;
    int modelState = board_.state();
    if (modelState >= kPlay && modelState <= kSettling && modelState != state_)
        enterState(modelState);
}

void KolbaxCanvas::gameFrame() {
    ++frames_;
    ambientSounds();
    if (boardActive() && levelInProgress_) {
        updateDialogShown();
        // The in-game menu pauses the board: nothing moves and no loss can come while it is up.
        if (!initialShowPhase_ && !paused_)
            board_.frame();
        syncBoardState();
        if (levelEnded_) {
            levelEnded_ = false;
            enterState(board_.complete() ? kLevelComplete : kGameOver);
        }
    }
    if (levelInProgress_) {
        syncConsole();
        if (boardActive() && !bonusLevel_ && !initialShowPhase_)
            tutorialFrame();
    }
    if (frames_ % 2 == 0) {
        arrivalsAndDepartures();
        departuresStep();
    }
    if (map_ && map_->isVisible())
        map_->pointerAt(pointerX_, pointerY_);
    if (state_ == kLevelComplete)
        tallyFrame();
}

void KolbaxCanvas::tutorialFrame() {
    if (!tutorial_)
        return;
    // The console sun's explanation: late in the level, after resting on the sun, or on level 9.
    const bool onSun = [&] {
        sprite::Sprite* sun = named("btn_consolesun");
        return sun != nullptr && sun->isVisible() && sun->containsPoint(pointerX_, pointerY_);
    }();
    restOnSunFrames_ = onSun ? restOnSunFrames_ + 1 : 0;
    // Whether a page is due reads the player's marks from the store: a few times a second is enough.
    const bool look = frames_ % 8 == 0;
    if (look && (board_.timer() > 300 || restOnSunFrames_ > 50 || level_ == 9) && !board_.sunCarried() &&
        board_.suns() > 0 && !board_.allSquaresGold() && !tutorial_->isShowing())
        offerTutorial(board::kPageConsoleSun);
    // The explanation of the level itself, once nothing else is on show.
    if (look && state_ == kPlay && level_ == 3 && !tutorial_->isShowing())
        for (int page = 0; page < TutorialDialog::kPages; ++page)
            if (tutorial_->dueLevel(page) == level_)
                offerTutorial(page);
    if (playedUnderTutorial_ && ++playedUnderTutorialFrames_ > 72) {
        playedUnderTutorial_ = false;
        playedUnderTutorialFrames_ = 0;
        tutorial_->close();
    } else if (!playedUnderTutorial_) {
        playedUnderTutorialFrames_ = 0;
    }
}

void KolbaxCanvas::updateDialogShown() {
    board_.setDialogShown(anyScreenShowing() || shown("inomoremoves") || initialShowPhase_);
    // The player may play under a lesson: it only holds the timer.
    board_.setExplanationShown(tutorialShowing());
}

void KolbaxCanvas::syncConsole() {
    if (!console_)
        return;
    console_->setScore(board_.score());
    console_->setSuns(board_.suns());
    if (!bonusLevel_ && boardActive()) {
        console_->setTimer(board_.timer());
        console_->timerStep(false);
    }
}

void KolbaxCanvas::tallyFrame() {
    // The countdown of the tally that matches the level: the bonus tally clears bonusLevel_ at its end.
    int& countdown = bonusLevel_ ? bonusCompleteCountdown_ : levelCompleteCountdown_;
    if (countdown <= 0)
        return;
    --countdown;
    if (levelDialog_) {
        countdown = bonusLevel_ ? levelDialog_->bonusTallyStep(countdown, *this)
                                : levelDialog_->tallyStep(countdown, *this);
        return;
    }
    // Without a dialog there is nothing to count on: the level's end goes straight to the choice.
    if (!bonusLevel_ && level_ % 5 == 0)
        bonusNext_ = true;
    countdown = 0;
}

void KolbaxCanvas::departuresStep() {
    if (!initialHidePhase_)
        return;
    setCursor(window::Cursor::waitCursor());
    if (view_->departuresStep()) {
        initialHidePhase_ = false;
        scheduleNotify(1, lang::String("Hide Piece"), 0, nullptr, nullptr);
    }
}

// ---- LevelTally ----

int KolbaxCanvas::timerDivisor() {
    return std::max(1, 24 / std::max(1, board_.record().timerTickFrames));
}

void KolbaxCanvas::countConsoleTimer() {
    board_.setTimer(std::min(Board::kTimerFull, board_.timer() + 5));
    if (console_)
        console_->timerStep(true);
}

void KolbaxCanvas::startPiecesLeaving() {
    view_->resetDepartures();
    initialHidePhase_ = true;
}

void KolbaxCanvas::replaceTilesWithEndAnimations() {
    view_->replaceTilesWithEndAnimations();
}

void KolbaxCanvas::clearBoardForTally() {
    initialHidePhase_ = false;
    view_->settlePieces();
    if (sprite::Sprite* playarea = named("playarea");
        playarea != nullptr && playarea->instanceOf("AnimateSprite"))
        static_cast<sprite::AnimateSprite*>(playarea)->fadeTo(0, 20, 1);
    else
        show("playarea", false);
    for (const char* name : {"highlight", "hinthighlight1", "hinthighlight2", "itutorial", "inomoremoves"})
        show(name, false);
    show("consoledialog", false);
    hideConsoleButtons();
    putBackCarriedSun();
}

void KolbaxCanvas::hideConsoleButtons() {
    // Hidden and disabled: a button that stays visible would look as if it still took presses.
    for (const char* name : {"btn_consolesun", "btn_MenuOnConsole"}) {
        if (sprite::Sprite* b = named(name); b != nullptr && b->instanceOf("ButtonSprite"))
            static_cast<sprite::ButtonSprite*>(b)->setState(0);
        show(name, false);
    }
}

void KolbaxCanvas::releasePieces() {
    view_->hidePieces();
}

void KolbaxCanvas::showFloatingBonus(int points) {
    view_->floatingNumber(scoreX_, scoreY_ + 20, points, "Slow cascading numbers");
}

void KolbaxCanvas::progressStored() {
    if (map_)
        map_->prepare();
}

void KolbaxCanvas::startBonusTally() {
    switchMusic(kMusicBonus, kMusicNone);
    putBackCarriedSun();
    for (const char* name : {"consoledialog", "itutorial", "bonusclicknumber", "highlight"})
        show(name, false);
    hideConsoleButtons();
    // The prize grid gives way to the tally's panel, which would otherwise stand on its top row.
    view_->hideBonusGrid();
    if (sprite::Sprite* playarea = named("playarea");
        playarea != nullptr && playarea->instanceOf("AnimateSprite"))
        static_cast<sprite::AnimateSprite*>(playarea)->fadeTo(0, 20, 1);
    view_->hidePieces();
}

void KolbaxCanvas::putBackCarriedSun() {
    board_.putSunBack();
    view_->hideSunCursor();
    dragPending_ = false;
}

void KolbaxCanvas::hideBonusClickNumber() {
    show("bonusclicknumber", false);
}

void KolbaxCanvas::endBonusLevel() {
    bonusLevel_ = false;
}

void KolbaxCanvas::placeBelowTopFence(sprite::Sprite* dialog) {
    placeBelow(dialog, "ipicketfence3");
}

void KolbaxCanvas::setArrowCursor() {
    setCursor(window::Cursor::arrow());
}

void KolbaxCanvas::arrivalsAndDepartures() {
    if (!initialShowPhase_ || arrivalScheduled_)
        return;
    setCursor(window::Cursor::waitCursor());
    if (view_->arrivalStep()) {
        setCursor(window::Cursor::arrow());
        // The phase ends when the real pieces replace the zoom pictures; input waits until then.
        arrivalScheduled_ = true;
        scheduleNotify(4, lang::String("Initial loading done, show real gamepieces"), 0, nullptr, nullptr);
    }
}
