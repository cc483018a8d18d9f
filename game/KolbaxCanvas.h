// KolbaxCanvas: the game's canvas: it builds the scene, keeps the screen state and the music, runs the
// named and timed actions, takes input in play, and draws the board model's events as sprites.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "game/BoardViewHost.h"
#include "game/GameHost.h"
#include "game/GamePlayReport.h"
#include "game/LevelTally.h"
#include "game/SceneNames.h"
#include "game/rules/Board.h"
#include "game/rules/BoardEvents.h"
#include "game/rules/LevelTable.h"
#include "lang/Ref.h"
#include "sprite/GameCanvas2.h"
#include "util/Point.h"
#include "util/Random.h"

class ConsoleDialog;
class KolbaxBoardView;
class GamePieceSprite;
class LevelCompleteDialog;
class MenuMapDialog;
class PlayerData;
class TutorialDialog;
class ReportSender;
class TileGridSprite;

namespace sprite {
class AnimateSprite;
class Sprite;
}  // namespace sprite

// The one process-wide generator the board and the piece sprites draw from (tests seed it).
util::Random& gameRandom();

// Threads: every game operation runs under the canvas lock (this object's monitor): the frame step
// (tick) on the render thread, input and its commands on the input thread (the base class delivers
// each event under the lock; the overrides take it again for their game part), timed labels inside the
// frame step. The board model has no locks of its own and is only called under this one.
// onDeactivate arrives on the window thread and only queues a label for the input thread, so the
// window thread never waits for the canvas lock.
//
// The canvas is the host of every game dialog of its scene (GameHost), what the level-complete dialog's
// tally works on (LevelTally), and the host of the board's picture (BoardViewHost), which the view
// owns. Progress, suns and volumes live in the current profile, reached through the one PlayerData
// object.
class KolbaxCanvas : public sprite::GameCanvas2, public GameHost, public LevelTally, public BoardViewHost {
public:
    // Screen states (board::State).
    static constexpr int kPlay = board::kPlay;
    static constexpr int kBusy = board::kBusy;
    static constexpr int kResolving = board::kResolving;
    static constexpr int kSettling = board::kSettling;
    static constexpr int kPaused = board::kPaused;
    static constexpr int kMainMenu = board::kMainMenu;
    static constexpr int kMap = board::kMap;
    static constexpr int kGameOver = board::kGameOver;
    static constexpr int kLevelComplete = board::kLevelComplete;
    static constexpr int kBonusPlay = board::kBonusPlay;
    static constexpr int kEditor = board::kEditor;
    // Music ids (the state each plays in); -1 none.
    static constexpr int kMusicNone = -1;
    static constexpr int kMusicInGame = board::kPlay;
    static constexpr int kMusicMainMenu = board::kMainMenu;
    static constexpr int kMusicMap = board::kMap;
    static constexpr int kMusicBonus = board::kBonusPlay;
    static constexpr int kAmbientClips = scene_names::kAmbientClips;
    static constexpr int kClipCount = scene_names::kClipCount;
    static constexpr int kMusicFadeFrames = 30;
    static constexpr int kCountdownStart = 1000;
    static constexpr int kHighestLevel = 60;
    static constexpr int kSoundRefused = board::kSoundRefused;
    // How long the console's glow stays lit when a sun arrives.
    static constexpr int kGoldGlowFrames = 25;
    // The label onDeactivate queues for the input thread.
    static constexpr const char* kFocusLostLabel = "Focus lost";

    KolbaxCanvas();
    ~KolbaxCanvas() override;

    LANG_CLASS_NAME(KolbaxCanvas, GameCanvas2)
    LANG_DECLARE_CLASS_RECORD(KolbaxCanvas);

    // ---- the canvas's operations ----
    void onDeactivate() override;
    void exitGame() override;
    void tick() override;
    void onSceneLoaded(sprite::DataLoader* loader) override;
    void handleAction(lang::Object* source, const lang::String& command) override;
    bool onMouseDown(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) override;
    bool onMouseUp(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) override;
    bool onMouseMove(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) override;
    bool onKeyDown(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command) override;
    using sprite::GameCanvas::playSound;
    using sprite::GameCanvas::stopSound;

    // ---- GameHost: what the dialogs ask of the game ----
    PlayerData* playerData() override { return playerData_.get(); }
    util::Random* random() override { return &gameRandom(); }
    std::string text(const char* id) override;
    void playSound(int index) override { GameCanvas2::playSound(index); }
    void stopSound(int index) override { GameCanvas2::stopSound(index); }
    void runAction(lang::Object* source, const lang::String& label) override { handleAction(source, label); }
    void setEffectsVolume(int volume) override;
    bool isFullScreen() override;
    void setFullScreen(bool on) override;

    // ---- LevelTally: what the level-complete tally works on (render thread, canvas lock) ----
    int level() override { return level_; }
    int consoleTimer() override { return board_.timer(); }
    int timerDivisor() override;
    void countConsoleTimer() override;
    int consoleScore() override { return board_.score(); }
    int consoleSuns() override { return board_.suns(); }
    void startPiecesLeaving() override;
    void replaceTilesWithEndAnimations() override;
    void clearBoardForTally() override;
    void releasePieces() override;
    void showFloatingBonus(int points) override;
    void setBonusLevelNext() override { bonusNext_ = true; }
    void progressStored() override;
    void startBonusTally() override;
    int sunsHeld() override { return board_.suns(); }
    int bonusPoints() override { return board_.bonusPoints(); }
    int bonusSuns() override { return board_.bonusSuns(); }
    // Sends the game-play report of the level in play, once per level end (startLevel re-arms it).
    void sendReport(int reason) override;
    void putBackCarriedSun() override;
    void hideBonusClickNumber() override;
    void endBonusLevel() override;
    void placeBelowTopFence(sprite::Sprite* dialog) override;
    void setArrowCursor() override;

    // ---- BoardViewHost: what the board view asks of the canvas ----
    sprite::GameCanvas2& scene() override { return *this; }
    // Puts a sprite just below the named one in the scene order (on top when it is missing).
    void placeBelow(sprite::Sprite* sprite, const char* reference) override;
    lang::Ref<sprite::AnimateSprite> effectFrom(const char* templateName, int x, int y,
                                                const char* label) override;
    // The tutorial page offered now, when this player is due to see it (no tutorial: nothing).
    void offerTutorial(int page) override;
    void explanationDue(int page) override;
    util::Point consoleSunPoint() override { return util::Point(consoleSunX_, consoleSunY_); }
    util::Point scorePoint() override { return util::Point(scoreX_, scoreY_); }
    void beginArrival() override { initialShowPhase_ = true; }
    bool arriving() override { return initialShowPhase_; }
    void boardLevelComplete() override { levelEnded_ = true; }
    void boardLevelLost(LevelLoss reason) override;

    // ---- set-up (before the scene is loaded) ----
    // The folder of "leveling.txt" and the layouts; the table is read at once. False with `error` set
    // (naming the file and line) when it cannot be read.
    bool setBoardsFolder(const std::string& folder, std::string& error);
    // Where reports go (not owned; null: reports are built and dropped).
    void setReportSender(ReportSender* sender) { reportSender_ = sender; }
    // Every report text built, for the log and the tests.
    void setReportObserver(std::function<void(const GamePlayReport&)> observer) {
        reportObserver_ = std::move(observer);
    }
    // The 20 clips by name; the default opens window::AudioClip on the archive name.
    void setClipFactory(std::function<lang::Ref<window::AudioClip>(const char*)> factory) {
        clipFactory_ = std::move(factory);
    }

    // ---- the game flow, each under the canvas lock ----
    void enterState(int state);
    // Starts level 1..60 (or the bonus level after `level` when bonus is set) and enters play. False
    // when the level cannot be set up; the error is written to standard error.
    bool startLevel(int level, bool bonus);
    // A level whose board or record cannot be had: a message naming why, and the map.
    void levelStartFailed(int level, bool bonus, const std::string& error);
    // Replaces the level's board with one made by hand (an edited layout, tests, the bench) and shows
    // it at once, every piece at rest on its square.
    void setSquares(const std::array<SquareSetup, board::kSquares>& squares);
    // Leaves the pause: hides the dimmer and the sign, restores the state held before and its music.
    void resumeFromPause();
    // Switches music: fades `fadeOut` out and starts `start` (either -1).
    void switchMusic(int fadeOut, int start);
    void showBackgrounds(bool show, int level);
    // The archive names of a level's background (by its stage) and board backdrop (none past level 60;
    // its alpha mask is the name followed by "alpha").
    static std::string backgroundName(int level);
    static std::string playareaName(int level, bool bonus);
    // A selected level within 1..min(HIG_LVL + 1, 60).
    int clampSelectableLevel(int level);

    // ---- the named actions: one entry per label the canvas handles, in the order they are tried ----
    enum ActionFlags { kEffect = 1, kFlow = 2, kButton = 4, kPrefix = 8 };
    struct NamedAction {
        const char* label;
        bool (KolbaxCanvas::*handler)(sprite::AnimateSprite* fx, const lang::String& label);
        int flags;  // its group (effects' ends, the flow, buttons and commands), and kPrefix
    };
    static std::span<const NamedAction> namedActions();

    // ---- what the tests and the tools read ----
    int state() const { return state_; }
    int previousState() const { return previousState_; }
    int level() const { return level_; }
    bool bonusLevel() const { return bonusLevel_; }
    bool paused() const { return paused_; }
    int pausedState() const { return pausedState_; }
    int levelCompleteCountdown() const { return levelCompleteCountdown_; }
    int bonusCompleteCountdown() const { return bonusCompleteCountdown_; }
    bool bonusNext() const { return bonusNext_; }
    int retries() const { return retries_; }
    int replayCount() const { return replayCount_; }
    bool initialShowPhase() const { return initialShowPhase_; }
    bool initialHidePhase() const { return initialHidePhase_; }
    int currentMusic() const { return currentMusic_; }
    int musicVolume() const { return musicVolume_; }
    Board& board() { return board_; }
    const GamePlayReport& reportRecord() const { return report_; }
    int reportsSent() const { return reportsSent_; }
    bool sunCarried() const { return board_.sunCarried(); }
    bool dragPending() const { return dragPending_; }
    // The board's picture, and its pieces, tiles and bonus blocks (see KolbaxBoardView).
    KolbaxBoardView& view() { return *view_; }
    GamePieceSprite* pieceSprite(int id);
    TileGridSprite* tileSprite(int x, int y);
    sprite::AnimateSprite* bonusBlock(int cell);
    util::Point squareToScreen(int x, int y) const;
    window::AudioClip* clip(int i) { return clips_[static_cast<size_t>(i)].get(); }
    bool anyScreenShowing();
    bool boardActive() const { return state_ >= kPlay && state_ <= kSettling; }

private:
    // Scene.
    void lookUpScene();
    // With "SHOWLINK" 0 the main menu's link to the publisher's page is disabled.
    void disableLink();
    // The board's kind codes from the scene script's integer list.
    void readKindTable();
    void makeClips();
    sprite::Sprite* named(const char* name);
    // The name `sprite` is placed in the scene under: its own, unless that name stands for another sprite.
    const char* nameToRegister(sprite::Sprite* sprite, const lang::String& name);
    sprite::AnimateSprite* namedAnimated(const char* name);
    void show(const char* name, bool on);
    bool shown(const char* name);
    // Puts a sprite just above the named one (on top when it is missing).
    void placeAbove(sprite::Sprite* sprite, const char* reference);
    void placeOnTop(sprite::Sprite* sprite);
    void resetBoardScene();

    // States.
    void applyEntry(int state);
    void syncBoardState();
    void gameFrame();
    void ambientSounds();
    void arrivalsAndDepartures();
    void pauseBoard();
    // The console's sun and menu buttons leave with the console at a level's end.
    void hideConsoleButtons();
    void fadeAllClips(int frames);
    void clipFade(int clip, int target, int frames);
    // Reads the music and effects volumes of the current profile and applies both.
    void applyVolumes();
    // The clip slots of a music id (none for kMusicNone).
    static std::vector<int> musicClips(int music);

    // Level end and reports.
    void fillReport(int reason);
    void tallyFrame();
    void departuresStep();
    void syncConsole();
    void tutorialFrame();
    // Tells the model whether a screen, sign or explanation covers the board now.
    void updateDialogShown();
    bool tutorialShowing();
    void setSelectedLevel(int level);
    void storeSunCarryOver();
    void raiseHighestLevel(int completed);
    int highestLevel();

    // Named actions (KolbaxCanvasActions.cpp): each answers whether the handling ends there.
    static const NamedAction* findAction(const lang::String& label);
    bool hideEffect(sprite::AnimateSprite* fx, const lang::String& label);
    bool removeEffect(sprite::AnimateSprite* fx, const lang::String& label);
    bool flyToTarget(sprite::AnimateSprite* fx, const lang::String& label);
    bool fadeBonusText(sprite::AnimateSprite* fx, const lang::String& label);
    bool burstAtTarget(sprite::AnimateSprite* fx, const lang::String& label);
    bool turnSquareGold(sprite::AnimateSprite* fx, const lang::String& label);
    bool giveGoldSun(sprite::AnimateSprite* fx, const lang::String& label);
    bool hideBonusBlockEffect(sprite::AnimateSprite* fx, const lang::String& label);
    bool showGoldTile(sprite::AnimateSprite* fx, const lang::String& label);
    bool slowCascade(sprite::AnimateSprite* fx, const lang::String& label);
    bool showRealPieces(sprite::AnimateSprite* fx, const lang::String& label);
    bool hidePieceEffect(sprite::AnimateSprite* fx, const lang::String& label);
    bool focusLost(sprite::AnimateSprite* fx, const lang::String& label);
    bool closeTutorial(sprite::AnimateSprite* fx, const lang::String& label);
    bool hideGoldGlow(sprite::AnimateSprite* fx, const lang::String& label);
    bool completeBonusLevel(sprite::AnimateSprite* fx, const lang::String& label);
    bool startMainMenuMusic(sprite::AnimateSprite* fx, const lang::String& label);
    bool continueAfterLevel(sprite::AnimateSprite* fx, const lang::String& label);
    bool openDelayedExitDialog(sprite::AnimateSprite* fx, const lang::String& label);
    bool endByNoMoreMoves(sprite::AnimateSprite* fx, const lang::String& label);
    bool menuExit(sprite::AnimateSprite* fx, const lang::String& label);
    bool changeProfile(sprite::AnimateSprite* fx, const lang::String& label);
    bool chooseProfile(sprite::AnimateSprite* fx, const lang::String& label);
    bool backToMainMenu(sprite::AnimateSprite* fx, const lang::String& label);
    bool startEditor(sprite::AnimateSprite* fx, const lang::String& label);
    bool openInstructions(sprite::AnimateSprite* fx, const lang::String& label);
    bool closeInstructions(sprite::AnimateSprite* fx, const lang::String& label);
    bool openMap(sprite::AnimateSprite* fx, const lang::String& label);
    bool startGame(sprite::AnimateSprite* fx, const lang::String& label);
    bool leaveLevel(sprite::AnimateSprite* fx, const lang::String& label);
    bool overMenu(sprite::AnimateSprite* fx, const lang::String& label);
    bool retry(sprite::AnimateSprite* fx, const lang::String& label);
    bool openUpsell(sprite::AnimateSprite* fx, const lang::String& label);
    bool crossCursor(sprite::AnimateSprite* fx, const lang::String& label);
    bool closeDialog(sprite::AnimateSprite* fx, const lang::String& label);
    bool openOptions(sprite::AnimateSprite* fx, const lang::String& label);

    // Input.
    bool boardClick(int x, int y, bool dragging);
    void hoverPieces(int px, int py);
    void togglePause();
    void openExitDialog();

    void sendSunBack();
    // The page of the first power piece on the board, when this player is due to see it.
    void offerPowerTutorial();

    std::unique_ptr<KolbaxBoardView> view_;
    Board board_;
    LevelTable levels_;
    std::string boardsFolder_;
    ReportSender* reportSender_ = nullptr;
    lang::Ref<PlayerData> playerData_;
    // The scene's dialogs the flow talks to (null when the script has none of that class).
    lang::Ref<ConsoleDialog> console_;
    lang::Ref<LevelCompleteDialog> levelDialog_;
    lang::Ref<MenuMapDialog> map_;
    lang::Ref<TutorialDialog> tutorial_;
    std::function<void(const GamePlayReport&)> reportObserver_;
    std::function<lang::Ref<window::AudioClip>(const char*)> clipFactory_;

    // Flow.
    int state_ = kMainMenu;
    int previousState_ = kMainMenu;
    int pausedState_ = kPlay;
    int silencedMusic_ = kMusicNone;
    int currentMusic_ = kMusicNone;
    int level_ = 1;
    bool bonusLevel_ = false;
    // The tally found a bonus level to come after the level just completed.
    bool bonusNext_ = false;
    int levelCompleteCountdown_ = 0;
    int bonusCompleteCountdown_ = 0;
    int resolveDepth_ = 0;
    int retries_ = 0;
    int replayCount_ = 0;
    bool levelInProgress_ = false;
    // Explanations the model asked for while it dealt a new board, offered once the level is in play.
    bool startingLevel_ = false;
    std::vector<int> heldExplanations_;
    // One report per level end: set when it is sent, cleared by startLevel.
    bool reported_ = false;
    int reportsSent_ = 0;
    GamePlayReport report_;
    lang::String profileName_;
    int musicVolume_ = 128;
    bool initialHidePhase_ = false;
    bool initialShowPhase_ = false;
    bool arrivalScheduled_ = false;
    bool paused_ = false;
    // The instructions on show were opened from the in-game menu.
    bool instructionsFromExit_ = false;
    // Set by the model's level end, acted on by the frame step once the model's frame is over.
    bool levelEnded_ = false;
    bool lostByNoMoves_ = false;
    int scoreX_ = 680, scoreY_ = 40;
    int consoleSunX_ = 60, consoleSunY_ = 560;
    int frames_ = 0;

    // Tutorials: the board was played while one showed (hidden again after a while), and how long the
    // pointer has rested on the console sun.
    bool playedUnderTutorial_ = false;
    int playedUnderTutorialFrames_ = 0;
    int restOnSunFrames_ = 0;

    // Input.
    bool dragPending_ = false;
    int pointerX_ = 0, pointerY_ = 0;

    // The music and ambient clips.
    std::array<lang::Ref<window::AudioClip>, kClipCount> clips_;
};
