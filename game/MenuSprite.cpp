// MenuSprite: the main menu's set-up, its weather, the welcome line and its presses.
#include "game/MenuSprite.h"

#include "sprite/NewFontSprite.h"
#include "window/AudioClip.h"

LANG_DEFINE_CLASS_RECORD(MenuSprite);

namespace {

// The weather's numbers: chances out of 10000 and frame counts, each "base + random(0..spread)".
constexpr int kSunChance = 100;
constexpr int kSunChanceRange = 10000;
constexpr int kSunAlpha = 90;
constexpr int kSunRiseFrames = 25, kSunRiseSpread = 30;
constexpr int kSunStayFrames = 50, kSunStaySpread = 40;
constexpr int kSunFadeFrames = 70, kSunFadeSpread = 50;
constexpr int kSunPauseFrames = 80, kSunPauseSpread = 90;
// A strong sun thins the rain: a restarted drop stays hidden four times in five.
constexpr int kThinRainAlpha = 50;
// The drops fall across the whole dialog area (DialogSprite::kAreaWidth) down to its bottom edge.
constexpr int kAreaBottom = 600;
constexpr int kDropFrames = 40, kDropSpread = 50;
constexpr int kStreakX = 400, kStreakXSpread = 300;
constexpr int kStreakDrift = 400, kStreakDriftSpread = 600;
constexpr int kStreakFrames = 20, kStreakSpread = 25;

lang::Ref<sprite::AnimateSprite> animatedCopy(sprite::Sprite* proto) {
    lang::Ref<sprite::Sprite> copy = lang::adopt(proto->clone());
    if (!copy || !copy->instanceOf("AnimateSprite"))
        return nullptr;
    return lang::Ref<sprite::AnimateSprite>::share(static_cast<sprite::AnimateSprite*>(copy.get()));
}

}  // namespace

MenuSprite::MenuSprite() = default;
MenuSprite::~MenuSprite() = default;

void MenuSprite::setUpDialog() {
    stopFrameAnimation(button("bMenuOptions").get());
    stopFrameAnimation(button("bMenuInstructions").get());
    show(child("isunaffect").get(), false);
    drops_.clear();
    streaks_.clear();
    lang::Ref<sprite::AnimateSprite> drip = animated("drip");
    lang::Ref<sprite::AnimateSprite> streak = animated("streak");
    if (drip) {
        drip->setLocation(0, kParkY);
        drip->setVisible(true);
        for (int i = 0; i < kDrops; ++i) {
            lang::Ref<sprite::AnimateSprite> copy = animatedCopy(drip.get());
            if (!copy)
                break;
            addChild(("drip" + std::to_string(i)).c_str(), copy.get());
            drops_.push_back(copy);
        }
    }
    if (streak) {
        streak->setLocation(0, kParkY);
        streak->setVisible(false);
        for (int i = 0; i < kStreaks; ++i) {
            lang::Ref<sprite::AnimateSprite> copy = animatedCopy(streak.get());
            if (!copy)
                break;
            copy->setVisible(true);
            addChild(("streak" + std::to_string(i)).c_str(), copy.get());
            streaks_.push_back(copy);
        }
    }
    show(child("ChangePlayer").get(), true);
    if (lang::Ref<sprite::NewFontSprite> name = font("ProfileName"))
        name->setLetterSpacing(-3);
    ambient_ = lang::share(sound(0));
}

void MenuSprite::setVisible(bool visible) {
    const bool was = isVisible();
    GameDialog::setVisible(visible);
    if (!ambient_ || was == visible)
        return;
    if (!visible)
        ambient_->stop();
    else if (!sunShowing())
        ambient_->loop();
}

void MenuSprite::setProfileName(const std::string& name) {
    if (lang::Ref<sprite::NewFontSprite> text = font("ProfileName")) {
        text->setText(("Welcome, " + name).c_str());
        text->setVisible(true);
    }
}

void MenuSprite::setAmbientClip(window::AudioClip* clip) {
    ambient_ = lang::share(clip);
}

void MenuSprite::seedWeather(uint32_t seed) {
    random_.setSeed(seed);
}

bool MenuSprite::sunShowing() {
    lang::Ref<sprite::Sprite> sun = child("isunaffect");
    return sun && sun->isVisible();
}

void MenuSprite::startSun() {
    lang::Ref<sprite::AnimateSprite> sun = animated("isunaffect");
    if (!sun)
        return;
    if (ambient_)
        ambient_->stop();
    sun->setColorTransform(0, 128, 128, 128);
    sun->setVisible(true);
    sun->fadeTo(kSunAlpha, kSunRiseFrames + random_.nextInt(kSunRiseSpread), 0);
    sunRising_ = true;
}

void MenuSprite::endSun() {
    lang::Ref<sprite::AnimateSprite> sun = animated("isunaffect");
    if (ambient_)
        ambient_->loop();
    const int fadeFrames = kSunFadeFrames + random_.nextInt(kSunFadeSpread);
    if (sun)
        sun->fadeTo(0, fadeFrames, 1);
    sunCountdown_ = kSunPauseFrames + random_.nextInt(kSunPauseSpread) + fadeFrames;
    sunStay_ = -1;
}

void MenuSprite::restartDrop(sprite::AnimateSprite* drop, int sunAlpha) {
    const int x = random_.nextInt(kAreaWidth);
    drop->setLocation(x, -drop->getHeight());
    drop->moveTo(x, kParkY, kDropFrames + random_.nextInt(kDropSpread));
    if (sunAlpha > kThinRainAlpha) {
        if (random_.nextInt(4) > 0)
            drop->setVisible(false);
    } else if (sunAlpha == 0) {
        drop->setVisible(true);
    }
}

void MenuSprite::restartStreak(sprite::AnimateSprite* streak) {
    const int x = kStreakX + random_.nextInt(kStreakXSpread);
    streak->setLocation(x, -streak->getHeight());
    streak->moveTo(x - (kStreakDrift + random_.nextInt(kStreakDriftSpread)), kParkY,
                   kStreakFrames + random_.nextInt(kStreakSpread));
}

void MenuSprite::weatherStep() {
    lang::Ref<sprite::AnimateSprite> sun = animated("isunaffect");
    if (sunCountdown_ > 0)
        --sunCountdown_;
    if (sun) {
        if (sunCountdown_ <= 0 && !sun->isVisible() && random_.nextInt(kSunChanceRange) < kSunChance)
            startSun();
        if (sunRising_ && sun->isVisible() && sun->getAlpha() > kSunAlpha - 1) {
            sunRising_ = false;
            sunStay_ = kSunStayFrames + random_.nextInt(kSunStaySpread);
        }
        if (sunStay_ >= 0 && --sunStay_ < 0)
            endSun();
    }
    const int sunAlpha = sun && sun->isVisible() ? sun->getAlpha() : 0;
    for (const lang::Ref<sprite::AnimateSprite>& drop : drops_)
        if (drop->getY() > kAreaBottom)
            restartDrop(drop.get(), sunAlpha);
    for (const lang::Ref<sprite::AnimateSprite>& streak : streaks_)
        if (streak->getY() > kAreaBottom)
            restartStreak(streak.get());
}

bool MenuSprite::update(int frame, util::RectangleNM* out, util::Region* region) {
    if (isVisible())
        weatherStep();
    return GameDialog::update(frame, out, region);
}

int MenuSprite::mouseDown(window::Event* event) {
    int answer = GameDialog::mouseDown(event);
    if (answer != kHandled || !isVisible())
        return answer;
    // The welcome line is a link to the chooser wherever it is pressed.
    lang::Ref<sprite::Sprite> name = child("ProfileName");
    if (name && name->isVisible() && name->containsPoint(event->x - getX(), event->y - getY())) {
        command_.assign("ChangeProfile");
        return kCommand;
    }
    return answer;
}

int MenuSprite::translateCommand(lang::String* out, const lang::String& command) {
    if (command.equals("bChangePlayerHotSpot") || command.equals("ChangePlayer") ||
        command.equals("ProfileName")) {
        out->assign("ChangeProfile");
        return 1;
    }
    return 0;
}
