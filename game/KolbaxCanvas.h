// KolbaxCanvas: the game's canvas: it builds the scene, keeps the screen state and the music, runs the
// named and timed actions, takes input in play, and draws the board model's events as sprites.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/GamePlayReport.h"
#include "game/rules/Board.h"
#include "game/rules/BoardEvents.h"
#include "game/rules/LevelTable.h"
#include "lang/Ref.h"
#include "sprite/GameCanvas2.h"
#include "util/Point.h"
#include "util/Random.h"

class DragonflySprite;
class KolbaxBoardView;
class GamePieceSprite;
class MagnifySprite;
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
class KolbaxCanvas : public sprite::GameCanvas2 {
public:
    // Screen states.
    static constexpr int kPlay = 0;
    static constexpr int kBusy = 1;
    static constexpr int kResolving = 2;
    static constexpr int kSettling = 3;
    static constexpr int kPaused = 4;
    static constexpr int kMainMenu = 5;
    static constexpr int kMap = 6;
    static constexpr int kGameOver = 7;
    static constexpr int kLevelComplete = 8;
    static constexpr int kBonusPlay = 9;
    static constexpr int kEditor = 10;
    // Music ids (the state each plays in); -1 none.
    static constexpr int kMusicNone = -1;
    static constexpr int kMusicInGame = 0;
    static constexpr int kMusicMainMenu = 5;
    static constexpr int kMusicMap = 6;
    static constexpr int kMusicBonus = 9;
    static constexpr int kAmbientClips = 15;
    static constexpr int kClipCount = 20;
    static constexpr int kMusicFadeFrames = 30;
    static constexpr int kCountdownStart = 1000;
    static constexpr int kHighestLevel = 60;
    // Sound indexes of the sound table.
    static constexpr int kSoundRefused = 1;
    static constexpr int kSoundSelected = 2;
    static constexpr int kSoundButton = 6;
    static constexpr int kSoundGameOver = 21;
    static constexpr int kSoundLevelComplete = 22;
    static constexpr int kSoundTimeRunningOut = 34;
    static constexpr int kSoundBurstScore = 40;
    static constexpr int kSoundBurstClick = 42;
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
    // Leaves the pause: hides the dimmer and the sign, restores the state held before and its music.
    void resumeFromPause();
    // Switches music: fades `fadeOut` out and starts `start` (either -1).
    void switchMusic(int fadeOut, int start);
    void showBackgrounds(bool show, int level);
    // A selected level within 1..min(HIG_LVL + 1, 60).
    int clampSelectableLevel(int level);

    // ---- what the tests and the tools read ----
    int state() const { return state_; }
    int previousState() const { return previousState_; }
    int level() const { return level_; }
    bool bonusLevel() const { return bonusLevel_; }
    bool paused() const { return paused_; }
    int pausedState() const { return pausedState_; }
    int levelCompleteCountdown() const { return levelCompleteCountdown_; }
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
    GamePieceSprite* pieceSprite(int id);
    TileGridSprite* tileSprite(int x, int y);
    DragonflySprite* dragonflySprite(int i);
    MagnifySprite* magnifySprite(int x, int y);
    window::AudioClip* clip(int i) { return clips_[static_cast<size_t>(i)].get(); }
    // Square (x, y)'s screen position; findSquareAt answers (-1, -1) when no tile stands exactly there.
    util::Point squareToScreen(int x, int y) const;
    BoardSquare findSquareAt(int px, int py) const;
    // The square under a canvas point, or (-13, -13).
    BoardSquare squareUnder(int px, int py) const;
    bool anyScreenShowing();
    bool boardActive() const { return state_ >= kPlay && state_ <= kSettling; }

private:
    // Scene.
    void lookUpScene();
    void makePools();
    void makeClips();
    sprite::Sprite* named(const char* name);
    sprite::AnimateSprite* namedAnimated(const char* name);
    void show(const char* name, bool on);
    bool shown(const char* name);
    // Puts a sprite just below the named one in the scene order (on top when it is missing).
    void placeBelow(sprite::Sprite* sprite, const char* reference);
    void placeOnTop(sprite::Sprite* sprite);
    void resetBoardScene();
    void hidePieces();

    // States.
    void applyEntry(int state);
    void syncBoardState();
    void gameFrame();
    void ambientSounds();
    void arrivalsAndDepartures();
    void pauseBoard();
    void fadeAllClips(int frames);
    void clipFade(int clip, int target, int frames);

    // Level end and reports.
    void sendReport(int reason);
    void fillReport(int reason);
    void storeSunCarryOver();
    void raiseHighestLevel(int completed);
    int highestLevel();

    // Actions.
    bool flowAction(lang::Object* source, const lang::String& label);
    bool spriteAction(lang::Object* source, const lang::String& label);
    bool buttonAction(const lang::String& label);
    void showGoldTile(sprite::Sprite* source);

    // Input.
    bool boardClick(int x, int y, bool dragging);
    int pieceUnder(int px, int py);
    void hoverPieces(int px, int py);
    void togglePause();
    void openExitDialog();

    // The view of the board model's events (KolbaxCanvasBoard.cpp).
    friend class KolbaxBoardView;
    // A copy of a template sprite shown at (x, y) below the top fence, whose end runs `label`; null
    // without the template.
    lang::Ref<sprite::AnimateSprite> effectFrom(const char* templateName, int x, int y, const char* label);
    void hideSunCursor();
    void sendSunBack();

    std::unique_ptr<KolbaxBoardView> view_;
    Board board_;
    LevelTable levels_;
    std::string boardsFolder_;
    ReportSender* reportSender_ = nullptr;
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
    int levelCompleteCountdown_ = 0;
    int bonusCompleteCountdown_ = 0;
    int resolveDepth_ = 0;
    int retries_ = 0;
    int replayCount_ = 0;
    bool levelInProgress_ = false;
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
    // Set by the model's level end, acted on by the frame step once the model's frame is over.
    bool levelEnded_ = false;
    bool lostByNoMoves_ = false;
    int clickX_ = 0, clickY_ = 0;
    int scoreX_ = 680, scoreY_ = 40;
    int consoleSunX_ = 60, consoleSunY_ = 560;
    int frames_ = 0;

    // Input.
    bool dragPending_ = false;
    int hoverPiece_ = board::kNone;
    int pointerX_ = 0, pointerY_ = 0;

    // Geometry.
    int boardOriginX_ = 0;
    int boardOriginY_ = 0;
    int squareWidth_ = 44;
    int squareHeight_ = 44;

    // The scene's named sprites and the pools made from the templates.
    std::array<lang::Ref<window::AudioClip>, kClipCount> clips_;
    std::vector<lang::Ref<GamePieceSprite>> pieces_;
    std::vector<lang::Ref<TileGridSprite>> tiles_;
    std::vector<lang::Ref<MagnifySprite>> magnifiers_;
    std::vector<lang::Ref<DragonflySprite>> dragonflies_;
    std::vector<int> flightDragonfly_;  // model flight id -> dragonfly index
};
