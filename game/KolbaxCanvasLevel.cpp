// KolbaxCanvas: starting a level, the game-play report (once per level end), the highest level and the
// sun carry-over kept in the settings store.
#include <algorithm>
#include <cstdio>

#include "game/ConsoleDialog.h"
#include "game/GamePieceSprite.h"
#include "game/KolbaxBoardView.h"
#include "game/KolbaxCanvas.h"
#include "game/PlayerData.h"
#include "game/ReportSender.h"
#include "game/TileGridSprite.h"
#include "game/rules/BoardLayout.h"
#include "sprite/AnimateSprite.h"
#include "sprite/ButtonSprite.h"
#include "sprite/store/User.h"

int KolbaxCanvas::highestLevel() {
    return playerData_ ? playerData_->highestLevel() : 0;
}

int KolbaxCanvas::clampSelectableLevel(int level) {
    const int top = std::min(highestLevel() + 1, kHighestLevel);
    return std::clamp(level, 1, std::max(1, top));
}

void KolbaxCanvas::raiseHighestLevel(int completed) {
    // Progress is the highest level completed: replaying an early level never unlocks a later one.
    if (playerData_)
        playerData_->completeLevel(completed);
}

void KolbaxCanvas::setSelectedLevel(int level) {
    if (playerData_)
        playerData_->setSelectedLevel(clampSelectableLevel(level));
}

void KolbaxCanvas::storeSunCarryOver() {
    // The suns the player holds now (a carried one included), so that leaving a level keeps them.
    if (playerData_)
        playerData_->setSuns(board_.suns());
}

bool KolbaxCanvas::startLevel(int level, bool bonus) {
    lang::Synchronized guard(this, true);
    // Nothing of the board before (hint brackets, a resting dragonfly, a flash, a bonus grid) stays on
    // the new one; the model deals the new board after this.
    resetBoardScene();
    std::string error;
    bool ok = false;
    // The model names the explanations its new board calls for while it deals it, with the map still
    // up and the previous level's number in place: they are offered once the level is in play.
    startingLevel_ = true;
    heldExplanations_.clear();
    if (!levels_.loaded()) {
        error = "no level table: the boards folder was not set";
    } else if (bonus) {
        int record = LevelTable::bonusRecordForLevel(level);
        ok = record > 0 && board_.startBonusLevel(level, levels_.record(record), error);
        if (record <= 0)
            error = "level " + std::to_string(level) + " has no bonus level";
    } else if (level >= 1 && level <= kHighestLevel) {
        BoardLayout layout;
        ok = BoardLayout::load(BoardLayout::pathFor(boardsFolder_, level), layout, error) &&
             board_.startLevel(level, levels_.record(level), layout, error);
    } else {
        error = "level " + std::to_string(level) + " is outside 1.." + std::to_string(kHighestLevel);
    }
    startingLevel_ = false;
    if (!ok) {
        heldExplanations_.clear();
        levelStartFailed(level, bonus, error);
        return false;
    }
    level_ = level;
    bonusLevel_ = bonus;
    reported_ = false;
    levelEnded_ = false;
    lostByNoMoves_ = false;
    levelInProgress_ = true;
    paused_ = false;
    dragPending_ = false;
    bonusNext_ = false;
    report_.clearSent();
    view_->resetDepartures();
    if (console_) {
        console_->setLevel(level);
        console_->resetForLevel();
        console_->startLevel();
        board_.setSuns(console_->suns());
    } else {
        board_.setSuns(playerData_ ? playerData_->suns() : 0);
    }
    // The score runs on from the stored one: the console shows the model's score every frame.
    board_.setScore(playerData_ ? playerData_->score() : 0);
    // The alarm of a level lost in red alert ends with it.
    stopSound(board::kSoundTimeRunningOut);
    for (const char* name : {"MenuMap", "MainMenu", "GameOver", "LevelComplete", "Options", "Instructions",
                             "ExitDialog", "ChoosePlayer", "dim", "inomoremoves"})
        show(name, false);
    show("consoledialog", true);
    show("btn_consolesun", true);
    show("btn_MenuOnConsole", true);
    // Hiding a button disables it, and showing it again does not: both console buttons take presses again.
    for (const char* name : {"btn_MenuOnConsole", "btn_consolesun"})
        if (sprite::Sprite* b = named(name); b != nullptr && b->instanceOf("ButtonSprite"))
            static_cast<sprite::ButtonSprite*>(b)->setState(sprite::ButtonSprite::kNormal);
    showBackgrounds(true, level);
    // The zoom-in of the first board was announced by the model while it set the level up.
    if (!initialShowPhase_) {
        initialShowPhase_ = true;
    }
    arrivalScheduled_ = false;
    switchMusic(kMusicNone, bonus ? kMusicBonus : kMusicInGame);
    previousState_ = state_;
    state_ = kPlay;
    std::vector<int> held;
    held.swap(heldExplanations_);
    for (int page : held)
        offerTutorial(page);
    // A bonus level announces itself, unless its explanation is on show instead.
    if (bonus && !tutorialShowing())
        if (sprite::AnimateSprite* text = namedAnimated("ibonuslevelstarttext")) {
            placeBelow(text, "ipicketfence3");
            text->setColorTransform(128, 128, 128, 128);
            text->setVisible(true);
            scheduleNotify(40, lang::String("Fade out bonus level text"), 0, nullptr, nullptr);
        }
    return true;
}

void KolbaxCanvas::levelStartFailed(int level, bool bonus, const std::string& error) {
    // The player is told which file stopped the level and lands on the map, never on an empty screen.
    notifyPlayer(std::string(bonus ? "The bonus level after level " : "Level ") + std::to_string(level) +
                 " cannot start: " + error);
    stopSound(board::kSoundTimeRunningOut);
    for (const char* name : {"GameOver", "LevelComplete", "ExitDialog", "dim", "inomoremoves"})
        show(name, false);
    // A bonus level follows a level the player completed: that progress stands.
    if (bonus)
        raiseHighestLevel(level);
    bonusLevel_ = false;
    bonusNext_ = false;
    // The map's music fades every other track out.
    enterState(kMap);
}

void KolbaxCanvas::setSquares(const std::array<SquareSetup, board::kSquares>& squares) {
    lang::Synchronized guard(this, true);
    board_.setSquares(squares);
    view_->hidePieces();
    show("highlight", false);
    view_->showSquares();
    initialShowPhase_ = false;
    syncBoardState();
}

void KolbaxCanvas::fillReport(int reason) {
    LevelReport values = board_.collectReportValues();
    report_.mode = bonusLevel_ ? 1 : 0;
    report_.level = level_;
    report_.reason = reason;
    report_.timeLeft = values.timeLeft;
    report_.score = values.score;
    if (bonusLevel_)
        report_.bonusScore = board_.bonusPoints();
    report_.sunsUsed = values.sunsUsed;
    report_.powerPieces = values.powerPiecesUsed;
    report_.replayCount = replayCount_;
    report_.resolveCount = resolveDepth_;
    report_.squaresLeft = values.squaresNotGold;
    report_.player = profileName_;
}

void KolbaxCanvas::sendReport(int reason) {
    // One report per level end: a level not in play, or one reported already, sends nothing.
    if (reported_ || !levelInProgress_)
        return;
    fillReport(reason);
    reported_ = true;
    ++reportsSent_;
    if (reportObserver_)
        reportObserver_(report_);
    if (reportSender_ != nullptr)
        reportSender_->send(buildReportRequest(report_, reportAddress(getSettings())));
    report_.clearSent();
}
