// LevelCompleteDialog: its texts and numbers, and the steps of the normal and the bonus-level tally.
#include "game/LevelCompleteDialog.h"

#include <algorithm>

#include "game/LevelTally.h"
#include "game/PlayerData.h"
#include "game/rules/BoardIds.h"
#include "sprite/NumberSprite.h"

LANG_DEFINE_CLASS_RECORD(LevelCompleteDialog);

namespace {

constexpr const char* kHiddenAtSetUp[] = {
    "ilevelcompletetext", "icongratulationstext", "ibtncontinue", "continuebuttonholder",
    "iscoretext",         "bonusnumbers_score",   "ibonustext",   "bonusnumbers_bonus",
    "itimetext",          "timeminutenumber",     "isunsacquiredtext", "numbersunsacquired"};

// Sound indexes of the tally.
constexpr int kSoundTallyStart = board::kSoundTallyStart;
constexpr int kSoundTilesLeave = board::kSoundTilesAway;
constexpr int kSoundBonusTick = board::kSoundTallyTick;
constexpr int kSoundTotal = board::kSoundTotal;
constexpr int kSoundCountDone = board::kSoundTimeRunningOut;

}  // namespace

LevelCompleteDialog::LevelCompleteDialog() = default;
LevelCompleteDialog::~LevelCompleteDialog() = default;

void LevelCompleteDialog::setUpDialog() {
    for (const char* name : kHiddenAtSetUp)
        show(child(name).get(), false);
}

void LevelCompleteDialog::beginTally() {
    bonus_ = 0;
    total_ = 0;
    countSteps_ = 0;
    counting_ = false;
}

void LevelCompleteDialog::showContinue(bool on) {
    show(child("continuebuttonholder").get(), on);
    lang::Ref<sprite::ButtonSprite> b = button("ibtncontinue");
    enable(b.get(), on);
    show(b.get(), on);
}

bool LevelCompleteDialog::continueHit(int x, int y) {
    lang::Ref<sprite::ButtonSprite> b = button("ibtncontinue");
    return b && b->isVisible() && b->containsPoint(x - getX(), y - getY());
}

void LevelCompleteDialog::showSunsAcquired(int suns) {
    show(child("isunsacquiredtext").get(), true);
    if (lang::Ref<sprite::NumberSprite> n = number("numbersunsacquired")) {
        n->setValue(suns);
        n->setVisible(true);
    }
}

void LevelCompleteDialog::setTime(int value) {
    if (lang::Ref<sprite::NumberSprite> n = number("timeminutenumber"))
        n->setValue(value);
}

void LevelCompleteDialog::showTime(bool on) {
    show(child("itimetext").get(), on);
    show(child("timeminutenumber").get(), on);
}

void LevelCompleteDialog::showScore(int value) {
    show(child("iscoretext").get(), true);
    if (lang::Ref<sprite::NumberSprite> n = number("bonusnumbers_score")) {
        n->setValue(value);
        n->setVisible(true);
    }
}

void LevelCompleteDialog::showBonus(int value) {
    bonus_ = value;
    show(child("ibonustext").get(), true);
    if (lang::Ref<sprite::NumberSprite> n = number("bonusnumbers_bonus")) {
        n->setValue(value);
        n->setVisible(true);
    }
}

void LevelCompleteDialog::addBonus20() {
    bonus_ += 20;
    if (lang::Ref<sprite::NumberSprite> n = number("bonusnumbers_bonus"))
        n->setValue(bonus_);
}

void LevelCompleteDialog::showTotal(int score, LevelTally& game) {
    game.playSound(kSoundTotal);
    // The real score and bonus, not the numbers on show: a rolling number may still lag behind.
    total_ = score + bonus_;
    if (lang::Ref<sprite::NumberSprite> n = number("bonusnumbers_score"))
        n->setValue(total_);
    if (lang::Ref<sprite::NumberSprite> n = number("bonusnumbers_bonus"))
        n->setColorTransform(70, 128, 128, 128);
    if (PlayerData* data = host() != nullptr ? host()->playerData() : nullptr)
        data->setScore(total_);
}

void LevelCompleteDialog::storeProgress(LevelTally& game) {
    PlayerData* data = host() != nullptr ? host()->playerData() : nullptr;
    if (data == nullptr)
        return;
    if (game.level() > data->highestLevel())
        data->raiseHighestLevel();
    data->setSelectedLevel(std::min(data->highestLevel() + 1, PlayerData::kLevelCount));
    game.progressStored();
}

void LevelCompleteDialog::countFrame(LevelTally& game) {
    game.countConsoleTimer();
    countSteps_ += 2;
    if (countSteps_ > 20) {
        countSteps_ -= 20;
        game.playSound(kSoundBonusTick);
        addBonus20();
        game.showFloatingBonus(20);
    }
}

int LevelCompleteDialog::tallyStep(int countdown, LevelTally& game) {
    if (counting_)
        countFrame(game);
    switch (countdown) {
    case 999:
        showContinue(false);
        showSunsAcquired(game.consoleSuns());
        setTime(game.consoleTimer() / std::max(1, game.timerDivisor()));
        game.playSound(kSoundTallyStart);
        game.startPiecesLeaving();
        break;
    case 980:
        game.playSound(kSoundTilesLeave);
        game.replaceTilesWithEndAnimations();
        break;
    case 960:
        game.clearBoardForTally();
        break;
    case 950:
        game.placeBelowTopFence(this);
        setVisible(true);
        break;
    case 945:
        showBonus(bonus_);
        break;
    case 940:
        game.releasePieces();
        counting_ = true;
        break;
    case 930:
        // The count goes on until the timer is full; a step of 5 may pass 400 exactly or not.
        if (game.consoleTimer() < kTimerFull)
            return 931;
        counting_ = false;
        game.playSound(kSoundCountDone);
        return 927;
    case 925:
        showScore(game.consoleScore());
        showTime(true);
        break;
    case 900:
        showTotal(game.consoleScore(), game);
        break;
    case 890:
        if (game.level() % 5 == 0)
            game.setBonusLevelNext();
        else
            storeProgress(game);
        game.setArrowCursor();
        showContinue(true);
        return 0;
    default:
        break;
    }
    return countdown;
}

int LevelCompleteDialog::bonusTallyStep(int countdown, LevelTally& game) {
    switch (countdown) {
    case 999:
        showContinue(false);
        game.startBonusTally();
        break;
    case 995:
        show(child("icongratulationstext").get(), true);
        if (lang::Ref<sprite::Sprite> text = child("ilevelcompletetext")) {
            text->setColorTransform(0, 128, 128, 128);
            text->setVisible(true);
            text->setColorTransform(128, 128, 128, 128);
        }
        break;
    case 990:
        showScore(game.sunsHeld());
        break;
    case 985:
        showBonus(game.bonusPoints());
        break;
    case 965:
        // "Suns" counts the suns the prizes won, not the points.
        showSunsAcquired(game.bonusSuns());
        showScore(game.consoleScore());
        showBonus(game.bonusPoints());
        game.sendReport(1);
        break;
    case 960:
        showTotal(game.consoleScore(), game);
        break;
    case 950:
        showTime(false);
        game.placeBelowTopFence(this);
        setVisible(true);
        break;
    case 940:
        if (PlayerData* data = host() != nullptr ? host()->playerData() : nullptr)
            data->setSuns(game.consoleSuns());
        game.putBackCarriedSun();
        game.hideBonusClickNumber();
        break;
    case 935:
        // The bonus level follows the level just completed: that level is the progress, whichever
        // bonus level was replayed.
        if (PlayerData* data = host() != nullptr ? host()->playerData() : nullptr)
            data->completeLevel(game.level());
        showContinue(true);
        game.endBonusLevel();
        game.setArrowCursor();
        return 0;
    default:
        break;
    }
    return countdown;
}
