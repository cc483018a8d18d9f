// ConsoleDialog: the level's start values, the timer display step and the sun counter.
#include "game/ConsoleDialog.h"

#include <algorithm>

#include "game/LevelNumbers.h"
#include "game/PlayerData.h"
#include "sprite/NumberSprite.h"

LANG_DEFINE_CLASS_RECORD(ConsoleDialog);

ConsoleDialog::ConsoleDialog() = default;
ConsoleDialog::~ConsoleDialog() = default;

void ConsoleDialog::setUpDialog() {
    for (const char* hidden : {"goldtileincreasehighlight", "Console", "itimeline", "numsunsonconsole",
                               "waterfalloverlay", "timer_redalert"})
        show(child(hidden).get(), false);
    for (const char* shown : {"wateroverlay", "waterlinetip"})
        show(child(shown).get(), true);
    if (lang::Ref<sprite::Sprite> line = child("itimeline"))
        track_ = util::RectangleNM(line->getX(), line->getY(), line->getWidth(), line->getHeight());
}

void ConsoleDialog::setScore(int score) {
    score_ = score;
    if (lang::Ref<sprite::NumberSprite> n = number("Score"))
        n->setValue(score);
}

void ConsoleDialog::setSuns(int suns) {
    suns_ = std::max(0, suns);
    if (lang::Ref<sprite::NumberSprite> n = number("numsunsonconsole"))
        n->setValue(suns_);
}

void ConsoleDialog::setGoldGlow(bool on) {
    show(child("goldtileincreasehighlight").get(), on);
}

void ConsoleDialog::startLevel() {
    PlayerData* data = host() != nullptr ? host()->playerData() : nullptr;
    setScore(data != nullptr ? data->score() : 0);
    if (lang::Ref<sprite::NumberSprite> n = number("Level"))
        n->setValue(levels::levelInStage(level_));
    if (lang::Ref<sprite::NumberSprite> n = number("Stage"))
        n->setValue(levels::stageOf(level_));
    show(child("Console").get(), true);
    int suns = data != nullptr ? data->suns() : PlayerData::kDefaultSuns;
    // A new game starts with at least three suns; later levels never start with none.
    if (level_ == 1)
        suns = std::max(suns, PlayerData::kDefaultSuns);
    else if (suns == 0)
        suns = 1;
    setSuns(suns);
    if (data != nullptr)
        data->setSuns(suns);
    // The water tip too: it belongs to the water line, which the timer display step shows again. A
    // bonus level has no timer and would otherwise keep the last level's tip in its empty bar.
    for (const char* hidden : {"timergraphic", "iwatertipmask", "wateroverlay", "itimeline", "waterlinetip"})
        show(child(hidden).get(), false);
    show(child("numsunsonconsole").get(), true);
}

void ConsoleDialog::resetForLevel() {
    timer_ = 0;
    displayed_ = 0;
    redAlert_ = false;
    show(child("timer_redalert").get(), false);
    setGoldGlow(false);
}

void ConsoleDialog::setTimer(int value) {
    timer_ = std::clamp(value, 0, kTimerFull);
}

int ConsoleDialog::timerStep(bool counting) {
    if (counting) {
        displayed_ = std::min(displayed_ + 5, kTimerFull);
        timer_ = displayed_;
    } else if (displayed_ < timer_) {
        displayed_ += timer_ - displayed_ > 20 ? 20 : 1;
    }
    if (displayed_ == 0)
        displayed_ = 1;
    util::RectangleNM clip(track_.x, track_.y, displayed_, track_.height);
    for (const char* name : {"itimeline", "wateroverlay"}) {
        if (lang::Ref<sprite::Sprite> s = child(name)) {
            s->setClipRect(&clip);
            s->setVisible(true);
        }
    }
    if (lang::Ref<sprite::Sprite> tip = child("waterlinetip")) {
        tip->setVisible(true);
        if (displayed_ < kTipStop)
            tip->setLocation(track_.x + displayed_ - kTipBehind, tip->getY());
        // The tip stands behind the water's end, so on a short line it would reach out left of the
        // bar: it is cut at the track's ends (its own height, for a crest above the bar).
        util::RectangleNM inside(track_.x, tip->getY(), track_.width, tip->getHeight());
        tip->setClipRect(&inside);
    }
    if (!counting && timer_ >= kRedAlert && !redAlert_) {
        redAlert_ = true;
        if (lang::Ref<sprite::Sprite> alert = child("timer_redalert")) {
            alert->setColorTransform(128, 128, 128, 128);
            alert->setVisible(true);
        }
    }
    return track_.x + displayed_;
}
