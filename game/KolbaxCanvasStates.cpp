// KolbaxCanvas: the screen states with their entry steps, and the per-frame update.
#include "game/GamePieceSprite.h"
#include "game/KolbaxCanvas.h"
#include "game/MagnifySprite.h"
#include "sprite/AnimateSprite.h"
#include "sprite/ButtonSprite.h"
#include "sprite/User.h"
#include "window/Cursor.h"

namespace {

constexpr const char* kDialogs[] = {"MenuMap", "MainMenu", "Options", "Instructions", "ExitDialog",
                                    "LevelComplete", "GameOver", "consoledialog", "ChoosePlayer",
                                    "GenericDialog"};

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
        break;
    case kBusy:
        show("hinthighlight1", false);
        show("hinthighlight2", false);
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
        scheduleNotify(15, lang::String("StartMainMenuMusic"), 0, nullptr, nullptr);
        for (const char* name : kDialogs)
            show(name, false);
        show("highlight", false);
        show("dim", false);
        resetBoardScene();
        levelInProgress_ = false;
        if (sprite::Sprite* menu = named("MainMenu")) {
            placeBelow(menu, "ipicketfence3");
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
        hideSunCursor();
        if (level_ % 5 == 0)
            ++level_;
        // A level past the last one, or past what is unlocked, has no marker on the map and no layout.
        level_ = clampSelectableLevel(level_);
        if (sprite::User* settings = getSettings())
            settings->setInt("SEL_LVL", level_);
        show("dim", false);
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
        fadeAllClips(kMusicFadeFrames);
        stopSound(kSoundTimeRunningOut);
        if (lostByNoMoves_) {
            sendReport(GamePlayReport::kNoMoreMoves);
            show("inomoremoves", false);
        } else {
            sendReport(GamePlayReport::kTimeUp);
            replayCount_ = 0;
        }
        lostByNoMoves_ = false;
        GameCanvas::playSound(kSoundGameOver);
        for (const char* name : {"dim", "GameOver"})
            if (sprite::Sprite* s = named(name)) {
                placeBelow(s, "ipicketfence3");
                s->setVisible(true);
            }
        break;
    case kLevelComplete:
        show("itutorial", false);
        fadeAllClips(kMusicFadeFrames);
        stopSound(kSoundTimeRunningOut);
        show("bonusclicknumber", false);
        show("highlight", false);
        retries_ = 0;
        if (!bonusLevel_)
            sendReport(GamePlayReport::kLevelComplete);
        else
            report_.bonusScore = board_.bonusPoints();
        replayCount_ = 0;
        GameCanvas::playSound(kSoundLevelComplete);
        if (sprite::User* settings = getSettings())
            settings->setInt("SEL_LVL", clampSelectableLevel(level_ + 1));
        if (bonusLevel_)
            bonusCompleteCountdown_ = kCountdownStart;
        else
            levelCompleteCountdown_ = kCountdownStart;
        show("MainMenu", false);
        if (sprite::Sprite* dialog = named("LevelComplete")) {
            placeBelow(dialog, "ipicketfence3");
            dialog->setVisible(true);
        }
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
        board_.setDialogShown(anyScreenShowing() || shown("inomoremoves") || initialShowPhase_);
        if (!initialShowPhase_)
            board_.frame();
        syncBoardState();
        if (levelEnded_) {
            levelEnded_ = false;
            enterState(board_.complete() ? kLevelComplete : kGameOver);
        }
    }
    if (frames_ % 2 == 0)
        arrivalsAndDepartures();
    if (state_ == kLevelComplete) {
        if (bonusLevel_ && bonusCompleteCountdown_ > 0)
            --bonusCompleteCountdown_;
        else if (!bonusLevel_ && levelCompleteCountdown_ > 0)
            --levelCompleteCountdown_;
    }
}

void KolbaxCanvas::arrivalsAndDepartures() {
    if (!initialShowPhase_ || arrivalScheduled_)
        return;
    setCursor(window::Cursor::waitCursor());
    util::Random& random = gameRandom();
    bool all = true;
    for (int x = 0; x < board::kColumns; ++x)
        for (int y = 0; y < board::kRows; ++y) {
            MagnifySprite* zoom = magnifySprite(x, y);
            if (zoom == nullptr || board_.value(x, y) < 0 || zoom->isVisible())
                continue;
            if (random.nextInt(2) == 0) {
                placeBelow(zoom, "ipicketfence");
                zoom->setVisible(true);
            } else {
                all = false;
            }
        }
    if (all) {
        setCursor(window::Cursor::arrow());
        // The phase ends when the real pieces replace the zoom pictures; input waits until then.
        arrivalScheduled_ = true;
        scheduleNotify(4, lang::String("Initial loading done, show real gamepieces"), 0, nullptr, nullptr);
    }
}
