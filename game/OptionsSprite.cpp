// OptionsSprite: loading and storing the settings, the knobs by mouse and wheel, the toggles.
#include "game/OptionsSprite.h"

#include <algorithm>

#include "game/PlayerData.h"
#include "window/AudioClip.h"

LANG_DEFINE_CLASS_RECORD(OptionsSprite);

OptionsSprite::OptionsSprite() = default;
OptionsSprite::~OptionsSprite() = default;

void OptionsSprite::setUpDialog() {
    knobs_[kEffects] = {child("butfxknob"), dataAt(0), dataAt(1)};
    knobs_[kMusic] = {child("butmuknob"), dataAt(2), dataAt(3)};
    effectsClip_ = lang::share(sound(0));
}

void OptionsSprite::setMusicTestClip(window::AudioClip* music) {
    musicClip_ = lang::share(music);
}

void OptionsSprite::setTestClips(window::AudioClip* music, window::AudioClip* effects) {
    musicClip_ = lang::share(music);
    effectsClip_ = lang::share(effects);
}

void OptionsSprite::load() {
    showCredits(false);
    dragKnob_ = kNoKnob;
    PlayerData* data = host() != nullptr ? host()->playerData() : nullptr;
    const int music = data != nullptr ? data->musicVolume() : PlayerData::kDefaultMusicVolume;
    const int effects = data != nullptr ? data->effectsVolume() : PlayerData::kDefaultEffectsVolume;
    for (int k : {kEffects, kMusic}) {
        Knob& knob = knobs_[k];
        if (knob.sprite)
            knob.sprite->setLocation(knob.originX + (k == kMusic ? music : effects), knob.originY);
    }
    show(child("itoggletutorials").get(), data == nullptr || data->showTutorials());
    refreshFullScreen();
}

int OptionsSprite::knobVolume(int knob) {
    const Knob& k = knobs_[knob];
    const int fallback = knob == kMusic ? PlayerData::kDefaultMusicVolume : PlayerData::kDefaultEffectsVolume;
    return k.sprite ? std::clamp(k.sprite->getX() - k.originX, 0, kMaxVolume) : fallback;
}

int OptionsSprite::musicVolume() {
    return knobVolume(kMusic);
}

int OptionsSprite::effectsVolume() {
    return knobVolume(kEffects);
}

void OptionsSprite::setKnob(int knob, int volume, bool audition) {
    Knob& k = knobs_[knob];
    volume = std::clamp(volume, 0, kMaxVolume);
    if (k.sprite)
        k.sprite->setLocation(k.originX + volume, k.originY);
    if (knob == kEffects) {
        if (host() != nullptr)
            host()->setEffectsVolume(volume);
        if (audition && effectsClip_ && !effectsClip_->isActive())
            effectsClip_->play();
    } else if (musicClip_) {
        musicClip_->setVolume(volume);
        if (audition)
            musicClip_->loop();
    }
}

int OptionsSprite::knobAt(int x, int y) {
    for (int k : {kEffects, kMusic})
        if (knobs_[k].sprite && knobs_[k].sprite->isVisible() && knobs_[k].sprite->containsPoint(x, y))
            return k;
    return kNoKnob;
}

int OptionsSprite::trackAt(int x, int y) {
    // A track is the strip a knob can stand on: from its origin to the origin plus the full volume
    // plus the knob's own width, as high as the knob.
    for (int k : {kEffects, kMusic}) {
        const Knob& knob = knobs_[k];
        if (!knob.sprite || !knob.sprite->isVisible())
            continue;
        const int w = knob.sprite->getWidth(), h = knob.sprite->getHeight();
        if (x >= knob.originX && x < knob.originX + kMaxVolume + w && y >= knob.originY &&
            y < knob.originY + h)
            return k;
    }
    return kNoKnob;
}

void OptionsSprite::stopTestClips() {
    if (musicClip_)
        musicClip_->stop();
    if (effectsClip_)
        effectsClip_->stop();
}

void OptionsSprite::close() {
    dragKnob_ = kNoKnob;
    const int effects = effectsVolume();
    const int music = musicVolume();
    if (PlayerData* data = host() != nullptr ? host()->playerData() : nullptr) {
        data->setEffectsVolume(effects);
        data->setMusicVolume(music);
    }
    if (host() != nullptr)
        host()->setEffectsVolume(effects);
    stopTestClips();
    showCredits(false);
    setVisible(false);
}

void OptionsSprite::toggleFullScreen() {
    if (host() == nullptr)
        return;
    // The frame switches later, on its own thread; a switch that fails (no display mode) is asked for
    // again by the next press, since the screen, and the mark, stayed as they were.
    const bool on = !host()->isFullScreen();
    fullScreenAsked_ = on ? 1 : 0;
    host()->setFullScreen(on);
    refreshFullScreen();
}

void OptionsSprite::refreshFullScreen() {
    if (host() == nullptr)
        return;
    // The mark shows what the frame has done: a switch still on its way, or one that found no
    // display mode, leaves the screen, and the mark, as they were.
    const bool on = host()->isFullScreen();
    lang::Ref<sprite::Sprite> mark = child("bFullScreen");
    if (mark && mark->isVisible() != on)
        mark->setVisible(on);
    // Once the frame has done what was asked, that is what the next start reads.
    int asked = fullScreenAsked_.load();
    if (asked == kNoSwitch || (asked == 1) != on ||
        !fullScreenAsked_.compare_exchange_strong(asked, kNoSwitch))
        return;
    if (PlayerData* data = host()->playerData()) {
        data->setInt(PlayerData::kFullScreen, on ? 1 : 0);
        data->setProgramInt(PlayerData::kFullScreen, on ? 1 : 0);
    }
}

bool OptionsSprite::update(int frame, util::RectangleNM* out, util::Region* region) {
    refreshFullScreen();
    return GameDialog::update(frame, out, region);
}

void OptionsSprite::toggleTutorials() {
    lang::Ref<sprite::Sprite> mark = child("itoggletutorials");
    const bool on = !(mark && mark->isVisible());
    if (PlayerData* data = host() != nullptr ? host()->playerData() : nullptr)
        data->setShowTutorials(on);
    show(mark.get(), on);
}

void OptionsSprite::showCredits(bool on) {
    creditsShown_ = on;
    show(child("creditsbackground").get(), on);
    showEnabled(button("btnclosecredits").get(), on, on);
}

int OptionsSprite::pressButton(const lang::String& name) {
    // The credits stand over the rest of the options: only their own button acts meanwhile, not the
    // buttons and hot spots beside or under it.
    if (creditsShown_) {
        if (name.equals("btnclosecredits"))
            showCredits(false);
        return kHandled;
    }
    if (name.equals("bOptionsClose")) {
        close();
        return kClosed;
    }
    // The hot spots act here and go no further: passed up, the game would hand them back to
    // handleCommand and toggle twice.
    if (name.equals("bFullScreen") || name.equals("fullscreenhotspot")) {
        toggleFullScreen();
        return kHandled;
    }
    if (name.equals("itoggletutorials") || name.equals("tutorialhotspot")) {
        toggleTutorials();
        return kHandled;
    }
    if (name.equals("bCredits")) {
        showCredits(true);
        return kHandled;
    }
    return kHandled;
}

int OptionsSprite::handleCommand(const lang::String& command) {
    if (command.equals("fullscreenhotspot")) {
        toggleFullScreen();
        return kHandled;
    }
    if (command.equals("tutorialhotspot")) {
        toggleTutorials();
        return kHandled;
    }
    return GameDialog::handleCommand(command);
}

int OptionsSprite::mouseDown(window::Event* event) {
    if (isVisible() && !creditsShown_) {
        const int lx = event->x - getX(), ly = event->y - getY();
        const int knob = knobAt(lx, ly);
        if (knob != kNoKnob) {
            command_.assign("");
            dragKnob_ = knob;
            grabOffset_ = lx - knobs_[knob].sprite->getX();
            return kHandled;
        }
        // A press on a track beside its knob brings the knob's middle there and grabs it, as if the
        // drag had started on the knob.
        const int track = trackAt(lx, ly);
        if (track != kNoKnob) {
            Knob& k = knobs_[track];
            command_.assign("");
            setKnob(track, lx - k.originX - k.sprite->getWidth() / 2, true);
            dragKnob_ = track;
            grabOffset_ = lx - k.sprite->getX();
            return kHandled;
        }
    }
    return GameDialog::mouseDown(event);
}

bool OptionsSprite::mouseMove(window::Event* event) {
    if (dragKnob_ == kNoKnob)
        return GameDialog::mouseMove(event);
    const Knob& k = knobs_[dragKnob_];
    setKnob(dragKnob_, event->x - getX() - grabOffset_ - k.originX, true);
    return true;
}

int OptionsSprite::mouseUp(window::Event* event) {
    if (dragKnob_ == kNoKnob)
        return GameDialog::mouseUp(event);
    const int knob = dragKnob_;
    dragKnob_ = kNoKnob;
    setKnob(knob, event->x - getX() - grabOffset_ - knobs_[knob].originX, false);
    if (window::AudioClip* clip = knob == kMusic ? musicClip_.get() : effectsClip_.get())
        clip->stop();
    return kHandled;
}

int OptionsSprite::mouseWheel(window::Event* event) {
    if (!isVisible() || creditsShown_ || dragKnob_ != kNoKnob)
        return GameDialog::mouseWheel(event);
    // A knob answers the wheel anywhere along its track, not only on the knob itself.
    const int k = trackAt(event->x - getX(), event->y - getY());
    if (k == kNoKnob)
        return GameDialog::mouseWheel(event);
    command_.assign("");
    setKnob(k, knobVolume(k) + event->key * kWheelStep, true);
    return kHandled;
}
