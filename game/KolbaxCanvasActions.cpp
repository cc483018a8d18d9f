// KolbaxCanvas: the named and timed actions: sprite clean-ups, flow labels, buttons and commands.
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <string>

#include "game/GamePieceSprite.h"
#include "game/KolbaxCanvas.h"
#include "game/MagnifySprite.h"
#include "game/TileGridSprite.h"
#include "sprite/AnimateSprite.h"
#include "sprite/User.h"
#include "window/Cursor.h"

extern char** environ;

namespace {

// Effects that only hide when their animation ends.
constexpr const char* kHideLabels[] = {
    "Stop Shimmer", "Hide Cobweb", "Hide Sunburst", "Hide Fiver Flash", "Hide Vine",
    "Hide Big Power Piece Explosions", "Hide Gold Twinkle", "Hide Gold Sun Twinkle", "Hide Arrow",
    "Hide turned to gold anim", "Hide sun explosion", "Hide hopping sun",
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
    return source != nullptr && source->instanceOf("AnimateSprite") ? static_cast<sprite::AnimateSprite*>(source)
                                                                     : nullptr;
}

// Opens an address in the desktop's browser without a shell (the address is never parsed as a command)
// and without waiting: a detached grandchild runs xdg-open, and the short-lived child is reaped at once.
void openInBrowser(const std::string& address) {
    pid_t child = fork();
    if (child == 0) {
        pid_t grandchild = 0;
        char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(address.c_str()), nullptr};
        int status = posix_spawnp(&grandchild, "xdg-open", nullptr, nullptr, argv, environ);
        _exit(status == 0 ? 0 : 1);
    }
    if (child > 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
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

void KolbaxCanvas::showGoldTile(sprite::Sprite* source) {
    // The square travels with the effect; an effect without one changes nothing.
    const int carried = source->getUserValue() - 1;
    if (carried < 0 || carried >= board::kSquares)
        return;
    const int x = carried / board::kRows;
    const int y = carried % board::kRows;
    if (TileGridSprite* tile = tileSprite(x, y)) {
        if (board_.gold(x, y)) {
            tile->setFrame(board::kFrameGold);
            tile->setVisible(true);
        }
    }
}

bool KolbaxCanvas::spriteAction(lang::Object* source, const lang::String& label) {
    sprite::AnimateSprite* fx = animated(source);
    for (const char* text : kHideLabels)
        if (is(label, text)) {
            if (fx != nullptr) {
                fx->setNotify(nullptr, nullptr);
                fx->setVisible(false);
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
    if (is(label, "Hide turned to gold anim and show gold tile")) {
        if (fx != nullptr) {
            fx->setNotify(nullptr, nullptr);
            showGoldTile(fx);
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
        for (auto& zoom : magnifiers_)
            zoom->setVisible(false);
        for (auto& piece : pieces_)
            if (board::onBoard(piece->squareX(), piece->squareY()) &&
                board_.pieceId(piece->squareX(), piece->squareY()) >= 0 &&
                pieceSprite(board_.pieceId(piece->squareX(), piece->squareY())) == piece.get()) {
                placeBelow(piece.get(), "ipicketfence");
                piece->setVisible(true);
            }
        for (int x = 0; x < board::kColumns; ++x)
            for (int y = 0; y < board::kRows; ++y)
                if (TileGridSprite* tile = tileSprite(x, y))
                    tile->setVisible(board_.value(x, y) != board::kHole && board_.tileFrame(x, y) >= 0);
        initialShowPhase_ = false;
        arrivalScheduled_ = false;
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
        stopSound(kSoundLevelComplete);
        stopSound(kSoundTimeRunningOut);
        levelCompleteCountdown_ = bonusCompleteCountdown_ = 0;
        if (bonusLevel_) {
            // The bonus level after level 5k: progress is what was completed, not one more.
            raiseHighestLevel(level_);
            bonusLevel_ = false;
            ++level_;
            enterState(kMap);
        } else if (level_ % 5 == 0) {
            raiseHighestLevel(level_);
            startLevel(level_, true);
        } else {
            raiseHighestLevel(level_ + 1 > kHighestLevel ? kHighestLevel : level_ + 1);
            ++level_;
            enterState(kMap);
        }
        return false;
    }
    if (is(label, "Delay exit dialog because sun has to go back to console")) {
        openExitDialog();
        return false;
    }
    if (is(label, "Delay gameover state for no more moves dialog")) {
        if (board_.allSquaresGold()) {
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
    sprite::User* settings = getSettings();
    if (is(label, "bMenuExit")) {
        sendReport(GamePlayReport::kExit);
        replayCount_ = 0;
        GameCanvas::playSound(kSoundButton);
        setCursor(window::Cursor::waitCursor());
        requestExit();
        return true;
    }
    if (is(label, "ChangeProfile")) {
        for (const char* name : {"dim", "ChoosePlayer"})
            if (sprite::Sprite* s = named(name)) {
                placeOnTop(s);
                s->setVisible(true);
            }
        return true;
    }
    if (startsWith(label, "profile:")) {
        profileName_.assign(label.chars() + std::strlen("profile:"));
        if (settings != nullptr)
            settings->setString("LASTPROFILE", profileName_.view());
        show("ChoosePlayer", false);
        show("dim", false);
        show("MainMenu", true);
        return true;
    }
    if (is(label, "bbacktomainmenu")) {
        GameCanvas::playSound(kSoundButton);
        show("MenuMap", false);
        switchMusic(kMusicMap, kMusicNone);
        enterState(kMainMenu);
        return true;
    }
    if (is(label, "bStart1")) {
        GameCanvas::playSound(kSoundButton);
        show("MainMenu", false);
        switchMusic(kMusicMainMenu, kMusicNone);
        enterState(kMap);
        return true;
    }
    if (is(label, "bstartgame")) {
        switchMusic(kMusicMap, kMusicNone);
        GameCanvas::playSound(kSoundButton);
        int selected = clampSelectableLevel(settings != nullptr ? settings->getInt("SEL_LVL", level_) : level_);
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
        GameCanvas::playSound(kSoundButton);
        show("ExitDialog", false);
        show("dim", false);
        paused_ = false;
        if (bonusLevel_)
            raiseHighestLevel(level_);
        else if (!toMap)
            raiseHighestLevel(highestLevel() + 1);  // a way past a hard level
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
        stopSound(kSoundTimeRunningOut);
        ++retries_;
        replayCount_ += 100;
        report_.clearSent();
        show("inomoremoves", false);
        show("GameOver", false);
        show("dim", false);
        hidePieces();
        int suns = settings != nullptr ? settings->getInt("GLT", 0) : 0;
        startLevel(level_, false);
        board_.setSuns(suns + retries_);
        if (settings != nullptr)
            settings->setInt("GLT", suns + retries_);
        return true;
    }
    if (is(label, "upsellQB")) {
        GameCanvas::playSound(kSoundButton);
        leaveFullScreen();
        std::string address = getWebAddress().chars();
        if (settings != nullptr) {
            lang::Ref<lang::String> url = lang::adopt(settings->getString("VISITURL", address));
            if (url)
                address = url->chars();
        }
        openInBrowser(address);
        return true;
    }
    if (is(label, "crossCursor")) {
        setCursor(window::Cursor::shared(window::Cursor::kCross));
        return true;
    }
    if (is(label, "CLOSED")) {
        if (settings != nullptr)
            musicVolume_ = settings->getInt("VOLUMEMUSIC", 128);
        for (auto& c : clips_)
            if (c)
                c->setVolume(musicVolume_);
        GameCanvas::playSound(kSoundButton);
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
        GameCanvas::playSound(kSoundButton);
        show("ExitDialog", false);
        for (const char* name : {"dim", "Options"})
            if (sprite::Sprite* s = named(name)) {
                placeBelow(s, "ipicketfence3");
                s->setVisible(true);
            }
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
    flowAction(source, command);
    if (buttonAction(command))
        return;
    GameCanvas2::handleAction(source, command);
}
